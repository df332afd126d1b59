// Date and time cells of a workbook: which number formats show dates, and
// the text a date serial shows under such a format.
#include <cctype>
#include <cmath>
#include <cstdint>

#include "data/workbook.h"
#include "platform/strutil.h"

namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// Civil date of a count of days since 1970-01-01 (proleptic Gregorian).
void CivilFromDays(std::int64_t z, int& y, int& m, int& d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

struct DateParts {
    int year = 1900, month = 1, day = 0, weekday = 0;
    int hour = 0, minute = 0, second = 0, millis = 0;
    double days = 0;  // the whole serial, for elapsed-time fields
};

DateParts SplitSerial(double serial, bool date1904)
{
    DateParts p;
    p.days = serial;
    const std::int64_t ms = std::llround(serial * 86400000.0);
    std::int64_t day = ms / 86400000;
    std::int64_t rest = ms % 86400000;
    if (rest < 0) {
        rest += 86400000;
        --day;
    }
    p.hour = int(rest / 3600000);
    p.minute = int(rest / 60000 % 60);
    p.second = int(rest / 1000 % 60);
    p.millis = int(rest % 1000);
    // Days since 1970-01-01: the 1900 system counts a 29 February 1900 that
    // never was (serial 60), and serial 0 shows as 0 January 1900.
    if (date1904) {
        CivilFromDays(day - 24107, p.year, p.month, p.day);
        p.weekday = int(((day + 5) % 7 + 7) % 7);
    } else if (day == 60) {
        p.year = 1900, p.month = 2, p.day = 29;
        p.weekday = 3;
    } else if (day == 0) {
        p.year = 1900, p.month = 1, p.day = 0;
        p.weekday = 6;
    } else {
        CivilFromDays(day - (day < 60 ? 25568 : 25569), p.year, p.month, p.day);
        p.weekday = int(((day < 60 ? day : day - 1) % 7 + 7) % 7);
    }
    return p;
}

// The first section of a format code (the one for positive numbers).
std::string FirstSection(const std::string& code)
{
    bool quoted = false;
    for (size_t i = 0; i < code.size(); ++i) {
        if (code[i] == '"') quoted = !quoted;
        else if (!quoted && code[i] == '\\') ++i;
        else if (!quoted && code[i] == ';') return code.substr(0, i);
    }
    return code;
}

char Lower(char c) { return char(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

bool IsDateFormat(const std::string& code)
{
    const std::string s = FirstSection(code);
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            const size_t close = s.find('"', i + 1);
            if (close == std::string::npos) return false;
            i = close;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == '[') {
            const size_t close = s.find(']', i);
            if (close == std::string::npos) return false;
            const std::string inner = ToLowerAscii(s.substr(i + 1, close - i - 1));
            if (inner == "h" || inner == "hh" || inner == "m" || inner == "mm" || inner == "s" || inner == "ss") return true;
            i = close;
        } else {
            const char l = Lower(c);
            if (l == 'y' || l == 'm' || l == 'd' || l == 'h' || l == 's') return true;
        }
    }
    return false;
}

std::string BuiltinDateFormat(int id)
{
    switch (id) {
    case 14: return "m/d/yyyy";
    case 15: return "d-mmm-yy";
    case 16: return "d-mmm";
    case 17: return "mmm-yy";
    case 18: return "h:mm AM/PM";
    case 19: return "h:mm:ss AM/PM";
    case 20: return "h:mm";
    case 21: return "h:mm:ss";
    case 22: return "m/d/yyyy h:mm";
    case 45: return "mm:ss";
    case 46: return "[h]:mm:ss";
    case 47: return "mm:ss.0";
    default: return std::string();
    }
}

std::string FormatDateSerial(double serial, const std::string& fullCode, bool date1904)
{
    if (!std::isfinite(serial) || serial < 0 || serial > 2958465.99999) return FormatCellNumber(serial);
    const std::string code = FirstSection(fullCode);
    const DateParts p = SplitSerial(serial, date1904);

    // Tokens first, so that "m" can be told apart: minutes right after an
    // hour or right before a second, else month.
    enum Kind { literal, year, month, day, hour, minute, second, fraction, ampm, elapsed };
    struct Token {
        Kind kind;
        std::string text;  // literal text, or the token as written
        int width = 0;
    };
    std::vector<Token> tokens;
    bool twelveHour = false;
    for (size_t i = 0; i < code.size();) {
        const char c = code[i];
        const char l = Lower(c);
        auto run = [&](char ch) {
            size_t n = 0;
            while (i + n < code.size() && Lower(code[i + n]) == ch) ++n;
            return n;
        };
        if (c == '"') {
            const size_t close = code.find('"', i + 1);
            const size_t end = close == std::string::npos ? code.size() : close;
            tokens.push_back({literal, code.substr(i + 1, end - i - 1)});
            i = end + 1;
        } else if (c == '\\') {
            if (i + 1 < code.size()) tokens.push_back({literal, code.substr(i + 1, 1)});
            i += 2;
        } else if (c == '_') {
            tokens.push_back({literal, " "});
            i += 2;
        } else if (c == '*') {
            i += 2;
        } else if (c == '[') {
            const size_t close = code.find(']', i);
            const size_t end = close == std::string::npos ? code.size() : close;
            const std::string inner = code.substr(i + 1, end - i - 1);
            const std::string lower = ToLowerAscii(inner);
            if (!lower.empty() && (lower.find_first_not_of('h') == std::string::npos ||
                                   lower.find_first_not_of('m') == std::string::npos ||
                                   lower.find_first_not_of('s') == std::string::npos)) {
                tokens.push_back({elapsed, lower, int(lower.size())});
            } else if (StartsWith(inner, "$")) {
                // [$text-locale]: the text is shown, the locale is not.
                const size_t dash = inner.find('-');
                tokens.push_back({literal, inner.substr(1, dash == std::string::npos ? std::string::npos : dash - 1)});
            }
            i = end + 1;
        } else if (l == 'a' && (ToLowerAscii(code.substr(i, 5)) == "am/pm")) {
            tokens.push_back({ampm, code.substr(i, 5), 5});
            twelveHour = true;
            i += 5;
        } else if (l == 'a' && (ToLowerAscii(code.substr(i, 3)) == "a/p")) {
            tokens.push_back({ampm, code.substr(i, 3), 3});
            twelveHour = true;
            i += 3;
        } else if (l == 'y' || l == 'm' || l == 'd' || l == 'h' || l == 's') {
            const size_t n = run(l);
            const Kind k = l == 'y' ? year : l == 'm' ? month : l == 'd' ? day : l == 'h' ? hour : second;
            tokens.push_back({k, code.substr(i, n), int(n)});
            i += n;
        } else if (c == '.' && i + 1 < code.size() && code[i + 1] == '0' && !tokens.empty() &&
                   (tokens.back().kind == second || tokens.back().kind == elapsed)) {
            size_t n = 1;
            while (i + n < code.size() && code[i + n] == '0') ++n;
            tokens.push_back({fraction, code.substr(i, n), int(n - 1)});
            i += n;
        } else if (l == 'g' && ToLowerAscii(code.substr(i, 7)) == "general") {
            i += 7;
        } else if (c == '@') {
            ++i;
        } else {
            tokens.push_back({literal, code.substr(i, 1)});
            ++i;
        }
    }
    // Minutes: an "m" after an hour (literals between) or before a second.
    for (size_t t = 0; t < tokens.size(); ++t) {
        if (tokens[t].kind != month || tokens[t].width > 2) continue;
        bool isMinute = false;
        for (size_t b = t; b-- > 0;) {
            if (tokens[b].kind == literal) continue;
            isMinute = tokens[b].kind == hour || (tokens[b].kind == elapsed && tokens[b].text[0] == 'h');
            break;
        }
        for (size_t a = t + 1; a < tokens.size() && !isMinute; ++a) {
            if (tokens[a].kind == literal) continue;
            isMinute = tokens[a].kind == second || (tokens[a].kind == elapsed && tokens[a].text[0] == 's');
            break;
        }
        if (isMinute) tokens[t].kind = minute;
    }
    // Seconds shown without their fraction round to the nearest second.
    bool hasFraction = false;
    for (const Token& t : tokens) hasFraction = hasFraction || t.kind == fraction;
    DateParts q = p;
    if (!hasFraction && p.millis >= 500) q = SplitSerial(serial + (1000 - p.millis) / 86400000.0, date1904);
    if (!hasFraction) q.millis = 0;

    std::string out;
    auto two = [](int v) { return StrFormat("%02d", v); };
    for (const Token& t : tokens) {
        switch (t.kind) {
        case literal: out += t.text; break;
        case year: out += t.width <= 2 ? two(q.year % 100) : StrFormat("%04d", q.year); break;
        case month:
            if (t.width == 1) out += std::to_string(q.month);
            else if (t.width == 2) out += two(q.month);
            else if (t.width == 3) out += std::string(kMonths[q.month - 1]).substr(0, 3);
            else if (t.width == 5) out += kMonths[q.month - 1][0];
            else out += kMonths[q.month - 1];
            break;
        case day:
            if (t.width == 1) out += std::to_string(q.day);
            else if (t.width == 2) out += two(q.day);
            else if (t.width == 3) out += std::string(kDays[q.weekday]).substr(0, 3);
            else out += kDays[q.weekday];
            break;
        case hour: {
            int h = q.hour;
            if (twelveHour) h = h % 12 == 0 ? 12 : h % 12;
            out += t.width >= 2 ? two(h) : std::to_string(h);
            break;
        }
        case minute: out += t.width >= 2 ? two(q.minute) : std::to_string(q.minute); break;
        case second: out += t.width >= 2 ? two(q.second) : std::to_string(q.second); break;
        case fraction: {
            const std::string ms = StrFormat("%03d", q.millis);
            out += "." + ms.substr(0, size_t(std::min(t.width, 3)));
            break;
        }
        case ampm: {
            const bool pm = q.hour >= 12;
            if (t.width == 5) out += t.text[0] == 'a' || t.text[0] == 'p' ? (pm ? "pm" : "am") : (pm ? "PM" : "AM");
            else out += std::islower(static_cast<unsigned char>(t.text[0])) ? (pm ? "p" : "a") : (pm ? "P" : "A");
            break;
        }
        case elapsed: {
            const std::int64_t totalSeconds = std::int64_t(std::floor(p.days * 86400.0 + 0.5));
            std::int64_t v = t.text[0] == 'h' ? totalSeconds / 3600 : t.text[0] == 'm' ? totalSeconds / 60 : totalSeconds;
            out += StrFormat("%0*lld", t.width, static_cast<long long>(v));
            break;
        }
        }
    }
    return out;
}
