#include "platform/strutil.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

std::string StrFormat(const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    va_list ap2;
    va_copy(ap2, ap);
    const int n = std::vsnprintf(nullptr, 0, fmt, ap);
    va_end(ap);
    std::string out;
    if (n > 0) {
        out.resize(size_t(n) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, ap2);
        out.resize(size_t(n));
    }
    va_end(ap2);
    return out;
}

int AtoI(std::string_view s)
{
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n')) ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) { neg = s[i] == '-'; ++i; }
    long long v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        if (v < 10000000000LL) v = v * 10 + (s[i] - '0');
        ++i;
    }
    if (neg) v = -v;
    // Out-of-range texts wrap like a 32-bit conversion would not be helpful;
    // clamp instead so a damaged value stays within the integer range.
    if (v > 2147483647LL) v = 2147483647LL;
    if (v < -2147483648LL) v = -2147483648LL;
    return int(v);
}

double AtoF(std::string_view s)
{
    std::string tmp(s.substr(0, 64));
    char* end = nullptr;
    const double v = std::strtod(tmp.c_str(), &end);
    if (end == tmp.c_str()) return 0.0;
    return v;
}

std::vector<std::string> SplitString(std::string_view s, char sep)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        const size_t p = s.find(sep, start);
        if (p == std::string_view::npos) {
            out.emplace_back(s.substr(start));
            break;
        }
        out.emplace_back(s.substr(start, p - start));
        start = p + 1;
    }
    return out;
}

std::string JoinStrings(const std::vector<std::string>& items, std::string_view sep)
{
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += sep;
        out += items[i];
    }
    return out;
}

std::string TrimLeft(std::string_view s, std::string_view chars)
{
    const size_t p = s.find_first_not_of(chars);
    return p == std::string_view::npos ? std::string() : std::string(s.substr(p));
}

std::string TrimRight(std::string_view s, std::string_view chars)
{
    const size_t p = s.find_last_not_of(chars);
    return p == std::string_view::npos ? std::string() : std::string(s.substr(0, p + 1));
}

std::string Trim(std::string_view s, std::string_view chars) { return TrimRight(TrimLeft(s, chars), chars); }

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

bool EndsWith(std::string_view s, std::string_view suffix)
{
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

std::string ToUpperAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return out;
}

std::string ToLowerAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

std::string ReplaceAll(std::string s, std::string_view from, std::string_view to)
{
    if (from.empty()) return s;
    size_t p = 0;
    while ((p = s.find(from, p)) != std::string::npos) {
        s.replace(p, from.size(), to);
        p += to.size();
    }
    return s;
}

std::string FormatPlaceholders(std::string_view pattern, const std::vector<std::string>& args)
{
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const size_t n = size_t(pattern[i + 1] - '1');
            if (n < args.size()) out += args[n];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}
