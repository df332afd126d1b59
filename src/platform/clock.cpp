#include "platform/clock.h"

#include <cstdio>
#include <ctime>

#include "platform/strutil.h"

namespace {

std::optional<CLocalTime> g_override;

// Days from 1970-01-01 for a proleptic Gregorian date (any year).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

CLocalTime LocalTimeFromDayNumber(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    CLocalTime t;
    t.day = int(doy - (153 * mp + 2) / 5 + 1);
    t.month = int(mp < 10 ? mp + 3 : mp - 9);
    t.year = int(yoe + era * 400 + (t.month <= 2));
    return t;
}

std::int64_t CLocalTime::DayNumber() const { return DaysFromCivil(year, month, day); }

int CLocalTime::DayOfWeek() const
{
    // 1970-01-01 was a Thursday.
    return int(((DayNumber() % 7) + 7 + 4) % 7);
}

int CLocalTime::DayOfYear() const { return int(DayNumber() - DaysFromCivil(year, 1, 1)) + 1; }

CLocalTime CLocalTime::AddSeconds(std::int64_t seconds) const
{
    const std::int64_t total = DayNumber() * 86400 + hour * 3600 + minute * 60 + second + seconds;
    const std::int64_t days = FloorDiv(total, 86400);
    const std::int64_t rest = total - days * 86400;
    CLocalTime t = LocalTimeFromDayNumber(days);
    t.hour = int(rest / 3600);
    t.minute = int(rest / 60 % 60);
    t.second = int(rest % 60);
    return t;
}

std::string CLocalTime::ToString() const
{
    return StrFormat("%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
}

std::optional<CLocalTime> ParseLocalTime(std::string_view text)
{
    const std::string s = Trim(text);
    CLocalTime t;
    int used = 0;
    const int n = std::sscanf(s.c_str(), "%d-%d-%d%n", &t.year, &t.month, &t.day, &used);
    if (n < 3) return std::nullopt;
    std::string_view rest = std::string_view(s).substr(size_t(used));
    if (!rest.empty()) {
        int timeUsed = 0;
        const std::string r(rest);
        if (std::sscanf(r.c_str(), " %d:%d:%d%n", &t.hour, &t.minute, &t.second, &timeUsed) < 3 ||
            size_t(timeUsed) != r.size())
            return std::nullopt;
    }
    if (t.year < 1 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 ||
        t.day > DaysInMonth(t.year, t.month) || t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 ||
        t.second < 0 || t.second > 59)
        return std::nullopt;
    return t;
}

CLocalTime CurrentLocalTime()
{
    if (g_override) return *g_override;
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    CLocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec > 59 ? 59 : tm.tm_sec;
    return t;
}

void SetClockOverride(const CLocalTime* fixed)
{
    if (fixed)
        g_override = *fixed;
    else
        g_override.reset();
}

bool HasClockOverride() { return g_override.has_value(); }
