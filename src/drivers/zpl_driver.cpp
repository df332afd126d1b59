#include "drivers/zpl_driver.h"

#include <charconv>

#include "drivers/command_helpers.h"
#include "drivers/zpl_commands.h"
#include "encoders/linear_entries.h"
#include "model/document.h"
#include "model/drawbarcode.h"
#include "model/drawline.h"
#include "model/labelformat.h"
#include "model/printer_font_table.h"
#include "platform/devmode.h"
#include "platform/strutil.h"
#include "print/print_port.h"

namespace {

// Everything goes out as it was built; no command holds a NUL byte.
BOOL Put(CPrintPort* port, const std::string& text) { return port->Write(text.data(), text.size()); }

// Fields are written for every label of a job; they are put together
// here without going through printf.
void Num(std::string& out, int v)
{
    char buf[16];
    const auto end = std::to_chars(buf, buf + sizeof buf, v).ptr;
    out.append(buf, end);
}

// A field: the control byte, then "^FO" and the rest.
std::string Field(int x, int y)
{
    std::string out;
    out.reserve(96);
    out += kZplFieldMark;
    out += "^FO";
    Num(out, x);
    out += ',';
    Num(out, y);
    return out;
}

// A command of the symbology table's ZPL column: "%c", "%d", "%c" take
// the orientation letter, the height and the interpretation flag.
void AppendBarcodeCommand(std::string& out, const char* command, char letter, int height, char flag)
{
    int arg = 0;
    for (const char* c = command; *c; ++c) {
        if (c[0] == '%' && (c[1] == 'c' || c[1] == 'd')) {
            if (arg == 1)
                Num(out, height);
            else
                out += arg == 0 ? letter : flag;
            ++arg;
            ++c;
        } else {
            out += *c;
        }
    }
}

}  // namespace

BOOL CZplDriver::LoadPrinterSettings(BOOL ownSettings)
{
    if (CPrintDriver::LoadPrinterSettings(ownSettings)) return TRUE;
    ZplSettingsFromDevMode(CDevModeView(m_jobDevMode), m_pFormat ? m_pFormat->m_nHDpi : 203, m_settings);
    return TRUE;
}

int CZplDriver::GetCapability(int query, int arg)
{
    if (query == 1) return 10;
    return CPrintDriver::GetCapability(query, arg);
}

namespace {

// An EAN/UPC symbol without a line of text of its own shows its digits
// inside the symbol whatever its placement (but None): the printer's own
// interpretation line stands for them.
bool DigitsInSymbol(const CDrawBarcode& b)
{
    return CDrawBarcode::IsEanUpc(b.m_nSymbology) && b.m_nTextPlacement != BTP_NONE && !b.DrawsText();
}

}  // namespace

int CZplDriver::ClassifyObject(CDrawObj* obj)
{
    const int variability = CPrintDriver::ClassifyObject(obj);
    if (obj->m_nType == OBJ_LINE && obj->m_nOutputMethod == OM_NATIVE) {
        const int direction = static_cast<CDrawLine*>(obj)->m_nDirection;
        if (direction != LINE_HORIZONTAL && direction != LINE_VERTICAL) obj->m_nOutputMethod = OM_BITMAP;
    }
    // Native bars with the line above or below as a graphic would leave
    // such a symbol without its digits (and place an empty graphic): it
    // prints as one native field, as with the default placement.
    if (obj->m_nType == OBJ_BARCODE && obj->m_nOutputMethod == OM_BARS_NATIVE &&
        DigitsInSymbol(*static_cast<CDrawBarcode*>(obj)))
        obj->m_nOutputMethod = OM_NATIVE;
    return variability;
}

BOOL CZplDriver::SendSetup(CPrintPort* port)
{
    return Put(port, ZplSetupFormat(m_settings, m_pFormat ? ContinuousLabelLength(*m_pFormat) : 0));
}

BOOL CZplDriver::PrintFormat(CPrintPort* port, CLabelPos* first, int across, int quantity, int replicates, int pass)
{
    if (!Put(port, "^XA")) return FALSE;
    for (int i = 0; i < across; ++i) {
        CLabelPos pos = *first;
        pos.m_nLabel += i;
        LocateLabel(&pos, pos.m_nLabel);
        EmitLabel(port, &pos, i, pass, replicates);
    }
    ZplQuantity q;
    q.quantity = quantity;
    q.copies = replicates;
    q.labels = Labels();
    q.across = Across();
    return Put(port, ZplQuantityLine(m_settings, q));
}

BOOL CZplDriver::DownloadGraphic(CPrintPort* port, const std::string& name, const CMonoBitmap& bitmap)
{
    return Put(port, "~DG" + name + "," + GetGraphicData(bitmap, m_settings[ZS_COMPRESS]));
}

std::string CZplDriver::GetGraphicData(const CMonoBitmap& bitmap, int compress)
{
    return ZplGraphicData(bitmap, compress != 0);
}

std::string CZplDriver::EncodeBarcodeData(const std::string& data, int mode)
{
    return ZplCode128Data(Code128ToCaret(data.c_str(), mode));
}

void CZplDriver::MapLabelPoint(CPoint* point, int column)
{
    if (m_pFormat) {
        const CPoint offset = LabelColumnOffset(*m_pFormat, column);
        point->x += offset.x;
        point->y += offset.y;
    }
    ConvertPoint(point);
}

void CZplDriver::ConvertSize(CPoint* size)
{
    if (m_pFormat) *size = UnitsToDotsPair(*m_pFormat, *size);
}

CPoint CZplDriver::GetAnchorPoint(int left, int top, int, int, int) { return CPoint(left, top); }

