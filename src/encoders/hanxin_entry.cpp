#include "encoders/hanxin_entry.h"

#include <cstring>
#include <new>

#include "encoders/hanxin.h"
#include "encoders/symbol_encoders.h"
#include "encoders/twod_common.h"

int HanXinEncode(const char* data, int length, int, int* level, int, int option1, int option2, int option3,
                 unsigned char** matrix, int* version)
{
    if (!matrix || !level || !version) return 2;
    *matrix = nullptr;
    if (option1 || option2 || option3) return 2;
    hanxin::Symbol sym;
    const hanxin::Status st = hanxin::BuildSymbol(reinterpret_cast<const std::uint8_t*>(data),
                                                  data && length > 0 ? size_t(length) : 0, *level, *version, -1, sym);
    if (st == hanxin::Status::kBadLevel) return 1;
    if (st == hanxin::Status::kBadVersion) return 2;
    if (st != hanxin::Status::kOk) return 3;
    const size_t n = size_t(sym.matrix.width) * size_t(sym.matrix.height);
    unsigned char* out = new (std::nothrow) unsigned char[n];
    if (!out) return 3;
    std::memcpy(out, sym.matrix.cells.data(), n);
    *matrix = out;
    *version = sym.version;
    return 0;
}

int HanXinDimsByVersion(int version) { return version >= 1 && version <= hanxin::kMaxVersion ? hanxin::SideOfVersion(version) : 0; }

void HanXinEncodeFree(unsigned char* matrix) { delete[] matrix; }

namespace {


BarBitmap BuildHanXin(CEncoderCall& call, const char* data, int length, int ecLevel, int option1, int option2,
                      int option3, int version, int module, int rotation, int mirror, int reduction)
{
    call.SetCaptionName(CaptionNameOf(BS_HANXIN));
    if (!CheckRotation(call, rotation)) return nullptr;
    if (module < 1) return call.Fail(BCE_MODULE_TOO_SMALL);
    if (!data || length <= 0) return call.Fail(BCE_BAD_LENGTH);
    int level = ecLevel, used = version;
    unsigned char* cells = nullptr;
    const int rc = HanXinEncode(data, length, 0, &level, 0, option1, option2, option3, &cells, &used);
    if (rc == 1) return call.Fail(BCE_BAD_EC_LEVEL);
    if (rc == 2) return call.Fail(BCE_UNSUPPORTED_TYPE);
    if (rc != 0) return call.Fail(BCE_BAD_LENGTH);
    const int side = HanXinDimsByVersion(used);
    twod::ModuleMatrix m(side, side);
    std::memcpy(m.cells.data(), cells, m.cells.size());
    HanXinEncodeFree(cells);
    if (!BarcodeSizeAllowed((long long)side * module, (long long)side * module)) return call.Fail(BCE_NO_MEMORY);
    BarBitmap bmp;
    try {
        bmp = std::make_unique<CMonoBitmap>(twod::MatrixToBitmap(m, module, module));
    } catch (const std::bad_alloc&) {
        return call.Fail(BCE_NO_MEMORY);
    }
    if (bmp->IsEmpty()) return call.Fail(BCE_UNKNOWN);
    twod::ReduceDarkRuns(*bmp, reduction, module);
    return FinishSymbol(call, std::move(bmp), rotation, mirror);
}

}  // namespace

BarBitmap EncodeHanXin(const char* data, int length, int ecLevel, int option1, int option2, int option3, int version,
                       int module, int rotation, int mirror, int reduction, std::uint32_t* errorWord)
{
    CEncoderCall call;
    return ReportToErrorWord(call, BuildHanXin(call, data, length, ecLevel, option1, option2, option3, version, module, rotation, mirror,
                       reduction), errorWord);
}

int MeasureHanXin(CSize& size, const char* data, int length, int ecLevel, int option1, int option2, int option3,
                  int version, int module, int rotation, std::uint32_t* errorWord)
{
    CEncoderCall call;
    return MeasureResult(size, ReportToErrorWord(call, BuildHanXin(call, data, length, ecLevel, option1, option2, option3, version, module,
                                           0, 0, 0), errorWord));
}

BarBitmap EncodeHanXinSymbol(CEncoderCall& call, const BarcodeRequest& r)
{
    // No encryption: options 0.
    return BuildHanXin(call, r.data.data(), int(std::min<size_t>(r.data.size(), 0x7FFFFFFF)), r.hanXin.ecLevel, 0, 0,
                       0, r.hanXin.version, r.module, r.rotation, r.mirror, r.reduction);
}
