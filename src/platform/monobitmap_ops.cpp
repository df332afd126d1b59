#include "platform/monobitmap_ops.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::vector<int> SourceMap(int n, int s0, int m, bool mirror)
{
    std::vector<int> map(size_t(n > 0 ? n : 0));
    for (int i = 0; i < n; ++i) {
        const int j = mirror ? n - 1 - i : i;
        map[size_t(i)] = s0 + int((2 * std::int64_t(j) + 1) * m / (2 * std::int64_t(n)));
    }
    return map;
}

// White = 1, as in the bitmap's own bits.
bool Apply(bool s, bool d, RasterOp op)
{
    switch (op) {
    case RasterOp::Copy: return s;
    case RasterOp::And: return s && d;
    case RasterOp::Or: return s || d;
    case RasterOp::Xor: return s != d;
    case RasterOp::NotCopy: return !s;
    case RasterOp::Invert: return !d;
    }
    return s;
}

// Eight bits of a row from a bit offset of -7 or more (most significant
// first); bits before the row or past its bytes read as white.
inline std::uint8_t BitsAt(const std::uint8_t* row, int rowBytes, int bit)
{
    if (bit < 0) return std::uint8_t((BitsAt(row, rowBytes, 0) >> -bit) | (0xFF << (8 + bit)));
    const int i = bit >> 3, shift = bit & 7;
    const unsigned hi = i < rowBytes ? row[i] : 0xFF;
    if (shift == 0) return std::uint8_t(hi);
    const unsigned lo = i + 1 < rowBytes ? row[i + 1] : 0xFF;
    return std::uint8_t((hi << shift) | (lo >> (8 - shift)));
}

inline std::uint8_t Combined(std::uint8_t s, std::uint8_t d, RasterOp op)
{
    switch (op) {
    case RasterOp::Copy: return s;
    case RasterOp::And: return s & d;
    case RasterOp::Or: return s | d;
    case RasterOp::Xor: return s ^ d;
    case RasterOp::NotCopy: return std::uint8_t(~s);
    case RasterOp::Invert: return std::uint8_t(~d);
    }
    return s;
}

// A copy at the source's own size without mirroring, a byte of the
// destination at a time: what placing a symbol or a text in a label
// bitmap does for every label.
void CopyUnscaled(CMonoBitmap& dst, int x, int y, const CMonoBitmap& src, int sx, int sy, int w, int h, RasterOp op)
{
    // The part of the rectangle inside both bitmaps.
    int x0 = std::max({x, 0, x - sx}), x1 = std::min({x + w, dst.Width(), x - sx + src.Width()});
    int y0 = std::max({y, 0, y - sy}), y1 = std::min({y + h, dst.Height(), y - sy + src.Height()});
    if (x0 >= x1 || y0 >= y1) return;
    const int srcBytes = src.Stride();
    for (int yy = y0; yy < y1; ++yy) {
        const std::uint8_t* srow = src.Row(yy - y + sy);
        std::uint8_t* drow = dst.Row(yy);
        for (int xx = x0; xx < x1;) {
            const int byte = xx >> 3, first = xx & 7;
            const int last = std::min(8, first + (x1 - xx));  // bits [first, last) of this byte
            const std::uint8_t mask = std::uint8_t((0xFF >> first) & (0xFF << (8 - last)));
            // Source bits lined up with the destination byte.
            const std::uint8_t s = BitsAt(srow, srcBytes, xx - first - x + sx);
            const std::uint8_t d = drow[byte];
            drow[byte] = std::uint8_t((d & ~mask) | (Combined(s, d, op) & mask));
            xx += last - first;
        }
    }
}

