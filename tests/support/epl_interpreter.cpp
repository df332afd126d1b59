#include "support/epl_interpreter.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "encoders/linear_entries.h"
#include "platform/strutil.h"
#include "support/zpl_interpreter.h"

namespace kvtest {

namespace {

// A whole decimal number (optional sign) and nothing else, or false.
bool Number(std::string_view s, int& out)
{
    if (s.empty()) return false;
    size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
    if (i == s.size()) return false;
    for (size_t k = i; k < s.size(); ++k)
        if (s[k] < '0' || s[k] > '9') return false;
    out = std::atoi(std::string(s).c_str());
    return true;
}

// One parameter: quoted (read back, with quoted true) or as it stands.
struct Param {
    std::string text;
    bool quoted = false;
};

// The parameters of a command, split at the commas outside quotes. A quoted
// parameter must end at its closing quote; false (with why) when it does
// not, or when a quote is never closed.
bool SplitParams(std::string_view s, std::vector<Param>& out, std::string& why)
{
    out.clear();
    Param p;
    bool inQuote = false, closed = false;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (inQuote) {
            if (c == '\\' && i + 1 < s.size()) {
                p.text += s[++i];
            } else if (c == '"') {
                inQuote = false;
                closed = true;
            } else {
                p.text += c;
            }
            continue;
        }
        if (c == ',') {
            out.push_back(p);
            p = Param();
            closed = false;
            continue;
        }
        if (closed) {
            why = "text after a quoted field";
            return false;
        }
        if (c == '"') {
            if (!p.text.empty()) {
                why = "a quote inside a parameter";
                return false;
            }
            inQuote = true;
            p.quoted = true;
            continue;
        }
        p.text += c;
    }
    if (inQuote) {
        why = "a quoted field never ends";
        return false;
    }
    out.push_back(p);
    return true;
}

bool Numbers(const std::vector<Param>& p, size_t from, size_t count, std::vector<int>& out)
{
    out.clear();
    if (p.size() < from + count) return false;
    for (size_t i = from; i < from + count; ++i) {
        int v = 0;
        if (p[i].quoted || !Number(p[i].text, v)) return false;
        out.push_back(v);
    }
    return true;
}

// The data part of a text or barcode field.
bool FieldData(const Param& p, EplField& f)
{
    if (p.quoted) {
        f.source = EplField::Quoted;
        f.data = p.text;
        return true;
    }
    const std::string& t = p.text;
    int n = 0;
    if (t.size() >= 2 && (t[0] == 'C' || t[0] == 'V') && Number(t.substr(1), n) && n >= 0) {
        f.source = t[0] == 'C' ? EplField::Counter : EplField::Variable;
        f.reference = n;
        return true;
    }
    if (t == "TD" || t == "TT" || ((StartsWith(t, "TD+") || StartsWith(t, "TT+")) && Number(t.substr(3), n))) {
        f.source = EplField::Clock;
        f.data = t;
        return true;
    }
    return false;
}

// The quoted name of "GK", "FK", "FS", "FR", or false.
bool QuotedName(std::string_view s, std::string& name)
{
    std::vector<Param> p;
    std::string why;
    if (!SplitParams(s, p, why) || p.size() != 1 || !p[0].quoted) return false;
    name = p[0].text;
    return true;
}

void Blit(CMonoBitmap& canvas, const CMonoBitmap& b, CPoint at)
{
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.IsBlack(x, y) && at.x + x >= 0 && at.y + y >= 0 && at.x + x < canvas.Width() &&
                at.y + y < canvas.Height())
                canvas.SetPixel(at.x + x, at.y + y, true);
}

// The box of a w x h field started at `at` and turned clockwise.
CRect TurnedBox(CPoint at, int w, int h, int rotation)
{
    switch (rotation & 3) {
    case 1: return CRect(at.x - h, at.y, at.x, at.y + w);
    case 2: return CRect(at.x - w, at.y - h, at.x, at.y);
    case 3: return CRect(at.x, at.y - w, at.x + h, at.y);
    default: return CRect(at.x, at.y, at.x + w, at.y + h);
    }
}

// The cell of EPL's resident fonts 1-5 at 203 dpi (width, height in dots,
// the gap between characters included).
CSize FontCell(const std::string& font)
{
    static const std::map<std::string, CSize> cells = {
        {"1", {10, 12}}, {"2", {12, 16}}, {"3", {14, 20}}, {"4", {16, 24}}, {"5", {34, 48}}};
    const auto it = cells.find(font);
    return it == cells.end() ? CSize(12, 16) : it->second;
}

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

}  // namespace

