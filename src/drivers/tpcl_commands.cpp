#include "drivers/tpcl_commands.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "drivers/command_helpers.h"
#include "platform/devmode.h"
#include "platform/monobitmap.h"
#include "platform/strutil.h"

TecDriverData TecDriverDataFromDevMode(const CDevModeView& devMode)
{
    // Without the TEC driver's block (a file, a one-off printer, another
    // driver): the gap sensor, batch issue and thermal transfer, which
    // every family reads alike, the rest left to the printer.
    TecDriverData d;
    d.sensor = '2';
    d.issueMode = 'C';
    d.ribbon = '2';
    if (!devMode.HasHeader()) return d;
    const size_t t = PrivateSettingsOffset(devMode.SpecVersion());
    if (t == 0) return d;
    // Reads past a short block give 0, never bytes beyond it.
    d.present = true;
    d.ribbon = char(devMode.Byte(t + TEC_RIBBON));
    d.sensor = char(devMode.Byte(t + TEC_SENSOR));
    d.issueMode = char(devMode.Byte(t + TEC_ISSUE_MODE));
    d.speed = devMode.Byte(t + TEC_SPEED);
    d.feedAdjust = devMode.Int(t + TEC_FEED_ADJUST);
    d.backFeedAdjust = devMode.Int(t + TEC_BACK_FEED_ADJUST);
    d.cutSetting = devMode.Int(t + TEC_CUT_SETTING);
    d.cutCount = devMode.Int(t + TEC_CUT_COUNT);
    d.cutPositionAdjust = devMode.Int(t + TEC_CUT_POSITION_ADJUST);
    d.darknessNoRibbon = devMode.Int(t + TEC_DARKNESS_NO_RIBBON);
    d.darknessRibbon = devMode.Int(t + TEC_DARKNESS_RIBBON);
    d.adjustFlag = devMode.Byte(t + TEC_ADJUST_FLAG);
    d.graphicSetting = devMode.Byte(t + TEC_GRAPHIC_SETTING);
    d.feedFlag = devMode.Byte(t + TEC_FEED_FLAG);
    d.feedValue = devMode.Int(t + TEC_FEED_VALUE);
    return d;
}

int TpclRotationCode(int turns)
{
    static const int kCodes[4] = {0, 3, 2, 1};
    return kCodes[turns & 3];
}

std::string TpclSizeLine(int pitch, int width, int height)
{
    return StrFormat("{D%04d,%04d,%04d|}\r\n", pitch / 10, width / 10, height / 10);
}

namespace {

char Sign(int v) { return v < 0 ? '-' : '+'; }

// The magnitude of v, no larger than limit.
int Magnitude(int v, int limit) { return std::min(limit, v < 0 ? -std::max(v, -limit) : v); }

bool Between(char c, char lo, char hi) { return c >= lo && c <= hi; }

bool IsTec(const TpclPrinter& p, int model) { return p.family == kTecFamily && p.model == model; }

}  // namespace

std::string TpclSetupAdjustments(const TecDriverData& d, const TpclPrinter& printer)
{
    std::string out;
    if (d.adjustFlag == 29) {
        const int feed = d.feedAdjust / 100, cut = d.cutPositionAdjust / 100, back = d.backFeedAdjust / 100;
        out += StrFormat("{AX;%c%03d,%c%03d,%c%02d|}\r\n", Sign(feed), Magnitude(feed, 500), Sign(cut),
                         Magnitude(cut, 500), Sign(back), Magnitude(back, 99));
    }
    const bool withRibbon = d.ribbon != '0' || IsTec(printer, 10);
    const int darkness = withRibbon ? d.darknessRibbon : d.darknessNoRibbon;
    out += StrFormat("{AY;%c%02d,%c|}\r\n", Sign(darkness), Magnitude(darkness, 10), withRibbon ? '0' : '1');
    out += TpclFeedLine(d, false);
    out += "{C|}\r\n";
    return out;
}

std::string TpclFeedLine(const TecDriverData& d, bool afterIssue)
{
    if (d.feedFlag != 1) return std::string();
    const bool forward = d.feedValue >= 0;
    const char* command = forward != afterIssue ? "U2" : "U1";
    const int magnitude = std::clamp(Magnitude(d.feedValue, 2000), 30, 2000);
    return StrFormat("{%s;%04d|}\r\n", command, magnitude);
}

