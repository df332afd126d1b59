#include "drivers/dpl_driver.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "drivers/command_helpers.h"
#include "drivers/zpl_commands.h"
#include "encoders/linear_entries.h"
#include "encoders/symbology.h"
#include "model/document.h"
#include "model/drawbarcode.h"
#include "model/drawtext.h"
#include "model/labelformat.h"
#include "model/printer_font_table.h"
#include "platform/devmode.h"
#include "platform/strutil.h"
#include "print/print_port.h"

namespace {

// "Q" holds four digits.
constexpr int kMostPerFormat = 9999;

// Rows and columns are four-digit fields of a record.
int Field4(int v) { return std::clamp(v, 0, 9999); }

// The font height (hundredths of a point) and width scale of a text or of
// a barcode's readable line.
void FontRequest(const CDrawObj* obj, int& height, int& widthScale)
{
    height = 0;
    widthScale = 10000;
    if (const auto* t = dynamic_cast<const CDrawText*>(obj)) {
        height = t->m_nFontHeight;
        if (t->m_nStretch > 0) widthScale = t->m_nStretch;
    } else if (const auto* b = dynamic_cast<const CDrawBarcode*>(obj)) {
        height = b->m_nFontHeight;
        if (b->m_nFontWidth > 0) widthScale = b->m_nFontWidth;
    }
}

bool IsScalableKind(int kind) { return kind >= PFK_DATAMAX_SCALABLE && kind <= PFK_SCALABLE_WIDE; }

bool IsLetter(std::uint8_t c) { return c >= 'A' && c <= 'Z'; }

// An EAN/UPC symbol without a line of text of its own shows its digits in
// the symbol whatever its placement (but None): the printer's own line
// stands for them.
bool DigitsInSymbol(const CDrawBarcode& b)
{
    return CDrawBarcode::IsEanUpc(b.m_nSymbology) && b.m_nTextPlacement != BTP_NONE && !b.DrawsText();
}

}  // namespace

BOOL CDplDriver::Put(CPrintPort* port, const std::string& text) { return port->Write(text.data(), text.size()); }

int CDplDriver::GetCapability(int query, int arg)
{
    if (query == 1) return 8;
    if (query == 3 || query == 7) return 1;
    return CPrintDriver::GetCapability(query, arg);
}

int CDplDriver::ClassifyObject(CDrawObj* obj)
{
    const int variability = CPrintDriver::ClassifyObject(obj);
    if (obj->m_nOutputMethod == OM_NATIVE && IsSlantedLine(obj)) obj->m_nOutputMethod = OM_BITMAP;
    // Native bars with their line above or below as a graphic would leave
    // such a symbol without its digits: it goes as one native field.
    if (obj->m_nType == OBJ_BARCODE && obj->m_nOutputMethod == OM_BARS_NATIVE &&
        DigitsInSymbol(*static_cast<CDrawBarcode*>(obj)))
        obj->m_nOutputMethod = OM_NATIVE;
    return variability;
}

BOOL CDplDriver::PrintFormat(CPrintPort* port, CLabelPos* first, int across, int quantity, int replicates, int pass)
{
    const int copies = std::max(1, replicates);
    const int most = std::max(1, kMostPerFormat / copies);
    quantity = std::max(1, quantity);
    for (int done = 0; done < quantity;) {
        const int part = std::min(quantity - done, most);
        // A later part of a printer-counted run starts where the printer
        // stopped counting; fixed and per-label formats repeat the same label.
        CLabelPos start = *first;
        if (pass == 1) start.m_nLabel = int(std::min<long long>(INT_MAX, start.m_nLabel + (long long)done * copies * across));
        std::vector<std::uint8_t> bytes;
        CPrintPort format(&bytes);
        format.Open();
        m_strRefusal.clear();
        Put(&format, FormatOpening(across));
        for (int i = 0; i < across; ++i) {
            CLabelPos pos = start;
            pos.m_nLabel += i;
            LocateLabel(&pos, pos.m_nLabel);
            m_pEmitting = &pos;
            EmitLabel(&format, &pos, i, pass, replicates);
        }
        m_pEmitting = nullptr;
        Put(&format, FormatClosing(across, part, replicates));
        if (!m_strRefusal.empty()) {
            m_strError = m_strRefusal;
            return FALSE;
        }
        if (done > 0 && !port->NewDocument()) return FALSE;
        if (!port->Write(bytes.data(), bytes.size())) return FALSE;
        done += part;
    }
    return TRUE;
}

