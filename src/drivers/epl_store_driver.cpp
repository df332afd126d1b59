#include "drivers/epl_store_driver.h"

#include "data/printer_clock.h"
#include "data/variable.h"
#include "drivers/command_helpers.h"
#include "drivers/epl_fields.h"
#include "encoders/linear_entries.h"
#include "model/document.h"
#include "model/drawbarcode.h"
#include "model/labelformat.h"
#include "model/object_clock.h"
#include "model/printer_font_table.h"
#include "platform/devmode.h"
#include "platform/strutil.h"
#include "print/print_port.h"

namespace {

BOOL Put(CPrintPort* port, const std::string& text) { return port->Write(text.data(), text.size()); }

// The name of the form a serial pass stores and recalls.
constexpr char kSerialForm[] = "\"KVFORM\"";

// The serial variable a printer-counted object counts (its last one).
CVariable* SerialVariableOf(const CDrawObj* obj)
{
    for (auto it = obj->m_variables.rbegin(); it != obj->m_variables.rend(); ++it)
        if ((*it)->m_nKind == VK_SERIAL) return *it;
    return nullptr;
}

// A text object that prints the printer's date or time.
bool IsClockField(CDrawObj* obj)
{
    return obj->m_nType == OBJ_TEXT && obj->m_variables.size() == 1 && TakesPrinterClock(*obj->m_variables[0], obj);
}

}  // namespace

// ---- answers ---------------------------------------------------------------

std::string CEplStoreDriver::GetClockTimeText(int format, const CLocalTime* time)
{
    return EplClockTimeText(format, time);
}

std::string CEplStoreDriver::GetClockDateText(int format, const CLocalTime* time)
{
    return EplClockDateText(format, time);
}

int CEplStoreDriver::GetClockFormats(int kind, std::vector<std::string>& list) { return EplClockFormats(kind, list); }

std::string CEplStoreDriver::GetDefaultFormatName() { return "TVFORM"; }

int CEplStoreDriver::GetCapability(int query, int arg)
{
    int answer = 0;
    if (EplCapability(query, arg, answer)) return answer;
    switch (query) {
    case 11:
    case 17: return 1;
    case 13:
    case 14: return 16;
    default: return CPrintDriver::GetCapability(query, arg);
    }
}

int CEplStoreDriver::GetDriverSetting(int which)
{
    return EplStoreDriverSetting(CDevModeView(m_jobDevMode), which, m_pFormat ? m_pFormat->m_nVDpi : 203);
}

int CEplStoreDriver::ClassifyObject(CDrawObj* obj)
{
    const int variability = CPrintDriver::ClassifyObject(obj);
    EplAdjustOutputMethod(obj);
    return variability;
}

// ---- setup and formats -----------------------------------------------------

BOOL CEplStoreDriver::SendSetup(CPrintPort* port)
{
    m_nFormMode = m_pFormat && m_pFormat->IsFormDownload() ? FORM_STORED : FORM_NONE;
    m_bFormStored = false;
    m_strDefinitions.clear();
    m_strFields.clear();
    m_strPending.clear();
    EplLabelDots d;
    if (m_pFormat) {
        const CLabelFormat& f = *m_pFormat;
        const int across = Across();
        d.width = UnitsToDots(across * f.m_nLabelWidth + (across - 1) * f.m_nHGap, f.m_nHDpi);
        d.height = UnitsToDots(f.m_nLabelHeight, f.m_nVDpi);
        d.gap = UnitsToDots(f.m_nVGap, f.m_nVDpi);
        d.offsetX = UnitsToDots(f.m_nHAdjust, f.m_nHDpi);
        d.offsetY = UnitsToDots(f.m_nVAdjust, f.m_nVDpi);
    }
    EplStoreSetup setup;
    setup.storedFormat = m_nFormMode == FORM_STORED;
    setup.formName = GetFormatName();
    setup.media = GetDriverSetting(EDS_MEDIA);
    setup.speed = GetDriverSetting(EDS_SPEED);
    setup.heat = GetDriverSetting(EDS_HEAT);
    return Put(port, EplStoreSetupLines(setup, d));
}

std::string CEplStoreDriver::TakeLists()
{
    std::string out = m_strDefinitions + m_strFields;
    m_strDefinitions.clear();
    m_strFields.clear();
    return out;
}

BOOL CEplStoreDriver::PrintFormat(CPrintPort* port, CLabelPos* first, int across, int quantity, int replicates,
                                  int pass)
{
    const auto labels = [&] {
        m_strDefinitions.clear();
        m_strFields.clear();
        for (int i = 0; i < across; ++i) {
            CLabelPos pos = *first;
            pos.m_nLabel += i;
            LocateLabel(&pos, pos.m_nLabel);
            EmitLabel(port, &pos, i, pass, replicates);
        }
    };
    if (m_nFormMode == FORM_STORED) {
        // The printer keeps one form under the job's name: the form opened
        // by the setup holds the first format's row, and a later format of
        // the same job (a shorter last row, another record) has no form to
        // go in.
        if (m_bFormStored) return TRUE;
        m_bFormStored = true;
        labels();
        std::string out = TakeLists();
        if (m_pFormat && (m_pFormat->m_dwOptions & LFO_CHANGE_SERIAL_FORM))
            out += StrFormat("WA%d,%d\r\n", quantity, replicates);
        return Put(port, out + "FE\r\n");
    }
    if (pass == 1) {
        m_nFormMode = FORM_SERIAL;
        m_strPending.clear();
        labels();
        m_nFormMode = FORM_NONE;
        const std::string out = std::string("FK") + kSerialForm + "\r\nFS" + kSerialForm + "\r\n" + TakeLists() +
                                "FE\r\nN\r\nFR" + kSerialForm + "\r\n?\r\n" + m_strPending +
                                StrFormat("W%d,%d\r\n", quantity, replicates);
        m_strPending.clear();
        return Put(port, out);
    }
    labels();
    return Put(port, "N\r\n" + TakeLists() + StrFormat("W%d,%d\r\n", quantity, replicates));
}

