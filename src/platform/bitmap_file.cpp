#include "platform/bitmap_file.h"

#include <algorithm>
#include <cstring>

namespace {

// The largest image block made here: what the picture container accepts.
constexpr std::uint64_t kMaxBlockBytes = 0x40000000;

DWORD Le32(const std::uint8_t* p) { return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24; }
WORD Le16(const std::uint8_t* p) { return WORD(p[0] | p[1] << 8); }
void Put32(std::uint8_t* p, DWORD v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
    p[3] = std::uint8_t(v >> 24);
}
void Put16(std::uint8_t* p, WORD v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

bool KnownDepth(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

// Checks everything but the sign of the height; topDown tells it.
bool ParseHeaders(const std::uint8_t* d, std::size_t size, BitmapFileInfo* info, bool* topDown)
{
    if (size < kBitmapFileHeaderSize + kBitmapInfoHeaderSize || d[0] != 'B' || d[1] != 'M') return false;
    const std::uint8_t* h = d + kBitmapFileHeaderSize;
    const DWORD headerSize = Le32(h);
    if (headerSize < kBitmapInfoHeaderSize || headerSize > size - kBitmapFileHeaderSize) return false;
    BitmapFileInfo i;
    i.width = std::int32_t(Le32(h + 4));
    const std::int32_t rawHeight = std::int32_t(Le32(h + 8));
    i.planes = Le16(h + 12);
    i.bitCount = Le16(h + 14);
    i.compression = Le32(h + 16);
    i.ppmX = std::int32_t(Le32(h + 24));
    i.ppmY = std::int32_t(Le32(h + 28));
    const DWORD used = Le32(h + 32);
    if (i.width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN || i.planes == 0 || !KnownDepth(i.bitCount))
        return false;
    const bool bitFields = i.compression == 3 && (i.bitCount == 16 || i.bitCount == 32);
    if (i.compression != 0 && !bitFields) return false;
    *topDown = rawHeight < 0;
    i.height = rawHeight < 0 ? -rawHeight : rawHeight;

    // Bit-field masks follow a 40-byte header.
    std::uint64_t tableStart = kBitmapFileHeaderSize + std::uint64_t(headerSize);
    if (bitFields && headerSize == kBitmapInfoHeaderSize) tableStart += 12;
    std::uint64_t entries = used;
    if (i.bitCount <= 8) {
        const DWORD full = DWORD(1) << i.bitCount;
        if (entries == 0 || entries > full) entries = full;
    }
    const std::uint64_t tableEnd = tableStart + entries * 4;
    if (tableEnd > size) {
        // A table cut short by the pixels is a damaged image only when the
        // image needs the entries (a direct-colour image may list none).
        if (i.bitCount <= 8) return false;
        entries = 0;
    }
    i.paletteOffset = std::size_t(tableStart);
    i.paletteEntries = int(entries);

    i.stride = BitmapStride(i.width, i.bitCount);
    if (i.stride == 0) return false;
    const std::uint64_t pixelBytes = std::uint64_t(i.stride) * std::uint64_t(i.height);
    std::uint64_t offset = Le32(d + 10);
    if (offset < tableStart + std::uint64_t(entries) * 4 || offset > size) return false;
    if (pixelBytes > size - offset) return false;
    i.pixelOffset = std::size_t(offset);
    *info = i;
    return true;
}

}  // namespace

std::size_t BitmapStride(int width, int bits)
{
    if (width <= 0 || bits <= 0) return 0;
    const std::uint64_t rowBits = std::uint64_t(width) * std::uint64_t(bits);
    const std::uint64_t stride = ((rowBits + 31) / 32) * 4;
    return stride > kMaxBlockBytes ? 0 : std::size_t(stride);
}

bool ParseBitmapFile(const std::uint8_t* data, std::size_t size, BitmapFileInfo* info)
{
    bool topDown = false;
    BitmapFileInfo i;
    if (!data || !ParseHeaders(data, size, &i, &topDown) || topDown) return false;
    *info = i;
    return true;
}

bool ParseBitmapFile(std::vector<std::uint8_t>& block, BitmapFileInfo* info)
{
    bool topDown = false;
    BitmapFileInfo i;
    if (!ParseHeaders(block.data(), block.size(), &i, &topDown)) return false;
    if (topDown) {
        std::uint8_t* rows = block.data() + i.pixelOffset;
        std::vector<std::uint8_t> tmp(i.stride);
        for (int a = 0, b = i.height - 1; a < b; ++a, --b) {
            std::memcpy(tmp.data(), rows + std::size_t(a) * i.stride, i.stride);
            std::memcpy(rows + std::size_t(a) * i.stride, rows + std::size_t(b) * i.stride, i.stride);
            std::memcpy(rows + std::size_t(b) * i.stride, tmp.data(), i.stride);
        }
        Put32(block.data() + kBitmapFileHeaderSize + 8, DWORD(i.height));
    }
    *info = i;
    return true;
}

std::vector<std::uint8_t> MakeBitmapFile(int width, int height, int bits, const std::vector<COLORREF>& palette,
                                         int ppmX, int ppmY)
{
    if (!KnownDepth(bits) || width <= 0 || height <= 0) return {};
    const std::size_t stride = BitmapStride(width, bits);
    if (stride == 0) return {};
    const std::size_t entries = bits <= 8 ? std::min<std::size_t>(palette.size(), std::size_t(1) << bits) : 0;
    const std::uint64_t offset = kBitmapFileHeaderSize + kBitmapInfoHeaderSize + entries * 4;
    const std::uint64_t pixels = std::uint64_t(stride) * std::uint64_t(height);
    if (offset + pixels > kMaxBlockBytes) return {};
    std::vector<std::uint8_t> b(std::size_t(offset + pixels), 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(&b[2], DWORD(b.size()));
    Put32(&b[10], DWORD(offset));
    std::uint8_t* h = &b[kBitmapFileHeaderSize];
    Put32(h, DWORD(kBitmapInfoHeaderSize));
    Put32(h + 4, DWORD(width));
    Put32(h + 8, DWORD(height));
    Put16(h + 12, 1);
    Put16(h + 14, WORD(bits));
    Put32(h + 20, DWORD(pixels));
    Put32(h + 24, DWORD(ppmX));
    Put32(h + 28, DWORD(ppmY));
    Put32(h + 32, DWORD(entries));
    for (std::size_t i = 0; i < entries; ++i) {
        std::uint8_t* e = &b[kBitmapFileHeaderSize + kBitmapInfoHeaderSize + i * 4];
        e[0] = std::uint8_t(BlueOf(palette[i]));
        e[1] = std::uint8_t(GreenOf(palette[i]));
        e[2] = std::uint8_t(RedOf(palette[i]));
    }
    return b;
}

DWORD GetRowPixel(const std::uint8_t* row, int bits, int x)
{
    switch (bits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    case 8: return row[x];
    case 16: return Le16(row + std::size_t(x) * 2);
    case 24: {
        const std::uint8_t* p = row + std::size_t(x) * 3;
        return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16;
    }
    case 32: return Le32(row + std::size_t(x) * 4);
    default: return 0;
    }
}

void SetRowPixel(std::uint8_t* row, int bits, int x, DWORD v)
{
    switch (bits) {
    case 1: {
        const std::uint8_t mask = std::uint8_t(0x80 >> (x & 7));
        row[x >> 3] = std::uint8_t((v & 1) ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask));
        break;
    }
    case 4:
        if (x & 1)
            row[x >> 1] = std::uint8_t((row[x >> 1] & 0xF0) | (v & 0x0F));
        else
            row[x >> 1] = std::uint8_t((row[x >> 1] & 0x0F) | ((v & 0x0F) << 4));
        break;
    case 8: row[x] = std::uint8_t(v); break;
    case 16: Put16(row + std::size_t(x) * 2, WORD(v)); break;
    case 24: {
        std::uint8_t* p = row + std::size_t(x) * 3;
        p[0] = std::uint8_t(v);
        p[1] = std::uint8_t(v >> 8);
        p[2] = std::uint8_t(v >> 16);
        break;
    }
    case 32: Put32(row + std::size_t(x) * 4, v); break;
    default: break;
    }
}

COLORREF GetPaletteColor(const std::uint8_t* block, const BitmapFileInfo& info, int i)
{
    if (i < 0 || i >= info.paletteEntries) return 0;
    const std::uint8_t* e = block + info.paletteOffset + std::size_t(i) * 4;
    return RGBColor(e[2], e[1], e[0]);
}

void SetPaletteColor(std::uint8_t* block, const BitmapFileInfo& info, int i, COLORREF c)
{
    if (i < 0 || i >= info.paletteEntries) return;
    std::uint8_t* e = block + info.paletteOffset + std::size_t(i) * 4;
    e[0] = std::uint8_t(BlueOf(c));
    e[1] = std::uint8_t(GreenOf(c));
    e[2] = std::uint8_t(RedOf(c));
}
