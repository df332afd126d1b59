#include "data/text_source.h"

#include <fstream>
#include <sstream>

#include "platform/codepage.h"
#include "platform/strutil.h"

namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// UTF-16 without its byte-order mark; false at an unpaired surrogate.
bool DecodeUtf16(std::string_view bytes, bool bigEndian, std::string& out, size_t& badOffset)
{
    out.clear();
    const auto unit = [&](size_t i) {
        const unsigned a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        return char32_t(bigEndian ? (a << 8 | b) : (b << 8 | a));
    };
    size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 3 >= bytes.size()) break;
            const char32_t low = unit(i + 2);
            if (low < 0xDC00 || low > 0xDFFF) break;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            break;
        }
        AppendUtf8(out, c);
    }
    if (i < bytes.size()) {
        badOffset = i;
        return false;
    }
    return true;
}

int LineOfOffset(std::string_view text, size_t offset)
{
    int line = 1;
    for (size_t i = 0; i < offset && i < text.size(); ++i)
        if (text[i] == '\n') ++line;
    return line;
}

// Byte length of the UTF-8 character starting at s[i].
size_t Utf8Length(std::string_view s, size_t i)
{
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
    return std::min(n, s.size() - i);
}

std::vector<std::string> SplitFixed(std::string_view line, const std::vector<int>& widths)
{
    std::vector<std::string> out;
    size_t pos = 0;
    for (int w : widths) {
        const size_t start = pos;
        for (int k = 0; k < w && pos < line.size(); ++k) pos += Utf8Length(line, pos);
        out.push_back(Trim(line.substr(start, pos - start), kBlanks));
    }
    return out;
}

// "x" in quotes loses its quotes; a piece that is only a quote stays.
std::string StripQuotes(std::string piece)
{
    if (piece.size() >= 2 && piece.front() == '"' && piece.back() == '"') return piece.substr(1, piece.size() - 2);
    return piece;
}

std::vector<std::string> SplitQuoted(std::string_view line)
{
    std::vector<std::string> out;
    size_t pos = 0;
    for (;;) {
        const size_t fieldStart = pos;
        size_t p = pos;
        while (p < line.size() && (line[p] == ' ' || line[p] == '\t')) ++p;
        bool done = false;
        if (p < line.size() && line[p] == '"') {
            std::string value;
            size_t q = p + 1;
            bool closed = false;
            while (q < line.size()) {
                if (line[q] == '"') {
                    if (q + 1 < line.size() && line[q + 1] == '"') {
                        value += '"';
                        q += 2;
                        continue;
                    }
                    closed = true;
                    ++q;
                    break;
                }
                value += line[q++];
            }
            if (closed) {
                size_t r = q;
                while (r < line.size() && kBlanks.find(line[r]) != std::string_view::npos) ++r;
                if (r >= line.size() || line[r] == ',') {
                    out.push_back(std::move(value));
                    if (r >= line.size()) return out;
                    pos = r + 1;
                    done = true;
                }
            }
        }
        if (done) continue;
        // Not a well-formed quoted field: the plain rule for this piece.
        const size_t comma = line.find(',', fieldStart);
        const std::string_view piece =
            line.substr(fieldStart, comma == std::string_view::npos ? std::string_view::npos : comma - fieldStart);
        out.push_back(StripQuotes(Trim(piece, kBlanks)));
        if (comma == std::string_view::npos) return out;
        pos = comma + 1;
    }
}

}  // namespace

CTextFileOptions CTextFileOptions::Parse(std::string_view text)
{
    CTextFileOptions o;
    const std::vector<std::string> items = SplitString(text, '\n');
    auto item = [&](size_t i) -> std::string_view { return i < items.size() ? std::string_view(items[i]) : std::string_view(); };
    o.fixedLength = AtoI(item(0)) != 0;
    o.firstLineIsData = AtoI(item(1)) != 0;
    o.delimiter = AtoI(item(2));
    if (o.delimiter < TD_COMMA || o.delimiter > TD_CUSTOM) o.delimiter = TD_COMMA;
    o.custom = item(3).empty() ? '\0' : item(3)[0];
    for (const std::string& w : SplitString(item(4), ',')) {
        const int n = AtoI(w);
        if (n > 0) o.widths.push_back(n);
    }
    return o;
}

std::string CTextFileOptions::Format() const
{
    const unsigned char c = static_cast<unsigned char>(custom);
    const char ch = (c < 0x20 || c == 0x7F) ? ',' : custom;
    std::string s = StrFormat("%d\n%d\n%d\n%c\n", fixedLength ? 1 : 0, firstLineIsData ? 1 : 0, delimiter, ch);
    if (!widths.empty()) {
        std::vector<std::string> w;
        for (int n : widths) w.push_back(std::to_string(n));
        s += JoinStrings(w, ",") + "\n";
    }
    return s;
}

