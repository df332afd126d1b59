#include <gtest/gtest.h>

#include "platform/clock.h"

namespace {

TEST(Clock, ParsesOnlyRealTimes)
{
    const auto t = ParseLocalTime("2024-02-29 23:59:58");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->ToString(), "2024-02-29 23:59:58");
    const auto day = ParseLocalTime(" 2007-01-05 ");
    ASSERT_TRUE(day);
    EXPECT_EQ(day->ToString(), "2007-01-05 00:00:00");
    for (const char* bad : {"", "2007", "2007-13-01 00:00:00", "2023-02-29 00:00:00", "2007-01-05 24:00:00",
                            "2007-01-05 10:60:00", "2007-01-05 10:00", "2007-01-05 10:00:00x", "0-01-01",
                            "yesterday"})
        EXPECT_FALSE(ParseLocalTime(bad)) << bad;
}

TEST(Clock, CalendarArithmetic)
{
    const struct {
        const char* from;
        long long seconds;
        const char* to;
    } cases[] = {
        {"2007-01-05 00:00:30", 23 * 3600 + 59 * 60, "2007-01-05 23:59:30"},
        {"2007-01-01 00:00:00", -1, "2006-12-31 23:59:59"},
        {"2008-02-28 12:00:00", 86400, "2008-02-29 12:00:00"},
        {"2100-02-28 12:00:00", 86400, "2100-03-01 12:00:00"},
        {"2000-02-28 12:00:00", 86400, "2000-02-29 12:00:00"},
        {"1969-12-31 23:00:00", 3600, "1970-01-01 00:00:00"},
        {"1900-01-01 00:00:00", -86400, "1899-12-31 00:00:00"},
        {"2007-01-05 12:00:00", 365LL * 86400 * 100, "2106-12-12 12:00:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseLocalTime(c.from)->AddSeconds(c.seconds).ToString(), c.to) << c.from << " + " << c.seconds;

    const struct {
        const char* date;
        int weekday;
        int yearDay;
    } days[] = {
        {"2007-01-05", 5, 5}, {"2007-01-07", 0, 7}, {"1970-01-01", 4, 1}, {"2000-12-31", 0, 366},
        {"1899-12-31", 0, 365}, {"2024-03-01", 5, 61},
    };
    for (const auto& d : days) {
        const auto t = ParseLocalTime(d.date);
        EXPECT_EQ(t->DayOfWeek(), d.weekday) << d.date;
        EXPECT_EQ(t->DayOfYear(), d.yearDay) << d.date;
    }
}

TEST(Clock, OverrideFixesNow)
{
    const CLocalTime fixed = *ParseLocalTime("2007-01-05 13:05:09");
    SetClockOverride(&fixed);
    EXPECT_TRUE(HasClockOverride());
    EXPECT_EQ(CurrentLocalTime(), fixed);
    SetClockOverride(nullptr);
    EXPECT_FALSE(HasClockOverride());
    EXPECT_GE(CurrentLocalTime().year, 2024);
}

}  // namespace
