#include <gtest/gtest.h>

#include "app/languages.h"
#include "data/datetime_format.h"
#include "data/variable.h"
#include "model/drawobj.h"
#include "platform/codepage.h"

namespace {

CLocalTime T(const char* text)
{
    const auto t = ParseLocalTime(text);
    EXPECT_TRUE(t.has_value()) << text;
    return t.value_or(CLocalTime{});
}

class DateTime : public ::testing::Test {
protected:
    void Fix(const char* now)
    {
        const CLocalTime t = T(now);
        SetClockOverride(&t);
    }
    void TearDown() override
    {
        SetClockOverride(nullptr);
        SetTimeLocaleLanguage(kEnglishLanguage);
        SetAnsiCodePage(1252);
    }
};

// Counts the size recalculations the variable asks of its users.
class CountingObj : public CDrawObj {
public:
    void RecalcSize() override { ++recalcs; }
    void UpdateBounds() override { ++updates; }
    int recalcs = 0;
    int updates = 0;
};

std::string DateValue(int format, int offsetDays = 0)
{
    CVariable v(VK_DATE);
    v.m_nFormat = format;
    v.m_nOffset = offsetDays * 86400;
    return v.GetValue(nullptr, nullptr);
}

std::string TimeValue(int format, int offsetSeconds = 0)
{
    CVariable v(VK_TIME);
    v.m_nFormat = format;
    v.m_nOffset = offsetSeconds;
    return v.GetValue(nullptr, nullptr);
}

TEST_F(DateTime, DateFormatsOnAFriday)
{
    Fix("2007-01-05 14:03:09");  // a Friday
    const struct {
        int format;
        const char* value;
    } cases[] = {
        {0, "2007-01-05"}, {1, "2007-01-05"}, {2, "01-05-07"}, {3, "05-01-07"},
        {4, "January 05, 2007"}, {5, "Friday, 05 January, 2007"}, {6, "05 January, 2007"},
        {7, "05-Jan-07"}, {8, "January, 07"}, {9, "Jan, 07"}, {10, "005"}, {11, "070105"},
        {12, "070100"}, {13, "01"}, {14, "1"}, {15, "January"}, {16, "Jan"}, {17, "05"},
        {18, "5"}, {19, "7"}, {20, "07"}, {21, "7"}, {22, "007"}, {23, "2007"}, {24, "5"},
        {25, "01"}, {26, "1"}, {27, "Friday"}, {28, "05.01.07"}, {29, "07-01-05"},
        {30, "07/01/05"}, {31, "05.01.2007"}, {32, "01/05/07"}, {33, "05/01/07"},
        {34, "2"},  // 1 January 2007 was a Monday
        {35, "5"},
        // Formats the table does not hold give nothing.
        {36, ""}, {40, ""}, {-1, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(DateValue(c.format), c.value) << "format " << c.format;
}

TEST_F(DateTime, WeekdaysWeeksAndYears)
{
    const struct {
        const char* now;
        int format;
        const char* value;
    } cases[] = {
        {"2007-01-07 08:00:00", 35, "7"},   // Sunday is 7
        {"2007-01-07 08:00:00", 24, "0"},   // and 0 in %w
        {"2007-01-07 08:00:00", 25, "02"},  // the first Sunday opens week 1 (shown 2)
        {"2007-01-08 08:00:00", 35, "1"},
        {"2011-01-01 08:00:00", 25, "01"},  // a Saturday before any Sunday: week 00
        {"2011-01-01 08:00:00", 34, "1"},
        {"2011-01-03 08:00:00", 34, "2"},   // the first Monday
        {"2012-12-31 08:00:00", 26, "54"},  // week 53 of a leap year that began on a Sunday
        {"2012-12-31 08:00:00", 10, "366"},
        {"2000-02-29 08:00:00", 10, "060"},
        {"2010-03-04 08:00:00", 21, "10"},
        {"2000-03-04 08:00:00", 21, "0"},
        {"1999-03-04 08:00:00", 22, "999"},
        {"2040-03-04 08:00:00", 19, "0"},
    };
    for (const auto& c : cases) {
        Fix(c.now);
        EXPECT_EQ(DateValue(c.format), c.value) << c.now << " format " << c.format;
    }
}

TEST_F(DateTime, DateOffsetsInWholeDays)
{
    const struct {
        const char* now;
        int offsetSeconds;
        const char* value;
    } cases[] = {
        {"2008-03-01 00:30:00", -86400, "2008-02-29"},  // leap year
        {"2007-03-01 00:30:00", -86400, "2007-02-28"},
        {"2000-03-01 12:00:00", -86400, "2000-02-29"},
        {"1900-03-01 12:00:00", -86400, "1900-02-28"},
        {"2007-01-31 23:59:59", 86400, "2007-02-01"},
        {"2007-12-31 23:59:59", 86400, "2008-01-01"},
        {"2007-04-30 12:00:00", 2 * 86400 + 86399, "2007-05-02"},  // part days are dropped
        {"2007-05-02 12:00:00", -(2 * 86400 + 86399), "2007-04-30"},
        {"2007-01-05 12:00:00", 9999 * 86400, "2034-05-22"},
        {"2007-01-05 12:00:00", -9999 * 86400, "1979-08-21"},
    };
    for (const auto& c : cases) {
        Fix(c.now);
        CVariable v(VK_DATE);
        v.m_nOffset = c.offsetSeconds;
        EXPECT_EQ(v.GetValue(nullptr, nullptr), c.value) << c.now << " " << c.offsetSeconds;
    }
}

TEST_F(DateTime, TimeFormatsAndOffsets)
{
    Fix("2007-01-05 13:05:09");
    const struct {
        int format;
        const char* value;
    } cases[] = {
        {0, "13:05:09"}, {1, "1:05"}, {2, "1:05:09"}, {3, "1:05:09 PM"}, {4, "13:05 PM"},
        {5, "13:05"}, {6, "1:05 PM"}, {7, "13:05:09 PM"}, {8, "01"}, {9, "1"}, {10, "13"},
        {11, "13"}, {12, "05"}, {13, "5"}, {14, "09"}, {15, "9"}, {16, "PM"}, {17, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(TimeValue(c.format), c.value) << "format " << c.format;

    Fix("2007-01-05 00:00:30");
    EXPECT_EQ(TimeValue(0, 23 * 3600 + 59 * 60), "23:59:30");
    EXPECT_EQ(TimeValue(6), "12:00 AM");  // midnight is 12 on a 12-hour clock
    EXPECT_EQ(TimeValue(0, -3600), "23:00:30");
    Fix("2007-01-05 12:00:00");
    EXPECT_EQ(TimeValue(3), "12:00:00 PM");
    EXPECT_EQ(TimeValue(5, -(23 * 3600 + 59 * 60)), "12:01");
}

TEST_F(DateTime, ListShowsDescriptionValueDoesNot)
{
    const CLocalTime t = T("2007-01-05 13:05:09");
    EXPECT_EQ(DateTimeListText(VK_DATE, 1, t), "2007-01-05 (Year-Month-Day)");
    EXPECT_EQ(DateTimeListText(VK_DATE, 0, t), "2007-01-05");
    EXPECT_EQ(DateTimeListText(VK_DATE, 25, t), "01 (Week of Year: 2 Digits)");
    EXPECT_EQ(DateTimeListText(VK_DATE, 19, t), "7 (Year: 1 Digit)");
    EXPECT_EQ(DateTimeListText(VK_TIME, 3, t), "1:05:09 PM (12 Hour Format)");
    EXPECT_EQ(GetDateTimeFormats(VK_DATE).size(), 36u);
    EXPECT_EQ(GetDateTimeFormats(VK_TIME).size(), 17u);
    EXPECT_TRUE(GetDateTimeFormats(VK_FIXED).empty());
    EXPECT_EQ(CutAtLineBreak("abc\ndef"), "abc");
    EXPECT_EQ(CutAtLineBreak("\nabc"), "\nabc");  // a break at the start is kept
}

TEST_F(DateTime, NewVariablesStartWithNowInFormatZero)
{
    Fix("2007-01-05 13:05:09");
    CVariable date(VK_DATE);
    EXPECT_EQ(date.m_strData, "2007-01-05");
    EXPECT_EQ(date.m_nFormat, 0);
    EXPECT_EQ(date.m_nOffset, 0);
    CVariable time(VK_TIME);
    EXPECT_EQ(time.m_strData, "13:05:09");
    for (int kind : {VK_FIXED, VK_SERIAL, VK_DATABASE, VK_KEYBOARD, VK_SCRIPT}) {
        CVariable v(kind);
        EXPECT_EQ(v.m_nKind, kind);
        EXPECT_EQ(v.m_strData, "12345678");
        EXPECT_EQ(v.m_strPrompt, "Input:");
        EXPECT_EQ(v.m_nRepeat, 1);
    }
}

TEST_F(DateTime, EvaluationKeepsTheStoredValueAndResizesUsersOnChange)
{
    Fix("2007-01-05 13:05:09");
    CVariable v(VK_TIME);
    CountingObj a, b;
    a.AddVariable(&v);
    b.AddVariable(&v);
    EXPECT_EQ(a.GetText(), "13:05:09");
    EXPECT_EQ(a.recalcs + b.recalcs, 0);  // unchanged: nobody resizes

    Fix("2007-01-05 13:05:10");
    CLabelPos pos;
    EXPECT_EQ(b.GetLabelText(&pos), "13:05:10");
    EXPECT_EQ(v.m_strData, "13:05:10");
    EXPECT_EQ(a.recalcs, 1);
    EXPECT_EQ(b.recalcs, 1);

    // The display value evaluates too and is formatted.
    Fix("2007-01-05 13:05:11");
    v.m_dwFlags = VF_KEEP;
    v.m_nKeepMode = 1;
    v.m_nKeepCount = 2;
    EXPECT_EQ(v.GetDisplayValue(nullptr), "11");
    EXPECT_EQ(v.m_strData, "13:05:11");
    v.m_users.clear();
    a.m_variables.clear();
    b.m_variables.clear();
}

TEST_F(DateTime, NamesFollowTheInterfaceLanguage)
{
    Fix("2007-01-05 13:05:09");
    SetTimeLocaleLanguage(4);  // German
    EXPECT_EQ(DateValue(15), "Januar");
    EXPECT_EQ(DateValue(27), "Freitag");
    SetTimeLocaleLanguage(6);  // French
    EXPECT_EQ(DateValue(15), "janvier");
    SetTimeLocaleLanguage(0);  // Chinese Simplified, in its own code page
    SetAnsiCodePage(936);
    EXPECT_EQ(AnsiToUtf8(DateValue(15)), "\u4E00\u6708");
    SetTimeLocaleLanguage(kEnglishLanguage);
    SetAnsiCodePage(1252);
    EXPECT_EQ(DateValue(15), "January");
}

TEST(Languages, RecordsAndLocales)
{
    EXPECT_STREQ(GetLanguageRecord(2).code, "eng");
    EXPECT_EQ(GetLanguageRecord(2).nameId, 14112);
    EXPECT_STREQ(GetLanguageRecord(9).library, "KvResIta.dll");
    EXPECT_STREQ(GetLanguageRecord(-1).code, "chs");  // outside 0..9: the first record
    EXPECT_STREQ(GetLanguageRecord(10).code, "chs");
    const struct {
        const char* code;
        QLocale::Language language;
    } cases[] = {
        {"chs", QLocale::Chinese}, {"cht", QLocale::Chinese}, {"eng", QLocale::English},
        {"rus", QLocale::Russian}, {"deu", QLocale::German},  {"esp", QLocale::Spanish},
        {"fra", QLocale::French},  {"csy", QLocale::Czech},   {"hun", QLocale::Hungarian},
        {"ita", QLocale::Italian}, {"xyz", QLocale::English}, {"", QLocale::English},
    };
    for (const auto& c : cases) EXPECT_EQ(LocaleForLanguageCode(c.code).language(), c.language) << c.code;
    EXPECT_EQ(LocaleForLanguageCode("cht").script(), QLocale::TraditionalChineseScript);
}

}  // namespace
