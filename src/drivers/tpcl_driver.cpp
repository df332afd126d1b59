#include "drivers/tpcl_driver.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "drivers/command_helpers.h"
#include "drivers/zpl_commands.h"
#include "encoders/linear_entries.h"
#include "encoders/symbology.h"
#include "data/variable.h"
#include "model/document.h"
#include "model/drawbarcode.h"
#include "model/drawline.h"
#include "model/labelformat.h"
#include "model/printer_font_table.h"
#include "platform/devmode.h"
#include "platform/monobitmap.h"
#include "platform/strutil.h"
#include "print/print_port.h"

namespace {

BOOL Put(CPrintPort* port, const std::string& text) { return port->Write(text.data(), text.size()); }

// The most labels one issue command prints.
constexpr int kMostPerIssue = 9999;

// The increment part of a field: the step of a printer-counted serial, or
// none ("+" and ten zeros).
std::string Increment(const CDrawObj* obj, int pass)
{
    const int step = obj->m_nVariability == 1 && pass == 1 ? obj->m_nSerialStep : 0;
    return StrFormat(",%c%010d", step < 0 ? '-' : '+', std::abs(step));
}

// A resident font's cell multiple, as the printer takes it (1 to 9).
int Multiplier(int size, int cell) { return std::clamp(cell > 0 ? size / cell : 1, 1, 9); }

}  // namespace

TpclPrinter CTpclDriver::Printer() const
{
    TpclPrinter p;
    if (m_pDocument) {
        p.family = m_pDocument->m_nPrinterFamily;
        p.model = m_pDocument->m_nPrinterModel;
    }
    return p;
}

int CTpclDriver::GetCapability(int query, int arg)
{
    switch (query) {
    case 1: return 10;
    case 2: {
        const SymbologyInfo* s = FindSymbology(arg);
        return s && s->tpcl ? 1 : 0;
    }
    case 9: return 1;
    default: return CPrintDriver::GetCapability(query, arg);
    }
}

int CTpclDriver::ClassifyObject(CDrawObj* obj)
{
    const int variability = CPrintDriver::ClassifyObject(obj);
    if (obj->m_nOutputMethod == OM_NATIVE && IsSlantedLine(obj)) obj->m_nOutputMethod = OM_BITMAP;
    // The issue command counts a serial number once per label and has no
    // copies of its own: a serial that repeats on several labels is made
    // label by label instead, so no copy is lost.
    if (variability == 1) {
        for (auto it = obj->m_variables.rbegin(); it != obj->m_variables.rend(); ++it) {
            if ((*it)->m_nKind != VK_SERIAL) continue;
            if ((*it)->PrinterSerialRows() > 1) {
                obj->m_nVariability = 2;
                return 2;
            }
            break;
        }
    }
    return variability;
}

BOOL CTpclDriver::SendSetup(CPrintPort* port)
{
    if (!m_bDataFixed) m_data = TecDriverDataFromDevMode(CDevModeView(m_jobDevMode));
    m_nTextField = m_nBarcodeField = 0;
    m_graphics.clear();
    std::string out;
    if (m_pFormat) {
        const CLabelFormat& f = *m_pFormat;
        const int across = std::max(1, int(f.m_nColumns));
        out += TpclSizeLine(f.m_nLabelHeight + f.m_nVGap, across * f.m_nLabelWidth + (across - 1) * f.m_nHGap,
                            f.m_nLabelHeight);
    }
    out += TpclSetupAdjustments(m_data, Printer());
    return Put(port, out);
}

BOOL CTpclDriver::PrintFormat(CPrintPort* port, CLabelPos* first, int across, int quantity, int replicates, int pass)
{
    const TpclPrinter printer = Printer();
    quantity = std::max(1, quantity);
    const int copies = std::max(1, replicates);
    for (int done = 0; done < quantity;) {
        const int part = std::min(quantity - done, kMostPerIssue);
        // A later issue of a printer-counted run starts where the printer
        // stopped counting.
        CLabelPos start = *first;
        if (pass == 1)
            start.m_nLabel = int(std::min<long long>(INT_MAX, start.m_nLabel + (long long)done * copies * across));
        std::vector<std::uint8_t> bytes;
        CPrintPort format(&bytes);
        format.Open();
        m_strRefusal.clear();
        for (int i = 0; i < across; ++i) {
            CLabelPos pos = start;
            pos.m_nLabel += i;
            LocateLabel(&pos, pos.m_nLabel);
            m_pEmitting = &pos;
            EmitLabel(&format, &pos, i, pass, replicates);
        }
        m_pEmitting = nullptr;
        Put(&format, TpclIssueLines(m_data, printer, part));
        m_nTextField = m_nBarcodeField = 0;
        if (!m_strRefusal.empty()) {
            m_strError = m_strRefusal;
            return FALSE;
        }
        if (!port->Write(bytes.data(), bytes.size())) return FALSE;
        done += part;
    }
    return TRUE;
}

