#include "support/zpl_interpreter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

#include "encoders/linear_entries.h"
#include "platform/strutil.h"

namespace kvtest {

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A whole decimal number (optional sign), or false.
bool Number(std::string_view s, int& out)
{
    const std::string t = Trim(s);
    if (t.empty()) return false;
    size_t i = (t[0] == '-' || t[0] == '+') ? 1 : 0;
    if (i == t.size()) return false;
    for (size_t k = i; k < t.size(); ++k)
        if (t[k] < '0' || t[k] > '9') return false;
    out = std::atoi(t.c_str());
    return true;
}

bool IsCountCode(char c) { return (c >= 'G' && c <= 'Y') || (c >= 'g' && c <= 'z'); }

int CountOf(char c) { return c >= 'G' && c <= 'Y' ? c - 'G' + 1 : c == 'z' ? 400 : (c - 'g' + 1) * 20; }

// White rows and columns around the black pixels taken off.
CMonoBitmap TrimWhite(const CMonoBitmap& b)
{
    int left = b.Width(), right = -1, top = b.Height(), bottom = -1;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.IsBlack(x, y)) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (right < 0) return CMonoBitmap();
    CMonoBitmap out(right - left + 1, bottom - top + 1);
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            if (b.IsBlack(x, y)) out.SetPixel(x - left, y - top, true);
    return out;
}

void Blit(CMonoBitmap& canvas, const CMonoBitmap& b, CPoint at)
{
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const int cx = at.x + x, cy = at.y + y;
            if (b.IsBlack(x, y) && cx >= 0 && cy >= 0 && cx < canvas.Width() && cy < canvas.Height())
                canvas.SetPixel(cx, cy, true);
        }
}

// A box of w x h dots (along the field) turned by the field's orientation
// and placed by its top-left corner.
CRect TurnedBox(CPoint at, int w, int h, char rotation)
{
    const bool across = rotation == 'R' || rotation == 'B';
    return CRect(at.x, at.y, at.x + (across ? h : w), at.y + (across ? w : h));
}

// The length of a line of n characters in a resident font of a 203 dpi
// printer at a cell width of w dots: the bitmap fonts leave their own gap
// between cells, magnified with the cell; the scalable font "0" is taken
// as one cell a character.
int LineLength(const std::string& font, int n, int w)
{
    static const std::map<std::string, std::pair<int, int>> kCells = {  // font -> (cell width, gap)
        {"A", {5, 1}}, {"B", {7, 2}}, {"C", {10, 2}}, {"D", {10, 2}}, {"E", {15, 5}},
        {"F", {13, 3}}, {"G", {40, 8}}, {"H", {13, 6}}};
    const auto it = kCells.find(font);
    if (n <= 0) return 0;
    if (it == kCells.end()) return n * w;
    return n * w + (n - 1) * it->second.second * w / it->second.first;
}

}  // namespace

std::string ZplUnescapeField(std::string_view body, bool hex)
{
    if (!hex) return std::string(body);
    std::string out;
    for (size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '_' && i + 2 < body.size() && HexValue(body[i + 1]) >= 0 && HexValue(body[i + 2]) >= 0) {
            out += char(HexValue(body[i + 1]) * 16 + HexValue(body[i + 2]));
            i += 2;
        } else {
            out += body[i];
        }
    }
    return out;
}