int TpclCutInterval(const TecDriverData& d, int quantity)
{
    if (d.cutSetting != 6000) return 0;
    if (d.cutCount == 0) return 1;
    if (d.cutCount >= 1 && d.cutCount <= 100) return d.cutCount;
    // Cutting after the whole run: the printer's field takes no more than 100.
    if (d.cutCount == -1) return std::clamp(quantity, 1, 100);
    return 0;
}

char TpclSensorChar(const TecDriverData& d, const TpclPrinter& printer)
{
    if (printer.family == kTecFamily) return Between(d.sensor, '0', '6') ? d.sensor : '2';
    return Between(d.sensor, '0', '4') ? d.sensor : '6';
}

char TpclIssueModeChar(const TecDriverData& d) { return d.issueMode == 'D' ? 'D' : 'C'; }

char TpclSpeedChar(const TecDriverData& d, const TpclPrinter& printer)
{
    const int s = d.speed;
    int f = 3;
    if (IsTec(printer, 9))
        f = s == 3 ? 4 : 2;
    else if (IsTec(printer, 10))
        f = 2;
    else if (IsTec(printer, 13) || IsTec(printer, 34))
        f = s == 2 ? 3 : s == 5 ? 6 : s == 9 ? 17 : 3;
    else if (IsTec(printer, 25))
        f = s == 2 ? 3 : s == 3 ? 4 : s == 7 ? 8 : 3;
    else
        f = s == 2 ? 3 : s == 4 ? 5 : s == 7 ? 8 : 3;
    return char('0' + f);
}

char TpclRibbonChar(const TecDriverData& d, const TpclPrinter& printer)
{
    if (IsTec(printer, 9)) return d.ribbon == '0' ? '0' : '2';
    if (IsTec(printer, 10)) return '1';
    return Between(d.ribbon, '0', '2') ? d.ribbon : '2';
}

std::string TpclIssueLines(const TecDriverData& d, const TpclPrinter& printer, int quantity)
{
    quantity = std::clamp(quantity, 1, 9999);
    std::string out = StrFormat("{XS;I,%04d,%03d%c%c%c%c%01d%01d|}\r\n", quantity, TpclCutInterval(d, quantity),
                                TpclSensorChar(d, printer), TpclIssueModeChar(d), TpclSpeedChar(d, printer),
                                TpclRibbonChar(d, printer), 0, 1);
    out += TpclFeedLine(d, true);
    out += "{C|}\r\n";
    return out;
}

namespace {

// One line command; coordinates in tenths of a millimetre.
void LineCommand(std::string& out, int x1, int y1, int x2, int y2, int kind, int width)
{
    out += StrFormat("{LC;%04d,%04d,%04d,%04d,%01d,%01d|}\r\n", x1, y1, x2, y2, kind, width);
}

}  // namespace

std::string TpclBoxCommands(int x, int y, int width, int height, int pen)
{
    const int left = x / 10, top = y / 10, right = (x + width) / 10, bottom = (y + height) / 10;
    const int b = std::min({pen, width, height});
    int t = b / 10;
    if (t <= 0) t = 1;
    std::string out;
    auto ring = [&](int inset, int w) { LineCommand(out, left + inset, top + inset, right - inset, bottom - inset, 1, w); };
    if (t > 8) {
        const int rings = b / 80;
        for (int k = 1; k <= rings; ++k) ring(8 * k, 9);
        if (t % 8 != 0) ring(8 * rings + (t % 8) / 2, t % 8);
    } else {
        ring(t / 2, t);
    }
    return out;
}

std::string TpclLineCommands(int x, int y, int width, int height, bool horizontal)
{
    const int thickness = (horizontal ? height : width) / 10;
    std::string out;
    auto line = [&](int offset, int w) {
        if (horizontal)
            LineCommand(out, x / 10, y / 10 + offset, (x + width) / 10, y / 10 + offset, 0, w);
        else
            LineCommand(out, x / 10 + offset, y / 10, x / 10 + offset, (y + height) / 10, 0, w);
    };
    if (thickness <= 0) {
        line(0, 1);
    } else if (thickness <= 9) {
        line(0, thickness);
    } else {
        const int full = thickness / 9;
        for (int i = 0; i < full; ++i) line(9 * i, 9);
        if (thickness % 9 != 0) line(9 * full, thickness % 9);
    }
    return out;
}

int TpclGraphicMode(int graphicSetting)
{
    switch (graphicSetting) {
    case 0: return 0;
    case 64: return 4;
    case 16: return 1;
    case 80: return 5;
    default: return 3;
    }
}