BOOL CTpclDriver::DownloadGraphic(CPrintPort*, const std::string& name, const CMonoBitmap& bitmap)
{
    if (bitmap.IsEmpty()) return TRUE;
    TpclGraphic g;
    g.name = name;
    g.mode = TpclGraphicMode(m_data.graphicSetting);
    g.data = TpclGraphicData(bitmap, g.mode);
    if (g.mode == 3 && g.data.size() > 0xFFFF + 2) {
        // The compressed form counts its bytes in two bytes: a graphic that
        // does not fit goes as raw bytes, which the printer counts itself.
        g.mode = 1;
        g.data = TpclGraphicData(bitmap, 1);
    }
    g.width = (bitmap.Width() + 7) / 8 * 8;
    g.height = bitmap.Height();
    auto same = std::find_if(m_graphics.begin(), m_graphics.end(), [&](const TpclGraphic& e) { return e.name == name; });
    if (same != m_graphics.end())
        *same = std::move(g);
    else
        m_graphics.push_back(std::move(g));
    return TRUE;
}

std::string CTpclDriver::EncodeBarcodeData(const std::string& data, int mode)
{
    return ZplCode128Data(Code128ToCaret(data.c_str(), mode));
}

void CTpclDriver::MapLabelPoint(CPoint* point, int column)
{
    if (m_pFormat) {
        const CPoint offset = LabelColumnOffset(*m_pFormat, column);
        point->x += offset.x;
        point->y += offset.y;
    }
    ConvertPoint(point);
}

void CTpclDriver::ConvertPoint(CPoint* point)
{
    if (!m_pFormat) return;
    point->x = MulDiv(point->x, 25402, std::max(1, int(m_pFormat->m_nHDpi)) * 10);
    point->y = MulDiv(point->y, 25402, std::max(1, int(m_pFormat->m_nVDpi)) * 10);
}

void CTpclDriver::ConvertSize(CPoint* size)
{
    if (m_pFormat) *size = UnitsToDotsPair(*m_pFormat, *size);
}

CPoint CTpclDriver::GetAnchorPoint(int left, int top, int right, int bottom, int rotation)
{
    switch (rotation & 3) {
    case 1: return CPoint(left, bottom);
    case 2: return CPoint(right, bottom);
    case 3: return CPoint(right, top);
    default: return CPoint(left, top);
    }
}

bool CTpclDriver::Refuses(const CDrawObj* obj, const std::string& data)
{
    const size_t at = TpclForbiddenByte(data);
    if (at == std::string::npos) return false;
    if (m_strRefusal.empty()) {
        const unsigned char byte = static_cast<unsigned char>(data[at]);
        const bool starts = byte == '{' || byte == 0x1B;
        const std::string label = m_pEmitting ? StrFormat(" on label %d", m_pEmitting->m_nLabel + 1) : std::string();
        m_strRefusal = StrFormat(
            "%s%s cannot be printed in TPCL: its data holds %s at character %zu, which the printer would take as %s, "
            "and TPCL has no escape for it; printing stopped before that label",
            ObjectForMessage(obj).c_str(), label.c_str(), ByteForMessage(byte).c_str(), at + 1,
            starts ? "the start of a command" : "the end of the field");
    }
    return true;
}

BOOL CTpclDriver::DrawText(CPrintPort* port, int x, int y, CDrawObj* obj, const std::string& text, int pass)
{
    const CPrinterFontTable* table = m_pDocument ? m_pDocument->m_fontTable.get() : nullptr;
    const PrinterFontCell cell = FindPrinterFontCell(table, obj);
    if (!cell.font) return TRUE;
    if (Refuses(obj, text)) return TRUE;
    const int rotation = obj->m_nRotation & 3;
    int across = Multiplier(cell.width, cell.font->m_nCellWidth);
    int down = Multiplier(cell.height, cell.font->m_nCellHeight);
    if (rotation % 2 == 1) std::swap(across, down);
    CPoint size(cell.width, cell.height);
    ConvertPoint(&size);
    // The printer places a text by its baseline.
    const int h = size.y;
    switch (rotation) {
    case 0: y += h - h / 5; break;
    case 1: x += h - h / 5; break;
    case 2: y += h / 5 - h; break;
    default: x += h / 5 - h; break;
    }
    const int code = TpclRotationCode(rotation);
    std::string field = StrFormat("{PC%03d;%04d,%04d,%01d,%01d,%s,%01d%01d,B", m_nTextField, x / 10, y / 10, across,
                                  down, cell.font->m_strCode.c_str(), code, code);
    if (obj->m_nVariability == 1 && pass == 1) field += Increment(obj, pass);
    field += '=';
    field += text;
    field += "|}\r\n";
    ++m_nTextField;
    return Put(port, field);
}

