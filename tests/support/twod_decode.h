#pragma once
// Decoding helpers of the matrix symbology tests: a module matrix or an
// encoder bitmap goes through zxing-cpp with a white quiet zone around it.
#include <cstdint>
#include <string>
#include <vector>

#include "encoders/twod_common.h"
#include "platform/monobitmap.h"

#ifdef KV_HAVE_ZXING
#include <ZXing/ReadBarcode.h>

namespace twodtest {

struct Decoded {
    bool ok = false;
    std::vector<std::uint8_t> bytes;
    std::string format;
};

inline Decoded DecodeGray(const std::vector<std::uint8_t>& img, int w, int h, ZXing::BarcodeFormat fmt)
{
    ZXing::DecodeHints hints;
    hints.setFormats(fmt);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    const auto r = ZXing::ReadBarcode(ZXing::ImageView(img.data(), w, h, ZXing::ImageFormat::Lum), hints);
    Decoded d;
    d.ok = r.isValid();
    if (d.ok) d.bytes.assign(r.bytes().begin(), r.bytes().end());
    return d;
}

// scaleX x scaleY pixels per module, quiet zones of qx / qy modules.
inline Decoded DecodeMatrix(const twod::ModuleMatrix& m, ZXing::BarcodeFormat fmt, int scaleX = 3,
                            int scaleY = 3, int qx = 4, int qy = 4)
{
    const int w = (m.width + 2 * qx) * scaleX, h = (m.height + 2 * qy) * scaleY;
    std::vector<std::uint8_t> img(size_t(w) * size_t(h), 255);
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x)
            if (m.Dark(x, y))
                for (int dy = 0; dy < scaleY; ++dy)
                    for (int dx = 0; dx < scaleX; ++dx)
                        img[size_t((y + qy) * scaleY + dy) * w + size_t((x + qx) * scaleX + dx)] = 0;
    return DecodeGray(img, w, h, fmt);
}

// An encoder bitmap with a quiet zone of q pixels.
inline Decoded DecodeBitmap(const CMonoBitmap& b, ZXing::BarcodeFormat fmt, int q)
{
    const int w = b.Width() + 2 * q, h = b.Height() + 2 * q;
    std::vector<std::uint8_t> img(size_t(w) * size_t(h), 255);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.IsBlack(x, y)) img[size_t(y + q) * w + size_t(x + q)] = 0;
    return DecodeGray(img, w, h, fmt);
}

inline std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

}  // namespace twodtest
#endif
