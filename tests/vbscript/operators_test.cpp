// Operators: precedence, result types and the coercions between strings,
// numbers, dates, Booleans, Empty and Null.
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

TEST(VbsOperators, Precedence)
{
    CheckAll({
        {"2 + 3 * 4", "Integer", "14"},
        {"-2 ^ 2", "Double", "-4"},
        {"2 ^ -1", "Double", "0.5"},
        {"2 ^ 3 ^ 2", "Double", "64"},
        {"10 - 4 - 3", "Integer", "3"},
        {"7 \\ 2 * 3", "Integer", "1"},
        {"7 Mod 3 * 2", "Integer", "1"},
        {"5 + 7 Mod 3", "Integer", "6"},
        {"10 \\ 3 Mod 2", "Integer", "1"},
        {"1 + 2 & 3 + 4", "String", "37"},
        {"1 & 2 = 12", "Boolean", "True"},
        {"Not 1 = 2", "Boolean", "True"},
        {"True And False Or True", "Boolean", "True"},
        {"True Or True Xor True", "Boolean", "False"},
        {"False Eqv False Imp False", "Boolean", "False"},
        {"(2 + 3) * 4", "Integer", "20"},
        {"-(3 - 5)", "Integer", "2"},
    });
}

TEST(VbsOperators, ArithmeticTypesWidenInsteadOfOverflowing)
{
    CheckAll({
        {"32767 + 1", "Long", "32768"},
        {"32767 * 2", "Long", "65534"},
        {"CInt(-32768) - 1", "Long", "-32769"},
        {"2147483647 + 1", "Double", "2147483648"},
        {"100000 * 100000", "Double", "10000000000"},
        {"CByte(200) + CByte(50)", "Byte", "250"},
        {"CByte(200) + CByte(100)", "Integer", "300"},
        {"-CInt(-32768)", "Long", "32768"},
        {"10 / 5", "Double", "2"},
        {"10 / 4", "Double", "2.5"},
        {"1 / 3", "Double", "0.333333333333333"},
        {"0.1 + 0.2", "Double", "0.3"},
        {"CCur(1.25) * 3", "Currency", "3.75"},
    });
}

TEST(VbsOperators, IntegerDivisionAndModRoundTheirOperandsHalfToEven)
{
    CheckAll({
        {"7 \\ 2", "Integer", "3"},
        {"-7 \\ 2", "Integer", "-3"},
        {"7.5 \\ 2", "Long", "4"},
        {"6.5 \\ 1", "Long", "6"},
        {"-7 Mod 3", "Integer", "-1"},
        {"7 Mod -3", "Integer", "1"},
        {"5.5 Mod 2", "Long", "0"},
        {"\"10\" \\ 3", "Long", "3"},
    });
}

TEST(VbsOperators, StringsNumbersEmptyAndNullMeet)
{
    CheckAll({
        {"1 + \"2\"", "Double", "3"},
        {"\"1\" + \"2\"", "String", "12"},
        {"\"1\" * \"2\"", "Double", "2"},
        {"\" 1,000.5 \" + 0", "Double", "1000.5"},
        {"\"&H10\" + 0", "Double", "16"},
        {"True + True", "Integer", "-2"},
        {"Empty + Empty", "Integer", "0"},
        {"Empty + \"a\"", "String", "a"},
        {"Empty & Empty", "String", ""},
        {"Null + 1", "Null", ""},
        {"Null & \"x\"", "String", "x"},
        {"Null & Null", "Null", ""},
        {"1 & 2.5 & True", "String", "12.5True"},
        {"#1/31/2024# + 1", "Date", "2/1/2024"},
        {"#3/1/2024# - #2/1/2024#", "Double", "29"},
        {"#1/31/2024 6:00# + 0.5", "Date", "1/31/2024 6:00:00 PM"},
    });
}

