#pragma once
// The printer font table of a document: the resident fonts of the label's
// printer, taken from the built-in catalogue for its language code,
// resolution and brand, and the rules by which text in those fonts is
// sized, measured and shown on screen.
//
// Sizes are in hundredths of a point and stretches in hundredths of a
// percent (10000 = natural width, 0 = none) unless told otherwise; the
// printer's dots convert to points with its vertical resolution.
#include <string>
#include <string_view>
#include <vector>

#include "model/printer_font_catalog.h"
#include "platform/font.h"
#include "platform/geometry.h"

class CDC;

// One size of a font's size list.
struct PrinterFontSize {
    int height = 0;    // hundredths of a point
    std::string text;  // as the size list shows it
};

class CPrinterFontTable {
public:
    // Empties the table and fills it with the resident fonts of a printer
    // of that language code and horizontal resolution; a non-empty brand
    // replaces the first word of every name made of several words.
    // vdpi 0 means the same as hdpi.
    void Load(int language, int hdpi, const std::string& brand, int vdpi = 0);
    void RemoveAll() { m_entries.clear(); }
    // Appends an entry (the font lists add the installed Windows fonts).
    void Add(CPrinterFontEntry entry) { m_entries.push_back(std::move(entry)); }

    int GetCount() const { return int(m_entries.size()); }
    const CPrinterFontEntry& GetAt(int i) const { return m_entries[size_t(i)]; }
    const std::vector<CPrinterFontEntry>& Entries() const { return m_entries; }
    int GetHDpi() const { return m_nHDpi; }
    int GetVDpi() const { return m_nVDpi; }
    int GetLanguage() const { return m_nLanguage; }

    // The entry of that display name, or null.
    const CPrinterFontEntry* Find(const std::string& name) const;
    // A Windows font (TrueType or OpenType) rather than a printer font.
    static BOOL IsWindowsFont(const CPrinterFontEntry* entry);
    // The entry of that name when it is a printer font, else null.
    const CPrinterFontEntry* FindPrinterFont(const std::string& name) const;

    // The sizes the font page offers for the font.
    std::vector<PrinterFontSize> GetOfferedSizes(const CPrinterFontEntry& e) const;
    // A typed or stored size snapped to what the printer can print; 0 for a
    // font kind without size rules.
    int NearestSize(const CPrinterFontEntry& e, int height) const;
    // Character cell the driver writes, in dots: width and height for the
    // bitmap kinds and the Zebra scalable font; for the other scalable
    // fonts the height, with the stretch (10000 when none) as the width.
    CSize GetCellSize(const CPrinterFontEntry& e, int height, int stretch) const;
    // Size of a text in dots for the magnified bitmap fonts; 0 x 0 for the
    // other kinds, which are measured with their screen face.
    CSize MeasurePrinterText(const CPrinterFontEntry& e, std::string_view text, int height, int stretch) const;
    // The stretch one step up (+1), down (-1) or snapped (0) to what the
    // printer can do; 0 for a font kind without stretch rules.
    int StretchStep(const CPrinterFontEntry& e, int height, int stretch, int step) const;
    // Magnification of a size of a bitmap font (at least 1).
    int Magnification(const CPrinterFontEntry& e, int height) const;

    // A drawing font for a text or barcode font description: lfHeight in
    // hundredths of a point, lfWidth the stretch, the rest as the object
    // stores it. A printer font is shown through its screen face with the
    // proportions of the printer's cell. The font is made for dc (its
    // LOGPIXELSY), or for the printer's dots when dc is null; scale is a
    // percentage (the view's zoom).
    CFont CreateFont(const LOGFONT& description, const CDC* dc, int scale) const;

private:
    int DotsToTenths(int dots) const;
    int DotsToHundredths(int dots) const;
    int HundredthsToDots(int height) const;

    std::vector<CPrinterFontEntry> m_entries;
    int m_nLanguage = 0;
    int m_nHDpi = 203;
    int m_nVDpi = 203;
};
