#include "support/dpl_interpreter.h"

#include <algorithm>
#include <regex>

#include "encoders/linear_entries.h"
#include "model/printer_font_catalog.h"
#include "platform/strutil.h"
#include "support/printer_images.h"
#include "support/zpl_interpreter.h"

namespace kvtest {

namespace {

constexpr char kSoh = '\x01';
constexpr char kStx = '\x02';

bool Fail(std::string* error, const std::string& why)
{
    if (error) *error = why;
    return false;
}

int MultiplierValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return -1;
}

bool Digits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int ToInt(std::string_view s) { return std::atoi(std::string(s).c_str()); }

// The parameters each system command takes.
bool SystemCommandValid(char name, const std::string& params)
{
    static const std::map<char, std::regex> kForms = {
        {'y', std::regex("S[A-Z0-9]{2}")}, {'n', std::regex("")},         {'M', std::regex("\\d{4}")},
        {'K', std::regex("f-?\\d{2,4}|I[01]")}, {'J', std::regex("")},   {'c', std::regex("\\d{4}")},
        {'e', std::regex("")},             {'r', std::regex("")},         {'d', std::regex("")},
        {'s', std::regex("")},             {'o', std::regex("")},         {'S', std::regex("[A-Z]")},
        {'q', std::regex("[A-Z]")},        {'z', std::regex("[A-Z]")},    {'O', std::regex("-?\\d{3,4}")},
        {'V', std::regex("[01]")},         {'f', std::regex("-?\\d{2,3}")},
    };
    const auto it = kForms.find(name);
    return it != kForms.end() && std::regex_match(params, it->second);
}

// The encoder type of an identifier (either case), 0 for none.
int BarcodeType(char id)
{
    switch (id >= 'a' && id <= 'z' ? char(id - 'a' + 'A') : id) {
    case 'A': return BCT_CODE39;
    case 'E': return BCT_CODE128;
    case 'F': return BCT_EAN13;
    case 'D': return BCT_ITF25;
    case 'O': return BCT_CODE93;
    case 'B': return BCT_UPCA;
    case 'G': return BCT_EAN8;
    case 'C': return BCT_UPCE;
    case 'I': return BCT_CODABAR;
    default: return 0;
    }
}

// A field's unrotated box of w x h dots turned and placed by the corner it
// starts from: its own lower-left.
CRect PlacedBox(CPoint origin, int w, int h, int rotation)
{
    const bool across = rotation == 1 || rotation == 3;
    const int bw = across ? h : w, bh = across ? w : h;
    switch (rotation) {
    case 0: return CRect(origin.x, origin.y - bh, origin.x + bw, origin.y);
    case 1: return CRect(origin.x - bw, origin.y - bh, origin.x, origin.y);
    case 2: return CRect(origin.x - bw, origin.y, origin.x, origin.y + bh);
    default: return CRect(origin.x, origin.y, origin.x + bw, origin.y + bh);
    }
}

const CPrinterFontEntry* FindFont(int language, int dpi, char font)
{
    static std::map<std::pair<int, int>, std::vector<CPrinterFontEntry>> lists;
    auto& list = lists[{language, dpi}];
    if (list.empty()) list = GetCatalogFonts(language, dpi);
    for (const CPrinterFontEntry& e : list)
        if (e.m_strCode == std::string(1, font)) return &e;
    return nullptr;
}

}  // namespace

std::string DplCode128ToCaret(std::string_view d)
{
    if (d.empty() || (d[0] != 'A' && d[0] != 'B' && d[0] != 'C')) return std::string();
    std::string out = std::string("^") + d[0];
    for (size_t i = 1; i < d.size(); ++i) {
        if (d[i] == '^') {
            out += "^^";
            continue;
        }
        if (d[i] != '&') {
            out += d[i];
            continue;
        }
        if (++i >= d.size()) return std::string();
        switch (d[i]) {
        case '&': out += '&'; break;
        case 'G': out += "^1"; break;
        case 'B': out += "^2"; break;
        case 'A': out += "^3"; break;
        case 'F': out += "^A"; break;
        case 'E': out += "^B"; break;
        case 'D': out += "^C"; break;
        case 'C': out += "^S"; break;
        default: return std::string();
        }
    }
    return out;
}

int DplTextLength(int language, int dpi, char font, int n, int widthMul)
{
    const CPrinterFontEntry* e = FindFont(language, dpi, font);
    if (!e || n <= 0) return 0;
    return widthMul * (n * e->m_nCellWidth + (n - 1) * e->m_nGap);
}

