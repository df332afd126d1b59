#include "drivers/zpl_commands.h"

#include "drivers/command_helpers.h"
#include "encoders/symbology.h"
#include "platform/devmode.h"
#include "platform/geometry.h"
#include "platform/monobitmap.h"
#include "platform/strutil.h"

char ZplRotationLetter(int rotation)
{
    switch (rotation) {
    case 0: return 'N';
    case 1: return 'B';
    case 2: return 'I';
    case 3: return 'R';
    default: return char(rotation);
    }
}

namespace {

// The letters of "^MF" for the feed actions 0 to 3; 0 outside them.
char FeedLetter(int action) { return action >= 0 && action <= 3 ? "FNLC"[action] : 0; }

// n divided by the labels across, and 1 when n is smaller than that.
int PerAcross(int n, int across)
{
    if (across < 1) across = 1;
    return n < across ? 1 : n / across;
}

// What a field's data cannot hold as it is: the two command prefixes, and
// the NUL that would cut the command short on its way to the port. A
// serial number's value also ends at a comma.
constexpr std::string_view kFieldEscapes("^~\0", 3);
constexpr std::string_view kSerialEscapes("^~,\0", 4);

// A field's data with the escapes of "^FH" applied to the characters of escaped.
std::string HexEscaped(std::string_view data, std::string_view escaped)
{
    std::string out;
    out.reserve(data.size() + 16);
    for (const char c : data) {
        if (c == '_' || escaped.find(c) != std::string_view::npos)
            out += StrFormat("_%02X", unsigned(static_cast<unsigned char>(c)));
        else
            out += c;
    }
    return out;
}

}  // namespace

std::string ZplSetupFormat(ZplSettings s, int labelLengthDots)
{
    std::string out = "^XA^SZ2^MCY";
    if (s[ZS_SUPPRESS_TRACKING] == 0) {
        if (s[ZS_THERMAL_TRANSFER] == 0) out += "^MTD";
        else if (s[ZS_THERMAL_TRANSFER] == 1) out += "^MTT";
    }
    if (s[ZS_SUPPRESS_TEAR_OFF] == 0) out += StrFormat("~TA%d", s[ZS_TEAR_OFF]);
    switch (s[ZS_HEAD_TEST]) {
    case 0: out += "~JSN"; break;
    case 1: out += "~JSB"; break;
    case 2: out += "~JSA"; break;
    case 3: out += "~JSO"; break;
    case 4: out += StrFormat("~JS%d", s[ZS_HEAD_TEST_PERCENT]); break;
    default: break;
    }
    if (s[ZS_SUPPRESS_DARKNESS] == 0) {
        if (s[ZS_DARKNESS_FORM] != 0)
            out += StrFormat("^MD%d", s[ZS_DARKNESS_MD]);
        else
            out += StrFormat("^SD%d^MD0", s[ZS_DARKNESS_SD]);
    }
    if (s[ZS_SUPPRESS_LABEL_TOP] == 0) out += StrFormat("^LT%d", s[ZS_LABEL_TOP]);
    switch (s[ZS_PRINT_MODE]) {
    case ZPL_TEAR_OFF: out += "^MMT"; break;
    case ZPL_PEEL_OFF: out += "^MMP"; break;
    case ZPL_REWIND: out += "^MMR"; break;
    case ZPL_CUTTER: out += "^MMC"; break;
    default: break;
    }
    if (s[ZS_SUPPRESS_MEDIA_FEED] == 0) {
        // An action outside the four would make a command the printer
        // misreads; the printer's own setting is kept instead.
        const char powerUp = FeedLetter(s[ZS_FEED_POWER_UP]);
        const char headClose = FeedLetter(s[ZS_FEED_HEAD_CLOSE]);
        if (powerUp && headClose) out += StrFormat("^MF%c,%c", powerUp, headClose);
    }
    if (s[ZS_REPRINT] == 0) out += "^JZY";
    else if (s[ZS_REPRINT] == 1) out += "^JZN";
    if (s[ZS_SUPPRESS_MEDIA] == 0) {
        switch (s[ZS_MEDIA]) {
        case 0: out += StrFormat("^MNN^LL%d", labelLengthDots); break;
        case 1: out += "^MNW"; break;
        case 2: out += "^MNM"; break;
        default: break;
        }
    }
    if (s[ZS_SUPPRESS_RATE] == 0)
        out += StrFormat("^PR%d,%d,%d", s[ZS_PRINT_SPEED], s[ZS_SLEW_SPEED], s[ZS_BACKFEED_SPEED]);
    out += "^PMN^PON^JMA^LH0,0^LRN^XZ\n";
    return out;
}

