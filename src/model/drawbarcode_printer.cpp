// The barcode object and the label's printer: whole-dot modules and wide
// elements, the human-readable font each printer language prints best, and
// the export line.
#include <algorithm>

#include "model/drawbarcode.h"
#include "data/variable.h"
#include "model/printer_lookup.h"
#include "model/document.h"
#include "platform/strutil.h"

namespace {

enum HeightRule { H_ARIAL, H_MODULE_DOTS, H_DOTS, H_POINTS };

struct PrinterTextDefaults {
    const char* face;
    HeightRule rule;
    int value;  // dots, or 1/100 point for H_POINTS
    int align;
    int gap;
    bool startStop;
};

// The human-readable font for a printer language code (0: printing
// through the Windows driver); null for a code that keeps the font.
const PrinterTextDefaults* TextDefaultsFor(int language)
{
    static const PrinterTextDefaults kWindows = {"Arial", H_ARIAL, 0, BTA_CENTER, 100, true};
    static const PrinterTextDefaults kEplStore = {"Arial", H_ARIAL, 0, BTA_CENTER, 100, false};
    static const PrinterTextDefaults kZebra = {"Zebra Font A", H_MODULE_DOTS, 9, BTA_CENTER, 100, true};
    static const PrinterTextDefaults kSato = {"SATO Font U", H_MODULE_DOTS, 9, BTA_CENTER, 100, true};
    static const PrinterTextDefaults kTec = {"TEC Font A", H_MODULE_DOTS, 9, BTA_CENTER, 100, true};
    static const PrinterTextDefaults kFarsun = {"FARSUN Font U", H_MODULE_DOTS, 9, BTA_CENTER, 100, true};
    static const PrinterTextDefaults kDatamax2 = {"Datamax Font 1", H_DOTS, 13, BTA_CENTER, 70, false};
    static const PrinterTextDefaults kDatamax = {"Datamax Font 1", H_DOTS, 13, BTA_CENTER, 0, false};
    static const PrinterTextDefaults kArgox1 = {"Argox Font 1", H_DOTS, 13, BTA_CENTER, 0, false};
    static const PrinterTextDefaults kBy = {"BY Font 1", H_DOTS, 13, BTA_CENTER, 0, false};
    static const PrinterTextDefaults kTsc = {"Tsc Font 3", H_DOTS, 24, BTA_LEFT, 100, false};
    static const PrinterTextDefaults kIntermec2 = {"Intermec Font 2", H_DOTS, 20, BTA_LEFT, 100, false};
    static const PrinterTextDefaults kIntermec3 = {"Intermec Font 3", H_DOTS, 20, BTA_LEFT, 100, false};
    static const PrinterTextDefaults kArgox3 = {"Argox Font 3", H_DOTS, 20, BTA_LEFT, 100, false};
    static const PrinterTextDefaults kGodex = {"EZ CG Triumvirate", H_POINTS, 800, BTA_LEFT, 100, true};
    switch (language) {
    case 0: return &kWindows;
    case 15: return &kEplStore;
    case 1: return &kZebra;
    case 9: return &kSato;
    case 10: return &kTec;
    case 17: return &kFarsun;
    case 2: return &kDatamax2;
    case 4:
    case 16: return &kDatamax;
    case 5: return &kArgox1;
    case 8: return &kBy;
    case 3:
    case 14: return &kTsc;
    case 7: return &kIntermec2;
    case 11: return &kIntermec3;
    case 19: return &kArgox3;
    case 6: return &kGodex;
    default: return nullptr;
    }
}

}  // namespace

void CDrawBarcode::ApplyPrinterDefaults(CKVDoc* doc)
{
    if (doc) {
        m_pDocument = doc;
        const int dpi = FormatDpiX();
        m_nModuleWidth = MulDiv(MulDiv(1000, dpi, 100000), 100000, dpi);
    }
    // EAN/UPC print their digits inside the symbol; the matrix symbols
    // have no line of text.
    if (IsEanUpc(m_nSymbology) || IsMatrixSymbology(m_nSymbology)) {
        m_strFontName.clear();
        return;
    }
    const CLabelFormat* format = m_pDocument ? &m_pDocument->m_format : nullptr;
    const int language = !format || format->IsWindowsDriverMode() ? 0 : format->m_nLanguage;
    const PrinterTextDefaults* d = TextDefaultsFor(language);
    if (!d) return;

    std::string face = d->face;
    if (d->rule != H_ARIAL && format) {
        // Resident fonts carry the catalogue's brand word for this printer.
        const CPrinterInfo* printer = GetPrinterLookup().Find(format->m_strPrinter);
        if (printer && !printer->m_strBrand.empty()) {
            const size_t space = face.find(' ');
            face = printer->m_strBrand + (space == std::string::npos ? std::string() : face.substr(space));
        }
    }
    const int dpiY = FormatDpiY();
    switch (d->rule) {
    case H_ARIAL: m_nFontHeight = MulDiv(m_nModuleWidth, 8, 10); break;
    case H_MODULE_DOTS: m_nFontHeight = MulDiv(d->value * ModuleDots(), 7200, dpiY); break;
    case H_DOTS: m_nFontHeight = MulDiv(d->value, 7200, dpiY); break;
    case H_POINTS: m_nFontHeight = d->value; break;
    }
    m_strFontName = face;
    m_nTextAlign = d->align;
    m_nTextGap = d->gap;
    m_check.showStartStop = d->startStop ? 1 : 0;
    m_nCharSet = 0;
    m_nFontWidth = 0;
}

void CDrawBarcode::AdaptToPrinter(CKVDoc* doc)
{
    if (doc) m_pDocument = doc;
    const int dpi = FormatDpiX();
    // The module and the wide element become whole dots of the new printer.
    const int n = std::clamp(MulDiv(m_nModuleWidth, dpi, 100000), 1, std::max(1, MaxModuleDots()));
    m_nModuleWidth = MulDiv(n, 100000, dpi);
    m_nRatio = MulDiv(MulDiv(n, m_nRatio, 100), 100, n);
    if (m_nTextPlacement == BTP_DEFAULT)
        ApplyPrinterDefaults(nullptr);
    else if (m_nTextPlacement == BTP_ABOVE || m_nTextPlacement == BTP_BELOW)
        AdaptFontToPrinter(doc);
    RecalcSize();
}

BOOL CDrawBarcode::ExportText(std::string& out, int& index)
{
    const SymbologyInfo* row = FindSymbology(m_nSymbology);
    if (!row || !row->stored || !row->exported) return FALSE;
    const CRect p = m_position.Normalized();
    const CPoint anchor = AnchorCorner(p);
    const std::string data = m_variables.empty() ? GetText() : "%" + m_variables.front()->m_strName;
    out += StrFormat("Barcode%d =  %d,%d,%d,%d,%d,%d,%d,%d,\"%s\"\n", index, anchor.x / 10, anchor.y / 10,
                     m_nSymbology, m_nModuleWidth / 100, MulDiv(m_nModuleWidth, m_nRatio, 10000), m_nBarHeight / 10,
                     0, m_nRotation & 3, data.c_str());
    ++index;
    if (m_nTextPlacement != BTP_NONE)
        ExportTextLine(out, index, m_variables.empty() ? GetHumanReadable(nullptr) : data);
    return TRUE;
}
