#pragma once
// Text drawn straight into a monochrome bitmap, without antialiasing: the
// human-readable lines of barcode symbols. Faces that are not installed
// under their name take a stand-in.
#include <string>
#include <string_view>

#include "platform/monobitmap.h"

struct MonoTextFont {
    std::string face;
    // In pixels, with the sign convention of a logical font: negative = the
    // character height (the cell without its internal leading), positive =
    // the cell height (ascent + descent); 0 = 12.
    int height = 0;
    // Average character width in pixels; 0 = the face's natural width.
    int width = 0;
};

// Advance width in pixels of text (ANSI code page); 0 without a display
// connection.
int MonoTextWidth(const MonoTextFont& font, std::string_view text);
// Draws text in black on a transparent background, the top of its character
// cell at y and its left edge at x, clipped to the bitmap. False only when
// it could not allocate what it needs.
bool DrawMonoText(CMonoBitmap& bitmap, int x, int y, const MonoTextFont& font, std::string_view text);