std::string ZplQuantityLine(ZplSettings s, const ZplQuantity& q)
{
    const int total = q.quantity * q.copies;
    const int sets = PerAcross(q.labels, q.across);
    if (s[ZS_PRINT_MODE] == ZPL_CUTTER) {
        std::string line;
        switch (s[ZS_CUT_MODE]) {
        case 1: line = StrFormat("^PQ%d,%d,%d,", total, sets, q.copies); break;
        case 2: line = StrFormat("^PQ%d,0,%d,", total, q.copies); break;
        case 3: line = StrFormat("^PQ%d,%d,%d,", total, PerAcross(s[ZS_CUT_EVERY], q.across), q.copies); break;
        // Cut mode 0, and what no cut mode names: a cutter cuts every label.
        default: line = StrFormat("^PQ%d,1,%d,", total, q.copies); break;
        }
        return line + (s[ZS_PAUSE_OVERRIDE] == 0 ? "Y\n^XZ" : "N\n^XZ");
    }
    switch (s[ZS_PAUSE_MODE]) {
    case 1: return StrFormat("^PQ%d,1,%d,N\n^XZ", total, q.copies);
    case 3: return StrFormat("^PQ%d,%d,%d,N\n^XZ", total, PerAcross(s[ZS_PAUSE_EVERY], q.across), q.copies);
    case 4: return StrFormat("^PQ%d,%d,%d,N\n^XZ", total, sets, q.copies);
    // Modes 0 and 2, and what no pause mode names: no pause.
    default: return StrFormat("^PQ%d,0,%d,Y\n^XZ", total, q.copies);
    }
}

std::string ZplEndOfJob(ZplSettings s)
{
    return s[ZS_PRINT_MODE] == ZPL_CUTTER && s[ZS_CUT_MODE] == 2 ? "^XA^MMC^PH^XZ" : "";
}

std::string ZplFieldData(std::string_view data)
{
    if (data.find_first_of(kFieldEscapes) == std::string_view::npos) return "^FD" + std::string(data) + "^FS";
    return "^FH^FD" + HexEscaped(data, kFieldEscapes) + "^FS";
}

std::string ZplSerialField(std::string_view value, int increment)
{
    if (value.find_first_of(kSerialEscapes) == std::string_view::npos)
        return "^SN" + std::string(value) + StrFormat(",%d,Y^FS", increment);
    return "^FH^SN" + HexEscaped(value, kSerialEscapes) + StrFormat(",%d,Y^FS", increment);
}

std::string ZplCode128Data(std::string_view caret)
{
    std::string out;
    out.reserve(caret.size() + 8);
    size_t i = 0;
    if (caret.size() >= 2 && caret[0] == '^') {
        switch (caret[1]) {
        case 'A': out += ">9"; break;
        case 'B': out += ">:"; break;
        case 'C': out += ">;"; break;
        default: break;
        }
        i = 2;
    }
    for (; i < caret.size(); ++i) {
        const char c = caret[i];
        if (c == '^') {
            if (i + 1 >= caret.size()) break;
            const char code = caret[++i];
            switch (code) {
            case '1': out += ">8"; break;
            case '2': out += ">3"; break;
            case '3': out += ">2"; break;
            case 'A': out += ">7"; break;
            case 'B': out += ">6"; break;
            case 'C': out += ">5"; break;
            case 'S': out += ">4"; break;
            case '^': out += "><"; break;
            default: break;
            }
        } else if (c == '>') {
            out += ">0";
        } else if (c == '_') {
            out += ">1";
        } else {
            out += c;
        }
    }
    return out;
}