BOOL CDplDriver::DownloadGraphic(CPrintPort* port, const std::string& name, const CMonoBitmap& bitmap)
{
    if (Refuses(nullptr, name)) {
        m_strError = m_strRefusal;
        return FALSE;
    }
    const std::vector<std::uint8_t> image = GetImageFileData(bitmap, IMAGE_PCX);
    if (image.empty()) return TRUE;
    if (!Put(port, "\x02xAG" + name + "\r\x02IAP" + name + "\r")) return FALSE;
    return port->Write(image.data(), image.size()) && Put(port, "\r");
}

void CDplDriver::MapLabelPoint(CPoint* point, int column)
{
    if (m_pFormat) {
        const CLabelFormat& f = *m_pFormat;
        point->x += UnitsToDots(column * (f.m_nLabelWidth + f.m_nHGap), f.m_nHDpi);
        point->y = UnitsToDots(f.m_nLabelHeight, f.m_nVDpi) - point->y;
    }
    ConvertPoint(point);
}

void CDplDriver::ConvertPoint(CPoint* point)
{
    if (!m_pFormat) return;
    point->x = MulDiv(point->x, 100, std::max(1, int(m_pFormat->m_nHDpi)));
    point->y = MulDiv(point->y, 100, std::max(1, int(m_pFormat->m_nVDpi)));
}

void CDplDriver::ConvertSize(CPoint* size)
{
    size->x = HundredthsOfInch(size->x);
    size->y = HundredthsOfInch(size->y);
}

CPoint CDplDriver::GetAnchorPoint(int left, int top, int right, int bottom, int rotation)
{
    switch (rotation) {
    case 0: return CPoint(left, bottom);
    case 1: return CPoint(right, bottom);
    case 2: return CPoint(right, top);
    default: return CPoint(left, top);
    }
}

std::string CDplDriver::EncodeBarcodeData(const std::string& data, int mode)
{
    return DplCode128Data(Code128ToCaret(data.c_str(), mode));
}

bool CDplDriver::Refuses(const CDrawObj* obj, const std::string& data)
{
    const size_t at = DplForbiddenByte(data);
    if (at == std::string::npos) return false;
    if (m_strRefusal.empty()) {
        const std::string what = obj ? ObjectForMessage(obj) : std::string("a graphic name");
        const std::string label = m_pEmitting ? StrFormat(" on label %d", m_pEmitting->m_nLabel + 1) : std::string();
        m_strRefusal = StrFormat(
            "%s%s cannot be printed in DPL: its data holds %s at character %zu, which the printer would take as %s, "
            "and DPL has no escape for it; printing stopped before that label",
            what.c_str(), label.c_str(), ByteForMessage(static_cast<unsigned char>(data[at])).c_str(), at + 1,
            data[at] == kDplStx || data[at] == kDplSoh ? "the start of a command" : "the end of the field's record");
    }
    return true;
}

std::string CDplDriver::IncrementLine(const CDrawObj* obj, int pass) const
{
    if (obj->m_nVariability != 1 || pass != 1) return std::string();
    const int step = obj->m_nSerialStep;
    return StrFormat("%c0%d\r\n", step >= 1 ? '+' : '-', std::abs(step));
}

char CDplDriver::MakeMultiplierChar(int value) { return DplMultiplierChar(value); }