template <class Combine>
void Stretch(CMonoBitmap& dst, int x, int y, int w, int h, const CMonoBitmap& src, int sx, int sy, int sw, int sh,
             Combine combine)
{
    if (w == 0 || h == 0 || sw == 0 || sh == 0 || dst.IsEmpty() || src.IsEmpty()) return;
    const bool mirrorX = (w < 0) != (sw < 0);
    const bool mirrorY = (h < 0) != (sh < 0);
    const int dx0 = std::min(x, x + w), dy0 = std::min(y, y + h);
    const int dw = std::abs(w), dh = std::abs(h);
    const std::vector<int> cols = SourceMap(dw, std::min(sx, sx + sw), std::abs(sw), mirrorX);
    const std::vector<int> rows = SourceMap(dh, std::min(sy, sy + sh), std::abs(sh), mirrorY);
    const int x0 = std::max(dx0, 0), x1 = std::min(dx0 + dw, dst.Width());
    const int y0 = std::max(dy0, 0), y1 = std::min(dy0 + dh, dst.Height());
    for (int yy = y0; yy < y1; ++yy) {
        const int srcY = rows[size_t(yy - dy0)];
        if (srcY < 0 || srcY >= src.Height()) continue;
        for (int xx = x0; xx < x1; ++xx) {
            const int srcX = cols[size_t(xx - dx0)];
            if (srcX < 0 || srcX >= src.Width()) continue;
            const bool sWhite = !src.IsBlack(srcX, srcY);
            const bool dWhite = !dst.IsBlack(xx, yy);
            dst.SetPixel(xx, yy, !combine(sWhite, dWhite));
        }
    }
}

}  // namespace

QImage MonoToQImage(const CMonoBitmap& bmp)
{
    if (bmp.IsEmpty()) return QImage();
    QImage img(bmp.Width(), bmp.Height(), QImage::Format_Mono);
    img.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const int rowBytes = (bmp.Width() + 7) / 8;
    for (int y = 0; y < bmp.Height(); ++y) std::memcpy(img.scanLine(y), bmp.Row(y), size_t(rowBytes));
    return img;
}

CMonoBitmap QImageToMono(const QImage& image, int threshold)
{
    if (image.isNull()) return CMonoBitmap();
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    CMonoBitmap out(img.width(), img.height());
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = row[x];
            if (qAlpha(p) == 0) continue;
            const int g = (qRed(p) * 11 + qGreen(p) * 16 + qBlue(p) * 5) / 32;
            if (g < threshold) out.SetPixel(x, y, true);
        }
    }
    return out;
}

CMonoBitmap QImageToMask(const QImage& image, QRgb background)
{
    if (image.isNull()) return CMonoBitmap();
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    CMonoBitmap out(img.width(), img.height());
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(row[x]) != 0 && (row[x] & 0xFFFFFF) != (background & 0xFFFFFF)) out.SetPixel(x, y, true);
    }
    return out;
}

void StretchMonoBits(CMonoBitmap& dst, int x, int y, int w, int h, const CMonoBitmap& src, int sx, int sy, int sw,
                     int sh, RasterOp op)
{
    if (&dst == &src) {
        const CMonoBitmap copy = src;
        StretchMonoBits(dst, x, y, w, h, copy, sx, sy, sw, sh, op);
        return;
    }
    if (w > 0 && h > 0 && w == sw && h == sh && !dst.IsEmpty() && !src.IsEmpty()) {
        CopyUnscaled(dst, x, y, src, sx, sy, w, h, op);
        return;
    }
    Stretch(dst, x, y, w, h, src, sx, sy, sw, sh, [op](bool s, bool d) { return Apply(s, d, op); });
}

void StretchMonoTransparent(CMonoBitmap& dst, int x, int y, int w, int h, const CMonoBitmap& src, int sx, int sy,
                            int sw, int sh)
{
    // (d ^ s) & mask ^ s, with mask = s's white pixels: white source keeps d,
    // black source gives black.
    Stretch(dst, x, y, w, h, src, sx, sy, sw, sh, [](bool s, bool d) { return ((d != s) && s) != s; });
}

CMonoBitmap MirrorMono(const CMonoBitmap& src, bool leftToRight)
{
    CMonoBitmap out(src.Width(), src.Height());
    if (leftToRight)
        StretchMonoBits(out, src.Width(), 0, -src.Width(), src.Height(), src, 0, 0, src.Width(), src.Height(),
                        RasterOp::Copy);
    else
        StretchMonoBits(out, 0, src.Height(), src.Width(), -src.Height(), src, 0, 0, src.Width(), src.Height(),
                        RasterOp::Copy);
    return out;
}
