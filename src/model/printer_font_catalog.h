#pragma once
// The built-in catalogue of printer-resident fonts: one list per printer
// language and resolution band. Each entry tells how the font is named,
// which Windows face shows it on screen, the code the driver writes, its
// character cell in dots and how it may be magnified.
#include <string>
#include <vector>

#include "platform/types.h"

// How a printer font is sized.
enum PrinterFontKind : int {
    PFK_BITMAP = 1,            // bitmap font magnified by whole factors
    PFK_X_FONT = 2,            // the X fonts of the SATO and FARSUN lists
    PFK_ZEBRA_SCALABLE = 3,    // the Zebra scalable font
    PFK_DATAMAX_SCALABLE = 4,  // the Datamax scalable font
    PFK_SCALABLE = 5,          // the other scalable fonts
    PFK_SCALABLE_WIDE = 6,     // sized by the rules, no entry uses it
};

// Where a font list entry comes from.
enum FontSource : int {
    FONT_SOURCE_TRUETYPE = 0,
    FONT_SOURCE_PRINTER = 1,
    FONT_SOURCE_OPENTYPE = 2,
};

struct CPrinterFontEntry {
    std::string m_strName;        // display name, stored in objects as their font name
    std::string m_strScreenFace;  // Windows face used on screen
    std::string m_strCode;        // the printer's own name or number of the font
    BYTE m_nCharSet = 0;          // 0, or 2 for the OCR fonts
    BYTE m_nPitchAndFamily = 0x32;
    int m_nCellHeight = 0;  // dots
    int m_nCellWidth = 0;   // dots
    int m_nGap = 0;         // dots between characters
    int m_nStretch = 1;     // the horizontal stretch box is offered
    int m_nWeight = 400;
    int m_nKind = PFK_BITMAP;
    int m_nMaxHMag = 1;
    int m_nMaxVMag = 1;
    int m_nMinWidth = 0;  // dots, scalable Zebra font only
    int m_nMaxWidth = 0;
    int m_nMinHeight = 0;
    int m_nMaxHeight = 0;
    // Not part of the catalogue: 1 for every entry built from it; Windows
    // fonts added to a font list carry 0 (TrueType) or 2 (OpenType).
    int m_nSource = FONT_SOURCE_PRINTER;
    // The one script the entry offers ("Western Language" or "Symbol").
    std::string m_strScript;
};

// The resident fonts of a printer of that language code at that horizontal
// resolution, in list order, with their catalogue names (no brand applied)
// and source 1. Empty for a language without resident fonts.
std::vector<CPrinterFontEntry> GetCatalogFonts(int language, int hdpi);
