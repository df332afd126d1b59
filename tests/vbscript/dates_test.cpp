// Date and time functions, read against the engine's fixed clock
// (Wednesday 2024-01-31 15:04:05), with arithmetic across month ends and
// leap days.
#include "script_cases.h"

using vbstest::Evaluate;
using vbstest::ValueCase;

namespace {

void CheckAll(const std::vector<ValueCase>& cases)
{
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.code);
        const auto o = Evaluate(c.code);
        ASSERT_TRUE(o.ok) << o.error.description;
        EXPECT_EQ(o.type, c.type);
        EXPECT_EQ(o.text, c.text);
    }
}

TEST(VbsDates, NowComesFromTheEnginesClock)
{
    CheckAll({
        {"Now", "Date", "1/31/2024 3:04:05 PM"},
        {"Date", "Date", "1/31/2024"},
        {"Time", "Date", "3:04:05 PM"},
        {"Timer", "Double", "54245"},
        {"Year(Now) & \"-\" & Month(Now) & \"-\" & Day(Now)", "String", "2024-1-31"},
        {"Hour(Now) & \":\" & Minute(Now) & \":\" & Second(Now)", "String", "15:4:5"},
        {"Year(Now)", "Integer", "2024"},
    });
    vbs::Engine e;
    e.SetClock([] { return vbs::DateTime{2031, 12, 24, 8, 0, 0}; });
    ASSERT_TRUE(e.AddCode("stamp = FormatDateTime(Now, vbShortDate) & \" \" & Weekday(Date)"));
    EXPECT_EQ(vbs::ToText(*e.GetGlobal("stamp")), "12/24/2031 4");
}

TEST(VbsDates, PartsAndNames)
{
    CheckAll({
        {"Weekday(Now)", "Integer", "4"},
        {"Weekday(Now, vbMonday)", "Integer", "3"},
        {"Weekday(#1/7/2024#)", "Integer", "1"},
        {"WeekdayName(1)", "String", "Sunday"},
        {"WeekdayName(1, True)", "String", "Sun"},
        {"WeekdayName(1, False, vbMonday)", "String", "Monday"},
        {"WeekdayName(Weekday(Now))", "String", "Wednesday"},
        {"MonthName(2)", "String", "February"},
        {"MonthName(12, True)", "String", "Dec"},
        {"DatePart(\"q\", #5/15/2024#)", "Integer", "2"},
        {"DatePart(\"y\", #3/1/2024#)", "Integer", "61"},
        {"DatePart(\"ww\", #1/1/2024#)", "Integer", "1"},
        {"DatePart(\"ww\", #12/31/2024#)", "Integer", "53"},
        {"DatePart(\"ww\", #1/1/2021#, vbMonday, vbFirstFourDays)", "Integer", "53"},
        {"DatePart(\"ww\", #1/4/2021#, vbMonday, vbFirstFourDays)", "Integer", "1"},
        {"DatePart(\"ww\", #1/1/2023#, vbSunday, vbFirstFullWeek)", "Integer", "1"},
        {"DatePart(\"w\", Now)", "Integer", "4"},
        {"DatePart(\"h\", Now)", "Integer", "15"},
        {"DatePart(\"yyyy\", \"7/4/1999\")", "Integer", "1999"},
    });
}

TEST(VbsDates, DateAddAcrossMonthEnds)
{
    CheckAll({
        {"DateAdd(\"m\", 1, #1/31/2024#)", "Date", "2/29/2024"},
        {"DateAdd(\"m\", 1, #1/31/2023#)", "Date", "2/28/2023"},
        {"DateAdd(\"m\", -1, #3/31/2024#)", "Date", "2/29/2024"},
        {"DateAdd(\"m\", 13, #12/15/2023#)", "Date", "1/15/2025"},
        {"DateAdd(\"yyyy\", 1, #2/29/2024#)", "Date", "2/28/2025"},
        {"DateAdd(\"q\", 1, #11/30/2024#)", "Date", "2/28/2025"},
        {"DateAdd(\"d\", 1, #2/28/2024#)", "Date", "2/29/2024"},
        {"DateAdd(\"d\", -1, #3/1/2023#)", "Date", "2/28/2023"},
        {"DateAdd(\"y\", 366, #1/1/2024#)", "Date", "1/1/2025"},
        {"DateAdd(\"ww\", 2, #1/20/2024#)", "Date", "2/3/2024"},
        {"DateAdd(\"h\", 10, #1/31/2024 20:00#)", "Date", "2/1/2024 6:00:00 AM"},
        {"DateAdd(\"n\", -5, #1/1/2024#)", "Date", "12/31/2023 11:55:00 PM"},
        {"DateAdd(\"s\", 30, \"1/1/2024 00:00:45\")", "Date", "1/1/2024 12:01:15 AM"},
        {"DateAdd(\"m\", 1, Now)", "Date", "2/29/2024 3:04:05 PM"},
        {"Now + 1", "Date", "2/1/2024 3:04:05 PM"},
    });
}

