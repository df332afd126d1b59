#include "platform/codepage.h"

#include <cerrno>
#include <cstdio>
#include <iconv.h>

namespace {

int g_codePage = 1252;

std::string Convert(const char* to, const char* from, const char* data, size_t size, size_t unitFrom,
                    const char* replacement, size_t replacementSize)
{
    std::string out;
    if (size == 0) return out;
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) return std::string(data, size);
    char* in = const_cast<char*>(data);
    size_t inLeft = size;
    char buf[4096];
    while (inLeft > 0) {
        char* o = buf;
        size_t oLeft = sizeof buf;
        const size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(buf, size_t(o - buf));
        if (r == size_t(-1)) {
            if (errno == E2BIG) continue;
            // Invalid or incomplete input: emit a replacement and skip one unit.
            out.append(replacement, replacementSize);
            const size_t skip = inLeft < unitFrom ? inLeft : unitFrom;
            in += skip;
            inLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    char* o = buf;
    size_t oLeft = sizeof buf;
    iconv(cd, nullptr, nullptr, &o, &oLeft);
    out.append(buf, size_t(o - buf));
    iconv_close(cd);
    return out;
}

bool IsDoubleBytePage(int cp) { return cp == 936 || cp == 932 || cp == 949 || cp == 950; }

}  // namespace

int GetAnsiCodePage() { return g_codePage; }

void SetAnsiCodePage(int codePage)
{
    g_codePage = CodePageCharset(codePage)[0] ? codePage : 1252;
}

int CodePageFromLocale(std::string_view name)
{
    const std::string_view lang = name.substr(0, 2);
    if (lang == "zh") return 936;
    if (lang == "ru") return 1251;
    if (lang == "cs" || lang == "hu") return 1250;
    return 1252;
}

const char* CodePageCharset(int codePage)
{
    switch (codePage) {
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1252: return "CP1252";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1257: return "CP1257";
    case 936: return "GBK";
    case 932: return "CP932";
    case 949: return "CP949";
    case 950: return "CP950";
    default: return "";
    }
}

bool IsDBCSLeadByte(unsigned char b)
{
    switch (g_codePage) {
    case 932: return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case 936:
    case 949:
    case 950: return b >= 0x81 && b <= 0xFE;
    default: return false;
    }
}

size_t CharLengthAt(std::string_view s, size_t i)
{
    if (i >= s.size()) return 0;
    if (IsDoubleBytePage(g_codePage) && IsDBCSLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size())
        return 2;
    return 1;
}

std::string AnsiToUtf8(std::string_view ansi)
{
    return Convert("UTF-8", CodePageCharset(g_codePage), ansi.data(), ansi.size(), 1, "\xEF\xBF\xBD", 3);
}

std::string Utf8ToAnsi(std::string_view utf8)
{
    return Convert(CodePageCharset(g_codePage), "UTF-8", utf8.data(), utf8.size(), 1, "?", 1);
}

std::u16string AnsiToUtf16(std::string_view ansi)
{
    const char16_t repl = u'\xFFFD';
    const std::string bytes = Convert("UTF-16LE", CodePageCharset(g_codePage), ansi.data(), ansi.size(), 1,
                                      reinterpret_cast<const char*>(&repl), 2);
    std::u16string out(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = char16_t(static_cast<unsigned char>(bytes[2 * i]) | (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return out;
}

std::string Utf16ToAnsi(std::u16string_view utf16)
{
    std::string bytes(utf16.size() * 2, '\0');
    for (size_t i = 0; i < utf16.size(); ++i) {
        bytes[2 * i] = char(utf16[i] & 0xFF);
        bytes[2 * i + 1] = char(utf16[i] >> 8);
    }
    return Convert(CodePageCharset(g_codePage), "UTF-16LE", bytes.data(), bytes.size(), 2, "?", 1);
}

namespace {

// Converts all of data or stops at the first input that cannot be converted,
// giving its byte offset.
bool ConvertChecked(const char* to, const char* from, std::string_view data, std::string& out, size_t* badOffset)
{
    out.clear();
    if (data.empty()) return true;
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) {
        if (badOffset) *badOffset = 0;
        return false;
    }
    char* in = const_cast<char*>(data.data());
    size_t inLeft = data.size();
    char buf[4096];
    bool ok = true;
    while (inLeft > 0) {
        char* o = buf;
        size_t oLeft = sizeof buf;
        const size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(buf, size_t(o - buf));
        if (r == size_t(-1) && errno != E2BIG) {
            ok = false;
            break;
        }
        // glibc counts characters it replaced by its own choice; none is wanted here.
        if (r != size_t(-1) && r > 0) {
            ok = false;
            break;
        }
    }
    if (ok) {
        char* o = buf;
        size_t oLeft = sizeof buf;
        iconv(cd, nullptr, nullptr, &o, &oLeft);
        out.append(buf, size_t(o - buf));
    } else if (badOffset) {
        *badOffset = data.size() - inLeft;
    }
    iconv_close(cd);
    return ok;
}

// The code point at s[i] (0xFFFD when the bytes are not UTF-8).
char32_t CodePointAt(std::string_view s, size_t i)
{
    const auto b = [&](size_t k) { return k < s.size() ? static_cast<unsigned char>(s[k]) : 0u; };
    const unsigned c = b(i);
    if (c < 0x80) return c;
    int n = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    if (n < 0) return 0xFFFD;
    char32_t cp = c & (0x3F >> n);
    for (int k = 1; k <= n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    return cp;
}

}  // namespace

bool Utf8ToAnsiChecked(std::string_view utf8, std::string& out, char32_t* badChar, size_t* badOffset)
{
    size_t at = Utf8ErrorOffset(utf8);
    if (at != std::string_view::npos) {
        if (badChar) *badChar = 0xFFFD;
        if (badOffset) *badOffset = at;
        return false;
    }
    if (ConvertChecked(CodePageCharset(g_codePage), "UTF-8", utf8, out, &at)) return true;
    if (badChar) *badChar = CodePointAt(utf8, at);
    if (badOffset) *badOffset = at;
    return false;
}

bool AnsiToUtf8Checked(std::string_view ansi, std::string& out, size_t* badOffset)
{
    return ConvertChecked("UTF-8", CodePageCharset(g_codePage), ansi, out, badOffset);
}

bool IsValidUtf8(std::string_view s) { return Utf8ErrorOffset(s) == std::string_view::npos; }

size_t Utf8ErrorOffset(std::string_view s)
{
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n;
        char32_t min;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            n = 1, min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            n = 2, min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            n = 3, min = 0x10000;
        } else {
            return i;
        }
        char32_t cp = c & (0x3F >> n);
        for (size_t k = 1; k <= n; ++k) {
            if (i + k >= s.size()) return i;
            const unsigned char d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) return i;
            cp = (cp << 6) | (d & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return i;
        i += n + 1;
    }
    return std::string_view::npos;
}

std::string DescribeCodePoint(char32_t c)
{
    std::string glyph;
    if (c >= 0x20 && c != 0x7F && c != 0xFFFD && c <= 0x10FFFF) {
        if (c < 0x80) {
            glyph += char(c);
        } else if (c < 0x800) {
            glyph += char(0xC0 | (c >> 6));
            glyph += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            glyph += char(0xE0 | (c >> 12));
            glyph += char(0x80 | ((c >> 6) & 0x3F));
            glyph += char(0x80 | (c & 0x3F));
        } else {
            glyph += char(0xF0 | (c >> 18));
            glyph += char(0x80 | ((c >> 12) & 0x3F));
            glyph += char(0x80 | ((c >> 6) & 0x3F));
            glyph += char(0x80 | (c & 0x3F));
        }
    }
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", unsigned(c));
    return glyph.empty() ? std::string(code) : std::string(code) + " '" + glyph + "'";
}