BOOL CTpclDriver::DrawBarcode(CPrintPort* port, CDrawObj* obj, int x, int y, CDrawBarcode* b, CLabelPos* pos, int pass)
{
    const SymbologyInfo* s = FindSymbology(b->m_nSymbology);
    if (!s || !s->tpcl || !m_pFormat) return TRUE;
    std::string data = b->PrepareData(b->GetLabelText(pos));
    // Checked before the Code 128 codes are made: they stop at a NUL.
    if (Refuses(obj, data)) return TRUE;
    if (b->m_nSymbology == BS_CODE128)
        data = EncodeBarcodeData(data, Code128Mode(*b));
    else if (b->m_nSymbology == BS_CODE39)
        data = ToUpperAscii(data);
    if (Refuses(obj, data)) return TRUE;
    const int rotation = b->m_nRotation & 3;
    if (b->m_nTextPlacement == BTP_DEFAULT) {
        // The base places the whole object, its line of text included; the
        // printer places the bars, so the field starts at the bars' corner.
        CRect whole, object, bars, text;
        b->GetPrintRect(nullptr, pos, &whole, FALSE);
        b->LayoutBarcode(nullptr, pos, &object, &bars, &text);
        whole = whole.Normalized();
        bars = bars.Normalized();
        const CPoint from = GetAnchorPoint(whole.left, whole.top, whole.right, whole.bottom, rotation);
        const CPoint to = GetAnchorPoint(bars.left, bars.top, bars.right, bars.bottom, rotation);
        CPoint shift(to.x - from.x, to.y - from.y);
        ConvertPoint(&shift);
        x += shift.x;
        y += shift.y;
    }
    const int module = BarcodeModuleDots(*b, m_pFormat->m_nHDpi);
    const int wide = MulDiv(b->m_nRatio, module, 100);
    const int height = b->m_nBarHeight / 10;
    const int code = TpclRotationCode(rotation);
    std::string field = StrFormat("{XB%02d;%04d,%04d,", m_nBarcodeField, x / 10, y / 10);
    const bool elements = s->family == SymbologyFamily::TwoWidth;
    if (elements)
        field += StrFormat("%c,%01d,%02d,%02d,%02d,%02d,%02d,%01d,%04d", s->tpcl, 1, module, module, wide, wide, module,
                           code, height);
    else
        field += StrFormat("%c,%01d,%02d,%01d,%04d", s->tpcl, 1, module, code, height);
    field += Increment(obj, pass);
    field += elements ? StrFormat(",%01d,%02d", 0, 0) : StrFormat(",%03d,%01d,%02d", 0, 0, 0);
    field += '=';
    field += data;
    field += "|}\r\n";
    ++m_nBarcodeField;
    return Put(port, field);
}

BOOL CTpclDriver::DrawLine(CPrintPort* port, int x, int y, int cx, int cy, int direction)
{
    return Put(port, TpclLineCommands(x, y, cx, cy, direction == LINE_HORIZONTAL));
}

BOOL CTpclDriver::DrawRect(CPrintPort* port, int x, int y, int cx, int cy, int thickness)
{
    return Put(port, TpclBoxCommands(x, y, cx, cy, thickness));
}

BOOL CTpclDriver::DrawGraphic(CPrintPort* port, CDrawObj*, int x, int y, const std::string& name)
{
    auto g = std::find_if(m_graphics.begin(), m_graphics.end(), [&](const TpclGraphic& e) { return e.name == name; });
    if (g == m_graphics.end()) return TRUE;
    const int rows = g->mode == 3 ? (Printer().model == 10 ? 600 : 300) : g->height;
    std::string out = StrFormat("{SG;%04d,%04d,%04d,%04d,%01d,", x / 10, y / 10, g->width, rows, g->mode);
    out += g->data;
    out += "|}\r\n";
    return Put(port, out);
}
