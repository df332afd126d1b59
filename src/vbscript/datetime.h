#pragma once
// Dates of the script language: a Date is a number of days since
// 1899-12-30, the fraction the time of day. Before that day the fraction
// still counts forward from midnight (-1.25 is 1899-12-29 06:00). Valid
// dates run from year 100 to 9999. Texts follow the US English forms
// ("1/15/2024 3:04:05 PM").
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vbs {

struct DateTime {
    int year = 1899;
    int month = 12;  // 1..12
    int day = 30;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool operator==(const DateTime&) const = default;
};

bool IsLeap(int year);
int MonthDays(int year, int month);
// Days from 1899-12-30 to the date; months and days may run over and are
// carried (month 13 is January of the next year, day 0 the last of the
// month before).
std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day);
void CivilFromDays(std::int64_t days, int& year, int& month, int& day);

// Seconds on a continuous time line (days * 86400 + seconds of the day),
// from and to a Date serial.
std::int64_t SerialToMoment(double serial);
double MomentToSerial(std::int64_t moment);

// The parts of a serial; nothing outside years 100..9999.
std::optional<DateTime> SerialToParts(double serial);
double PartsToSerial(const DateTime& t);
bool SerialInRange(double serial);

// 0 Sunday .. 6 Saturday.
int DayOfWeek(std::int64_t days);

const char* MonthNameOf(int month, bool abbreviate);    // 1..12
const char* WeekdayNameOf(int weekday, bool abbreviate);  // 1 Sunday .. 7 Saturday

// The forms of FormatDateTime: 0 general, 1 long date, 2 short date,
// 3 long time, 4 short time (24-hour hh:mm). General is the date, the time or
// both, as CStr shows a Date.
std::string FormatDateSerial(double serial, int style);

// A text as a date the way CDate reads it ("1/15/2024", "2024-01-15",
// "January 15, 2024", "15-Jan-2024", "3:04 PM", "1/15/2024 15:04:05"...).
// today gives the year when a text leaves it out.
std::optional<double> ParseDateText(std::string_view text, const DateTime& today);

}  // namespace vbs
