#include "vbscript/datetime.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <vector>

namespace vbs {

namespace {
const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kMonthsShort[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kDaysShort[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

// Days from 1970-01-01 of a proleptic Gregorian date (month 1..12).
std::int64_t DaysFromEpoch(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + std::int64_t(doe) - 719468;
}

constexpr std::int64_t kEpochOffset = 25569;  // 1899-12-30 to 1970-01-01
constexpr double kMinSerial = -657434.0;       // 100-01-01
constexpr double kMaxSerial = 2958465.99999;   // 9999-12-31 23:59:59
}  // namespace

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int MonthDays(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : days[month - 1];
}

std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day)
{
    // Carry the month into the year first, then count the day from the 1st.
    std::int64_t m0 = month - 1;
    year += m0 >= 0 ? m0 / 12 : -((11 - m0) / 12);
    m0 -= 12 * (m0 >= 0 ? m0 / 12 : -((11 - m0) / 12));
    return DaysFromEpoch(year, unsigned(m0 + 1), 1) + kEpochOffset + (day - 1);
}

void CivilFromDays(std::int64_t days, int& year, int& month, int& day)
{
    std::int64_t z = days - kEpochOffset + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = int(std::int64_t(yoe) + era * 400 + (month <= 2));
}

std::int64_t SerialToMoment(double serial)
{
    const double whole = std::trunc(serial);
    const double frac = std::fabs(serial - whole);
    std::int64_t days = std::int64_t(whole);
    std::int64_t secs = std::llround(frac * 86400.0);
    if (secs >= 86400) {
        secs -= 86400;
        ++days;
    }
    return days * 86400 + secs;
}

double MomentToSerial(std::int64_t moment)
{
    std::int64_t days = moment / 86400;
    std::int64_t secs = moment % 86400;
    if (secs < 0) {
        secs += 86400;
        --days;
    }
    const double frac = double(secs) / 86400.0;
    return days >= 0 ? double(days) + frac : double(days) - frac;
}

bool SerialInRange(double serial) { return std::isfinite(serial) && serial >= kMinSerial && serial <= kMaxSerial; }

std::optional<DateTime> SerialToParts(double serial)
{
    if (!SerialInRange(serial)) return std::nullopt;
    const std::int64_t moment = SerialToMoment(serial);
    std::int64_t days = moment / 86400, secs = moment % 86400;
    if (secs < 0) {
        secs += 86400;
        --days;
    }
    DateTime t;
    CivilFromDays(days, t.year, t.month, t.day);
    t.hour = int(secs / 3600);
    t.minute = int(secs / 60 % 60);
    t.second = int(secs % 60);
    if (t.year < 100 || t.year > 9999) return std::nullopt;
    return t;
}

double PartsToSerial(const DateTime& t)
{
    const std::int64_t days = DaysFromCivil(t.year, t.month, t.day);
    return MomentToSerial(days * 86400 + std::int64_t(t.hour) * 3600 + std::int64_t(t.minute) * 60 + t.second);
}

int DayOfWeek(std::int64_t days)
{
    // 1899-12-30 was a Saturday.
    const std::int64_t w = (days + 6) % 7;
    return int(w < 0 ? w + 7 : w);
}

const char* MonthNameOf(int month, bool abbreviate)
{
    return abbreviate ? kMonthsShort[month - 1] : kMonths[month - 1];
}

const char* WeekdayNameOf(int weekday, bool abbreviate)
{
    return abbreviate ? kDaysShort[weekday - 1] : kDays[weekday - 1];
}

std::string FormatDateSerial(double serial, int style)
{
    const auto p = SerialToParts(serial);
    if (!p) return std::string();
    char buf[96];
    const int h12 = p->hour % 12 == 0 ? 12 : p->hour % 12;
    const char* ampm = p->hour < 12 ? "AM" : "PM";
    const bool hasDate = std::trunc(serial) != 0;
    const bool hasTime = serial != std::trunc(serial);
    std::string date, time;
    std::snprintf(buf, sizeof buf, "%d/%d/%d", p->month, p->day, p->year);
    date = buf;
    std::snprintf(buf, sizeof buf, "%d:%02d:%02d %s", h12, p->minute, p->second, ampm);
    time = buf;
    switch (style) {
    case 1: {
        const int dow = DayOfWeek(DaysFromCivil(p->year, p->month, p->day));
        std::snprintf(buf, sizeof buf, "%s, %s %d, %d", kDays[dow], kMonths[p->month - 1], p->day, p->year);
        return buf;
    }
    case 2: return date;
    case 3: return time;
    case 4:
        std::snprintf(buf, sizeof buf, "%02d:%02d", p->hour, p->minute);
        return buf;
    default:
        if (hasDate && hasTime) return date + " " + time;
        if (hasDate) return date;
        return time;
    }
}

namespace {
// The text split into numbers, words and separators.
struct DateToken {
    enum Kind { Number, Word, Sep };
    explicit DateToken(Kind k) : kind(k) {}
    Kind kind;
    long long number = 0;
    int digits = 0;
    std::string word;  // lower case
    char sep = 0;
};

int MonthFromWord(const std::string& w)
{
    for (int m = 0; m < 12; ++m) {
        std::string full = kMonths[m];
        for (char& c : full) c = char(std::tolower((unsigned char)c));
        if (w.size() >= 3 && full.compare(0, w.size(), w) == 0) return m + 1;
    }
    if (w == "sept") return 9;
    return 0;
}

bool IsWeekdayWord(const std::string& w)
{
    for (int d = 0; d < 7; ++d) {
        std::string full = kDays[d];
        for (char& c : full) c = char(std::tolower((unsigned char)c));
        if (w.size() >= 3 && full.compare(0, w.size(), w) == 0) return true;
    }
    return false;
}

int FullYear(long long y, int digits)
{
    if (digits <= 2 && y < 100) return int(y < 30 ? 2000 + y : 1900 + y);
    return int(y);
}
}  // namespace

std::optional<double> ParseDateText(std::string_view text, const DateTime& today)
{
    std::vector<DateToken> toks;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = (unsigned char)text[i];
        if (std::isspace(c)) {
            ++i;
        } else if (std::isdigit(c)) {
            DateToken t(DateToken::Number);
            while (i < text.size() && std::isdigit((unsigned char)text[i])) {
                if (t.digits < 9) t.number = t.number * 10 + (text[i] - '0');
                ++t.digits;
                ++i;
            }
            toks.push_back(t);
        } else if (std::isalpha(c)) {
            DateToken t(DateToken::Word);
            while (i < text.size() && std::isalpha((unsigned char)text[i]))
                t.word += char(std::tolower((unsigned char)text[i++]));
            if (i < text.size() && text[i] == '.') ++i;  // "Jan." and "a.m."
            toks.push_back(t);
        } else if (c == '/' || c == '-' || c == ':' || c == ',' || c == '.') {
            DateToken t(DateToken::Sep);
            t.sep = char(c);
            toks.push_back(t);
            ++i;
        } else {
            return std::nullopt;
        }
    }
    if (toks.empty()) return std::nullopt;