std::string CDplDriver::GetBarcodeId(int symbology, int placement)
{
    const SymbologyInfo* row = FindSymbology(symbology);
    const char id = row && row->dpl ? row->dpl : '0';
    const bool noLine = placement >= BTP_NONE && placement <= BTP_BELOW;
    return std::string(1, noLine && id >= 'A' && id <= 'Z' ? char(id - 'A' + 'a') : id);
}

std::string CDplDriver::MakeBarcodeRecord(int rotation, const std::string& id, char wide, char narrow, int height,
                                          int row, int column, const std::string& data)
{
    return StrFormat("%c%s%c%c%03d%04d%04d", DplRotationDigit(rotation), id.c_str(), wide, narrow,
                     std::clamp(height, 0, 999), Field4(row), Field4(column)) +
           data + "\r\n";
}

std::string CDplDriver::MakeEanRecord(int rotation, int symbology, int placement, char wide, char narrow,
                                      int narrowDots, int height, int row, int column, std::string data)
{
    if (placement == BTP_DEFAULT && m_pFormat) {
        // The printer's readable line takes the foot of the bars.
        const int narrows = m_pFormat->m_nLanguage == 4 ? 4 : 3;
        height -= MulDiv(narrows * narrowDots, 100, std::max(1, int(m_pFormat->m_nVDpi)));
    }
    size_t digits = 0;
    switch (symbology) {
    case BS_EAN13: digits = 12; break;
    case BS_UPCA: digits = 11; break;
    case BS_EAN8: digits = 7; break;
    case BS_UPCE:
        if (!data.empty()) data.erase(0, 1);  // the number system
        digits = 6;
        break;
    default: break;
    }
    if (digits && data.size() > digits) data.resize(digits);
    return MakeBarcodeRecord(rotation, GetBarcodeId(symbology, placement), wide, narrow, height, row, column, data);
}

std::string CDplDriver::MakeScalableTextRecord(int rotation, const std::string& font, int points, int widthScale,
                                               int row, int column, const std::string& text)
{
    const DplScalableChoice c = DplChooseScalableSize(points, widthScale, DplScalableSizes());
    return StrFormat("%c%s%c%cA%02d%04d%04d", DplRotationDigit(rotation), font.c_str(), MakeMultiplierChar(c.widthMul),
                     MakeMultiplierChar(c.heightMul), c.size, Field4(row), Field4(column)) +
           text + "\r\n";
}

std::string CDplDriver::MakeTextRecord(int rotation, const std::string& font, int widthMul, int heightMul, int row,
                                       int column, const std::string& text)
{
    return StrFormat("%c%s%c%c000%04d%04d", DplRotationDigit(rotation), font.c_str(), MakeMultiplierChar(widthMul),
                     MakeMultiplierChar(heightMul), Field4(row), Field4(column)) +
           text + "\r\n";
}

