#pragma once
// Logical fonts of the drawing layer. A font is described the way label
// objects store it (height, average width, escapement, weight, style bits,
// character set, pitch and family, face name) and realised with QtGui.
//
// Measurements follow the rules the layout code is written against: every
// character advances by a whole number of logical units (its scaled design
// advance, rounded), a text's extent is the sum of its characters' advances,
// and no kerning is applied. Text output places the characters on exactly
// those advances, so what is measured is what is drawn.
#include <QFont>
#include <QRawFont>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/types.h"

// Weights.
inline constexpr int FW_DONTCARE = 0;
inline constexpr int FW_NORMAL = 400;
inline constexpr int FW_BOLD = 700;

// Character sets.
inline constexpr BYTE ANSI_CHARSET = 0;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE SYMBOL_CHARSET = 2;

// Pitch (low two bits) and family (high nibble) of the pitch-and-family byte.
inline constexpr BYTE DEFAULT_PITCH = 0;
inline constexpr BYTE FIXED_PITCH = 1;
inline constexpr BYTE VARIABLE_PITCH = 2;
inline constexpr BYTE FF_DONTCARE = 0x00;
inline constexpr BYTE FF_ROMAN = 0x10;
inline constexpr BYTE FF_SWISS = 0x20;
inline constexpr BYTE FF_MODERN = 0x30;
inline constexpr BYTE FF_SCRIPT = 0x40;
inline constexpr BYTE FF_DECORATIVE = 0x50;

struct LOGFONT {
    // Logical units of the target. Negative: character (em) height;
    // positive: cell height (ascent + descent); 0: a default height.
    int lfHeight = 0;
    // Average character width in logical units; 0 keeps the face's own
    // proportions. The sign is ignored.
    int lfWidth = 0;
    // Angle of the baseline, tenths of a degree counter-clockwise.
    int lfEscapement = 0;
    int lfOrientation = 0;
    int lfWeight = FW_NORMAL;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = DEFAULT_CHARSET;
    BYTE lfPitchAndFamily = 0;
    std::string lfFaceName;  // ANSI code page

    bool operator==(const LOGFONT&) const = default;
};

struct TEXTMETRIC {
    int tmHeight = 0;  // ascent + descent
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;  // cell height less the em height
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
    int tmWeight = 0;
    // Extra width that synthesised bold or italic adds to a string. Outline
    // fonts are drawn from their own bold and italic faces and have none.
    int tmOverhang = 0;
    BYTE tmItalic = 0;
    BYTE tmUnderlined = 0;
    BYTE tmStruckOut = 0;
    BYTE tmPitchAndFamily = 0;
    BYTE tmCharSet = 0;
};

// One character of an ANSI string: where it is, how many bytes it takes
// (2 for a double-byte character of the code page) and what it is.
struct DecodedChar {
    int offset = 0;
    int bytes = 1;
    char32_t ch = 0;
};
std::vector<DecodedChar> DecodeAnsiChars(std::string_view ansi);

// One character of an ANSI string with its measured advance.
struct CharAdvance {
    int offset = 0;  // byte offset in the string
    int bytes = 1;   // 1, or 2 for a double-byte character
    char32_t ch = 0;
    int width = 0;   // logical units
};

class CFont {
public:
    CFont() = default;
    explicit CFont(const LOGFONT& lf) { CreateFontIndirect(lf); }

    // Realises the description; FALSE (and an unusable font) only when no
    // face at all could be found.
    BOOL CreateFontIndirect(const LOGFONT& lf);
    bool IsValid() const { return m_face != nullptr; }

    const LOGFONT& GetLogFont() const { return m_lf; }
    const TEXTMETRIC& GetTextMetrics() const { return m_tm; }
    // Family actually used (UTF-8), after substitution.
    const std::string& GetFamily() const;

    // Advance of one Unicode character in logical units.
    int GetCharWidth(char32_t ch) const;
    // The characters of an ANSI string (double-byte characters of the code
    // page as one character each) with their advances.
    std::vector<CharAdvance> GetCharAdvances(std::string_view ansi) const;
    // Width of an ANSI string: the sum of its characters' advances.
    int GetTextWidth(std::string_view ansi) const;

    // The face at its em height and natural width, for drawing; the
    // horizontal scale to apply when the average width was set.
    QFont GetQFont(bool antialias) const;
    // The face at the em height, for drawing glyphs where they were
    // measured; the glyph of a character (0 when the face has none).
    QRawFont GetRawFont() const;
    quint32 GetGlyphIndex(char32_t ch) const;
    double GetScaleX() const { return m_scaleX; }
    int GetEmHeight() const { return m_em; }
    // Underline and strikeout bands, as offsets from the baseline (positive
    // downwards) and thickness, in logical units.
    int GetUnderlineOffset() const { return m_underlinePos; }
    int GetStrikeOutOffset() const { return m_strikePos; }
    int GetLineThickness() const { return m_lineWidth; }

    struct Face;  // design metrics of one family, weight and slant

private:
    LOGFONT m_lf;
    std::shared_ptr<Face> m_face;
    int m_em = 0;  // em height in logical units
    double m_scaleX = 1.0;
    TEXTMETRIC m_tm;
    int m_underlinePos = 0;
    int m_strikePos = 0;
    int m_lineWidth = 1;
    mutable std::unordered_map<char32_t, int> m_widths;
};