std::string CTextFileOptions::DelimiterText() const
{
    if (delimiter == TD_TAB) return "\t";
    if (delimiter == TD_CUSTOM && custom != '\0') {
        std::string utf8;
        if (AnsiToUtf8Checked(std::string_view(&custom, 1), utf8) && !utf8.empty()) return utf8;
    }
    return ",";
}

bool DecodeTextFile(const std::string& bytes, const std::string& displayName, std::string& utf8, std::string& error)
{
    std::string_view b(bytes);
    size_t bad = 0;
    if (StartsWith(b, "\xEF\xBB\xBF")) {
        // The mark says UTF-8: bytes that are not are an error, not another code page.
        b.remove_prefix(3);
        const size_t at = Utf8ErrorOffset(b);
        if (at == std::string_view::npos) {
            utf8.assign(b);
            return true;
        }
        error = StrFormat("%s: line %d: the byte 0x%02X is not UTF-8, though the file begins with the UTF-8 mark",
                          displayName.c_str(), LineOfOffset(b, at), unsigned(static_cast<unsigned char>(b[at])));
        return false;
    } else if (StartsWith(b, "\xFF\xFE") || StartsWith(b, "\xFE\xFF")) {
        const bool big = b[0] == '\xFE';
        if (DecodeUtf16(b.substr(2), big, utf8, bad)) return true;
        error = StrFormat("%s: the text is not well-formed UTF-16 (byte %zu)", displayName.c_str(), bad + 2);
        return false;
    }
    if (IsValidUtf8(b)) {
        utf8.assign(b);
        return true;
    }
    if (AnsiToUtf8Checked(b, utf8, &bad)) return true;
    error = StrFormat("%s: line %d: the byte 0x%02X is no character of code page %d", displayName.c_str(),
                      LineOfOffset(b, bad), unsigned(static_cast<unsigned char>(b[bad])), GetAnsiCodePage());
    return false;
}

std::vector<std::string> SplitTextLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        const size_t end = nl == std::string_view::npos ? text.size() : nl;
        size_t len = end - pos;
        if (len > 0 && text[pos + len - 1] == '\r') --len;
        lines.emplace_back(text.substr(pos, len));
        if (nl == std::string_view::npos) break;
        pos = nl + 1;
    }
    return lines;
}

std::vector<std::string> SplitTextLine(std::string_view line, const CTextFileOptions& options)
{
    if (options.fixedLength) return SplitFixed(line, options.widths);
    if (options.delimiter == TD_COMMA_QUOTE) return SplitQuoted(line);
    const std::string delim = options.DelimiterText();
    std::vector<std::string> out;
    size_t pos = 0;
    for (;;) {
        const size_t at = line.find(delim, pos);
        out.push_back(Trim(line.substr(pos, at == std::string_view::npos ? std::string_view::npos : at - pos), kBlanks));
        if (at == std::string_view::npos) return out;
        pos = at + delim.size();
    }
}

CRecordSet ParseTextRecords(std::string_view text, const CTextFileOptions& options, int maxRows)
{
    CRecordSet set;
    std::vector<std::string> lines = SplitTextLines(text);
    if (lines.empty()) return set;
    const std::vector<std::string> first = SplitTextLine(lines[0], options);
    if (!options.fixedLength || !options.widths.empty()) {
        for (size_t i = 0; i < first.size(); ++i)
            set.columns.push_back(options.firstLineIsData ? StrFormat("Field %zu", i + 1) : first[i]);
    }
    size_t start = options.firstLineIsData ? 0 : 1;
    for (size_t i = start; i < lines.size(); ++i) {
        if (maxRows >= 0 && set.RecordCount() >= maxRows) break;
        set.rows.push_back(SplitTextLine(lines[i], options));
    }
    return set;
}

CTextFileReader::CTextFileReader(std::string path, CTextFileOptions options, std::string fallbackFolder)
    : m_path(std::move(path)), m_options(std::move(options)), m_fallbackFolder(std::move(fallbackFolder))
{
}

bool CTextFileReader::ListTables(std::vector<std::string>& names, CSourceError&)
{
    names.clear();
    return true;
}

bool CTextFileReader::ReadTable(const std::string&, CRecordSet& out, int maxRows, CSourceError& error)
{
    std::string bytes, text, message;
    if (!LocateSourceFile(m_path, m_fallbackFolder, m_opened, error)) return false;
    std::ifstream in(m_opened, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    if (!in || in.bad()) {
        error = CSourceError::Make(CSourceError::unreadable, "cannot read " + m_opened);
        return false;
    }
    bytes = ss.str();
    if (!DecodeTextFile(bytes, m_opened, text, message)) {
        error = CSourceError::Make(CSourceError::unreadable, message);
        return false;
    }
    out = ParseTextRecords(text, m_options, maxRows);
    return true;
}
