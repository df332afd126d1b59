#include "model/placeholder_picture.h"

#include <cstdlib>

#include "platform/bitmap_file.h"

namespace {

enum Ink : std::uint8_t { kPaper, kFrame, kSky, kSun, kHill, kFarHill, kLetter, kShade };

// Letters of a 5 x 7 pixel alphabet, one row per entry, leftmost pixel in bit 4.
struct Glyph {
    char ch;
    std::uint8_t rows[7];
};
constexpr Glyph kGlyphs[] = {
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
};

const Glyph* FindGlyph(char ch)
{
    for (const Glyph& g : kGlyphs)
        if (g.ch == ch) return &g;
    return nullptr;
}

std::vector<std::uint8_t> Build()
{
    constexpr int w = kPlaceholderWidth, h = kPlaceholderHeight;
    std::vector<std::uint8_t> px(std::size_t(w) * h, kPaper);
    auto put = [&](int x, int y, Ink ink) {
        if (x >= 0 && y >= 0 && x < w && y < h) px[std::size_t(y) * w + std::size_t(x)] = ink;
    };
    // A frame with a shadow on its right and bottom edges.
    for (int x = 0; x < w; ++x) {
        put(x, 0, kFrame);
        put(x, h - 1, kShade);
    }
    for (int y = 0; y < h; ++y) {
        put(0, y, kFrame);
        put(w - 1, y, kShade);
    }
    // The landscape sign: sky, sun, a far hill and a near one.
    constexpr int sx = 5, sy = 5, ss = 24;
    for (int y = 0; y < ss; ++y)
        for (int x = 0; x < ss; ++x) {
            Ink ink = kSky;
            const int dx = x - 17, dy = y - 6;
            if (dx * dx + dy * dy <= 12) ink = kSun;
            if (y >= 9 + std::abs(x - 8)) ink = kFarHill;
            if (y >= 13 + std::abs(x - 17) * 2 / 3) ink = kHill;
            put(sx + x, sy + y, ink);
        }
    for (int i = -1; i <= ss; ++i) {
        put(sx + i, sy - 1, kFrame);
        put(sx + i, sy + ss, kFrame);
        put(sx - 1, sy + i, kFrame);
        put(sx + ss, sy + i, kFrame);
    }
    // The word, each pixel of the alphabet drawn 2 x 2.
    const char* word = "PICTURE";
    constexpr int scale = 2, advance = 6 * scale;
    const int textWidth = 7 * advance - scale;
    const int tx = 36 + (w - 4 - 36 - textWidth) / 2, ty = (h - 7 * scale) / 2;
    for (int i = 0; word[i]; ++i) {
        const Glyph* g = FindGlyph(word[i]);
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col) {
                if (!(g->rows[row] & (0x10 >> col))) continue;
                for (int a = 0; a < scale; ++a)
                    for (int b = 0; b < scale; ++b)
                        put(tx + i * advance + col * scale + b, ty + row * scale + a, kLetter);
            }
    }

    const std::vector<COLORREF> palette = {
        RGBColor(0xF4, 0xF4, 0xF0),  // paper
        RGBColor(0x50, 0x50, 0x58),  // frame
        RGBColor(0x9C, 0xC8, 0xEC),  // sky
        RGBColor(0xF8, 0xD0, 0x40),  // sun
        RGBColor(0x3C, 0x8C, 0x48),  // near hill
        RGBColor(0x88, 0xB4, 0x8C),  // far hill
        RGBColor(0x30, 0x38, 0x48),  // letters
        RGBColor(0xA8, 0xA8, 0xA8),  // shadow
    };
    std::vector<std::uint8_t> block =
        MakeBitmapFile(w, h, 8, palette, kPlaceholderPixelsPerMetre, kPlaceholderPixelsPerMetre);
    BitmapFileInfo info;
    ParseBitmapFile(block.data(), block.size(), &info);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = block.data() + info.pixelOffset + std::size_t(h - 1 - y) * info.stride;
        for (int x = 0; x < w; ++x) row[x] = px[std::size_t(y) * w + std::size_t(x)];
    }
    return block;
}

}  // namespace

std::vector<std::uint8_t> PlaceholderPicture()
{
    static const std::vector<std::uint8_t> block = Build();
    return block;
}