BOOL CDplDriver::DrawBarcode(CPrintPort* port, CDrawObj* obj, int x, int y, CDrawBarcode* b, CLabelPos* pos, int pass)
{
    if (!m_pFormat) return TRUE;
    const int symbology = b->m_nSymbology;
    const int placement = DigitsInSymbol(*b) ? BTP_DEFAULT : b->m_nTextPlacement;
    const int rotation = b->m_nRotation & 3;
    const int narrowDots = BarcodeModuleDots(*b, m_pFormat->m_nHDpi);
    const char narrow = MakeMultiplierChar(narrowDots);
    const char wide = MakeMultiplierChar(MulDiv(b->m_nRatio, narrowDots, 100));
    CPoint size(0, b->m_nBarHeight);
    ConvertSize(&size);
    std::string data = b->PrepareData(b->GetLabelText(pos));
    if (symbology == BS_CODE39) data = ToUpperAscii(data);
    if (symbology == BS_CODE128) data = EncodeBarcodeData(data, Code128Mode(*b));
    if (Refuses(obj, data)) return TRUE;
    if (IsEanUpcSymbology(symbology)) {
        // The label's symbol keeps its quiet zone inside the object; the
        // printer starts the bars at the point it is given.
        const int zone = ZplEanQuietZone(symbology, false) * narrowDots;
        const int across = MulDiv(zone, 100, std::max(1, int(m_pFormat->m_nHDpi)));
        const int up = MulDiv(zone, 100, std::max(1, int(m_pFormat->m_nVDpi)));
        switch (rotation) {
        case 0: x += across; break;
        case 1: y += up; break;
        case 2: x -= across; break;
        default: y -= up; break;
        }
    }
    std::string out;
    const bool opaque = b->m_nBackground == 0;
    if (opaque) out += "A3\r\n";
    if (IsEanUpcSymbology(symbology))
        out += MakeEanRecord(rotation, symbology, placement, wide, narrow, narrowDots, size.y, y, x, data);
    else
        out += MakeBarcodeRecord(rotation, GetBarcodeId(symbology, placement), wide, narrow, size.y, y, x, data);
    out += IncrementLine(obj, pass);
    if (opaque) out += "A2\r\n";
    return Put(port, out);
}

BOOL CDplDriver::DrawText(CPrintPort* port, int x, int y, CDrawObj* obj, const std::string& text, int pass)
{
    const CPrinterFontTable* table = m_pDocument ? m_pDocument->m_fontTable.get() : nullptr;
    const PrinterFontCell cell = FindPrinterFontCell(table, obj);
    // Only a printer font is ever written natively.
    if (!cell.font) return TRUE;
    if (Refuses(obj, text)) return TRUE;
    const CPrinterFontEntry& font = *cell.font;
    const int rotation = obj->m_nRotation & 3;
    std::string record;
    if (IsScalableKind(font.m_nKind)) {
        int height, widthScale;
        FontRequest(obj, height, widthScale);
        record = MakeScalableTextRecord(rotation, font.m_strCode, height / 100, widthScale, y, x, text);
    } else {
        const int widthMul = font.m_nCellWidth > 0 ? cell.width / font.m_nCellWidth : 1;
        const int heightMul = font.m_nCellHeight > 0 ? cell.height / font.m_nCellHeight : 1;
        record = MakeTextRecord(rotation, font.m_strCode, std::max(1, widthMul), std::max(1, heightMul), y, x, text);
    }
    const auto* t = dynamic_cast<const CDrawText*>(obj);
    const char* before = t && t->IsWhiteOnBlack() ? "A5\r\n" : obj->m_nBackground == 0 ? "A3\r\n" : "";
    std::string out = before;
    out += record;
    out += IncrementLine(obj, pass);
    if (*before) out += "A2\r\n";
    return Put(port, out);
}

BOOL CDplDriver::DrawLine(CPrintPort* port, int x, int y, int cx, int cy, int)
{
    return Put(port, StrFormat("1X11000%04d%04dl%04d%04d\r\n", Field4(y), Field4(x), Field4(cx), Field4(cy)));
}

BOOL CDplDriver::DrawRect(CPrintPort* port, int x, int y, int cx, int cy, int thickness)
{
    CPoint pen(thickness, thickness);
    ConvertSize(&pen);
    return Put(port, StrFormat("1X11000%04d%04db%04d%04d%04d%04d\r\n", Field4(y), Field4(x), Field4(cx), Field4(cy),
                               Field4(pen.y), Field4(pen.x)));
}

BOOL CDplDriver::DrawGraphic(CPrintPort* port, CDrawObj*, int x, int y, const std::string& name)
{
    if (Refuses(nullptr, name)) return TRUE;
    const bool modes = !UsesDriverSettings();
    std::string out = modes ? "A3\r\n" : "";
    out += StrFormat("1Y11000%04d%04d", Field4(y), Field4(x)) + name + "\r\n";
    if (modes) out += "A2\r\n";
    return Put(port, out);
}