std::string CZplDriver::FieldData(const CDrawObj* obj, const std::string& data, int pass) const
{
    if (obj->m_nVariability == 1 && pass == 1) return ZplSerialField(data, obj->m_nSerialStep);
    return ZplFieldData(data);
}

BOOL CZplDriver::DrawText(CPrintPort* port, int x, int y, CDrawObj* obj, const std::string& text, int pass)
{
    const CPrinterFontTable* table = m_pDocument ? m_pDocument->m_fontTable.get() : nullptr;
    const PrinterFontCell cell = FindPrinterFontCell(table, obj);
    // Only a printer font is ever written natively; anything else has no
    // command to go in.
    if (!cell.font) return TRUE;
    const int rotation = obj->m_nRotation & 3;
    if (cell.font->m_strCode == "0") {
        // The scalable font stands on its baseline: move the field so the
        // text sits where the label shows it.
        switch (rotation) {
        case 0: y += cell.height / 6; break;
        case 1: x += cell.height / 6; break;
        case 2: y -= cell.height / 15; break;
        case 3: x -= cell.height / 15; break;
        default: break;
        }
    }
    std::string field = Field(x, y);
    field += "^A";
    field += cell.font->m_strCode;
    field += ZplRotationLetter(rotation);
    field += ',';
    Num(field, cell.height);
    field += ',';
    Num(field, cell.width);
    field += FieldData(obj, text, pass);
    return Put(port, field);
}

BOOL CZplDriver::DrawBarcode(CPrintPort* port, CDrawObj* obj, int x, int y, CDrawBarcode* b, CLabelPos* pos, int pass)
{
    const char* command = ZplBarcodeCommand(b->m_nSymbology);
    if (!command || !m_pFormat) return TRUE;
    const int rotation = b->m_nRotation & 3;
    const char letter = ZplRotationLetter(rotation);
    int height = BarcodeHeightDots(*b, m_pFormat->m_nVDpi);
    const int module = BarcodeModuleDots(*b, m_pFormat->m_nHDpi);
    const int ratioTenths = MulDiv(b->m_nRatio, 1, 10);  // the ratio with one decimal
    const bool interpretation = b->m_nTextPlacement == BTP_DEFAULT || DigitsInSymbol(*b);
    const char flag = interpretation ? 'Y' : 'N';
    std::string data = b->PrepareData(b->GetLabelText(pos));

    if (interpretation) {
        // The printer places a barcode field by its bars and prints its own
        // line of text outside them, beside the bars' bottom edge as the
        // field turns; the point given is the corner of the whole object,
        // text included. Moving it to the bars' corner puts the bars where
        // the label shows them also when the text stands above or left of
        // them (180 and 270 degrees) or is wider than the bars.
        CRect whole, object, bars, text;
        b->GetPrintRect(nullptr, pos, &whole, FALSE);
        b->LayoutBarcode(nullptr, pos, &object, &bars, &text);
        whole = whole.Normalized();
        bars = bars.Normalized();
        x += bars.left - whole.left;
        y += bars.top - whole.top;
    }

    if (const int digits = ZplEanDataLength(b->m_nSymbology)) {
        // The printer adds the check digit. The symbol the label shows has
        // quiet zones the printer does not print: the field starts after
        // the one on the side the turned symbol starts from (the left end
        // at 0 and 270 degrees, the right end at 90 and 180).
        if (data.size() > size_t(digits)) data.resize(size_t(digits));
        const int allowance = ZplEanTextAllowance(module, interpretation);
        height -= allowance;
        const int symbology = b->m_nSymbology;
        switch (rotation) {
        case 0: x += ZplEanQuietZone(symbology, false) * module; break;
        case 1: y += ZplEanQuietZone(symbology, true) * module; break;
        case 2: x += ZplEanQuietZone(symbology, true) * module, y += allowance; break;
        case 3: x += allowance, y += ZplEanQuietZone(symbology, false) * module; break;
        default: break;
        }
        std::string field = Field(x, y);
        field += "^BY";
        Num(field, module);
        AppendBarcodeCommand(field, command, letter, height, flag);
        field += FieldData(obj, data, pass);
        return Put(port, field);
    }
    if (b->m_nSymbology == BS_CODE128) data = EncodeBarcodeData(data, Code128Mode(*b));
    std::string field = Field(x, y);
    field += "^BY";
    Num(field, module);
    field += ',';
    Num(field, ratioTenths / 10);
    field += '.';
    field += char('0' + ratioTenths % 10);
    AppendBarcodeCommand(field, command, letter, height, flag);
    field += FieldData(obj, data, pass);
    return Put(port, field);
}

BOOL CZplDriver::DrawLine(CPrintPort* port, int x, int y, int cx, int cy, int direction)
{
    if (direction == LINE_HORIZONTAL) return Put(port, Field(x, y) + StrFormat("^GB%d,0,%d", cx, cy));
    return Put(port, Field(x, y) + StrFormat("^GB0,%d,%d", cy, cx));
}

BOOL CZplDriver::DrawRect(CPrintPort* port, int x, int y, int cx, int cy, int thickness)
{
    CPoint pen(thickness, thickness);
    ConvertSize(&pen);
    return Put(port, Field(x, y) + StrFormat("^GB%d,%d,%d", cx, cy, pen.x));
}

BOOL CZplDriver::DrawGraphic(CPrintPort* port, CDrawObj*, int x, int y, const std::string& name)
{
    return Put(port, Field(x, y) + "^XG" + name);
}

BOOL CZplDriver::EndJob(CPrintPort* port)
{
    const std::string end = ZplEndOfJob(m_settings);
    return end.empty() ? TRUE : Put(port, end);
}
