// From the object to the encoder: the symbol bitmap of prepared data at a
// resolution, with the object's rotation, mirror, bar height and module
// unless others are asked for. The encoder is always called silently: a
// failure gives no bitmap and no message.
#include <cstring>

#include "model/drawbarcode.h"
#include "encoders/databar_entry.h"
#include "encoders/hanxin_entry.h"
#include "encoders/linear_entries.h"
#include "encoders/maxicode_entry.h"
#include "encoders/twod_entries.h"
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
    const int degrees = quarter * 90;
    const int mirror = GetMirror();
    const char* text = data.c_str();
    const int length = int(std::strlen(text));
    std::uint32_t error = 0;  // no message flags: failures stay silent

    switch (m_nSymbology) {
    case BS_CODE128:
        return EncodeCode128(m_nCodeSet + (m_bEan128 ? GS1_128_AUTO : C128_AUTO), text, narrow, 0, heightDots,
                             degrees, mirror, BTF_NONE, &error);
    case BS_EAN13:
    case BS_UPCA:
    case BS_EAN8:
    case BS_UPCE:
        return EncodeEanAddOn(m_nSymbology, text, m_nAddOn, narrow, 0, heightDots, degrees, mirror,
                              m_nTextPlacement == BTP_NONE ? BTF_NONE : BTF_CENTER, &error);
    case BS_PDF417:
        return EncodePdf417(text, length, m_nPdfRows, m_nPdfColumns, m_nPdfEcLevel - 1, degrees, mirror, narrow,
                            wide, m_bPdfTruncated, 0, &error);
    case BS_QRCODE:
        return EncodeQr(text, length, m_nQrEcLevel, narrow, degrees, mirror, 0, &error);
    case BS_DATAMATRIX:
        return EncodeDataMatrix(text, length, 0, narrow, degrees, mirror, 0, &error);
    case BS_ITF14:
        return EncodeItf14(text, narrow, 0, wide, heightDots, m_nBearerType, m_nBearerThickness, m_nQuietZone,
                           degrees, mirror, BTF_NONE, &error);
    case BS_DATABAR:
        return EncodeDataBar(text, narrow, 0, heightDots,
                             DataBarOptions(m_nDataBarType, m_nDataBarSeparator, m_nDataBarSegments, m_bHoldToGs1 != 0),
                             degrees, mirror, BTF_NONE, &error);
    case BS_CODE39:
    case BS_ITF25:
    case BS_CODE93:
    case BS_CODABAR:
    case BS_CODE25:
    case BS_MATRIX25:
    case BS_CHINA_POST:
        return EncodeLinear(m_nSymbology, text, narrow, 0, wide, heightDots, degrees, mirror, BTF_NONE, &error);
    case BS_MAXICODE:
        return EncodeMaxiCode(text, length, 0, narrow, degrees, mirror, 0, &error);
    case BS_HANXIN:
        // No encryption: options 0.
        return EncodeHanXin(text, length, m_nHanXinEcLevel + 1, 0, 0, 0, m_nHanXinVersion, narrow, degrees, mirror, 0,
                            &error);
    default:
        // Codes 14 to 18 and unknown codes make no symbol.
        return nullptr;
    }
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