int DplTextHeight(int language, int dpi, char font, int heightMul)
{
    const CPrinterFontEntry* e = FindFont(language, dpi, font);
    return e ? heightMul * e->m_nCellHeight : 0;
}

bool DplPrinter::Run(std::string_view s, std::string* error)
{
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c == kSoh) {
            if (i + 1 >= s.size()) return Fail(error, "SOH at the end of the stream");
            commands.push_back(std::string("SOH ") + s[i + 1]);
            i += 2;
            continue;
        }
        if (c != kStx) return Fail(error, StrFormat("byte 0x%02X outside a command at %zu", unsigned(std::uint8_t(c)), i));
        if (++i >= s.size()) return Fail(error, "STX at the end of the stream");
        const char name = s[i++];
        const std::string where = StrFormat(" (command at byte %zu)", i - 2);
        if (name == 'I' || name == 'x') {
            // Image store or delete: module, format or "G", name up to CR.
            const size_t cr = s.find('\r', i);
            if (i + 2 > s.size() || cr == std::string_view::npos) return Fail(error, "image command cut short" + where);
            const char module = s[i], kind = s[i + 1];
            const std::string imageName(s.substr(i + 2, cr - i - 2));
            if (imageName.empty() || imageName.find_first_of(std::string_view("\x01\x02\n", 3)) != std::string::npos)
                return Fail(error, "bad image name" + where);
            i = cr + 1;
            commands.push_back(StrFormat("%c%c%c", name, module, kind) + imageName);
            if (name == 'x') {
                if (kind != 'G') return Fail(error, "delete of a kind other than G" + where);
                images.erase(std::string(1, module) + imageName);
                continue;
            }
            size_t used = 0;
            CMonoBitmap image;
            if (kind == 'P')
                image = ReadPcxImage(s.substr(i), &used);
            else if (kind == 'B')
                image = ReadBmpImage(s.substr(i), &used);
            else
                return Fail(error, StrFormat("image format %c", kind) + where);
            if (image.IsEmpty()) return Fail(error, "unreadable image " + imageName + where);
            images[std::string(1, module) + imageName] = image;
            i += used;
            continue;
        }
        if (name == 'L') {
            DplFormat format;
            if (i < s.size() && s[i] == '\r') format.lineEnd = (i + 1 < s.size() && s[i + 1] == '\n') ? "\r\n" : "\r";
            std::string mode = "A2";
            bool ended = false;
            while (i < s.size() && !ended) {
                // One record: up to CR or LF; SOH acts at once wherever it stands.
                std::string record;
                while (i < s.size() && s[i] != '\r' && s[i] != '\n') {
                    if (s[i] == kSoh && i + 1 < s.size()) {
                        commands.push_back(std::string("SOH ") + s[i + 1]);
                        i += 2;
                        continue;
                    }
                    if (s[i] == kStx) return Fail(error, StrFormat("STX inside a label format at byte %zu", i));
                    record += s[i++];
                }
                while (i < s.size() && (s[i] == '\r' || s[i] == '\n')) ++i;
                if (record.empty()) continue;
                const std::string at = StrFormat(" in record \"%s\"", record.c_str());
                const char k = record[0];
                const std::string rest = record.substr(1);
                if (record == "E") {
                    ended = true;
                    break;
                }
                if (k == 'D' || k == 'C' || k == 'R' || k == 'H' || k == ':' || k == '^' || k == 'Q') {
                    const size_t want = k == 'D' || k == 'H' || k == '^' ? 2 : 4;
                    if (!Digits(rest) || rest.size() < want) return Fail(error, "malformed record" + at);
                    if (k == 'Q') format.quantity = ToInt(rest);
                    if (k == '^') format.count = ToInt(rest);
                    format.settings[std::string(1, k)] = rest;
                    continue;
                }
                if (k == 'P' || k == 'p' || k == 'S') {
                    if (rest.size() != 1 || rest[0] < 'A' || rest[0] > 'Z') return Fail(error, "malformed record" + at);
                    format.settings[std::string(1, k)] = rest;
                    continue;
                }
                if (k == 'A') {
                    if (rest != "2" && rest != "3" && rest != "5") return Fail(error, "unknown mode" + at);
                    mode = record;
                    continue;
                }
                if (k == '+' || k == '-') {
                    if (rest.size() < 2 || rest[0] != '0' || !Digits(rest) || format.fields.empty())
                        return Fail(error, "malformed increment" + at);
                    DplField& last = format.fields.back();
                    if (last.kind != DplField::Text && last.kind != DplField::Barcode)
                        return Fail(error, "increment after a field that cannot count" + at);
                    last.counted = true;
                    last.increment = (k == '-' ? -1 : 1) * ToInt(rest);
                    continue;
                }
                if (k < '1' || k > '4' || record.size() < 2) return Fail(error, "unknown record" + at);
                DplField f;
                f.record = record;
                f.mode = mode;
                static const int kTurns[] = {0, 3, 2, 1};  // digits 1, 2, 3, 4
                f.rotation = kTurns[k - '1'];
                f.id = record[1];
                if (f.id == 'X' || f.id == 'Y') {
                    if (record.compare(0, 7, std::string(1, k) + f.id + "11000") != 0 || k != '1' || record.size() < 15 ||
                        !Digits(record.substr(7, 8)))
                        return Fail(error, "malformed graphics record" + at);
                    f.row = ToInt(record.substr(7, 4));
                    f.column = ToInt(record.substr(11, 4));
                    if (f.id == 'Y') {
                        f.kind = DplField::Graphic;
                        f.data = record.substr(15);
                        if (f.data.empty()) return Fail(error, "no image name" + at);
                    } else if (record.size() == 24 && record[15] == 'l' && Digits(record.substr(16))) {
                        f.kind = DplField::Line;
                        f.width = ToInt(record.substr(16, 4));
                        f.height = ToInt(record.substr(20, 4));
                    } else if (record.size() == 32 && record[15] == 'b' && Digits(record.substr(16))) {
                        f.kind = DplField::Box;
                        f.width = ToInt(record.substr(16, 4));
                        f.height = ToInt(record.substr(20, 4));
                        f.thickTopBottom = ToInt(record.substr(24, 4));
                        f.thickSides = ToInt(record.substr(28, 4));
                    } else {
                        return Fail(error, "malformed line or box" + at);
                    }
                    format.fields.push_back(f);
                    continue;
                }
                if (record.size() < 15 || !Digits(record.substr(7, 8))) return Fail(error, "malformed field" + at);
                f.row = ToInt(record.substr(7, 4));
                f.column = ToInt(record.substr(11, 4));
                f.data = record.substr(15);
                if (f.data.empty()) return Fail(error, "field without data" + at);
                if (f.id >= '0' && f.id <= '9') {
                    f.kind = DplField::Text;
                    f.widthMul = MultiplierValue(record[2]);
                    f.heightMul = MultiplierValue(record[3]);
                    f.size = record.substr(4, 3);
                    if (f.widthMul < 1 || f.heightMul < 1) return Fail(error, "bad multiplier" + at);
                    const bool sizeOk = f.size == "000" || Digits(f.size) ||
                                        ((f.size[0] == 'A' || f.size[0] == 'P') && Digits(f.size.substr(1)));
                    if (!sizeOk || (f.id == '9') == (f.size == "000")) return Fail(error, "bad font size" + at);
                } else if (BarcodeType(f.id)) {
                    f.kind = DplField::Barcode;
                    f.widthMul = MultiplierValue(record[2]);   // wide
                    f.heightMul = MultiplierValue(record[3]);  // narrow
                    if (f.widthMul < 1 || f.heightMul < 1 || !Digits(record.substr(4, 3)))
                        return Fail(error, "bad barcode sizes" + at);
                    f.height = ToInt(record.substr(4, 3));
                } else {
                    return Fail(error, "unknown field kind" + at);
                }
                format.fields.push_back(f);
            }
            if (!ended) return Fail(error, "label format without its E record");
            formats.push_back(format);
            continue;
        }
        // Other system commands run to the next control byte or line end.
        size_t end = i;
        while (end < s.size() && s[end] != kStx && s[end] != kSoh && s[end] != '\r' && s[end] != '\n') ++end;
        const std::string params(s.substr(i, end - i));
        if (!SystemCommandValid(name, params)) return Fail(error, StrFormat("unknown system command %c%s", name, params.c_str()) + where);
        commands.push_back(std::string(1, name) + params);
        i = end;
    }
    return true;
}