std::string CDplDriver::MediaCommands() const
{
    if (!m_pFormat) return std::string();
    switch (m_pFormat->m_nMediaType) {
    case 1: return StrFormat("\x02" "c%04d", HundredthsOfInch(m_pFormat->m_nLabelHeight + m_pFormat->m_nVGap));
    case 2: return "\x02" "c0000\x02" "e";
    case 3: return "\x02" "c0000\x02" "r";
    default: return std::string();
    }
}

// ---- CDplWinDriver ----------------------------------------------------------

DplWinBlock CDplWinDriver::Block() const { return ReadDplWinBlock(CDevModeView(m_jobDevMode)); }

int CDplWinDriver::PrinterOffset(int micrometres) const
{
    return MulDiv(micrometres, 100, 25402) + (m_nCode == 16 ? 212 : 110);
}

BOOL CDplWinDriver::SendSetup(CPrintPort* port)
{
    const DplWinBlock b = Block();
    std::string out = "\x02ySW1\x02n";
    if (!b.present) {
        // No system driver's settings to read: the printer keeps its own,
        // the label's media is set.
        out += MediaCommands();
        out += "\x01" "D\x02qA";
        return Put(port, out);
    }
    const std::uint32_t f = b.flags;
    if (m_nCode != 2) out += StrFormat("\x02O%04d", PrinterOffset(b.startOffset));
    // A stop or cut position in the three forms of the codes.
    auto position = [&](int micrometres) {
        if (m_nCode == 2) return StrFormat("\x02Kf%04d", MulDiv(micrometres, 100, 25402));
        return StrFormat("\x02" "f%03d", PrinterOffset(micrometres));
    };
    switch (f & DPLW_MODE_MASK) {
    case 0:
    case 0x30000: out += "\x02V0"; break;
    case 0x10000:
        out += "\x02V0";
        if (f & DPLW_BACKFEED) out += "\x02J";
        out += position(b.tearPosition);
        break;
    case 0x20000:
        out += (f & DPLW_PRESENT_MASK) == 0x100 ? "\x02V0" : "\x02V1";
        if (f & DPLW_BACKFEED) out += "\x02J";
        out += position(b.peelPosition);
        break;
    case 0x40000: out += "\x02V0\x02J" + position(b.cutPosition); break;
    default: break;
    }
    switch (f & DPLW_MEDIA_MASK) {
    case 0x20: out += "\x02" "c0000\x02" "e"; break;
    case 0x40: out += "\x02" "c0000\x02" "r"; break;
    case 0x60:
        if (m_pFormat)
            out += StrFormat("\x02" "c%04d", HundredthsOfInch(m_pFormat->m_nLabelHeight + m_pFormat->m_nVGap));
        break;
    default: break;
    }
    // A speed that is no letter would cut the command short.
    if (IsLetter(b.slewSpeed)) out += StrFormat("\x02S%c", char(b.slewSpeed));
    if (m_nCode != 2) out += (f & DPLW_DOUBLE_BUFFER) ? "\x02" "d" : "\x02" "s";
    out += "\x01" "D\x02qA";
    return Put(port, out);
}

