#pragma once
// The computer's clock as a local calendar time, with an override so that
// tests and the command line can fix "now". Arithmetic on these times is
// plain calendar arithmetic (no daylight-saving jumps): a date moved by a
// whole number of days keeps its time of day.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct CLocalTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const CLocalTime&) const = default;

    // Days since 1970-01-01 of the date (negative before).
    std::int64_t DayNumber() const;
    // 0 Sunday .. 6 Saturday.
    int DayOfWeek() const;
    // 1..366.
    int DayOfYear() const;
    // The time moved by a number of seconds (either sign).
    CLocalTime AddSeconds(std::int64_t seconds) const;
    CLocalTime AddDays(std::int64_t days) const { return AddSeconds(days * 86400); }
    // "YYYY-MM-DD HH:MM:SS".
    std::string ToString() const;
};

// The date of a day number (days since 1970-01-01), at midnight.
CLocalTime LocalTimeFromDayNumber(std::int64_t days);

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// Parses "YYYY-MM-DD HH:MM:SS" (the time part may be left out); nothing when
// the text is not a valid date and time.
std::optional<CLocalTime> ParseLocalTime(std::string_view text);

// Now: the override when one is set, else the computer's local time.
CLocalTime CurrentLocalTime();
// Fixes "now" (null returns to the computer's clock).
void SetClockOverride(const CLocalTime* fixed);
bool HasClockOverride();