CMonoBitmap ZplDecodeGraphic(std::string_view data)
{
    const std::vector<std::string> head = SplitString(data.substr(0, std::min<size_t>(data.size(), 40)), ',');
    int total = 0, perRow = 0;
    if (head.size() < 3 || !Number(head[0], total) || !Number(head[1], perRow) || total <= 0 || perRow <= 0 ||
        total % perRow)
        return CMonoBitmap();
    const size_t start = head[0].size() + head[1].size() + 2;
    const std::string_view body = data.substr(start);
    const int rows = total / perRow;
    const size_t rowChars = size_t(perRow) * 2;
    CMonoBitmap out(perRow * 8, rows);
    std::string row, previous;
    size_t pos = 0;
    for (int y = 0; y < rows; ++y) {
        if (pos < body.size() && body[pos] == ':') {
            if (y == 0) return CMonoBitmap();
            row = previous;
            ++pos;
        } else {
            row.clear();
            while (row.size() < rowChars) {
                if (pos >= body.size()) return CMonoBitmap();
                int count = 0;
                while (pos < body.size() && IsCountCode(body[pos])) count += CountOf(body[pos++]);
                if (pos >= body.size()) return CMonoBitmap();
                const char c = body[pos++];
                if ((c == ',' || c == '!') && count == 0) {
                    row.append(rowChars - row.size(), c == ',' ? '0' : 'F');
                } else if (HexValue(c) >= 0 && c == std::toupper(c)) {
                    row.append(size_t(count ? count : 1), c);
                } else {
                    return CMonoBitmap();
                }
            }
            if (row.size() != rowChars) return CMonoBitmap();
        }
        for (size_t k = 0; k < rowChars; ++k) {
            const int v = HexValue(row[k]);
            for (int bit = 0; bit < 4; ++bit)
                if (v & (8 >> bit)) out.SetPixel(int(k * 4) + bit, y, true);
        }
        previous = row;
    }
    while (pos < body.size() && (body[pos] == '\n' || body[pos] == '\r')) ++pos;
    return pos == body.size() ? out : CMonoBitmap();
}

std::string ZplCode128ToCaret(std::string_view d)
{
    std::string out;
    if (d.size() < 2 || d[0] != '>') return out;
    switch (d[1]) {
    case '9': out = "^A"; break;
    case ':': out = "^B"; break;
    case ';': out = "^C"; break;
    default: return std::string();
    }
    for (size_t i = 2; i < d.size(); ++i) {
        if (d[i] == '^') {
            out += "^^";
        } else if (d[i] == '>' && i + 1 < d.size()) {
            static const std::map<char, const char*> codes = {{'8', "^1"}, {'3', "^2"}, {'2', "^3"}, {'7', "^A"},
                                                              {'6', "^B"}, {'5', "^C"}, {'4', "^S"}, {'<', "^^"},
                                                              {'0', ">"},  {'1', "_"}};
            const auto it = codes.find(d[++i]);
            if (it == codes.end()) return std::string();
            out += it->second;
        } else {
            out += d[i];
        }
    }
    return out;
}

std::string ZplCountSerial(const std::string& value, long long steps)
{
    size_t end = value.size();
    while (end > 0 && !std::isdigit(static_cast<unsigned char>(value[end - 1]))) --end;
    size_t begin = end;
    while (begin > 0 && std::isdigit(static_cast<unsigned char>(value[begin - 1]))) --begin;
    if (begin == end) return value;
    const size_t width = end - begin;
    long long n = std::atoll(value.substr(begin, width).c_str()) + steps;
    if (n < 0) n = 0;
    std::string digits = std::to_string(n);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return value.substr(0, begin) + digits + value.substr(end);
}

CMonoBitmap RotateForZpl(const CMonoBitmap& b, char rotation)
{
    const int w = b.Width(), h = b.Height();
    if (rotation == 'N') return b;
    CMonoBitmap out(rotation == 'I' ? w : h, rotation == 'I' ? h : w);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!b.IsBlack(x, y)) continue;
            switch (rotation) {
            case 'I': out.SetPixel(w - 1 - x, h - 1 - y, true); break;
            case 'R': out.SetPixel(h - 1 - y, x, true); break;  // clockwise
            default: out.SetPixel(y, w - 1 - x, true); break;   // 'B': counter-clockwise
            }
        }
    return out;
}

