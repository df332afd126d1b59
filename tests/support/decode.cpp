#include "support/decode.h"

#include <ZXing/ReadBarcode.h>

namespace kvtest {

Decoded DecodeLuminance(const std::uint8_t* lum, int w, int h, int stride, ZXing::BarcodeFormats formats,
                        bool fullAscii39, bool codabarStartStop)
{
    ZXing::DecodeHints hints;
    hints.setFormats(formats);
    hints.setTryRotate(true);
    hints.setTryHarder(true);
    hints.setTryCode39ExtendedMode(fullAscii39);
    hints.setEanAddOnSymbol(ZXing::EanAddOnSymbol::Read);
    hints.setReturnCodabarStartEnd(codabarStartStop);
    const ZXing::Result r = ZXing::ReadBarcode(ZXing::ImageView(lum, w, h, ZXing::ImageFormat::Lum, stride), hints);
    Decoded d;
    d.ok = r.isValid();
    if (!d.ok) return d;
    d.format = r.format();
    d.bytes.assign(r.bytes().begin(), r.bytes().end());
    for (const wchar_t c : r.text()) d.text += c < 128 ? char(c) : '?';
    return d;
}

Decoded DecodeBitmap(const CMonoBitmap& bmp, ZXing::BarcodeFormats formats, int margin, bool fullAscii39,
                     bool codabarStartStop)
{
    const int w = bmp.Width() + 2 * margin;
    const int h = bmp.Height() + 2 * margin;
    std::vector<std::uint8_t> lum(size_t(w) * size_t(h), 255);
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (bmp.IsBlack(x, y)) lum[size_t(y + margin) * size_t(w) + size_t(x + margin)] = 0;
    return DecodeLuminance(lum.data(), w, h, w, formats, fullAscii39, codabarStartStop);
}

Decoded DecodeMatrix(const twod::ModuleMatrix& m, ZXing::BarcodeFormats formats, int scaleX, int scaleY, int qx,
                     int qy)
{
    const int w = (m.width + 2 * qx) * scaleX, h = (m.height + 2 * qy) * scaleY;
    std::vector<std::uint8_t> lum(size_t(w) * size_t(h), 255);
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x)
            if (m.Dark(x, y))
                for (int dy = 0; dy < scaleY; ++dy)
                    for (int dx = 0; dx < scaleX; ++dx)
                        lum[size_t((y + qy) * scaleY + dy) * size_t(w) + size_t((x + qx) * scaleX + dx)] = 0;
    return DecodeLuminance(lum.data(), w, h, w, formats);
}

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

}  // namespace kvtest
