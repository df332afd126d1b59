#include "platform/codepage.h"

#include <cerrno>
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