CMonoBitmap EplDecodePcx(const std::vector<std::uint8_t>& file)
{
    if (file.size() < 128 || file[0] != 10 || file[2] != 1 || file[3] != 1 || file[65] != 1) return CMonoBitmap();
    const auto word = [&](size_t at) { return int(file[at]) | (int(file[at + 1]) << 8); };
    const int w = word(8) - word(4) + 1, h = word(10) - word(6) + 1, stride = word(66);
    if (w <= 0 || h <= 0 || stride * 8 < w) return CMonoBitmap();
    CMonoBitmap out(w, h);
    size_t at = 128;
    std::vector<std::uint8_t> row;
    for (int y = 0; y < h; ++y) {
        row.clear();
        while (int(row.size()) < stride) {
            if (at >= file.size()) return CMonoBitmap();
            std::uint8_t b = file[at++];
            int run = 1;
            if (b >= 0xC0) {
                run = b & 0x3F;
                if (at >= file.size()) return CMonoBitmap();
                b = file[at++];
            }
            row.insert(row.end(), size_t(run), b);
        }
        if (int(row.size()) != stride) return CMonoBitmap();  // a run across rows
        for (int x = 0; x < w; ++x) out.SetPixel(x, y, (row[size_t(x >> 3)] & (0x80 >> (x & 7))) == 0);
    }
    return at == file.size() ? out : CMonoBitmap();
}

CMonoBitmap RotateClockwise(const CMonoBitmap& b, int quarterTurns)
{
    const int r = quarterTurns & 3;
    if (r == 0) return b;
    const int w = b.Width(), h = b.Height();
    CMonoBitmap out(r == 2 ? w : h, r == 2 ? h : w);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!b.IsBlack(x, y)) continue;
            switch (r) {
            case 1: out.SetPixel(h - 1 - y, x, true); break;
            case 2: out.SetPixel(w - 1 - x, h - 1 - y, true); break;
            default: out.SetPixel(y, w - 1 - x, true); break;
            }
        }
    return out;
}

CMonoBitmap EplBarcodeBars(const EplField& f, const std::string& d, std::string* error)
{
    std::uint32_t err = 0;
    BarBitmap bars;
    static const std::map<std::string, int> code128 = {{"1", C128_AUTO},   {"1A", C128_SET_A}, {"1B", C128_SET_B},
                                                       {"1C", C128_SET_C}, {"1E", GS1_128_AUTO}, {"0", GS1_128_AUTO}};
    static const std::map<std::string, int> linear = {{"3", BCT_CODE39}, {"2", BCT_ITF25},    {"9", BCT_CODE93},
                                                      {"K", BCT_CODABAR}, {"E30", BCT_EAN13}, {"UA0", BCT_UPCA},
                                                      {"E80", BCT_EAN8},  {"UE0", BCT_UPCE}};
    if (const auto it = code128.find(f.selector); it != code128.end()) {
        bars = EncodeCode128(it->second, d.c_str(), f.narrow, 0, f.height, 0, 0, 0, &err);
    } else if (const auto jt = linear.find(f.selector); jt != linear.end()) {
        // The printer's UPC-E is number system 0: its data leaves it out.
        const std::string data = f.selector == "UE0" ? "0" + d : d;
        bars = EncodeLinear(jt->second, data.c_str(), f.narrow, 0, f.wide, f.height, 0, 0, 0, &err);
    }
    if (!bars) {
        if (error) *error = "cannot draw selector " + f.selector + " with data \"" + d + "\" (" + BarcodeErrorName(err) + ")";
        return CMonoBitmap();
    }
    return TrimWhite(*bars);
}

bool EplPrinter::Fail(std::string* error, const std::string& why)
{
    if (error) *error = why;
    return false;
}

