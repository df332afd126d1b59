#pragma once
// Date and time texts of Date and Time variables: the two format lists of
// the string table, the strftime-style formatter with the "#" flag (no
// leading zeros) and the time locale's names, week numbers, offsets, and the
// evaluation that keeps the variable's stored value up to date.
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"

class CVariable;
class CVariableUser;

// Date entries with their own rules.
enum DateFormatIndex : int {
    DF_YEAR_1_DIGIT = 19,
    DF_YEAR_3_DIGITS = 22,
    DF_WEEK_2_DIGITS = 25,
    DF_WEEK_1_2_DIGITS = 26,
    DF_WEEK_MONDAY_FIRST = 34,
    DF_WEEKDAY_SUNDAY_7 = 35,
};

// The entries of a list (kind VK_DATE or VK_TIME): string-table entry
// IDS_DATE_FORMAT_FIRST + i (IDS_TIME_FORMAT_FIRST + i) is format i, read from the first id
// upward until the first missing entry; a translated table may hold more or
// fewer. Any other kind has none.
std::vector<std::string> GetDateTimeFormats(int kind);
// Entry index of the kind's list, "" when there is none.
std::string GetDateTimeFormat(int kind, int index);

// Formats t with strftime conversions: %Y %y %m %d %j %B %b %A %a %w %H %I
// %M %S %p %U %W and %%. A "#" between "%" and the letter removes leading
// zeros from a number. Names and the AM/PM designator come from the time
// locale. Unknown conversions are copied as they stand.
std::string FormatLocalTime(std::string_view format, const CLocalTime& t);

// Week of the year, weeks starting on Sunday (%U) or Monday (%W): 0..53, the
// days before the first such weekday are in week 0.
int WeekOfYearSundayFirst(const CLocalTime& t);
int WeekOfYearMondayFirst(const CLocalTime& t);

// Text of entry index of the kind's list for t, with its line break and
// description when it has them; "" for an entry the table lacks.
std::string DateTimeEntryText(int kind, int index, const CLocalTime& t);
// The entry as the format list shows it: its first line break a blank.
std::string DateTimeListText(int kind, int index, const CLocalTime& t);
// The part before a line break at a position greater than 0; the text as it
// is otherwise.
std::string CutAtLineBreak(const std::string& text);

// The time a Date or Time variable shows for now: a Date moves by its offset
// in whole days, a Time by its offset in seconds.
CLocalTime MovedTime(const CVariable& var, const CLocalTime& now);

// The value of a Date or Time variable for now, asked by obj (may be null):
// from the printer's clock when the object prints it, else from the
// computer's; cut at the line break. When it differs from the stored value,
// the stored value takes it and every user object recalculates its size.
std::string EvaluateDateTime(CVariable& var, CVariableUser* obj);

// The value a new Date or Time variable starts with: now in format 0.
std::string InitialDateTimeValue(int kind);