CMonoBitmap ZplBarcodeBars(const ZplField& f, std::string* error)
{
    const int wide = int(std::lround(f.ratio * f.module));
    std::uint32_t err = 0;
    BarBitmap bars;
    const std::string& d = f.data;
    if (f.command == "BC") {
        const std::string caret = ZplCode128ToCaret(d);
        if (!caret.empty()) bars = EncodeCode128(C128_MANUAL, caret.c_str(), f.module, 0, f.height, 0, 0, 0, &err);
    } else {
        static const std::map<std::string, int> types = {
            {"B3", BCT_CODE39}, {"B2", BCT_ITF25}, {"BA", BCT_CODE93}, {"BK", BCT_CODABAR},
            {"BE", BCT_EAN13},  {"BU", BCT_UPCA},  {"B8", BCT_EAN8},   {"B9", BCT_UPCE}};
        const auto it = types.find(f.command);
        if (it != types.end())
            bars = EncodeLinear(it->second, d.c_str(), f.module, 0, wide, f.height, 0, 0, 0, &err);
    }
    if (!bars) {
        if (error) *error = "cannot draw ^" + f.command + " with data \"" + d + "\" (" + BarcodeErrorName(err) + ")";
        return CMonoBitmap();
    }
    return TrimWhite(*bars);
}

bool ZplPrinter::Fail(std::string* error, const std::string& why)
{
    if (error) *error = why;
    return false;
}

std::vector<const ZplFormat*> ZplPrinter::LabelFormats() const
{
    std::vector<const ZplFormat*> out;
    for (const ZplFormat& f : formats)
        if (!f.fields.empty()) out.push_back(&f);
    return out;
}