    // Time: numbers joined by ':' (and an optional AM/PM word), or a number with AM/PM.
    int hour = -1, minute = 0, second = 0;
    int pm = -1;  // -1 none, 0 AM, 1 PM
    std::vector<DateToken> rest;
    for (size_t i = 0; i < toks.size(); ++i) {
        const DateToken& t = toks[i];
        const bool startsTime = t.kind == DateToken::Number && hour < 0 &&
                                ((i + 2 < toks.size() && toks[i + 1].kind == DateToken::Sep && toks[i + 1].sep == ':') ||
                                 (i + 1 < toks.size() && toks[i + 1].kind == DateToken::Word &&
                                  (toks[i + 1].word == "am" || toks[i + 1].word == "pm" || toks[i + 1].word == "a" ||
                                   toks[i + 1].word == "p")));
        if (startsTime) {
            hour = int(t.number);
            if (t.digits > 2) return std::nullopt;
            size_t j = i + 1;
            if (j + 1 < toks.size() && toks[j].kind == DateToken::Sep && toks[j].sep == ':') {
                if (toks[j + 1].kind != DateToken::Number || toks[j + 1].digits > 2) return std::nullopt;
                minute = int(toks[j + 1].number);
                j += 2;
                if (j + 1 < toks.size() && toks[j].kind == DateToken::Sep && toks[j].sep == ':') {
                    if (toks[j + 1].kind != DateToken::Number || toks[j + 1].digits > 2) return std::nullopt;
                    second = int(toks[j + 1].number);
                    j += 2;
                }
            }
            if (j < toks.size() && toks[j].kind == DateToken::Word) {
                const std::string& w = toks[j].word;
                if (w == "am" || w == "a") pm = 0, ++j;
                else if (w == "pm" || w == "p") pm = 1, ++j;
            }
            i = j - 1;
            continue;
        }
        rest.push_back(t);
    }
    if (hour >= 0) {
        if (pm >= 0) {
            if (hour < 1 || hour > 12) return std::nullopt;
            hour = hour % 12 + (pm ? 12 : 0);
        }
        if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    }

