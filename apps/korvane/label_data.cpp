#include "label_data.h"

#include <string_view>

#include "platform/codepage.h"
#include "platform/strutil.h"

bool LabelTextFromArgument(const std::string& option, const std::string& utf8, std::string& ansi,
                           std::string& error)
{
    const size_t bad = Utf8ErrorOffset(utf8);
    if (bad != std::string::npos) {
        error = StrFormat("%s: the text is not UTF-8: byte %zu (offset %zu, 0x%02X) starts no character",
                          option.c_str(), bad + 1, bad, unsigned(static_cast<unsigned char>(utf8[bad])));
        return false;
    }
    char32_t c = 0;
    size_t at = 0;
    if (!Utf8ToAnsiChecked(utf8, ansi, &c, &at)) {
        error = StrFormat("%s: %s at byte %zu (offset %zu) has no form in code page %d", option.c_str(),
                          DescribeCodePoint(c).c_str(), at + 1, at, GetAnsiCodePage());
        return false;
    }
    return true;
}
