#pragma once
// The bitmap file layout pictures are held in: a 14-byte file header, a
// 40-byte (or longer) information header, a colour table of 4 bytes per
// entry (blue, green, red, 0) and the pixel rows, bottom row first, each
// padded to a multiple of 4 bytes. Uncompressed pixels of 1, 4, 8, 16, 24
// or 32 bits only.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/types.h"

inline constexpr std::size_t kBitmapFileHeaderSize = 14;
inline constexpr std::size_t kBitmapInfoHeaderSize = 40;

// What the headers of a bitmap file image say, checked against its length.
struct BitmapFileInfo {
    int width = 0;
    int height = 0;  // always positive: rows are stored bottom first
    int planes = 1;
    int bitCount = 0;
    DWORD compression = 0;  // 0 plain, 3 bit fields (16 and 32 bits)
    int ppmX = 0;           // pixels per metre as stored
    int ppmY = 0;
    std::size_t paletteOffset = 0;
    int paletteEntries = 0;  // entries the colour table holds
    std::size_t pixelOffset = 0;
    std::size_t stride = 0;  // bytes per row, padding included
};

// Bytes per row of width pixels of bits each, padded to 4 bytes.
std::size_t BitmapStride(int width, int bits);

// Reads and checks the headers. False when the block is not a bitmap file
// image this system can work on (unknown depth or compression, a colour
// table or pixel rows beyond the end of the block, impossible sizes). A
// block stored top row first is turned around in place (rows reversed,
// height made positive) so that every image is held bottom row first.
bool ParseBitmapFile(std::vector<std::uint8_t>& block, BitmapFileInfo* info);
// The same without changing the block: top-row-first blocks are refused.
bool ParseBitmapFile(const std::uint8_t* data, std::size_t size, BitmapFileInfo* info);

// A new bitmap file image of width x height pixels of bits each, every
// pixel 0, with the colour table given (COLORREF values) and the resolution
// in pixels per metre. Null block for sizes or depths it cannot hold.
std::vector<std::uint8_t> MakeBitmapFile(int width, int height, int bits, const std::vector<COLORREF>& palette,
                                         int ppmX = 0, int ppmY = 0);

// One pixel of a row of pixel data (x from the left). Values: the colour
// index below 16 bits; the 16-bit word; 24 bits as 0xRRGGBB (the bytes
// blue, green, red); 32 bits as the little-endian word of its 4 bytes.
DWORD GetRowPixel(const std::uint8_t* row, int bits, int x);
void SetRowPixel(std::uint8_t* row, int bits, int x, DWORD value);

// Entry i of the colour table as a COLORREF.
COLORREF GetPaletteColor(const std::uint8_t* block, const BitmapFileInfo& info, int i);
void SetPaletteColor(std::uint8_t* block, const BitmapFileInfo& info, int i, COLORREF c);
