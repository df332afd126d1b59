#include "drivers/epl_driver.h"

#include "drivers/command_helpers.h"
#include "drivers/epl_fields.h"
#include "encoders/linear_entries.h"
#include "model/document.h"
#include "model/drawbarcode.h"
#include "model/labelformat.h"
#include "model/printer_font_table.h"
#include "platform/devmode.h"
#include "platform/strutil.h"
#include "print/print_port.h"

namespace {

BOOL Put(CPrintPort* port, const std::string& text) { return port->Write(text.data(), text.size()); }

// The name of the form a serial pass stores and recalls.
constexpr char kSerialForm[] = "\"KV0000\"";

// A label printed on a port of the program's own whose printer settings
// were never set has nothing to load: its zero block would send speed 0,
// density 0 and a continuous form of one dot.
bool NoOwnSettings(BOOL ownSettings, const CLabelFormat* format)
{
    return ownSettings && format && format->GetProperty(LFP_PRINTER_SETTINGS).empty();
}

}  // namespace

// ---- settings and answers --------------------------------------------------

BOOL CEplDriver::LoadPrinterSettings(BOOL ownSettings)
{
    if (NoOwnSettings(ownSettings, m_pFormat)) {
        KeepPrinterSettings();
        return TRUE;
    }
    if (CPrintDriver::LoadPrinterSettings(ownSettings)) return TRUE;
    if (!EplSettingsFromDevMode(CDevModeView(m_jobDevMode), m_settings)) KeepPrinterSettings();
    return TRUE;
}

void CEplDriver::KeepPrinterSettings()
{
    // Zero settings would send speed 0, density 0 and a continuous form of
    // one dot; without settings to read the printer keeps its own and
    // feeds the label as it is laid out.
    const EplLabelDots d = LabelDots();
    EplSettingsWithoutDevMode(m_settings, d.gap > 0, d.height + d.gap);
}

int CEplDriver::GetCapability(int query, int arg)
{
    int answer = 0;
    if (EplCapability(query, arg, answer)) return answer;
    return CPrintDriver::GetCapability(query, arg);
}

int CEplDriver::ClassifyObject(CDrawObj* obj)
{
    const int variability = CPrintDriver::ClassifyObject(obj);
    EplAdjustOutputMethod(obj);
    return variability;
}

EplLabelDots CEplDriver::LabelDots() const
{
    EplLabelDots d;
    if (!m_pFormat) return d;
    const CLabelFormat& f = *m_pFormat;
    const int across = Across();
    d.width = UnitsToDots(across * f.m_nLabelWidth + (across - 1) * f.m_nHGap, f.m_nHDpi);
    d.height = UnitsToDots(f.m_nLabelHeight, f.m_nVDpi);
    d.gap = UnitsToDots(f.m_nVGap, f.m_nVDpi);
    d.offsetX = UnitsToDots(f.m_nHAdjust, f.m_nHDpi);
    d.offsetY = UnitsToDots(f.m_nVAdjust, f.m_nVDpi);
    return d;
}

BOOL CEplDriver::SendSetup(CPrintPort* port) { return Put(port, EplSetupLines(m_settings, LabelDots())); }

// ---- formats ---------------------------------------------------------------

std::string CEplDriver::PrintCommand(int quantity, int copies) { return StrFormat("P%d,%d\r\n", quantity, copies); }

BOOL CEplDriver::PrintFormat(CPrintPort* port, CLabelPos* first, int across, int quantity, int replicates, int pass)
{
    m_strPending.clear();
    const auto labels = [&] {
        for (int i = 0; i < across; ++i) {
            CLabelPos pos = *first;
            pos.m_nLabel += i;
            LocateLabel(&pos, pos.m_nLabel);
            EmitLabel(port, &pos, i, pass, replicates);
        }
    };
    if (pass == 1) {
        // The row is stored as a form with counters, then recalled with the
        // counters' start values: the printer numbers every label itself.
        m_bInForm = true;
        BOOL ok = Put(port, std::string("FK") + kSerialForm + "\r\nFS" + kSerialForm + "\r\n");
        labels();
        m_bInForm = false;
        ok = ok && Put(port, std::string("FE\r\nN\r\nFR") + kSerialForm + "\r\n?\r\n" + m_strPending);
        m_strPending.clear();
        return ok && Put(port, PrintCommand(quantity, replicates));
    }
    if (!Put(port, "N\r\n")) return FALSE;
    labels();
    return Put(port, PrintCommand(quantity, replicates));
}

BOOL CEplDriver::DownloadGraphic(CPrintPort* port, const std::string& name, const CMonoBitmap& bitmap)
{
    const std::vector<std::uint8_t> image = GetImageFileData(bitmap, IMAGE_PCX);
    if (image.empty()) return TRUE;  // nothing the printer could store
    return Put(port, EplGraphicDownload(name, image));
}

// ---- coordinates -----------------------------------------------------------

void CEplDriver::MapLabelPoint(CPoint* point, int column)
{
    if (m_pFormat) {
        const CPoint offset = LabelColumnOffset(*m_pFormat, column, false);
        point->x += offset.x;
        point->y += offset.y;
    }
    ConvertPoint(point);
}

