#pragma once
// The small text-rendering interface through which the encoder library draws
// human-readable lines into its monochrome symbols. The default implementation
// draws with the platform's monochrome text (platform/mono_text.h); tests and other
// hosts may install their own.
#include <string>
#include <string_view>

#include "platform/monobitmap.h"

// Face of the human-readable lines.
inline constexpr char kBarcodeFontFace[] = "OCR-B-10 BT";

struct BarcodeFont {
    std::string face = kBarcodeFontFace;
    // In pixels, with the sign convention of a logical font: negative = the
    // character height (the cell without its internal leading), positive =
    // the cell height (ascent + descent).
    int height = 0;
    // Average character width in pixels; 0 = the face's natural width.
    int width = 0;
    friend bool operator==(const BarcodeFont&, const BarcodeFont&) = default;
};

class IBarcodeTextRenderer {
public:
    virtual ~IBarcodeTextRenderer() = default;
    // Advance width in pixels of text (ANSI code page) in font.
    virtual int TextWidth(const BarcodeFont& font, std::string_view text) = 0;
    // Draws text in black on a transparent background, the top of its
    // character cell at y and its left edge at x; pixels outside the bitmap
    // are clipped. False only when it could not allocate what it needs.
    virtual bool DrawText(CMonoBitmap& bitmap, int x, int y, const BarcodeFont& font, std::string_view text) = 0;
};

// The renderer in use (the default one unless another was installed).
IBarcodeTextRenderer& BarcodeTextRenderer();
// Installs renderer (null restores the default) and returns the previous one
// (null when it was the default).
IBarcodeTextRenderer* SetBarcodeTextRenderer(IBarcodeTextRenderer* renderer);
// The default renderer, drawing with the platform's fonts.
IBarcodeTextRenderer& DefaultBarcodeTextRenderer();

// The human-readable line of the general types: 12 x narrow high, in the
// band below or above the bars, placed by the text flags.
bool DrawGeneralText(CMonoBitmap& bmp, std::string_view text, int narrow, int textFlags);
bool DrawGeneralText(IBarcodeTextRenderer& renderer, CMonoBitmap& bmp, std::string_view text, int narrow,
                     int textFlags);