void AppendZplRunCount(std::string& out, int n)
{
    for (; n >= 400; n -= 400) out += 'z';
    if (n >= 20) {
        out += char('g' + n / 20 - 1);
        n %= 20;
    }
    if (n > 0) out += char('G' + n - 1);
}

std::string ZplGraphicData(const CMonoBitmap& bitmap, bool compress)
{
    if (bitmap.IsEmpty()) return std::string();
    static const char kHex[] = "0123456789ABCDEF";
    const int width = bitmap.Width(), height = bitmap.Height();
    const int rowBytes = (width + 7) / 8;
    const int tailBits = width % 8;
    const std::uint8_t tailMask = tailBits ? std::uint8_t(0xFF << (8 - tailBits)) : 0xFF;

    std::string out = StrFormat("%d,%d,", rowBytes * height, rowBytes);
    out.reserve(out.size() + size_t(rowBytes) * 2 * size_t(height) / (compress ? 4 : 1) + 16);
    std::string row, previous;
    row.resize(size_t(rowBytes) * 2);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* bits = bitmap.Row(y);
        for (int b = 0; b < rowBytes; ++b) {
            std::uint8_t v = std::uint8_t(~bits[b]);
            if (b == rowBytes - 1) v &= tailMask;
            row[size_t(b) * 2] = kHex[v >> 4];
            row[size_t(b) * 2 + 1] = kHex[v & 15];
        }
        if (!compress) {
            out += row;
            continue;
        }
        if (y > 0 && row == previous) {
            out += ':';
            continue;
        }
        for (size_t i = 0; i < row.size();) {
            size_t j = i + 1;
            while (j < row.size() && row[j] == row[i]) ++j;
            if (j == row.size() && (row[i] == '0' || row[i] == 'F')) {
                out += row[i] == '0' ? ',' : '!';
            } else {
                AppendZplRunCount(out, int(j - i));
                out += row[i];
            }
            i = j;
        }
        previous.swap(row);
        row.resize(size_t(rowBytes) * 2);
    }
    return out;
}

const char* ZplBarcodeCommand(int symbology)
{
    const SymbologyInfo* row = FindSymbology(symbology);
    return row && row->stored ? row->zpl : nullptr;
}

int ZplEanDataLength(int symbology)
{
    // The printer takes the number without its check digit.
    const SymbologyInfo* row = FindSymbology(symbology);
    return row && row->stored && row->family == SymbologyFamily::EanUpc ? row->fixedLength - 1 : 0;
}

int ZplEanQuietZone(int symbology, bool right)
{
    switch (symbology) {
    case 3:
    case 6: return 9;
    case 7: return 7;
    case 8: return right ? 7 : 9;
    default: return 0;
    }
}

int ZplEanTextAllowance(int module, bool interpretation)
{
    if (!interpretation) return 0;
    if (module <= 1) return 14;
    if (module <= 3) return 9 * module;
    return 27;
}