namespace {

// The rows of a bitmap with 1 black and the padding bits cleared.
std::vector<std::uint8_t> BlackRows(const CMonoBitmap& bitmap, int& rowBytes)
{
    const int width = bitmap.Width(), height = bitmap.Height();
    rowBytes = (width + 7) / 8;
    const int tailBits = width % 8;
    const std::uint8_t tailMask = tailBits ? std::uint8_t(0xFF << (8 - tailBits)) : 0xFF;
    std::vector<std::uint8_t> rows(size_t(rowBytes) * size_t(height));
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* bits = bitmap.Row(y);
        std::uint8_t* out = rows.data() + size_t(y) * size_t(rowBytes);
        for (int b = 0; b < rowBytes; ++b) out[b] = std::uint8_t(~bits[b]);
        out[rowBytes - 1] &= tailMask;
    }
    return rows;
}

// One row's values as the tree of flag bytes: a level-1 byte per 512
// values, a level-2 byte per 64-value block with a set value, a level-3
// byte per 8-value group with a set value followed by its set values.
void AppendRowTree(std::string& out, const std::vector<std::uint8_t>& v)
{
    const size_t n = v.size();
    auto at = [&](size_t i) { return i < n ? v[i] : std::uint8_t(0); };
    auto anySet = [&](size_t from, size_t count) {
        for (size_t i = from; i < std::min(n, from + count); ++i)
            if (v[i]) return true;
        return false;
    };
    for (size_t chunk = 0; chunk < n; chunk += 512) {
        std::uint8_t level1 = 0;
        for (int b = 0; b < 8; ++b)
            if (anySet(chunk + size_t(b) * 64, 64)) level1 |= std::uint8_t(0x80 >> b);
        out += char(level1);
        for (int b = 0; b < 8; ++b) {
            if (!(level1 & (0x80 >> b))) continue;
            const size_t block = chunk + size_t(b) * 64;
            std::uint8_t level2 = 0;
            for (int g = 0; g < 8; ++g)
                if (anySet(block + size_t(g) * 8, 8)) level2 |= std::uint8_t(0x80 >> g);
            out += char(level2);
            for (int g = 0; g < 8; ++g) {
                if (!(level2 & (0x80 >> g))) continue;
                const size_t group = block + size_t(g) * 8;
                std::uint8_t level3 = 0;
                for (int i = 0; i < 8; ++i)
                    if (at(group + size_t(i))) level3 |= std::uint8_t(0x80 >> i);
                out += char(level3);
                for (int i = 0; i < 8; ++i)
                    if (at(group + size_t(i))) out += char(at(group + size_t(i)));
            }
        }
    }
}

}  // namespace

std::string TpclCompressedRows(const std::uint8_t* rows, int rowBytes, int height)
{
    std::string body;
    const size_t n = size_t(std::max(0, rowBytes));
    std::vector<std::uint8_t> values(n);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = rows + size_t(y) * n;
        const std::uint8_t* previous = y > 0 ? row - n : nullptr;
        bool unchanged = true;
        for (size_t i = 0; i < n; ++i) {
            values[i] = previous ? std::uint8_t(row[i] ^ previous[i]) : row[i];
            if (values[i]) unchanged = false;
        }
        if (unchanged) {
            // One zero byte; a row wider than 512 bytes has one per 512,
            // as its tree without set values, so that a reader counting
            // level-1 bytes stays in step.
            body.append(std::max<size_t>(1, (n + 511) / 512), '\0');
            continue;
        }
        AppendRowTree(body, values);
    }
    std::string out;
    out += char((body.size() >> 8) & 0xFF);
    out += char(body.size() & 0xFF);
    out += body;
    return out;
}

std::string TpclGraphicData(const CMonoBitmap& bitmap, int mode)
{
    if (bitmap.IsEmpty()) return std::string();
    int rowBytes = 0;
    const std::vector<std::uint8_t> rows = BlackRows(bitmap, rowBytes);
    switch (mode) {
    case 0:
    case 4: {
        std::string out;
        out.reserve(rows.size() * 2);
        for (std::uint8_t v : rows) {
            out += char(0x30 + (v >> 4));
            out += char(0x30 + (v & 15));
        }
        return out;
    }
    case 1:
    case 5: return std::string(rows.begin(), rows.end());
    default: return TpclCompressedRows(rows.data(), rowBytes, bitmap.Height());
    }
}

size_t TpclForbiddenByte(std::string_view data)
{
    // "{", "|" and "}" stand for ESC, LF and NUL in the brace framing: the
    // start of a command, the end of the data and the end of the command.
    return data.find_first_of(std::string_view("{|}\x1B\r\n\0", 7));
}