TEST(VbsDates, DateDiffCountsBoundaries)
{
    CheckAll({
        {"DateDiff(\"d\", #1/31/2024#, #3/1/2024#)", "Long", "30"},
        {"DateDiff(\"d\", #3/1/2024#, #2/1/2024#)", "Long", "-29"},
        {"DateDiff(\"d\", #1/1/2024 23:00#, #1/2/2024 01:00#)", "Long", "1"},
        {"DateDiff(\"m\", #1/31/2024#, #2/1/2024#)", "Long", "1"},
        {"DateDiff(\"yyyy\", #12/31/2023#, #1/1/2024#)", "Long", "1"},
        {"DateDiff(\"q\", #3/31/2024#, #4/1/2024#)", "Long", "1"},
        {"DateDiff(\"h\", #1/1/2024 23:59#, #1/2/2024 00:01#)", "Long", "1"},
        {"DateDiff(\"n\", #1/1/2024#, #1/1/2024 1:30#)", "Long", "90"},
        {"DateDiff(\"s\", #1/1/2024#, #1/1/2024 0:01#)", "Long", "60"},
        {"DateDiff(\"w\", #1/1/2024#, #1/15/2024#)", "Long", "2"},
        {"DateDiff(\"ww\", #1/6/2024#, #1/7/2024#)", "Long", "1"},
        {"DateDiff(\"ww\", #1/7/2024#, #1/13/2024#)", "Long", "0"},
    });
}

TEST(VbsDates, BuildingAndReadingDates)
{
    CheckAll({
        {"DateSerial(2024, 2, 30)", "Date", "3/1/2024"},
        {"DateSerial(2024, 13, 1)", "Date", "1/1/2025"},
        {"DateSerial(2024, 3, 0)", "Date", "2/29/2024"},
        {"DateSerial(2024, 0, 1)", "Date", "12/1/2023"},
        {"DateSerial(24, 1, 1)", "Date", "1/1/2024"},
        {"DateSerial(99, 1, 1)", "Date", "1/1/1999"},
        {"TimeSerial(14, 90, 0)", "Date", "3:30:00 PM"},
        {"TimeSerial(25, 0, 0)", "Date", "12/31/1899 1:00:00 AM"},
        {"DateValue(\"1/31/2024 15:00\")", "Date", "1/31/2024"},
        {"TimeValue(\"1/31/2024 15:00\")", "Date", "3:00:00 PM"},
        {"CDate(\"January 15, 2024\")", "Date", "1/15/2024"},
        {"CDate(\"15-Jan-2024\")", "Date", "1/15/2024"},
        {"CDate(\"Monday, January 15, 2024\")", "Date", "1/15/2024"},
        {"CDate(\"2024/01/15 10:30\")", "Date", "1/15/2024 10:30:00 AM"},
        {"CDate(\"3:04 PM\")", "Date", "3:04:00 PM"},
        {"CDate(\"12:00 AM\")", "Date", "12:00:00 AM"},
        {"CDate(\"13/1/2024\")", "Date", "1/13/2024"},
        {"CDate(\"1/15\")", "Date", "1/15/2024"},
        {"CDate(45000)", "Date", "3/15/2023"},
        {"CDate(45000.75)", "Date", "3/15/2023 6:00:00 PM"},
        {"CDbl(#1/1/1900#)", "Double", "2"},
        {"CDate(-1.25)", "Date", "12/29/1899 6:00:00 AM"},
    });
}

TEST(VbsDates, DateTimeFormats)
{
    CheckAll({
        {"FormatDateTime(#1/5/2024 14:07:09#)", "String", "1/5/2024 2:07:09 PM"},
        {"FormatDateTime(#1/5/2024 14:07:09#, vbLongDate)", "String", "Friday, January 5, 2024"},
        {"FormatDateTime(#1/5/2024 14:07:09#, vbShortDate)", "String", "1/5/2024"},
        {"FormatDateTime(#1/5/2024 14:07:09#, vbLongTime)", "String", "2:07:09 PM"},
        {"FormatDateTime(#1/5/2024 14:07:09#, vbShortTime)", "String", "14:07"},
        {"FormatDateTime(#1/5/2024 00:30#, 3)", "String", "12:30:00 AM"},
        {"CStr(#12/30/1899#)", "String", "12:00:00 AM"},
    });
}

TEST(VbsDates, Faults)
{
    struct Case {
        const char* code;
        long number;
    } cases[] = {
        {"DateAdd(\"x\", 1, Now)", 5},   {"MonthName(13)", 5},         {"WeekdayName(0)", 5},
        {"DateSerial(10000, 1, 1)", 5},  {"CDate(\"hello\")", 13},     {"FormatDateTime(Now, 5)", 5},
        {"DateAdd(\"yyyy\", 9000, Now)", 5}, {"Weekday(Now, 8)", 5},    {"Year(\"soon\")", 13},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const auto o = Evaluate(c.code);
        ASSERT_FALSE(o.ok);
        EXPECT_EQ(o.error.number, c.number) << o.error.description;
    }
}

}  // namespace
