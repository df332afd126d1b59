// From the object to the encoder: the symbol bitmap of prepared data at a
// resolution, with the object's rotation, mirror, bar height and module
// unless others are asked for. The encoder is always called silently: a
// failure gives no bitmap and no message.
#include "model/drawbarcode.h"

#include "encoders/linear_entries.h"
#include "encoders/request.h"
#include "model/document.h"

namespace {

// Bounds of what an object asks for, far beyond any label: a module of
// more than 1000 dots or a symbol of more than 32 MB (a square of 16000
// dots a side) is taken as damaged settings and makes no symbol, rather
// than keeping such bitmaps alive in every object of a document.
constexpr int kMaxObjectModuleDots = 1000;
constexpr size_t kMaxObjectSymbolBytes = size_t(32) << 20;

}  // namespace

std::unique_ptr<CMonoBitmap> CDrawBarcode::MakeBitmap(const std::string& data, int dpi, int rotation,
                                                      int barHeight, int module) const
{
    auto bitmap = EncodeSymbol(data, dpi, rotation, barHeight, module);
    if (bitmap && bitmap->ByteCount() > kMaxObjectSymbolBytes) return nullptr;
    return bitmap;
}

std::unique_ptr<CMonoBitmap> CDrawBarcode::EncodeSymbol(const std::string& data, int dpi, int rotation,
                                                        int barHeight, int module) const
{
    if (data.empty()) return nullptr;
    const int dpiX = dpi > 0 ? dpi : FormatDpiX();
    const int dpiY = dpi > 0 ? dpi : FormatDpiY();
    const int quarter = rotation >= 0 ? (rotation & 3) : (m_nRotation & 3);
    const int height = barHeight >= 0 ? barHeight : m_nBarHeight;
    const int moduleWidth = module >= 0 ? module : m_nModuleWidth;

    const int narrow = MulDiv(moduleWidth, dpiX, 100000);
    if (narrow > kMaxObjectModuleDots) return nullptr;
    const int wide = MulDiv(narrow, m_nRatio, 100);
    // MulDiv gives -1 when the result does not fit, which every entry refuses.
    const int heightDots = MulDiv(height, dpiY * 10, 25402);
    if (!IsStoredSymbology(m_nSymbology)) return nullptr;  // codes 14 to 18 and unknown codes

    BarcodeRequest req;
    req.type = m_nSymbology;
    // Object data is text: it ends at a NUL byte.
    req.data = data.c_str();
    req.module = narrow;
    req.wide = wide;
    req.height = heightDots;
    req.rotation = quarter * 90;
    req.mirror = GetMirror();
    // The object draws every readable line itself except the EAN/UPC digits.
    req.textFlags = IsEanUpc(m_nSymbology) && m_nTextPlacement != BTP_NONE ? BTF_CENTER : BTF_NONE;
    req.code128.mode = m_code128.codeSet + (m_code128.ean128 ? GS1_128_AUTO : C128_AUTO);
    req.eanUpc.addOn = m_eanUpc.addOn;
    req.itf14 = {m_itf14.bearerType, m_itf14.bearerThickness, m_itf14.quietZone};
    // The ratio is PDF417's row height; a damaged ratio of 0 makes no symbol.
    req.pdf417 = {m_pdf417.rows, m_pdf417.columns, m_pdf417.ecLevel - 1, m_pdf417.truncated != 0, wide > 0 ? wide : -1};
    req.qr.ecLevel = m_qr.ecLevel;
    req.dataBar = {m_dataBar.type, m_dataBar.separator, m_dataBar.segments, m_dataBar.hold != 0};
    // No encryption for Han Xin; the object stores its level as 0-3.
    req.hanXin = {m_hanXin.ecLevel + 1, m_hanXin.version};
    // Failures stay silent: the object shows its placeholder instead.
    return EncodeBarcode(req).bitmap;
}

CSize CDrawBarcode::MeasureSymbol(const std::string& data, int dpi, int rotation, int barHeight, int module) const
{
    const auto bitmap = MakeBitmap(data, dpi, rotation, barHeight, module);
    return bitmap ? CSize(bitmap->Width(), bitmap->Height()) : CSize(0, 0);
}

void CDrawBarcode::RebuildBitmap()
{
    m_hBitmap.reset();
    m_hBitmap = MakeBitmap(GetText());
}
