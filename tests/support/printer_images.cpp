#include "support/printer_images.h"

#include <algorithm>

#include "encoders/linear_entries.h"
#include "platform/strutil.h"

namespace kvtest {

namespace {

int Word16(std::string_view d, size_t at) { return std::uint8_t(d[at]) | (std::uint8_t(d[at + 1]) << 8); }

long Dword32(std::string_view d, size_t at)
{
    return long(std::uint32_t(Word16(d, at)) | (std::uint32_t(Word16(d, at + 2)) << 16));
}

}  // namespace

CMonoBitmap ReadPcxImage(std::string_view d, size_t* used)
{
    if (used) *used = 0;
    if (d.size() < 128 || std::uint8_t(d[0]) != 10 || d[2] != 1 || d[3] != 1 || d[65] != 1) return CMonoBitmap();
    const int width = Word16(d, 8) - Word16(d, 4) + 1;
    const int height = Word16(d, 10) - Word16(d, 6) + 1;
    const int perRow = Word16(d, 66);
    if (width <= 0 || height <= 0 || perRow * 8 < width) return CMonoBitmap();
    // Palette entry 1 is white, 0 black: a set bit is white.
    CMonoBitmap out(width, height);
    size_t i = 128;
    std::string row;
    for (int y = 0; y < height; ++y) {
        row.clear();
        while (int(row.size()) < perRow) {
            if (i >= d.size()) return CMonoBitmap();
            const std::uint8_t b = std::uint8_t(d[i++]);
            if (b >= 0xC0) {
                if (i >= d.size()) return CMonoBitmap();
                row.append(size_t(b & 0x3F), d[i++]);
            } else {
                row += char(b);
            }
        }
        // A run never crosses a row.
        if (int(row.size()) != perRow) return CMonoBitmap();
        for (int x = 0; x < width; ++x)
            if (!(std::uint8_t(row[size_t(x >> 3)]) & (0x80 >> (x & 7)))) out.SetPixel(x, y, true);
    }
    if (used) *used = i;
    return out;
}

CMonoBitmap ReadBmpImage(std::string_view d, size_t* used)
{
    if (used) *used = 0;
    if (d.size() < 62 || d[0] != 'B' || d[1] != 'M') return CMonoBitmap();
    const size_t total = size_t(Dword32(d, 2));
    const size_t offset = size_t(Dword32(d, 10));
    const int width = int(Dword32(d, 18)), height = int(Dword32(d, 22));
    if (Word16(d, 28) != 1 || width <= 0 || height <= 0 || total > d.size() || offset < 62) return CMonoBitmap();
    const size_t stride = ((size_t(width) + 31) / 32) * 4;
    if (offset + stride * size_t(height) > total) return CMonoBitmap();
    // Entry 0 black, entry 1 white; rows bottom first.
    CMonoBitmap out(width, height);
    for (int y = 0; y < height; ++y) {
        const size_t row = offset + stride * size_t(height - 1 - y);
        for (int x = 0; x < width; ++x)
            if (!(std::uint8_t(d[row + size_t(x >> 3)]) & (0x80 >> (x & 7)))) out.SetPixel(x, y, true);
    }
    if (used) *used = total;
    return out;
}

CMonoBitmap TrimWhiteBorder(const CMonoBitmap& b)
{
    int left = b.Width(), right = -1, top = b.Height(), bottom = -1;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.IsBlack(x, y)) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (right < 0) return CMonoBitmap();
    CMonoBitmap out(right - left + 1, bottom - top + 1);
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            if (b.IsBlack(x, y)) out.SetPixel(x - left, y - top, true);
    return out;
}

void PutBlack(CMonoBitmap& canvas, const CMonoBitmap& b, CPoint at)
{
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const int cx = at.x + x, cy = at.y + y;
            if (b.IsBlack(x, y) && cx >= 0 && cy >= 0 && cx < canvas.Width() && cy < canvas.Height())
                canvas.SetPixel(cx, cy, true);
        }
}

CMonoBitmap TurnCounterClockwise(const CMonoBitmap& b, int quarterTurns)
{
    const int q = quarterTurns & 3;
    const int w = b.Width(), h = b.Height();
    if (q == 0) return b;
    CMonoBitmap out(q == 2 ? w : h, q == 2 ? h : w);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!b.IsBlack(x, y)) continue;
            switch (q) {
            case 1: out.SetPixel(y, w - 1 - x, true); break;
            case 2: out.SetPixel(w - 1 - x, h - 1 - y, true); break;
            default: out.SetPixel(h - 1 - y, x, true); break;
            }
        }
    return out;
}

CMonoBitmap EncoderBars(int type, const std::string& data, int narrow, int wide, int height, std::string* error)
{
    std::uint32_t err = 0;
    BarBitmap bars;
    if (type == BCT_CODE128)
        bars = EncodeCode128(C128_MANUAL, data.c_str(), narrow, 0, height, 0, 0, 0, &err);
    else
        bars = EncodeLinear(type, data.c_str(), narrow, 0, wide, height, 0, 0, 0, &err);
    if (!bars) {
        if (error) *error = StrFormat("cannot draw symbology %d with data \"%s\" (error 0x%X)", type, data.c_str(), err);
        return CMonoBitmap();
    }
    return TrimWhiteBorder(*bars);
}

}  // namespace kvtest