TEST(VbsOperators, Comparisons)
{
    CheckAll({
        {"\"abc\" < \"abd\"", "Boolean", "True"},
        {"\"a\" < \"B\"", "Boolean", "False"},
        {"\"abc\" = \"ABC\"", "Boolean", "False"},
        {"\"10\" < \"9\"", "Boolean", "True"},
        {"10 < 9", "Boolean", "False"},
        {"\"10\" = 10", "Boolean", "True"},
        {"1 = 1.0", "Boolean", "True"},
        {"True = -1", "Boolean", "True"},
        {"Empty = 0", "Boolean", "True"},
        {"Empty = \"\"", "Boolean", "True"},
        {"Null = Null", "Null", ""},
        {"1 <> Null", "Null", ""},
        {"Nothing Is Nothing", "Boolean", "True"},
        {"#1/2/2024# > #1/1/2024#", "Boolean", "True"},
        {"3 >= 3 And 2 <= 1", "Boolean", "False"},
    });
}

TEST(VbsOperators, ANumberIsLessThanATextUnlessOneSideIsALiteral)
{
    const char* script =
        "Function Test()\r\n"
        "  Dim n, s : n = 10 : s = \"10\"\r\n"
        "  Test = (n = s) & \",\" & (n < s) & \",\" & (s = 10) & \",\" & (n = \"10\") & \",\" & (s > 9)\r\n"
        "End Function";
    const auto o = vbstest::RunFunction(script, "Test");
    ASSERT_TRUE(o.ok) << o.error.description;
    EXPECT_EQ(o.text, "False,True,True,True,True");
}

TEST(VbsOperators, LogicIsBitwiseAndBooleanBetweenBooleans)
{
    CheckAll({
        {"6 And 3", "Integer", "2"},
        {"6 Or 3", "Integer", "7"},
        {"6 Xor 3", "Integer", "5"},
        {"5 Eqv 3", "Integer", "-7"},
        {"4 Imp 1", "Integer", "-5"},
        {"Not 0", "Integer", "-1"},
        {"Not True", "Boolean", "False"},
        {"Not 65536", "Long", "-65537"},
        {"True And 3", "Integer", "3"},
        {"\"True\" And True", "Boolean", "True"},
        {"Null And False", "Boolean", "False"},
        {"Null And True", "Null", ""},
        {"Null Or True", "Boolean", "True"},
        {"Null Or False", "Null", ""},
        {"False Imp Null", "Boolean", "True"},
        {"Null Imp True", "Boolean", "True"},
        {"Not Null", "Null", ""},
    });
}

TEST(VbsOperators, Literals)
{
    CheckAll({
        {"&HFF", "Integer", "255"},
        {"&HFFFF", "Integer", "-1"},
        {"&H10000", "Long", "65536"},
        {"&HFFFFFFFF", "Long", "-1"},
        {"&HFF&", "Long", "255"},
        {"&O17", "Integer", "15"},
        {"32767", "Integer", "32767"},
        {"32768", "Long", "32768"},
        {"3000000000", "Double", "3000000000"},
        {"1E3", "Double", "1000"},
        {".5", "Double", "0.5"},
        {"1.5E-7", "Double", "1.5E-07"},
        {"1E15", "Double", "1E+15"},
        {"123456789012345", "Double", "123456789012345"},
        {"\"say \"\"hi\"\"\"", "String", "say \"hi\""},
        {"#2024-01-15#", "Date", "1/15/2024"},
        {"#15:04:05#", "Date", "3:04:05 PM"},
    });
}

TEST(VbsOperators, FailuresOfCoercion)
{
    struct Case {
        const char* code;
        long number;
    } cases[] = {
        {"\"a\" + 1", 13},    {"\"a\" * 2", 13},         {"1 / 0", 11},         {"0 / 0", 6},
        {"5 \\ 0", 11},       {"5 Mod 0", 11},           {"(-8) ^ 0.5", 5},     {"1 Is 1", 424},
        {"1E308 * 10", 6},    {"CLng(2147483647) \\ 0.4", 11}, {"Array(1) + 1", 13}, {"\"x\" < Array(1)", 13},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const auto o = Evaluate(c.code);
        ASSERT_FALSE(o.ok);
        EXPECT_EQ(o.error.number, c.number) << o.error.description;
    }
}

}  // namespace