bool EplPrinter::Run(std::string_view s, std::string* error)
{
    size_t at = 0;
    // Lines still owed to the "?" of the current image.
    int owed = 0;
    std::vector<std::pair<bool, int>> slots;  // (counter, number) in the order their values come
    while (at < s.size()) {
        if (s.substr(at, 2) == "GM" && m_storing.empty()) {
            // "GM\"name\"length\n", the image bytes, CR LF.
            const size_t nl = s.find('\n', at);
            if (nl == std::string_view::npos) return Fail(error, "GM without its length line");
            const std::string_view head = s.substr(at + 2, nl - at - 2);
            const size_t close = head.rfind('"');
            std::string name;
            int length = 0;
            if (close == std::string_view::npos || !QuotedName(head.substr(0, close + 1), name) ||
                !Number(head.substr(close + 1), length) || length < 0)
                return Fail(error, "malformed GM: " + std::string(head));
            if (nl + 1 + size_t(length) + 2 > s.size() || s.substr(nl + 1 + size_t(length), 2) != "\r\n")
                return Fail(error, "GM image of " + name + " not followed by CR LF");
            const std::string_view bytes = s.substr(nl + 1, size_t(length));
            const CMonoBitmap image = EplDecodePcx(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
            if (image.IsEmpty()) return Fail(error, "GM image of " + name + " is no PCX this printer reads");
            graphics[name] = image;
            commands.push_back("GM");
            at = nl + 1 + size_t(length) + 2;
            continue;
        }
        const size_t end = s.find("\r\n", at);
        if (end == std::string_view::npos) return Fail(error, "a line not ended by CR LF: " + std::string(s.substr(at)));
        const std::string line(s.substr(at, end - at));
        at = end + 2;
        if (line.find('\n') != std::string::npos || line.find('\r') != std::string::npos)
            return Fail(error, "a line break inside a line: " + line);
        if (owed > 0) {
            const auto [counter, number] = slots[slots.size() - size_t(owed)];
            (counter ? m_image.counterValues : m_image.variableValues)[number] = line;
            --owed;
            continue;
        }
        if (line == "?") {
            if (m_image.form.empty()) return Fail(error, "? without a recalled form");
            // Variables in ascending order, then counters in ascending order.
            slots.clear();
            for (const auto& [n, v] : m_image.variables) slots.push_back({false, n});
            for (const auto& [n, c] : m_image.counters) slots.push_back({true, n});
            owed = int(slots.size());
            commands.push_back("?");
            continue;
        }
        if (!m_storing.empty()) {
            if (line == "FE") {
                commands.push_back("FE");
                m_storing.clear();
                continue;
            }
            // Checked now (against the form's own definitions), run when
            // the form is recalled.
            if (!Execute(line, m_formImage, true, error)) return false;
            forms[m_storing].push_back(line);
            continue;
        }
        if (!Execute(line, m_image, false, error)) return false;
    }
    if (owed > 0) return Fail(error, "the stream ends before the data of every variable and counter");
    if (!m_storing.empty()) return Fail(error, "form " + m_storing + " never ends");
    return true;
}

bool EplPrinter::Execute(const std::string& line, EplImage& image, bool inForm, std::string* error)
{
    const auto bad = [&](const char* what) { return Fail(error, std::string(what) + ": " + line); };
    std::vector<Param> p;
    std::vector<int> n;
    std::string why;
    const auto name = [&](size_t length) {
        if (!inForm) commands.push_back(line.substr(0, length));
    };
    const auto params = [&](size_t from) { return SplitParams(std::string_view(line).substr(from), p, why); };
    // Setup commands: name and their parameters, kept by name.
    static const std::vector<std::string> kFixed = {"WN", "ZB", "ZT", "ZS", "JB", "JF"};
    for (const std::string& f : kFixed)
        if (line == f) {
            name(2);
            setup[f] = "";
            return true;
        }
    if (line == "N") {
        name(1);
        image = EplImage();
        return true;
    }
    if (line == "FE") return bad("FE outside a form");
    const auto quotedCommand = [&](const char* prefix, std::string& out) {
        return StartsWith(line, prefix) && QuotedName(std::string_view(line).substr(2), out);
    };
    std::string formName;
    if (quotedCommand("FK", formName)) {
        name(2);
        if (!inForm) forms.erase(formName);
        return true;
    }
    if (quotedCommand("FS", formName)) {
        if (inForm) return bad("FS inside a form");
        name(2);
        m_storing = formName;
        m_formImage = EplImage();
        forms[formName].clear();
        return true;
    }
    if (quotedCommand("FR", formName)) {
        if (inForm) return bad("FR inside a form");
        name(2);
        const auto it = forms.find(formName);
        if (it == forms.end()) return bad("FR of a form never stored");
        image.form = formName;
        for (const std::string& stored : it->second)
            if (!Execute(stored, image, false, error)) return false;
        return true;
    }
    if (quotedCommand("GK", formName)) {
        name(2);
        graphics.erase(formName);
        return true;
    }
    if (StartsWith(line, "GG")) {
        if (!params(2) || p.size() != 3 || !Numbers(p, 0, 2, n) || !p[2].quoted) return bad("malformed GG");
        name(2);
        EplField f;
        f.kind = EplField::Graphic;
        f.at = CPoint(n[0], n[1]);
        f.graphic = p[2].text;
        image.fields.push_back(f);
        return true;
    }
    if (StartsWith(line, "LO")) {
        if (!params(2) || p.size() != 4 || !Numbers(p, 0, 4, n)) return bad("malformed LO");
        name(2);
        EplField f;
        f.kind = EplField::Line;
        f.at = CPoint(n[0], n[1]);
        f.width = n[2];
        f.height = n[3];
        image.fields.push_back(f);
        return true;
    }
    if (StartsWith(line, "WA") || line[0] == 'P' || (line[0] == 'W' && line != "WN")) {
        const size_t from = StartsWith(line, "WA") ? 2 : 1;
        if (!params(from) || p.size() > 2 || !Numbers(p, 0, p.size(), n)) return bad("malformed print command");
        name(from);
        image.command = line.substr(0, from);
        image.quantity = n[0];
        image.copies = n.size() > 1 ? n[1] : -1;
        if (inForm) return true;  // checked; it prints when the form is recalled
        printed.push_back(image);
        return true;
    }
    if (StartsWith(line, "TD") || StartsWith(line, "TT")) {
        name(2);
        image.clockSetups.push_back(line);
        return true;
    }
    const char c = line.empty() ? '\0' : line[0];
    switch (c) {
    case 'A':
    case 'B': {
        if (!params(1)) return bad(why.c_str());
        EplField f;
        if (c == 'A') {
            // x, y, rotation, font, multipliers, reverse, data
            if (p.size() != 8 || !Numbers(p, 0, 3, n) || p[3].quoted || p[3].text.empty()) return bad("malformed A");
            std::vector<int> m;
            if (!Numbers(p, 4, 2, m) || m[0] < 1 || m[1] < 1 || p[6].text != "N") return bad("malformed A");
            f.kind = EplField::Text;
            f.font = p[3].text;
            f.hmul = m[0];
            f.vmul = m[1];
        } else {
            // x, y, rotation, selector, narrow, wide, height, readable, data
            if (p.size() != 9 || !Numbers(p, 0, 3, n) || p[3].quoted || p[3].text.empty()) return bad("malformed B");
            std::vector<int> m;
            if (!Numbers(p, 4, 3, m) || m[0] < 1 || m[2] < 1 || (p[7].text != "B" && p[7].text != "N"))
                return bad("malformed B");
            f.kind = EplField::Barcode;
            f.selector = p[3].text;
            f.narrow = m[0];
            f.wide = m[1];
            f.height = m[2];
            f.humanReadable = p[7].text[0];
        }
        if (n[2] < 0 || n[2] > 3) return bad("rotation out of range");
        f.at = CPoint(n[0], n[1]);
        f.rotation = n[2];
        if (!FieldData(p.back(), f)) return bad("malformed field data");
        if (f.source == EplField::Counter && !image.counters.count(f.reference)) return bad("counter not defined");
        if (f.source == EplField::Variable && !image.variables.count(f.reference)) return bad("variable not defined");
        name(1);
        image.fields.push_back(f);
        return true;
    }
    case 'C': {
        // A counter: number, length, justification, signed step, prompt.
        int number = 0, length = 0, step = 0;
        if (!params(1) || p.size() != 5 || !Number(p[0].text, number) || number < 0 || !Number(p[1].text, length) ||
            length < 1 || p[2].text != "N" || p[3].text.empty() || (p[3].text[0] != '+' && p[3].text[0] != '-') ||
            !Number(p[3].text, step) || !p[4].quoted)
            return bad("malformed counter");
        if (image.counters.count(number)) return bad("counter defined twice");
        name(1);
        image.counters[number] = EplCounter{length, step, p[4].text};
        return true;
    }
    case 'V': {
        // A variable: number, length, justification, prompt.
        int number = 0, length = 0;
        if (!params(1) || p.size() != 4 || !Number(p[0].text, number) || number < 0 || !Number(p[1].text, length) ||
            length < 1 || p[2].text != "N" || !p[3].quoted)
            return bad("malformed variable");
        if (image.variables.count(number)) return bad("variable defined twice");
        name(1);
        image.variables[number] = EplVariable{length, p[3].text};
        return true;
    }
    case 'X': {
        if (!params(1) || p.size() != 5 || !Numbers(p, 0, 5, n)) return bad("malformed X");
        name(1);
        EplField f;
        f.kind = EplField::Box;
        f.at = CPoint(n[0], n[1]);
        f.thickness = n[2];
        f.end = CPoint(n[3], n[4]);
        image.fields.push_back(f);
        return true;
    }
    default: break;
    }
    // Setup commands with parameters.
    static const std::vector<std::pair<std::string, int>> kSetup = {
        {"I", 3}, {"S", 1}, {"q", 1}, {"Q", 2}, {"D", 1}, {"O", -1}, {"j", 1}, {"f", 1}, {"R", 2}, {"H", 1}};
    for (const auto& [cmd, count] : kSetup) {
        if (line.rfind(cmd, 0) != 0) continue;
        const std::string rest = line.substr(cmd.size());
        if (!params(cmd.size())) return bad(why.c_str());
        if (cmd == "O") {
            // Options: single letters, comma separated, or none.
            for (const Param& o : p)
                if (!(o.text.empty() && p.size() == 1) && (o.text.size() != 1 || !std::isupper(static_cast<unsigned char>(o.text[0]))))
                    return bad("malformed option");
        } else if (cmd == "Q") {
            // "Q" height, gap (or "B" mark) with an optional signed offset.
            int height = 0;
            if (p.size() != 2 || !Number(p[0].text, height)) return bad("malformed Q");
            std::string gap = p[1].text;
            if (!gap.empty() && gap[0] == 'B') gap = gap.substr(1);
            const size_t sign = gap.find_first_of("+-", 1);
            int a = 0, b = 0;
            if (!Number(gap.substr(0, sign), a) || (sign != std::string::npos && !Number(gap.substr(sign), b)))
                return bad("malformed Q");
        } else if (cmd == "I") {
            if (rest != "8,1,001") return bad("unknown character set");
        } else if (int(p.size()) != count || !Numbers(p, 0, p.size(), n)) {
            return bad("malformed setup command");
        }
        name(cmd.size());
        setup[cmd] = rest;
        return true;
    }
    return bad("unknown command");
}

std::string EplPrinter::FieldText(const EplImage& image, const EplField& f, int k) const
{
    switch (f.source) {
    case EplField::Counter: {
        const auto it = image.counterValues.find(f.reference);
        const auto def = image.counters.find(f.reference);
        if (it == image.counterValues.end() || def == image.counters.end()) return std::string();
        return ZplCountSerial(it->second, (long long)k * def->second.step);
    }
    case EplField::Variable: {
        const auto it = image.variableValues.find(f.reference);
        return it == image.variableValues.end() ? std::string() : it->second;
    }
    default: return f.data;
    }
}

CMonoBitmap EplPrinter::Draw(EplImage& image, int width, int height, int k, std::string* error) const
{
    CMonoBitmap canvas(width, height);
    const CPoint r = [&] {
        int x = 0, y = 0;
        const auto it = setup.find("R");
        if (it != setup.end()) std::sscanf(it->second.c_str(), "%d,%d", &x, &y);
        return CPoint(x, y);
    }();
    for (EplField& f : image.fields) {
        const CPoint at(f.at.x + r.x, f.at.y + r.y);
        switch (f.kind) {
        case EplField::Line:
            canvas.FillRect(at.x, at.y, at.x + f.width, at.y + f.height, true);
            f.extent = CRect(at.x, at.y, at.x + f.width, at.y + f.height);
            break;
        case EplField::Box: {
            const CPoint e(f.end.x + r.x, f.end.y + r.y);
            const int t = f.thickness;
            canvas.FillRect(at.x, at.y, e.x, at.y + t, true);
            canvas.FillRect(at.x, e.y - t, e.x, e.y, true);
            canvas.FillRect(at.x, at.y, at.x + t, e.y, true);
            canvas.FillRect(e.x - t, at.y, e.x, e.y, true);
            f.extent = CRect(at.x, at.y, e.x, e.y);
            break;
        }
        case EplField::Graphic: {
            const auto it = graphics.find(f.graphic);
            if (it == graphics.end()) {
                if (error) *error = "graphic " + f.graphic + " was not downloaded";
                break;
            }
            Blit(canvas, it->second, at);
            f.extent = CRect(at.x, at.y, at.x + it->second.Width(), at.y + it->second.Height());
            break;
        }
        case EplField::Barcode: {
            const CMonoBitmap bars = EplBarcodeBars(f, FieldText(image, f, k), error);
            if (bars.IsEmpty()) break;
            f.extent = TurnedBox(at, bars.Width(), bars.Height(), f.rotation);
            Blit(canvas, RotateClockwise(bars, f.rotation), f.extent.TopLeft());
            break;
        }
        case EplField::Text: {
            const auto known = fontCells.find(f.font);
            const CSize cell = known != fontCells.end() ? known->second : FontCell(f.font);
            const int n = int(FieldText(image, f, k).size());
            f.extent = TurnedBox(at, n * cell.cx * f.hmul, cell.cy * f.vmul, f.rotation);
            break;
        }
        }
    }
    return canvas;
}

}  // namespace kvtest