CMonoBitmap DplPrinter::Draw(DplFormat& format, int width, int height, int dpi, int serialStep, std::string* error,
                             int readableBand) const
{
    CMonoBitmap canvas(std::max(1, width), std::max(1, height));
    const auto setting = [&](const char* key) {
        const auto it = format.settings.find(key);
        return it == format.settings.end() ? 0 : ToInt(it->second);
    };
    const int rowOffset = setting("R"), columnOffset = setting("C");
    const auto dots = [dpi](int hundredths) { return MulDiv(hundredths, dpi, 100); };
    for (DplField& f : format.fields) {
        const CPoint origin(dots(f.column + columnOffset), height - dots(f.row + rowOffset));
        switch (f.kind) {
        case DplField::Line: {
            f.extent = CRect(origin.x, origin.y - dots(f.height), origin.x + dots(f.width), origin.y);
            canvas.FillRect(f.extent.left, std::max(0, f.extent.top), std::min(width, f.extent.right),
                            std::min(height, f.extent.bottom), true);
            break;
        }
        case DplField::Box: {
            const CRect r(origin.x, origin.y - dots(f.height), origin.x + dots(f.width), origin.y);
            const int t = dots(f.thickTopBottom), sd = dots(f.thickSides);
            const auto fill = [&](int l, int tp, int rt, int b) {
                canvas.FillRect(std::max(0, l), std::max(0, tp), std::min(width, rt), std::min(height, b), true);
            };
            fill(r.left, r.top, r.right, r.top + t);
            fill(r.left, r.bottom - t, r.right, r.bottom);
            fill(r.left, r.top, r.left + sd, r.bottom);
            fill(r.right - sd, r.top, r.right, r.bottom);
            f.extent = r;
            break;
        }
        case DplField::Graphic: {
            auto it = images.find("A" + f.data);
            if (it == images.end()) it = images.find("C" + f.data);
            if (it == images.end()) {
                if (error) *error = "no stored image " + f.data;
                break;
            }
            const CPoint at(origin.x, origin.y - it->second.Height());
            PutBlack(canvas, it->second, at);
            f.extent = CRect(at.x, at.y, at.x + it->second.Width(), at.y + it->second.Height());
            break;
        }
        case DplField::Barcode: {
            const int type = BarcodeType(f.id);
            std::string data = f.data;
            if (f.counted) data = ZplCountSerial(data, (long long)serialStep * f.increment);
            if (type == BCT_CODE128) data = DplCode128ToCaret(data);
            if (type == BCT_UPCE) data = "0" + data;
            const CMonoBitmap bars = EncoderBars(type, data, f.heightMul, f.widthMul, dots(f.height), error);
            if (bars.IsEmpty()) break;
            const bool readable = f.id >= 'A' && f.id <= 'Z';
            const int band = readable ? readableBand : 0;
            CMonoBitmap symbol(bars.Width(), bars.Height() + band);
            PutBlack(symbol, bars, CPoint(0, 0));
            const CMonoBitmap turned = TurnCounterClockwise(symbol, f.rotation);
            const CRect box = PlacedBox(origin, symbol.Width(), symbol.Height(), f.rotation);
            PutBlack(canvas, turned, box.TopLeft());
            // The extent is the bars'.
            const CRect whole = box;
            switch (f.rotation) {
            case 0: f.extent = CRect(whole.left, whole.top, whole.right, whole.bottom - band); break;
            case 1: f.extent = CRect(whole.left, whole.top, whole.right - band, whole.bottom); break;
            case 2: f.extent = CRect(whole.left, whole.top + band, whole.right, whole.bottom); break;
            default: f.extent = CRect(whole.left + band, whole.top, whole.right, whole.bottom); break;
            }
            break;
        }
        case DplField::Text: {
            const int n = int(f.data.size());
            int w, h;
            if (f.id == '9') {
                // The scalable font: the size in points (0: the multipliers
                // are the points), characters taken as half as wide as high.
                // Code 5 names the size by its place in its list of six.
                static const int kShortList[] = {6, 8, 10, 12, 14, 18};
                const int place = Digits(f.size) ? ToInt(f.size) : 0;
                const int points = f.size[0] == 'A' || f.size[0] == 'P' ? ToInt(f.size.substr(1))
                                   : place >= 1 && place <= 6         ? kShortList[place - 1]
                                                                      : 0;
                h = MulDiv(points ? points * f.heightMul : f.heightMul, dpi, 72);
                w = n * h * f.widthMul / (2 * std::max(1, f.heightMul));
            } else {
                w = DplTextLength(language, dpi, f.id, n, f.widthMul);
                h = DplTextHeight(language, dpi, f.id, f.heightMul);
            }
            f.extent = PlacedBox(origin, w, h, f.rotation);
            break;
        }
        }
    }
    return canvas;
}

}  // namespace kvtest