std::string CDplWinDriver::FormatOpening(int across)
{
    const DplWinBlock b = Block();
    const CLabelFormat* f = m_pFormat;
    std::string out = "\x02L\r\n";
    if (f) {
        const int column = HundredthsOfInch(f->m_nHAdjust);
        // Micrometres are tenths of the label's unit.
        const int row = HundredthsOfInch(f->m_nVAdjust + (m_nCode == 2 ? b.startOffset / 10 : 0));
        if (column > 0) out += StrFormat("C%04d\n", Field4(column));
        if (row > 0) out += StrFormat("R%04d\n", Field4(row));
    }
    out += "D11\n";
    if (b.present) {
        if (IsLetter(b.printSpeed)) out += StrFormat("P%c\n", char(b.printSpeed));
        if (IsLetter(b.backupSpeed)) out += StrFormat("p%c\n", char(b.backupSpeed));
        if (IsLetter(b.feedSpeed)) out += StrFormat("S%c\n", char(b.feedSpeed));
    } else if (f) {
        out += StrFormat("P%c\n", DplSpeedLetter(f->m_nSpeed));
    }
    out += "A2\r\n";
    if (b.present) {
        if (b.flags & DPLW_DARKNESS_SET) out += StrFormat("H%02d\n", std::clamp(b.darkness, 0, 99));
        if ((b.flags & DPLW_MODE_MASK) == 0x20000 && (b.flags & DPLW_PRESENT_MASK) != 0x100)
            out += StrFormat(":%04d\n", Field4(std::max(1, b.batchCount / std::max(1, across))));
    } else if (f) {
        out += StrFormat("H%02d\n", std::clamp(int(f->m_nDarkness), 0, 30));
    }
    return out;
}

std::string CDplWinDriver::FormatClosing(int across, int quantity, int replicates)
{
    std::string out;
    if (across > 1 || replicates > 1) out += StrFormat("^%02d\r\n", std::max(1, replicates));
    return out + StrFormat("Q%04d\rE\r", quantity * std::max(1, replicates));
}

BOOL CDplWinDriver::EndJob(CPrintPort* port)
{
    const DplWinBlock b = Block();
    std::string out;
    if (b.present && (b.flags & DPLW_MODE_MASK) == 0x20000 && (b.flags & DPLW_PRESENT_MASK) == 0x100)
        out += "\x02V1\x02o\n";
    if (m_nCode == 2) out += "\x02qC\x02zC";
    return out.empty() ? TRUE : Put(port, out);
}

BOOL CDplWinDriver::DownloadGraphic(CPrintPort* port, const std::string& name, const CMonoBitmap& bitmap)
{
    if (m_nCode != 2) return CDplDriver::DownloadGraphic(port, name, bitmap);
    if (DplForbiddenByte(name) != std::string::npos) return CDplDriver::DownloadGraphic(port, name, bitmap);
    const std::vector<std::uint8_t> image = GetImageFileData(bitmap, IMAGE_PCX);
    if (image.empty()) return TRUE;
    if (!Put(port, "\x02xCG" + name + "\r\x02zC\x02ICP" + name + "\r")) return FALSE;
    return port->Write(image.data(), image.size()) && Put(port, "\r");
}

// ---- CDpl5Driver ------------------------------------------------------------

BOOL CDpl5Driver::SendSetup(CPrintPort* port)
{
    if (!m_pFormat) return TRUE;
    const CLabelFormat& f = *m_pFormat;
    std::string out = "\x02n\x02M0500";
    const int top = HundredthsOfInch(f.m_nStartOffset);
    if (top != 0) out += StrFormat("\x02O%04d", top + 110);
    switch (f.m_dwOptions & 0x0C) {
    case 4: out += "\x02KI0"; break;
    case 8: out += "\x02KI1"; break;
    default: break;
    }
    out += "\x02V0";
    const int feed = std::clamp(HundredthsOfInch(f.m_nAfterPrintDistance), -99, 99);
    if (f.m_nAfterPrintAction == 1) out += StrFormat("\x02" "f%03d", feed);
    if (f.m_nAfterPrintAction == 2) out += StrFormat("\x02J\x02" "f%03d", feed);
    out += MediaCommands();
    out += "\x02SG\x01" "D\x02qA";
    return Put(port, out);
}

std::string CDpl5Driver::MakeScalableTextRecord(int rotation, const std::string& font, int points, int widthScale,
                                                int row, int column, const std::string& text)
{
    const DplScalableChoice c = DplChooseScalableSize(points, widthScale, DplShortScalableSizes());
    return StrFormat("%c%s%c%c%03d%04d%04d", DplRotationDigit(rotation), font.c_str(), MakeMultiplierChar(c.widthMul),
                     MakeMultiplierChar(c.heightMul), c.position, Field4(row), Field4(column)) +
           text + "\r\n";
}

