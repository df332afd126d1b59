// Monochrome bitmaps as the image files printers take for downloaded
// graphics: PCX with run-length encoded rows, and BMP.
#include <algorithm>

#include "platform/geometry.h"
#include "platform/monobitmap.h"
#include "print/printdriver.h"

namespace {

void Put16(std::vector<std::uint8_t>& out, size_t at, unsigned v)
{
    out[at] = std::uint8_t(v & 0xFF);
    out[at + 1] = std::uint8_t((v >> 8) & 0xFF);
}

void Put32(std::vector<std::uint8_t>& out, size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) out[at + size_t(i)] = std::uint8_t((v >> (8 * i)) & 0xFF);
}

std::vector<std::uint8_t> PcxFile(const CMonoBitmap& source)
{
    CMonoBitmap bits = source;
    const int w = bits.Width(), h = bits.Height(), stride = bits.Stride();
    // Padding bits beyond the width are white, so that rows end in runs.
    for (int y = 0; y < h; ++y)
        for (int x = w; x < stride * 8; ++x) bits.SetPixel(x, y, false);

    std::vector<std::uint8_t> out(128, 0);
    out[0] = 10;
    out[1] = 5;
    out[2] = 1;
    out[3] = 1;
    Put16(out, 8, unsigned(w - 1));
    Put16(out, 10, unsigned(h - 1));
    Put16(out, 12, 72);
    Put16(out, 14, 72);
    out[19] = out[20] = out[21] = 255;  // palette entry 1 white, entry 0 black
    out[65] = 1;
    Put16(out, 66, unsigned(stride));
    Put16(out, 68, 1);
    out.reserve(128 + size_t(h) * size_t(stride) / 2);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = bits.Row(y);
        for (int i = 0; i < stride;) {
            int run = 1;
            while (i + run < stride && run < 63 && row[i + run] == row[i]) ++run;
            if (run >= 2) {
                out.push_back(std::uint8_t(0xC0 | run));
                out.push_back(row[i]);
            } else if (row[i] >= 0xC0) {
                out.push_back(0xC1);
                out.push_back(row[i]);
            } else {
                out.push_back(row[i]);
            }
            i += run;
        }
    }
    return out;
}

std::vector<std::uint8_t> BmpFile(const CMonoBitmap& bits)
{
    const int w = bits.Width(), h = bits.Height();
    const size_t rowBytes = size_t((w + 31) / 32) * 4;
    const size_t size = 62 + rowBytes * size_t(h);
    std::vector<std::uint8_t> out(size, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, std::uint32_t(size));
    Put32(out, 10, 62);
    Put32(out, 14, 40);
    Put32(out, 18, std::uint32_t(w));
    Put32(out, 22, std::uint32_t(h));
    Put16(out, 26, 1);
    Put16(out, 28, 1);
    const std::uint32_t perMetre = std::uint32_t(MulDiv(203, 1000000, 25402));
    Put32(out, 38, perMetre);
    Put32(out, 42, perMetre);
    out[58] = out[59] = out[60] = 255;  // entry 0 black, entry 1 white
    const size_t copy = std::min(rowBytes, size_t(bits.Stride()));
    for (int y = 0; y < h; ++y)
        std::copy_n(bits.Row(h - 1 - y), copy, out.begin() + std::ptrdiff_t(62 + rowBytes * size_t(y)));
    return out;
}

}  // namespace

std::vector<std::uint8_t> CPrintDriver::GetImageFileData(const CMonoBitmap& bitmap, int format)
{
    if (bitmap.IsEmpty()) return {};
    switch (format) {
    case IMAGE_PCX: return PcxFile(bitmap);
    case IMAGE_BMP: return BmpFile(bitmap);
    default: return {};
    }
}