BOOL CEplStoreDriver::DownloadGraphic(CPrintPort* port, const std::string& name, const CMonoBitmap& bitmap)
{
    const std::vector<std::uint8_t> image = GetImageFileData(bitmap, IMAGE_PCX);
    if (image.empty()) return TRUE;
    return Put(port, EplGraphicDownload(name, image));
}

// ---- coordinates -----------------------------------------------------------

void CEplStoreDriver::MapLabelPoint(CPoint* point, int column)
{
    if (m_pFormat) {
        const CPoint offset = LabelColumnOffset(*m_pFormat, column, true);
        point->x += offset.x;
        point->y += offset.y;
    }
    ConvertPoint(point);
}

void CEplStoreDriver::ConvertSize(CPoint* size)
{
    if (m_pFormat) *size = UnitsToDotsPair(*m_pFormat, *size);
}

CPoint CEplStoreDriver::GetAnchorPoint(int left, int top, int right, int bottom, int rotation)
{
    return EplAnchorPoint(left, top, right, bottom, rotation);
}

std::string CEplStoreDriver::EncodeBarcodeData(const std::string& data, int mode)
{
    return EplCode128Data(Code128ToCaret(data.c_str(), mode));
}

// ---- fields ----------------------------------------------------------------

std::string CEplStoreDriver::PrinterData(CDrawObj* obj, const std::string& value, int pass)
{
    if (m_nFormMode == FORM_NONE) return std::string();
    if (EplIsPrinterSerial(obj, pass)) {
        if (m_nFormMode == FORM_SERIAL) {
            // Each field counts on from its own label's value.
            const int counter = m_nJobCounter[0]++;
            m_strDefinitions += EplCounterLine(counter, int(value.size()), obj->m_nSerialStep, "");
            m_strPending += EplDataLine(value);
            return StrFormat("C%d", counter);
        }
        // A stored form asks for each serial number once, by its name.
        CVariable* v = SerialVariableOf(obj);
        if (v && v->m_nJobMark >= 0) return StrFormat("C%d", v->m_nJobMark);
        const int counter = m_nJobCounter[0]++;
        if (v) v->m_nJobMark = counter;
        m_strDefinitions += EplCounterLine(counter, int(value.size()), obj->m_nSerialStep, v ? v->m_strName : "");
        return StrFormat("C%d", counter);
    }
    if (obj->IsPrinterPrompt()) {
        CVariable* v = obj->m_variables.front();
        if (v->m_nJobMark >= 0) return StrFormat("V%d", v->m_nJobMark);
        const int number = m_nJobCounter[1]++;
        v->m_nJobMark = number;
        m_strDefinitions += EplVariableLine(number, v->m_strPrompt);
        m_strPending += EplDataLine(value);
        return StrFormat("V%d", number);
    }
    return std::string();
}

BOOL CEplStoreDriver::DrawText(CPrintPort*, int x, int y, CDrawObj* obj, const std::string& text, int pass)
{
    const EplTextCell cell = EplTextCellOf(m_pDocument, obj);
    if (!cell.font) return TRUE;
    const int rotation = obj->m_nRotation & 3;
    const CPoint at(x, y);
    if (IsClockField(obj)) {
        m_strFields += EplClockSetupText(*obj) +
                       EplTextLine(at, rotation, cell.font->m_strCode, cell.multipliers, EplClockFieldReference(*obj));
        return TRUE;
    }
    std::string data = PrinterData(obj, text, pass);
    if (data.empty()) data = EplQuoted(text);
    m_strFields += EplTextLine(at, rotation, cell.font->m_strCode, cell.multipliers, data);
    return TRUE;
}

BOOL CEplStoreDriver::DrawBarcode(CPrintPort*, CDrawObj* obj, int x, int y, CDrawBarcode* b, CLabelPos* pos, int pass)
{
    const std::string selector = EplStoreBarcodeSelector(b->m_nSymbology, Code128Mode(*b));
    if (!m_pFormat || selector.empty()) return TRUE;
    const EplBarcodeShape s = EplShapeBarcode(*b, CPoint(x, y), m_pFormat->m_nHDpi, m_pFormat->m_nVDpi);
    const std::string value = EplBarcodeDataOf(*this, *b, pos);
    std::string data = PrinterData(obj, value, pass);
    if (data.empty()) data = EplQuoted(value);
    m_strFields += EplBarcodeCommand(b->m_nRotation & 3, s.at, selector, s.narrow, s.wide, s.height, s.humanReadable) +
                   data + "\r\n";
    return TRUE;
}

BOOL CEplStoreDriver::DrawLine(CPrintPort*, int x, int y, int cx, int cy, int)
{
    m_strFields += EplLineCommand(x, y, cx, cy);
    return TRUE;
}

BOOL CEplStoreDriver::DrawRect(CPrintPort*, int x, int y, int cx, int cy, int thickness)
{
    CPoint pen(thickness, thickness);
    ConvertSize(&pen);
    m_strFields += EplBoxCommand(x, y, pen.x, cx, cy);
    return TRUE;
}

BOOL CEplStoreDriver::DrawGraphic(CPrintPort*, CDrawObj*, int x, int y, const std::string& name)
{
    m_strFields += EplGraphicCommand(x, y, name);
    return TRUE;
}