bool ZplPrinter::Run(std::string_view s, std::string* error)
{
    static const std::set<std::string> kSetup = {"SZ", "MC", "MT", "TA", "JS", "MD", "SD", "LT", "MM", "MF",
                                                 "JZ", "MN", "LL", "PR", "PM", "PO", "JM", "LH", "LR", "PH"};
    static const std::set<std::string> kBarcodes = {"BC", "B3", "BE", "B2", "BA", "BU", "B8", "B9", "BK"};
    bool inFormat = false, fieldOpen = false, hex = false;
    ZplFormat format;
    ZplField field;
    const auto closeField = [&]() -> bool {
        if (!fieldOpen) return true;
        if ((field.kind == ZplField::Text || field.kind == ZplField::Barcode) && field.data.empty() && !field.serial)
            return false;
        format.fields.push_back(field);
        fieldOpen = false;
        hex = false;
        return true;
    };
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '\x0F' || c == '\n' || c == '\r') {
            ++i;
            continue;
        }
        if (c != '^' && c != '~') return Fail(error, StrFormat("text outside a command at byte %zu", i));
        // "^A" takes its font as the next character; other names have two letters.
        const bool fontCommand = c == '^' && i + 1 < s.size() && s[i + 1] == 'A';
        const size_t nameLength = fontCommand ? 1 : 2;
        if (i + 1 + nameLength > s.size()) return Fail(error, "a command cut short");
        const std::string name(s.substr(i + 1, nameLength));
        const size_t paramStart = i + 1 + nameLength;
        size_t end = s.find_first_of("^~", paramStart);
        if (end == std::string_view::npos) end = s.size();
        const std::string_view raw = s.substr(paramStart, end - paramStart);
        // Field data runs to the next command; other parameters end before
        // the line break or the next field's control byte.
        const std::string params = name == "FD" ? std::string(raw) : TrimRight(Trim(raw), "\x0F\r\n");
        const std::vector<std::string> p = SplitString(params, ',');
        const std::string where = StrFormat(" at byte %zu", i);
        commands.push_back(std::string(1, c) + name);
        const auto number = [&](size_t k, int& out) { return k < p.size() && Number(p[k], out); };
        if (c == '~') {
            if (name == "DG") {
                const size_t comma = params.find(',');
                if (comma == std::string::npos || comma == 0) return Fail(error, "~DG without a name" + where);
                const std::string graphic = params.substr(0, comma);
                const std::string data = params.substr(comma + 1);
                CMonoBitmap b = ZplDecodeGraphic(data);
                if (b.IsEmpty() && !data.empty()) return Fail(error, "malformed graphic data for " + graphic + where);
                graphics[graphic] = b;
            } else if (kSetup.count(name)) {
                setup[name] = params;
            } else {
                return Fail(error, "unknown command ~" + name + where);
            }
            i = end;
            continue;
        }
        if (name == "XA") {
            if (inFormat) return Fail(error, "^XA inside a format" + where);
            inFormat = true;
            format = ZplFormat();
        } else if (name == "XZ") {
            if (!inFormat) return Fail(error, "^XZ outside a format" + where);
            if (!closeField()) return Fail(error, "a field without data" + where);
            formats.push_back(format);
            inFormat = false;
        } else if (!inFormat) {
            return Fail(error, "^" + name + " outside a format" + where);
        } else if (name == "FO") {
            if (i == 0 || s[i - 1] != '\x0F') return Fail(error, "^FO without the control byte before it" + where);
            if (!closeField()) return Fail(error, "a field without data" + where);
            field = ZplField();
            fieldOpen = true;
            if (p.size() != 2 || !number(0, field.origin.x) || !number(1, field.origin.y))
                return Fail(error, "^FO needs x,y" + where);
        } else if (!fieldOpen && name != "PQ" && !kSetup.count(name)) {
            return Fail(error, "^" + name + " outside a field" + where);
        } else if (name == "A") {
            field.kind = ZplField::Text;
            if (p.size() != 3 || p[0].size() != 2 || !number(1, field.height) || !number(2, field.width))
                return Fail(error, "^A needs font, orientation, height and width" + where);
            field.font = p[0].substr(0, 1);
            field.rotation = p[0][1];
        } else if (name == "FH") {
            hex = true;
        } else if (name == "FD") {
            field.hex = hex;
            field.data = ZplUnescapeField(params, hex);
            if (params.empty()) return Fail(error, "^FD without data" + where);
        } else if (name == "SN") {
            if (p.size() != 3 || !number(1, field.increment) || p[2] != "Y")
                return Fail(error, "^SN needs value, increment and Y" + where);
            field.serial = true;
            field.hex = hex;
            field.data = ZplUnescapeField(p[0], hex);
        } else if (name == "FS") {
            if (!closeField()) return Fail(error, "a field without data" + where);
        } else if (name == "BY") {
            if (p.empty() || !number(0, field.module)) return Fail(error, "^BY needs a module" + where);
            if (p.size() > 1) field.ratio = std::atof(p[1].c_str());
        } else if (kBarcodes.count(name)) {
            field.kind = ZplField::Barcode;
            field.command = name;
            // Where the orientation, height and interpretation flag stand.
            const bool checkFirst = name == "B3" || name == "BK";
            const size_t h = checkFirst ? 2 : 1;
            if (p.size() < h + 2 || p[0].size() != 1 || !number(h, field.height) || p[h + 1].size() != 1)
                return Fail(error, "^" + name + " parameters" + where);
            field.rotation = p[0][0];
            field.interpretation = p[h + 1][0];
        } else if (name == "GB") {
            field.kind = ZplField::Box;
            if (p.size() != 3 || !number(0, field.boxWidth) || !number(1, field.boxHeight) ||
                !number(2, field.thickness))
                return Fail(error, "^GB needs width, height, thickness" + where);
        } else if (name == "XG") {
            field.kind = ZplField::Graphic;
            field.graphic = params;
            if (params.empty()) return Fail(error, "^XG without a name" + where);
            // The printer prints the graphic stored now: a later download
            // under the same name is another label's.
            const auto stored = graphics.find(params);
            field.recalled = stored != graphics.end();
            if (field.recalled) field.image = stored->second;
        } else if (name == "PQ") {
            if (!closeField()) return Fail(error, "a field without data" + where);
            if (p.size() != 4 || !number(0, format.quantity) || !number(1, format.pause) ||
                !number(2, format.replicates))
                return Fail(error, "^PQ needs four parameters" + where);
            format.override = p[3];
            format.hasQuantity = true;
        } else if (kSetup.count(name)) {
            setup[name] = params;
            format.commands.push_back(name);
        } else {
            return Fail(error, "unknown command ^" + name + where);
        }
        if (std::string_view("NRIB").find(field.rotation) == std::string_view::npos)
            return Fail(error, StrFormat("orientation %c", field.rotation) + where);
        i = end;
    }
    if (inFormat) return Fail(error, "the stream ends inside a format");
    return true;
}