std::string CDpl5Driver::FormatOpening(int)
{
    if (!m_pFormat) return "\x02L\r\n";
    const CLabelFormat& f = *m_pFormat;
    return StrFormat("\x02L\r\nC%04d\nR%04d\nD11\nP%c\npI\nSG\nA2\r\nH%02d\n", Field4(HundredthsOfInch(f.m_nHAdjust)),
                     Field4(HundredthsOfInch(f.m_nVAdjust)), DplSpeedLetter(f.m_nSpeed),
                     std::clamp(int(f.m_nDarkness), 0, 30));
}

std::string CDpl5Driver::FormatClosing(int, int quantity, int replicates)
{
    std::string out;
    if (replicates > 1) out += StrFormat("^%02d\r\n", replicates);
    return out + StrFormat("Q%04d\nE\n", quantity * std::max(1, replicates));
}

// ---- CDpl8Driver ------------------------------------------------------------

BOOL CDpl8Driver::SendSetup(CPrintPort* port)
{
    if (!m_pFormat) return TRUE;
    const CLabelFormat& f = *m_pFormat;
    std::string out = "\x02ySW1\x02n\x02M0500";
    const int feed = std::clamp(HundredthsOfInch(f.m_nAfterPrintDistance), -99, 99);
    if (f.m_nAfterPrintAction == 1) out += StrFormat("\x02Kf%02d", feed);
    if (f.m_nAfterPrintAction == 2) out += StrFormat("\x02J\x02Kf%02d", feed);
    out += MediaCommands();
    out += "\x02SG\x01" "D\x02qA";
    return Put(port, out);
}

BOOL CDpl8Driver::DownloadGraphic(CPrintPort* port, const std::string& name, const CMonoBitmap& bitmap)
{
    if (DplForbiddenByte(name) != std::string::npos) return CDplDriver::DownloadGraphic(port, name, bitmap);
    const std::vector<std::uint8_t> image = GetImageFileData(bitmap, IMAGE_BMP);
    if (image.empty()) return TRUE;
    if (!Put(port, "\x02xAG" + name + "\r\x02IAB" + name + "\r")) return FALSE;
    return port->Write(image.data(), image.size());
}

std::string CDpl8Driver::MakeScalableTextRecord(int rotation, const std::string& font, int points, int widthScale,
                                                int row, int column, const std::string& text)
{
    const DplScalableChoice c = DplChooseScalableSize(points, widthScale, DplShortScalableSizes());
    return StrFormat("%c%s%c%cP%02d%04d%04d", DplRotationDigit(rotation), font.c_str(), MakeMultiplierChar(c.widthMul),
                     MakeMultiplierChar(c.heightMul), c.size, Field4(row), Field4(column)) +
           text + "\r";
}

std::string CDpl8Driver::FormatOpening(int)
{
    if (!m_pFormat) return "\x02L\r";
    const CLabelFormat& f = *m_pFormat;
    return StrFormat("\x02L\rD11\rC%04d\rR%04d\rP%c\rpG\rSG\rA2\rH%02d\r", Field4(HundredthsOfInch(f.m_nHAdjust)),
                     Field4(HundredthsOfInch(f.m_nVAdjust + f.m_nStartOffset)), DplSpeedLetter(f.m_nSpeed),
                     std::clamp(int(f.m_nDarkness), 0, 30));
}

std::string CDpl8Driver::FormatClosing(int, int quantity, int replicates)
{
    std::string out;
    if (replicates > 1) out += StrFormat("^%02d\r", replicates);
    return out + StrFormat("Q%04d\rE\r", quantity * std::max(1, replicates));
}
