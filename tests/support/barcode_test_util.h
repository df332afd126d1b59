#pragma once
// Helpers of the barcode tests: reading symbols back with the test decoder,
// and reading module patterns off a bitmap.
#include <string>
#include <vector>

#include "encoders/encoders.h"

#ifdef KV_HAVE_ZXING
#include <ZXing/ReadBarcode.h>
#endif

namespace bctest {

// Widths of the runs along row y of bmp, starting with the first black run.
inline std::vector<int> RunsOfRow(const CMonoBitmap& bmp, int y)
{
    std::vector<int> runs;
    int x = 0;
    while (x < bmp.Width() && !bmp.IsBlack(x, y)) ++x;
    while (x < bmp.Width()) {
        const bool black = bmp.IsBlack(x, y);
        int n = 0;
        while (x < bmp.Width() && bmp.IsBlack(x, y) == black) ++x, ++n;
        runs.push_back(n);
    }
    // Drop a trailing white run (quiet zone).
    if (!runs.empty() && runs.size() % 2 == 0) runs.pop_back();
    return runs;
}

// "0"/"1" string of the pixels of row y (1 = black).
inline std::string PixelsOfRow(const CMonoBitmap& bmp, int y)
{
    std::string s;
    for (int x = 0; x < bmp.Width(); ++x) s += bmp.IsBlack(x, y) ? '1' : '0';
    return s;
}

#ifdef KV_HAVE_ZXING
struct Decoded {
    bool ok = false;
    std::string text;
    ZXing::BarcodeFormat format = ZXing::BarcodeFormat::None;
};

// Decodes bmp after putting a white margin of `margin` pixels around it.
inline Decoded Decode(const CMonoBitmap& bmp, ZXing::BarcodeFormats formats, int margin = 40, bool fullAscii39 = false)
{
    const int w = bmp.Width() + 2 * margin;
    const int h = bmp.Height() + 2 * margin;
    std::vector<std::uint8_t> lum(size_t(w) * size_t(h), 255);
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (bmp.IsBlack(x, y)) lum[size_t(y + margin) * size_t(w) + size_t(x + margin)] = 0;
    ZXing::DecodeHints hints;
    hints.setFormats(formats);
    hints.setTryRotate(true);
    hints.setTryHarder(true);
    hints.setTryCode39ExtendedMode(fullAscii39);
    hints.setEanAddOnSymbol(ZXing::EanAddOnSymbol::Read);
    hints.setReturnCodabarStartEnd(true);
    const ZXing::Result r = ZXing::ReadBarcode(ZXing::ImageView(lum.data(), w, h, ZXing::ImageFormat::Lum), hints);
    Decoded d;
    d.ok = r.isValid();
    d.format = r.format();
    for (const wchar_t c : r.text()) d.text += c < 128 ? char(c) : '?';
    return d;
}
#endif

}  // namespace bctest