CMonoBitmap ZplPrinter::Draw(ZplFormat& format, int width, int height, int serialStep, std::string* error) const
{
    CMonoBitmap canvas(width, height);
    for (ZplField& f : format.fields) {
        const CPoint at = f.origin;
        std::string data = f.serial ? ZplCountSerial(f.data, (long long)serialStep * f.increment) : f.data;
        switch (f.kind) {
        case ZplField::Box: {
            const int w = std::max(f.boxWidth, f.thickness), h = std::max(f.boxHeight, f.thickness);
            const int t = f.thickness;
            canvas.FillRect(at.x, at.y, at.x + w, at.y + t, true);
            canvas.FillRect(at.x, at.y + h - t, at.x + w, at.y + h, true);
            canvas.FillRect(at.x, at.y, at.x + t, at.y + h, true);
            canvas.FillRect(at.x + w - t, at.y, at.x + w, at.y + h, true);
            f.extent = CRect(at.x, at.y, at.x + w, at.y + h);
            break;
        }
        case ZplField::Graphic: {
            if (!f.recalled) {
                if (error) *error = "graphic " + f.graphic + " was not downloaded";
                break;
            }
            Blit(canvas, f.image, at);
            f.extent = CRect(at.x, at.y, at.x + f.image.Width(), at.y + f.image.Height());
            break;
        }
        case ZplField::Barcode: {
            ZplField counted = f;
            counted.data = data;
            const CMonoBitmap bars = ZplBarcodeBars(counted, error);
            if (bars.IsEmpty()) break;
            const CMonoBitmap turned = RotateForZpl(bars, f.rotation);
            Blit(canvas, turned, at);
            f.extent = CRect(at.x, at.y, at.x + turned.Width(), at.y + turned.Height());
            if (f.interpretation == 'Y') {
                // The printer's own digits go in a band along the bars'
                // bottom edge, as the field turns.
                const int band = std::max(30, 10 * f.module);
                // EAN and UPC print their outer digits beside the bars.
                const int beside = f.command == "BE" || f.command == "BU" || f.command == "B8" || f.command == "B9"
                                       ? 10 * f.module
                                       : 0;
                const bool upright = f.rotation == 'N' || f.rotation == 'I';
                const CRect e(f.extent.left - (upright ? beside : 0), f.extent.top - (upright ? 0 : beside),
                              f.extent.right + (upright ? beside : 0), f.extent.bottom + (upright ? 0 : beside));
                switch (f.rotation) {
                case 'N': f.interpretationBand = CRect(e.left, e.bottom, e.right, e.bottom + band); break;
                case 'I': f.interpretationBand = CRect(e.left, e.top - band, e.right, e.top); break;
                case 'R': f.interpretationBand = CRect(e.left - band, e.top, e.left, e.bottom); break;
                default: f.interpretationBand = CRect(e.right, e.top, e.right + band, e.bottom); break;
                }
            }
            break;
        }
        case ZplField::Text:
            f.extent = TurnedBox(at, LineLength(f.font, int(data.size()), f.width), f.height, f.rotation);
            break;
        }
    }
    return canvas;
}

}  // namespace kvtest