namespace {

// The settings of the Zebra driver's current layout, at offsets from the
// start of the block.
void ReadCurrentLayout(const CDevModeView& d, int hdpi, ZplSettingsOut s)
{
    const DWORD flags = d.Dword(0x598);
    switch (d.Short(0x564)) {
    case -1: s[ZS_SUPPRESS_TRACKING] = 1; break;
    case 0: s[ZS_SUPPRESS_TRACKING] = 0, s[ZS_THERMAL_TRANSFER] = 0; break;
    case 1: s[ZS_SUPPRESS_TRACKING] = 0, s[ZS_THERMAL_TRANSFER] = 1; break;
    default: break;
    }
    if (flags & 0x4) {
        s[ZS_SUPPRESS_TEAR_OFF] = 0;
        s[ZS_TEAR_OFF] = MulDiv(d.Int(0x580), hdpi, 25402);
    } else {
        s[ZS_SUPPRESS_TEAR_OFF] = 1;
    }
    const int headTest = d.Int(0x568);
    if (headTest >= 0 && headTest <= 4) {
        s[ZS_HEAD_TEST] = headTest;
        if (headTest == 4) s[ZS_HEAD_TEST_PERCENT] = d.Int(0x56C);
    }
    if (!(flags & 0x10)) {
        s[ZS_SUPPRESS_DARKNESS] = 1;
    } else {
        s[ZS_SUPPRESS_DARKNESS] = 0;
        if (flags & 0x20) {
            s[ZS_DARKNESS_FORM] = 0;
            s[ZS_DARKNESS_SD] = d.Int(0x588);
        } else {
            s[ZS_DARKNESS_FORM] = 1;
            s[ZS_DARKNESS_MD] = d.Int(0x584);
        }
    }
    if (flags & 0x2) {
        s[ZS_SUPPRESS_LABEL_TOP] = 0;
        s[ZS_LABEL_TOP] = MulDiv(d.Int(0x57C), hdpi, 25402);
    } else {
        s[ZS_SUPPRESS_LABEL_TOP] = 1;
    }
    const int mode = d.Short(0x58C);
    if (mode == -1) {
        s[ZS_NO_PRINT_MODE] = 1;
        s[ZS_PRINT_MODE] = 0;
    } else if (mode >= 0 && mode <= 3) {
        s[ZS_NO_PRINT_MODE] = 0;
        s[ZS_PRINT_MODE] = mode + 1;
    }
    s[ZS_SUPPRESS_MEDIA_FEED] = 1;
    s[ZS_REPRINT] = 2;
    s[ZS_COMPRESS] = 1;
    switch (d.Short(0x566)) {
    case -1: s[ZS_SUPPRESS_MEDIA] = 1; break;
    case 0: s[ZS_SUPPRESS_MEDIA] = 0, s[ZS_MEDIA] = 0; break;
    case 2: s[ZS_MEDIA] = 1; break;
    case 3: s[ZS_MEDIA] = 2; break;
    default: break;
    }
    s[ZS_SUPPRESS_RATE] = (flags & 0x8) ? 0 : 1;
    s[ZS_PRINT_SPEED] = MulDiv(d.Int(0x570), 1, 25400);
    s[ZS_SLEW_SPEED] = MulDiv(d.Int(0x574), 1, 25400);
    s[ZS_BACKFEED_SPEED] = MulDiv(d.Int(0x578), 1, 25400);
    const int every = d.Short(0x594);
    switch (d.Short(0x590)) {
    case 1: s[ZS_CUT_MODE] = 0; break;
    case 2: s[ZS_CUT_MODE] = 3, s[ZS_CUT_EVERY] = every; break;
    case 3: s[ZS_CUT_MODE] = 1; break;
    case 4: s[ZS_CUT_MODE] = 2; break;
    default: break;
    }
    s[ZS_PAUSE_OVERRIDE] = (flags & 0x1) ? 1 : 0;
    switch (d.Short(0x592)) {
    case 0: s[ZS_PAUSE_MODE] = 0; break;
    case 1: s[ZS_PAUSE_MODE] = 1; break;
    case 2: s[ZS_PAUSE_MODE] = 3, s[ZS_PAUSE_EVERY] = every; break;
    case 3: s[ZS_PAUSE_MODE] = 4; break;
    case 4: s[ZS_PAUSE_MODE] = 2; break;
    default: break;
    }
}

// The older layout: 32-bit values in a block q at the start of the
// private part, the flags at q + 0x48.
void ReadOlderLayout(const CDevModeView& d, size_t q, ZplSettingsOut s)
{
    const auto at = [&](size_t offset) { return d.Int(q + offset); };
    const int flags = at(0x48);
    switch (at(0x00)) {
    case -1: s[ZS_SUPPRESS_TRACKING] = 1; break;
    case 0: s[ZS_SUPPRESS_TRACKING] = 0, s[ZS_THERMAL_TRANSFER] = 0; break;
    case 1: s[ZS_SUPPRESS_TRACKING] = 0, s[ZS_THERMAL_TRANSFER] = 1; break;
    default: break;
    }
    if (flags & 0x10) {
        s[ZS_SUPPRESS_TEAR_OFF] = 1;
    } else {
        s[ZS_SUPPRESS_TEAR_OFF] = 0;
        s[ZS_TEAR_OFF] = at(0x14);
    }
    const int headTest = at(0x18);
    if (headTest >= 0 && headTest <= 4) {
        s[ZS_HEAD_TEST] = headTest;
        if (headTest == 4) s[ZS_HEAD_TEST_PERCENT] = at(0x1C);
    }
    s[ZS_DARKNESS_MD] = at(0x20);
    s[ZS_DARKNESS_FORM] = 1;
    if (flags & 0x8) {
        s[ZS_SUPPRESS_LABEL_TOP] = 1;
    } else {
        s[ZS_SUPPRESS_LABEL_TOP] = 0;
        s[ZS_LABEL_TOP] = at(0x24);
    }
    const int mode = at(0x28);
    if (mode == -1) {
        s[ZS_NO_PRINT_MODE] = 1;
        s[ZS_PRINT_MODE] = 0;
    } else if (mode >= 0 && mode <= 3) {
        s[ZS_NO_PRINT_MODE] = 0;
        s[ZS_PRINT_MODE] = mode + 1;
    }
    s[ZS_SUPPRESS_MEDIA_FEED] = 0;
    if (at(0x30) >= 0 && at(0x30) <= 3) s[ZS_FEED_POWER_UP] = at(0x30);
    if (at(0x34) >= 0 && at(0x34) <= 3) s[ZS_FEED_HEAD_CLOSE] = at(0x34);
    s[ZS_REPRINT] = (flags & 0x1) ? 0 : 1;
    switch (at(0x04)) {
    case -1: s[ZS_SUPPRESS_MEDIA] = 1; break;
    case 0: s[ZS_SUPPRESS_MEDIA] = 0, s[ZS_MEDIA] = 0; break;
    case 2: s[ZS_MEDIA] = 1; break;
    case 3: s[ZS_MEDIA] = 2; break;
    default: break;
    }
    s[ZS_PRINT_SPEED] = MulDiv(at(0x08), 1, 25400);
    s[ZS_SLEW_SPEED] = MulDiv(at(0x0C), 1, 25400);
    s[ZS_BACKFEED_SPEED] = MulDiv(at(0x10), 1, 25400);
    s[ZS_COMPRESS] = at(0x44) != 0 ? 1 : 0;
    const int every = at(0x38);
    switch (at(0x3C)) {
    case 0: s[ZS_CUT_MODE] = 0; break;
    case 1: s[ZS_CUT_MODE] = 2; break;
    case 2: s[ZS_CUT_MODE] = 3, s[ZS_CUT_EVERY] = every; break;
    default: break;
    }
    s[ZS_PAUSE_OVERRIDE] = (flags & 0x4) ? 1 : 0;
    const int pause = at(0x40);
    if (pause >= 0 && pause <= 3) {
        s[ZS_PAUSE_MODE] = pause;
        if (pause == 3) s[ZS_PAUSE_EVERY] = every;
    }
}

}  // namespace

bool ZplSettingsFromDevMode(const CDevModeView& devMode, int hdpi, ZplSettingsOut s)
{
    if (!devMode.HasHeader()) return false;
    const WORD spec = devMode.SpecVersion();
    if (spec == 0x401 && devMode.DriverVersion() == 0x701 && devMode.DriverExtra() == 0x508) {
        ReadCurrentLayout(devMode, hdpi, s);
        return true;
    }
    const size_t q = PrivateSettingsOffset(spec);
    if (q == 0) return false;
    ReadOlderLayout(devMode, q, s);
    return true;
}
