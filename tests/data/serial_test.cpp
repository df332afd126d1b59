#include <gtest/gtest.h>

#include "data/serial.h"
#include "data/variable.h"

namespace {

constexpr int kRecord = 0;
constexpr int kLabel = 1;

struct SerialCase {
    const char* what;
    const char* start;
    int type;
    const char* custom;
    int step;
    int repeat;
    int basis;
    bool reset;
    CLabelPos pos;
    const char* expected;
};

CLabelPos At(int label, int record = 0, int copy = 0)
{
    CLabelPos p;
    p.m_nLabel = label;
    p.m_nRecord = record;
    p.m_nCopy = copy;
    return p;
}

TEST(Serial, ValuesForLabelPositions)
{
    const SerialCase cases[] = {
        // Counting by label number, repeat 1 and 2.
        {"label 0", "0001", ST_NUMERIC, "", 1, 1, kLabel, false, At(0), "0001"},
        {"label 1", "0001", ST_NUMERIC, "", 1, 1, kLabel, false, At(1), "0002"},
        {"label 2", "0001", ST_NUMERIC, "", 1, 1, kLabel, false, At(2), "0003"},
        {"repeat 2, label 1", "0001", ST_NUMERIC, "", 1, 2, kLabel, false, At(1), "0001"},
        {"repeat 2, label 2", "0001", ST_NUMERIC, "", 1, 2, kLabel, false, At(2), "0002"},
        {"repeat 2, label 3", "0001", ST_NUMERIC, "", 1, 2, kLabel, false, At(3), "0002"},
        {"repeat 0 counts as 1", "0001", ST_NUMERIC, "", 1, 0, kLabel, false, At(3), "0004"},
        // Counting by record: the copies of a record share the value.
        {"record 0 copy 2", "0001", ST_NUMERIC, "", 1, 1, kRecord, false, At(2, 0, 2), "0001"},
        {"record 1 copy 0", "0001", ST_NUMERIC, "", 1, 1, kRecord, false, At(3, 1, 0), "0002"},
        {"record 1 copy 2", "0001", ST_NUMERIC, "", 1, 1, kRecord, false, At(5, 1, 2), "0002"},
        {"record 3 step 5", "0001", ST_NUMERIC, "", 5, 1, kRecord, false, At(9, 3, 0), "0016"},
        // Counting by label with the reset: every record starts again.
        {"reset r0 c0", "0001", ST_NUMERIC, "", 1, 1, kLabel, true, At(0, 0, 0), "0001"},
        {"reset r0 c1", "0001", ST_NUMERIC, "", 1, 1, kLabel, true, At(1, 0, 1), "0002"},
        {"reset r1 c0", "0001", ST_NUMERIC, "", 1, 1, kLabel, true, At(2, 1, 0), "0001"},
        {"reset r1 c1", "0001", ST_NUMERIC, "", 1, 1, kLabel, true, At(3, 1, 1), "0002"},
        {"reset ignored by record basis", "0001", ST_NUMERIC, "", 1, 1, kRecord, true, At(3, 1, 1), "0002"},
        // Carries: growth without a prefix, wrap behind one.
        {"prefix wraps", "AB-99", ST_NUMERIC, "", 1, 1, kLabel, false, At(1), "AB-00"},
        {"no prefix grows", "99", ST_NUMERIC, "", 1, 1, kLabel, false, At(1), "100"},
        {"leading zeros are digits", "0009", ST_NUMERIC, "", 1, 1, kLabel, false, At(1), "0010"},
        {"big jump grows", "0000", ST_NUMERIC, "", 1, 1, kLabel, false, At(12345), "12345"},
        {"big jump behind prefix", "X000", ST_NUMERIC, "", 1, 1, kLabel, false, At(12345), "X345"},
        {"letters grow", "ZZ", ST_LETTERS, "", 1, 1, kLabel, false, At(1), "BAA"},
        {"letters behind digits", "12-AZ", ST_LETTERS, "", 1, 1, kLabel, false, At(1), "12-BA"},
        {"letters wrap behind digits", "12-ZZ", ST_LETTERS, "", 1, 1, kLabel, false, At(1), "12-AA"},
        {"lower case is no letter digit", "az", ST_LETTERS, "", 1, 1, kLabel, false, At(5), "az"},
        {"alphanumeric carry", "0Z", ST_ALPHANUMERIC, "", 1, 1, kLabel, false, At(1), "10"},
        {"alphanumeric grows", "ZZ", ST_ALPHANUMERIC, "", 1, 1, kLabel, false, At(1), "100"},
        {"hexadecimal carry", "00FF", ST_HEXADECIMAL, "", 1, 1, kLabel, false, At(1), "0100"},
        {"lower-case hex never changes", "00ff", ST_HEXADECIMAL, "", 1, 1, kLabel, false, At(7), "00ff"},
        // Custom alphabets: the new leading digit is the alphabet's second.
        {"custom +1", "XY", ST_CUSTOM, "XY", 1, 1, kLabel, false, At(1), "YX"},
        {"custom +2", "XY", ST_CUSTOM, "XY", 1, 1, kLabel, false, At(2), "YY"},
        {"custom +3", "XY", ST_CUSTOM, "XY", 1, 1, kLabel, false, At(3), "YXX"},
        {"custom, all of it counter", "BAB", ST_CUSTOM, "AB", 1, 1, kLabel, false, At(1), "BBA"},
        {"custom symbols", "#-**", ST_CUSTOM, "*+", 1, 1, kLabel, false, At(3), "#-++"},
        {"empty custom alphabet never changes", "123", ST_CUSTOM, "", 1, 1, kLabel, false, At(9), "123"},
        {"unknown type never changes", "123", 9, "", 1, 1, kLabel, false, At(9), "123"},
        // No counter, nothing to count.
        {"empty value", "", ST_NUMERIC, "", 1, 1, kLabel, false, At(4), ""},
        {"last byte no digit", "12A", ST_NUMERIC, "", 1, 1, kLabel, false, At(4), "12A"},
        // Counting down keeps the width and wraps.
        {"decrement wraps", "0010", ST_NUMERIC, "", -1, 1, kLabel, false, At(11), "9999"},
        {"decrement keeps width", "100", ST_NUMERIC, "", -1, 1, kLabel, false, At(1), "099"},
        {"decrement behind prefix", "A00", ST_NUMERIC, "", -1, 1, kLabel, false, At(1), "A99"},
        {"decrement far", "0005", ST_NUMERIC, "", -1, 1, kLabel, false, At(10007), "9998"},
        {"decrement with repeat", "0010", ST_NUMERIC, "", -2, 3, kLabel, false, At(7), "0006"},
        {"decrement letters", "BA", ST_LETTERS, "", -1, 1, kLabel, false, At(1), "AZ"},
        // Negative positions count back (the undo of an advance).
        {"negative label", "0010", ST_NUMERIC, "", 1, 1, kLabel, false, At(-3), "0007"},
        {"negative record", "0010", ST_NUMERIC, "", 1, 2, kRecord, false, At(0, -5, 0), "0008"},
    };
    for (const SerialCase& c : cases) {
        CVariable v(VK_SERIAL);
        v.m_strData = c.start;
        v.m_nSerialType = c.type;
        v.m_strAlphabet = c.custom;
        v.m_nStep = c.step;
        v.m_nRepeat = c.repeat;
        v.m_nCountBasis = c.basis;
        if (c.reset) v.SetProperty(VP_RESET, "1");
        EXPECT_EQ(v.GetSerialValue(c.pos), c.expected) << c.what;
        EXPECT_EQ(v.GetValue(&c.pos, nullptr), c.expected) << c.what;
        EXPECT_EQ(v.m_strData, c.start) << c.what << ": the value does not move the start";
    }
}

TEST(Serial, AlphabetsAndPositions)
{
    CVariable v;
    const struct {
        int type;
        const char* alphabet;
    } alphabets[] = {
        {ST_NUMERIC, "0123456789"},
        {ST_LETTERS, "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        {ST_ALPHANUMERIC, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        {ST_HEXADECIMAL, "0123456789ABCDEF"},
        {-1, ""},
        {5, ""},
    };
    for (const auto& a : alphabets) {
        v.m_nSerialType = a.type;
        EXPECT_EQ(v.GetAlphabet(), a.alphabet) << a.type;
    }
    v.m_nSerialType = ST_CUSTOM;
    v.m_strAlphabet = "QXQ";
    EXPECT_EQ(v.GetAlphabet(), "QXQ");
    EXPECT_EQ(v.IndexInAlphabet('Q'), 0);  // the first occurrence
    EXPECT_EQ(v.IndexInAlphabet('X'), 1);
    EXPECT_EQ(v.IndexInAlphabet('q'), -1);
    v.m_nSerialType = ST_HEXADECIMAL;
    EXPECT_EQ(v.IndexInAlphabet('F'), 15);
    EXPECT_EQ(v.IndexInAlphabet('f'), -1);
}

TEST(Serial, CustomAlphabetCheck)
{
    EXPECT_TRUE(IsValidSerialAlphabet(""));
    EXPECT_TRUE(IsValidSerialAlphabet(" !~09AZaz"));
    EXPECT_FALSE(IsValidSerialAlphabet("ABA"));
    EXPECT_FALSE(IsValidSerialAlphabet("AB\x1F"));
    EXPECT_FALSE(IsValidSerialAlphabet("AB\x7F"));
    EXPECT_FALSE(IsValidSerialAlphabet("AB\xE9"));
}

}  // namespace