    // Date: the numbers and the month word left, separators and weekday names skipped.
    std::vector<DateToken> parts;
    int monthWord = 0;
    for (const DateToken& t : rest) {
        if (t.kind == DateToken::Sep) continue;
        if (t.kind == DateToken::Word) {
            const int m = MonthFromWord(t.word);
            if (m && !monthWord) {
                monthWord = m;
                DateToken mt(DateToken::Word);
                mt.word = "month";
                parts.push_back(mt);
                continue;
            }
            if (IsWeekdayWord(t.word)) continue;
            return std::nullopt;
        }
        parts.push_back(t);
    }
    int year = 0, month = 0, day = 0;
    bool haveDate = !parts.empty();
    if (haveDate) {
        auto num = [&](size_t i) { return parts[i].number; };
        if (monthWord) {
            std::vector<DateToken> nums;
            size_t monthAt = 0;
            for (size_t i = 0; i < parts.size(); ++i) {
                if (parts[i].kind == DateToken::Word) monthAt = i;
                else nums.push_back(parts[i]);
            }
            month = monthWord;
            if (nums.size() == 1) {
                // "Jan 15" (this year) or "January 2024" (the 1st)
                if (nums[0].digits >= 3 || nums[0].number > 31) year = FullYear(nums[0].number, nums[0].digits), day = 1;
                else year = today.year, day = int(nums[0].number);
            } else if (nums.size() == 2) {
                if (nums[0].digits >= 3 && monthAt >= 1) {  // 2024 January 15
                    year = int(nums[0].number), day = int(nums[1].number);
                } else {  // 15 January 2024, January 15, 2024
                    day = int(nums[0].number), year = FullYear(nums[1].number, nums[1].digits);
                }
            } else {
                return std::nullopt;
            }
        } else if (parts.size() == 3) {
            if (parts[0].digits >= 3) {  // y m d
                year = int(num(0)), month = int(num(1)), day = int(num(2));
            } else {
                month = int(num(0)), day = int(num(1)), year = FullYear(num(2), parts[2].digits);
                if (month > 12 && day <= 12) std::swap(month, day);
            }
        } else if (parts.size() == 2) {
            if (parts[0].digits >= 3) {  // y m
                year = int(num(0)), month = int(num(1)), day = 1;
            } else if (parts[1].digits >= 3 || num(1) > 31) {  // m y
                month = int(num(0)), year = FullYear(num(1), parts[1].digits), day = 1;
            } else {  // m d of this year
                month = int(num(0)), day = int(num(1)), year = today.year;
                if (month > 12 && day <= 12) std::swap(month, day);
            }
        } else {
            return std::nullopt;
        }
        if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > MonthDays(year, month))
            return std::nullopt;
    }
    if (!haveDate && hour < 0) return std::nullopt;
    DateTime t;
    if (haveDate) t.year = year, t.month = month, t.day = day;
    if (hour >= 0) t.hour = hour, t.minute = minute, t.second = second;
    return PartsToSerial(t);
}

}  // namespace vbs