void CEplDriver::ConvertSize(CPoint* size)
{
    if (m_pFormat) *size = UnitsToDotsPair(*m_pFormat, *size);
}

CPoint CEplDriver::GetAnchorPoint(int left, int top, int right, int bottom, int rotation)
{
    return EplAnchorPoint(left, top, right, bottom, rotation);
}

std::string CEplDriver::EncodeBarcodeData(const std::string& data, int mode)
{
    return EplCode128Data(Code128ToCaret(data.c_str(), mode));
}

// ---- fields ----------------------------------------------------------------

std::string CEplDriver::MakeBarcodeCommand(int rotation, int x, int y, int symbology, BOOL ean128, int narrow, int wide,
                                           int height, char humanReadable)
{
    return EplBarcodeCommand(rotation, CPoint(x, y), EplBarcodeSelector(symbology, ean128 != 0), narrow, wide, height,
                             humanReadable);
}

BOOL CEplDriver::DrawText(CPrintPort* port, int x, int y, CDrawObj* obj, const std::string& text, int pass)
{
    const EplTextCell cell = EplTextCellOf(m_pDocument, obj);
    // Only a printer font is ever written natively; anything else has no
    // command to go in.
    if (!cell.font) return TRUE;
    const int rotation = obj->m_nRotation & 3;
    if (m_bInForm && EplIsPrinterSerial(obj, pass)) {
        const int counter = m_nJobCounter[0]++;
        m_strPending += EplDataLine(text);
        return Put(port, EplCounterLine(counter, int(text.size()), obj->m_nSerialStep, "") +
                             EplTextLine(CPoint(x, y), rotation, cell.font->m_strCode, cell.multipliers,
                                         StrFormat("C%d", counter)));
    }
    return Put(port, EplTextLine(CPoint(x, y), rotation, cell.font->m_strCode, cell.multipliers, EplQuoted(text)));
}

BOOL CEplDriver::DrawBarcode(CPrintPort* port, CDrawObj* obj, int x, int y, CDrawBarcode* b, CLabelPos* pos, int pass)
{
    if (!m_pFormat || EplBarcodeSelector(b->m_nSymbology, b->m_code128.ean128 != 0).empty()) return TRUE;
    const int rotation = b->m_nRotation & 3;
    const EplBarcodeShape s = EplShapeBarcode(*b, CPoint(x, y), m_pFormat->m_nHDpi, m_pFormat->m_nVDpi);
    const std::string command = MakeBarcodeCommand(rotation, s.at.x, s.at.y, b->m_nSymbology, b->m_code128.ean128, s.narrow,
                                                   s.wide, s.height, s.humanReadable);
    const std::string data = EplBarcodeDataOf(*this, *b, pos);
    if (m_bInForm && EplIsPrinterSerial(obj, pass)) {
        const int counter = m_nJobCounter[0]++;
        m_strPending += EplDataLine(data);
        return Put(port, EplCounterLine(counter, int(data.size()), obj->m_nSerialStep, "") + command +
                             StrFormat("C%d\r\n", counter));
    }
    return Put(port, command + EplQuoted(data) + "\r\n");
}

BOOL CEplDriver::DrawLine(CPrintPort* port, int x, int y, int cx, int cy, int)
{
    return Put(port, EplLineCommand(x, y, cx, cy));
}

BOOL CEplDriver::DrawRect(CPrintPort* port, int x, int y, int cx, int cy, int thickness)
{
    CPoint pen(thickness, thickness);
    ConvertSize(&pen);
    return Put(port, EplBoxCommand(x, y, pen.x, cx, cy));
}

BOOL CEplDriver::DrawGraphic(CPrintPort* port, CDrawObj*, int x, int y, const std::string& name)
{
    return Put(port, EplGraphicCommand(x, y, name));
}

// ---- the single-number variant ---------------------------------------------

BOOL CEpl19Driver::LoadPrinterSettings(BOOL ownSettings)
{
    if (NoOwnSettings(ownSettings, m_pFormat)) {
        KeepPrinterSettings();
        return TRUE;
    }
    if (CPrintDriver::LoadPrinterSettings(ownSettings)) return TRUE;
    if (!Epl19SettingsFromDevMode(CDevModeView(m_jobDevMode), m_settings)) KeepPrinterSettings();
    return TRUE;
}

int CEpl19Driver::GetCapability(int query, int arg)
{
    if (query == 12) return 1;
    return CEplDriver::GetCapability(query, arg);
}

BOOL CEpl19Driver::AdjustSettings(BOOL)
{
    // The label keeps the speed in tenths of an inch per second; the
    // printer takes whole inches.
    m_settings[ES_SPEED] /= 10;
    if (m_settings[ES_NO_PRINT_MODE] != 1) {
        switch (m_settings[ES_PRINT_MODE]) {
        case 1: m_settings[ES_TOP_OF_FORM] = 1; break;
        case 2: m_settings[ES_PEEL] = 1; break;
        case 4: m_settings[ES_CUTTER] = 1; break;
        default: break;
        }
    }
    return TRUE;
}

BOOL CEpl19Driver::SendSetup(CPrintPort* port) { return Put(port, Epl19SetupLines(m_settings, LabelDots())); }

std::string CEpl19Driver::PrintCommand(int quantity, int copies) { return StrFormat("P%d\r\n", quantity * copies); }
