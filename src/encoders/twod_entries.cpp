#include "encoders/twod_entries.h"

#include <algorithm>
#include <memory>
#include <new>

#include "encoders/datamatrix.h"
#include "encoders/pdf417.h"
#include "encoders/qr_code.h"
#include "encoders/symbol_encoders.h"
#include "encoders/twod_common.h"

namespace {

// PDF417行数在3到90之间！
constexpr char kMsgPdfRows[] = "PDF417\xD0\xD0\xCA\xFD\xD4\xDA" "3\xB5\xBD" "90\xD6\xAE\xBC\xE4\xA3\xA1";
// PDF417列数在1到30之间！
constexpr char kMsgPdfColumns[] = "PDF417\xC1\xD0\xCA\xFD\xD4\xDA" "1\xB5\xBD" "30\xD6\xAE\xBC\xE4\xA3\xA1";
// 纠错级别只能是 0 到 8 ！
constexpr char kMsgPdfLevel[] = "\xBE\xC0\xB4\xED\xBC\xB6\xB1\xF0\xD6\xBB\xC4\xDC\xCA\xC7 0 \xB5\xBD 8 \xA3\xA1";
// 纠错级别只能是 L 、M 、Q 或 H ！
constexpr char kMsgQrLevel[] = "\xBE\xC0\xB4\xED\xBC\xB6\xB1\xF0\xD6\xBB\xC4\xDC\xCA\xC7 L \xA1\xA2M \xA1\xA2Q \xBB\xF2 H \xA3\xA1";

// A request's data length as the entries take it: a length beyond their
// reach reads as the longest one, which no symbol holds.
int DataLength(const BarcodeRequest& r) { return int(std::min<size_t>(r.data.size(), 0x7FFFFFFF)); }

const std::uint8_t* Bytes(const char* data) { return reinterpret_cast<const std::uint8_t*>(data); }

// Module matrix to the finished symbol: scale, narrowing, rotation, mirror.
BarBitmap Finish(CEncoderCall& call, const twod::ModuleMatrix& m, int moduleW, int moduleH,
                 int reduction, int rotation, int mirror)
{
    if (!BarcodeSizeAllowed((long long)m.width * moduleW, (long long)m.height * moduleH)) {
        call.Fail(BCE_NO_MEMORY);
        return nullptr;
    }
    BarBitmap bmp;
    try {
        bmp = std::make_unique<CMonoBitmap>(twod::MatrixToBitmap(m, moduleW, moduleH));
    } catch (const std::bad_alloc&) {
        call.Fail(BCE_NO_MEMORY);
        return nullptr;
    }
    if (bmp->IsEmpty()) {
        call.Fail(BCE_UNKNOWN);
        return nullptr;
    }
    twod::ReduceDarkRuns(*bmp, reduction, std::min(moduleW, moduleH));
    return FinishSymbol(call, std::move(bmp), rotation, mirror);
}

// The PDF417 work shared by Encode, Measure and Query. level, rows and
// columns receive the choices as they are made.
BarBitmap BuildPdf417(CEncoderCall& call, const char* data, int length, int& rows, int& columns,
                      int& level, int rotation, int mirror, int module, int rowHeight, int truncated,
                      int reduction, bool needBitmap = true)
{
    call.SetCaptionName(CaptionNameOf(BS_PDF417));
    if (!CheckRotation(call, rotation)) return nullptr;
    if (module <= 0 || rowHeight <= 0) return call.Fail(BCE_MODULE_TOO_SMALL);
    if (rows != 0 && (rows < 3 || rows > 90)) return call.Fail(BCE_BAD_ROW_COLUMN, kMsgPdfRows);
    if (columns != 0 && (columns < 1 || columns > 30)) return call.Fail(BCE_BAD_ROW_COLUMN, kMsgPdfColumns);
    if (level != -1 && (level < 0 || level > 8)) return call.Fail(BCE_BAD_EC_LEVEL, kMsgPdfLevel);
    if (!data || length <= 0) return call.Fail(BCE_BAD_LENGTH);

    pdf417::Request req;
    req.rows = rows;
    req.columns = columns;
    req.level = level;
    req.module = module;
    req.rowHeight = rowHeight;
    req.truncated = truncated != 0;
    pdf417::Symbol sym;
    pdf417::Status st;
    try {
        st = pdf417::BuildSymbol(Bytes(data), size_t(length), req, sym);
    } catch (const std::bad_alloc&) {
        return call.Fail(BCE_NO_MEMORY);
    }
    if (sym.levelKnown && level == -1) level = sym.level;
    if (sym.layoutKnown) {
        rows = sym.rows;
        columns = sym.columns;
    }
    if (st == pdf417::Status::kTooLong) return call.Fail(BCE_BAD_LENGTH);
    // The choices are all made by now; a query needs nothing drawn.
    if (!needBitmap) return nullptr;
    return Finish(call, sym.matrix, module, rowHeight, reduction, rotation, mirror);
}

BarBitmap BuildQr(CEncoderCall& call, const char* data, int length, int ecLevel, int module,
                  int rotation, int mirror, int reduction)
{
    call.SetCaptionName(CaptionNameOf(BS_QRCODE));
    if (!CheckRotation(call, rotation)) return nullptr;
    if (module <= 0) return call.Fail(BCE_MODULE_TOO_SMALL);
    if (ecLevel < 0 || ecLevel > 3) return call.Fail(BCE_BAD_EC_LEVEL, kMsgQrLevel);
    if (!data || length <= 0) return call.Fail(BCE_BAD_LENGTH);
    qr::Symbol sym;
    try {
        if (!qr::BuildSymbol(Bytes(data), size_t(length), ecLevel, 0, -1, sym)) return call.Fail(BCE_BAD_LENGTH);
    } catch (const std::bad_alloc&) {
        return call.Fail(BCE_NO_MEMORY);
    }
    return Finish(call, sym.matrix, module, module, reduction, rotation, mirror);
}

BarBitmap BuildDataMatrix(CEncoderCall& call, const char* data, int length, int module, int rotation,
                          int mirror, int reduction)
{
    call.SetCaptionName(CaptionNameOf(BS_DATAMATRIX));
    if (!CheckRotation(call, rotation)) return nullptr;
    if (module <= 0) return call.Fail(BCE_MODULE_TOO_SMALL);
    if (!data || length <= 0) return call.Fail(BCE_BAD_LENGTH);
    datamatrix::Symbol sym;
    try {
        if (!datamatrix::BuildSymbol(Bytes(data), size_t(length), sym)) return call.Fail(BCE_BAD_LENGTH);
    } catch (const std::bad_alloc&) {
        return call.Fail(BCE_NO_MEMORY);
    }
    return Finish(call, sym.matrix, module, module, reduction, rotation, mirror);
}

}  // namespace

BarBitmap EncodeQr(const char* data, int length, int ecLevel, int module, int rotation, int mirror,
                   int reduction, std::uint32_t* errorWord)
{
    CEncoderCall call;
    return ReportToErrorWord(call, BuildQr(call, data, length, ecLevel, module, rotation, mirror, reduction), errorWord);
}

int MeasureQr(CSize& size, const char* data, int length, int ecLevel, int module, int rotation,
              std::uint32_t* errorWord)
{
    CEncoderCall call;
    return MeasureResult(size, ReportToErrorWord(call, BuildQr(call, data, length, ecLevel, module, rotation, 0, 0), errorWord));
}

BarBitmap EncodePdf417(const char* data, int length, int rows, int columns, int level, int rotation,
                       int mirror, int module, int rowHeight, int truncated, int reduction,
                       std::uint32_t* errorWord)
{
    CEncoderCall call;
    return ReportToErrorWord(call, BuildPdf417(call, data, length, rows, columns, level, rotation, mirror, module, rowHeight,
                       truncated, reduction), errorWord);
}

int MeasurePdf417(CSize& size, const char* data, int length, int rows, int columns, int level,
                  int rotation, int module, int rowHeight, int truncated, std::uint32_t* errorWord)
{
    CEncoderCall call;
    return MeasureResult(size, ReportToErrorWord(call, BuildPdf417(call, data, length, rows, columns, level, rotation, 0,
                                           module, rowHeight, truncated, 0), errorWord));
}

int QueryPdf417(const char* data, int length, int& rows, int& columns, int& level, int rotation,
                int module, int rowHeight, int truncated, std::uint32_t* errorWord)
{
    CEncoderCall call;
    BuildPdf417(call, data, length, rows, columns, level, rotation, 0, module, rowHeight, truncated, 0, false);
    ReportToErrorWord(call, nullptr, errorWord);
    return 1;
}

BarBitmap EncodeDataMatrix(const char* data, int length, int reserved, int module, int rotation,
                           int mirror, int reduction, std::uint32_t* errorWord)
{
    CEncoderCall call;
    return ReportToErrorWord(call, BuildDataMatrix(call, data, length, module, rotation, mirror, reduction), errorWord);
}

int MeasureDataMatrix(CSize& size, const char* data, int length, int reserved, int module,
                      int rotation, std::uint32_t* errorWord)
{
    CEncoderCall call;
    return MeasureResult(size, ReportToErrorWord(call, BuildDataMatrix(call, data, length, module, rotation, 0, 0), errorWord));
}

// ---- the rows' encoders ----------------------------------------------------

BarBitmap EncodePdf417Symbol(CEncoderCall& call, const BarcodeRequest& r)
{
    int rows = r.pdf417.rows, columns = r.pdf417.columns, level = r.pdf417.level;
    const int rowHeight = r.pdf417.rowHeight > 0 ? r.pdf417.rowHeight : 3 * r.module;
    return BuildPdf417(call, r.data.data(), DataLength(r), rows, columns, level, r.rotation, r.mirror, r.module,
                       rowHeight, r.pdf417.truncated ? 1 : 0, r.reduction);
}

BarBitmap EncodeQrSymbol(CEncoderCall& call, const BarcodeRequest& r)
{
    return BuildQr(call, r.data.data(), DataLength(r), r.qr.ecLevel, r.module, r.rotation, r.mirror, r.reduction);
}

BarBitmap EncodeDataMatrixSymbol(CEncoderCall& call, const BarcodeRequest& r)
{
    return BuildDataMatrix(call, r.data.data(), DataLength(r), r.module, r.rotation, r.mirror, r.reduction);
}
