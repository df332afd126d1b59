// Built-in functions for text, conversion, types, arithmetic and number
// formats, with the language's odd cases (banker's rounding, Mid past the
// end, InStr with a start, 16-bit Hex of negative Integers...).
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

TEST(VbsBuiltins, Text)
{
    CheckAll({
        {"Len(\"abc\")", "Long", "3"},
        {"Len(12.5)", "Long", "4"},
        {"Len(Empty)", "Long", "0"},
        {"Len(Null)", "Null", ""},
        {"Left(\"abcdef\", 2)", "String", "ab"},
        {"Left(\"ab\", 5)", "String", "ab"},
        {"Right(\"abcdef\", 2)", "String", "ef"},
        {"Right(\"ab\", 0)", "String", ""},
        {"Mid(\"abcdef\", 2, 3)", "String", "bcd"},
        {"Mid(\"abc\", 2)", "String", "bc"},
        {"Mid(\"abc\", 5)", "String", ""},
        {"Mid(\"abc\", 2, 10)", "String", "bc"},
        {"InStr(\"abcabc\", \"c\")", "Long", "3"},
        {"InStr(4, \"abcabc\", \"c\")", "Long", "6"},
        {"InStr(\"abc\", \"z\")", "Long", "0"},
        {"InStr(1, \"ABC\", \"b\", 1)", "Long", "2"},
        {"InStr(1, \"ABC\", \"b\", 0)", "Long", "0"},
        {"InStr(\"abc\", \"\")", "Long", "1"},
        {"InStr(5, \"abc\", \"a\")", "Long", "0"},
        {"InStr(Null, \"a\")", "Null", ""},
        {"InStrRev(\"abcabc\", \"b\")", "Long", "5"},
        {"InStrRev(\"abcabc\", \"b\", 4)", "Long", "2"},
        {"InStrRev(\"abc\", \"x\")", "Long", "0"},
        {"Replace(\"a-b-c\", \"-\", \"+\")", "String", "a+b+c"},
        {"Replace(\"a-b-c\", \"-\", \"\", 1, 1)", "String", "ab-c"},
        {"Replace(\"abcabc\", \"b\", \"X\", 3)", "String", "caXc"},
        {"Replace(\"AbAB\", \"b\", \"x\", 1, -1, 1)", "String", "AxAx"},
        {"Replace(\"abc\", \"\", \"x\")", "String", "abc"},
        {"UCase(\"abc1\")", "String", "ABC1"},
        {"LCase(\"ABC\")", "String", "abc"},
        {"Trim(\"  a b  \")", "String", "a b"},
        {"LTrim(\"  a \") & \"|\"", "String", "a |"},
        {"RTrim(\" a  \") & \"|\"", "String", " a|"},
        {"Space(3) & \"|\"", "String", "   |"},
        {"String(3, \"xy\")", "String", "xxx"},
        {"String(2, 65)", "String", "AA"},
        {"StrReverse(\"abc\")", "String", "cba"},
        {"Join(Split(\"a,b,,c\", \",\"), \"|\")", "String", "a|b||c"},
        {"UBound(Split(\"a b c\"))", "Long", "2"},
        {"UBound(Split(\"\"))", "Long", "-1"},
        {"Join(Split(\"a,b,c\", \",\", 2), \"|\")", "String", "a|b,c"},
        {"Join(Split(\"aXbxc\", \"x\", -1, 1), \"|\")", "String", "a|b|c"},
        {"Join(Array(1, 2, 3))", "String", "1 2 3"},
        {"Asc(\"A\")", "Integer", "65"},
        {"Chr(66)", "String", "B"},
        {"AscW(\"A\")", "Integer", "65"},
        {"ChrW(67)", "String", "C"},
        {"StrComp(\"a\", \"b\")", "Integer", "-1"},
        {"StrComp(\"b\", \"a\")", "Integer", "1"},
        {"StrComp(\"A\", \"a\", 1)", "Integer", "0"},
        {"StrComp(\"A\", \"a\")", "Integer", "-1"},
    });
}

TEST(VbsBuiltins, Conversion)
{
    CheckAll({
        {"CInt(2.5)", "Integer", "2"},
        {"CInt(3.5)", "Integer", "4"},
        {"CInt(-2.5)", "Integer", "-2"},
        {"CInt(\"12.5\")", "Integer", "12"},
        {"CLng(1.5)", "Long", "2"},
        {"CLng(\"1,234\")", "Long", "1234"},
        {"CDbl(\"1.5E3\")", "Double", "1500"},
        {"CDbl(\" 2 \")", "Double", "2"},
        {"CStr(1.5)", "String", "1.5"},
        {"CStr(True)", "String", "True"},
        {"CBool(\"false\")", "Boolean", "False"},
        {"CBool(0)", "Boolean", "False"},
        {"CBool(\"2\")", "Boolean", "True"},
        {"CDate(\"2024-02-29\")", "Date", "2/29/2024"},
        {"CByte(255.4)", "Byte", "255"},
        {"CCur(1.23456)", "Currency", "1.2346"},
        {"Int(-2.5)", "Double", "-3"},
        {"Fix(-2.5)", "Double", "-2"},
        {"Int(2.7)", "Double", "2"},
        {"Int(\"3.9\")", "Double", "3"},
        {"Int(7)", "Integer", "7"},
        {"Round(2.5)", "Double", "2"},
        {"Round(3.5)", "Double", "4"},
        {"Round(-2.5)", "Double", "-2"},
        {"Round(0.5)", "Double", "0"},
        {"Round(2.675, 2)", "Double", "2.68"},
        {"Round(2.665, 2)", "Double", "2.66"},
        {"Round(12345.6789, 3)", "Double", "12345.679"},
        {"Round(5)", "Integer", "5"},
        {"Abs(-3)", "Integer", "3"},
        {"Abs(-2.5)", "Double", "2.5"},
        {"Abs(CInt(-32768))", "Long", "32768"},
        {"Sgn(-0.1)", "Integer", "-1"},
        {"Sgn(0)", "Integer", "0"},
        {"Hex(255)", "String", "FF"},
        {"Hex(-1)", "String", "FFFF"},
        {"Hex(-32769)", "String", "FFFF7FFF"},
        {"Hex(65536)", "String", "10000"},
        {"Hex(2.5)", "String", "2"},
        {"Oct(8)", "String", "10"},
        {"Oct(-1)", "String", "177777"},
    });
}

TEST(VbsBuiltins, TypesAndTests)
{
    CheckAll({
        {"IsNumeric(\"12\")", "Boolean", "True"},
        {"IsNumeric(\" 12 \")", "Boolean", "True"},
        {"IsNumeric(\"1e5\")", "Boolean", "True"},
        {"IsNumeric(\"abc\")", "Boolean", "False"},
        {"IsNumeric(\"\")", "Boolean", "False"},
        {"IsNumeric(Empty)", "Boolean", "True"},
        {"IsNumeric(Null)", "Boolean", "False"},
        {"IsEmpty(Empty)", "Boolean", "True"},
        {"IsEmpty(\"\")", "Boolean", "False"},
        {"IsNull(Null)", "Boolean", "True"},
        {"IsArray(Array())", "Boolean", "True"},
        {"IsDate(\"1/1/2024\")", "Boolean", "True"},
        {"IsDate(\"2/30/2024\")", "Boolean", "False"},
        {"IsDate(\"hello\")", "Boolean", "False"},
        {"IsObject(Err)", "Boolean", "True"},
        {"TypeName(1)", "String", "Integer"},
        {"TypeName(100000)", "String", "Long"},
        {"TypeName(1.5)", "String", "Double"},
        {"TypeName(\"\")", "String", "String"},
        {"TypeName(Null)", "String", "Null"},
        {"TypeName(Empty)", "String", "Empty"},
        {"TypeName(Array())", "String", "Variant()"},
        {"TypeName(Nothing)", "String", "Nothing"},
        {"TypeName(#1/1/2024#)", "String", "Date"},
        {"TypeName(CCur(1))", "String", "Currency"},
        {"TypeName(CByte(1))", "String", "Byte"},
        {"TypeName(True)", "String", "Boolean"},
        {"VarType(1)", "Integer", "2"},
        {"VarType(\"a\")", "Integer", "8"},
        {"VarType(Array())", "Integer", "8204"},
        {"VarType(Null)", "Integer", "1"},
        {"vbCrLf = Chr(13) & Chr(10)", "Boolean", "True"},
        {"vbTextCompare + vbSaturday", "Long", "8"},
    });
}

TEST(VbsBuiltins, Mathematics)
{
    CheckAll({
        {"Sqr(16)", "Double", "4"},
        {"Exp(0)", "Double", "1"},
        {"Log(Exp(2))", "Double", "2"},
        {"Sin(0)", "Double", "0"},
        {"Cos(0)", "Double", "1"},
        {"Tan(0)", "Double", "0"},
        {"Atn(1) * 4", "Double", "3.14159265358979"},
        {"Rnd(-1)", "Double", "0.2240070104599"},
        {"Rnd(-1) = Rnd(-1)", "Boolean", "True"},
    });
    const auto o = vbstest::RunFunction(
        "Function Test()\r\nDim a, b, i, ok : ok = True\r\nRnd -1 : a = Rnd\r\nRnd -1 : b = Rnd\r\n"
        "Randomize\r\nFor i = 1 To 1000 : x = Rnd : If x < 0 Or x >= 1 Then ok = False\r\nNext\r\n"
        "Test = (a = b) And ok And Rnd(0) = x\r\nEnd Function",
        "Test");
    ASSERT_TRUE(o.ok) << o.error.description;
    EXPECT_EQ(o.text, "True");
}

TEST(VbsBuiltins, NumberFormats)
{
    CheckAll({
        {"FormatNumber(1234567.891)", "String", "1,234,567.89"},
        {"FormatNumber(0.5, 0)", "String", "1"},
        {"FormatNumber(2.675, 2)", "String", "2.68"},
        {"FormatNumber(-1234.5, 1)", "String", "-1,234.5"},
        {"FormatNumber(0.25, 2, 0)", "String", ".25"},
        {"FormatNumber(-5, 0, -2, -1)", "String", "(5)"},
        {"FormatNumber(1234, 0, -2, -2, 0)", "String", "1234"},
        {"FormatNumber(-0.001)", "String", "0.00"},
        {"FormatPercent(0.256)", "String", "25.60%"},
        {"FormatPercent(0.5, 0)", "String", "50%"},
        {"FormatCurrency(-1234.5)", "String", "($1,234.50)"},
        {"FormatCurrency(3)", "String", "$3.00"},
    });
}

TEST(VbsBuiltins, ArgumentFaults)
{
    struct Case {
        const char* code;
        long number;
    } cases[] = {
        {"Left(\"a\", -1)", 5},     {"Mid(\"a\", 0)", 5},        {"Mid(\"a\", 1, -1)", 5},  {"InStr(0, \"a\", \"a\")", 5},
        {"Space(-1)", 5},           {"String(2, \"\")", 5},      {"Asc(\"\")", 5},          {"Chr(256)", 5},
        {"ChrW(70000)", 5},         {"Sqr(-1)", 5},              {"Log(0)", 5},             {"CInt(\"x\")", 13},
        {"CLng(3000000000)", 6},    {"CByte(-1)", 6},            {"CStr(Null)", 94},        {"UBound(5)", 13},
        {"UBound(Array(1), 2)", 9}, {"Join(\"a\")", 13},         {"Round(1, -1)", 5},       {"CDate(\"hello\")", 13},
        {"Len(1, 2)", 450},         {"Exp(1000)", 6},            {"StrComp(\"a\", \"b\", 7)", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const auto o = Evaluate(c.code);
        ASSERT_FALSE(o.ok);
        EXPECT_EQ(o.error.number, c.number) << o.error.description;
    }
}

TEST(VbsBuiltins, WideCharactersGoThroughTheHostsConversion)
{
    vbs::Engine e;
    // A host whose byte strings are UTF-8.
    e.SetWideConversion(
        [](std::string_view s) {
            std::u16string w;
            for (size_t i = 0; i < s.size(); ++i) {
                const unsigned char c = (unsigned char)s[i];
                if (c < 0x80) w += char16_t(c);
                else if ((c & 0xE0) == 0xC0 && i + 1 < s.size()) w += char16_t(((c & 0x1F) << 6) | (s[++i] & 0x3F));
                else if (i + 2 < s.size()) {
                    w += char16_t(((c & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F));
                    i += 2;
                }
            }
            return w;
        },
        [](std::u16string_view w) {
            std::string s;
            for (char16_t c : w) {
                if (c < 0x80) s += char(c);
                else if (c < 0x800) s += char(0xC0 | (c >> 6)), s += char(0x80 | (c & 0x3F));
                else s += char(0xE0 | (c >> 12)), s += char(0x80 | ((c >> 6) & 0x3F)), s += char(0x80 | (c & 0x3F));
            }
            return s;
        });
    ASSERT_TRUE(e.AddCode("Function Test()\r\nTest = ChrW(8364) & \"|\" & AscW(ChrW(8364)) & \"|\" & AscW(ChrW(40000))\r\nEnd Function"));
    vbs::Value r;
    ASSERT_TRUE(e.Call("Test", {}, &r));
    EXPECT_EQ(vbs::ToText(r), "\xE2\x82\xAC|8364|-25536");

    // Letter case of the languages the program speaks, not only ASCII.
    ASSERT_TRUE(e.AddCode("Function Cases(s)\r\nCases = UCase(s) & \"|\" & LCase(s)\r\nEnd Function"));
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"Stra\xC3\x9F" "e \xC3\xA4\xC3\xB6\xC3\xBC", "STRA\xC3\x9F" "E \xC3\x84\xC3\x96\xC3\x9C|stra\xC3\x9F" "e \xC3\xA4\xC3\xB6\xC3\xBC"},
        {"\xC4\x8C\xC3\xA1p", "\xC4\x8C\xC3\x81P|\xC4\x8D\xC3\xA1p"},
        {"\xD0\x96\xD1\x91", "\xD0\x96\xD0\x81|\xD0\xB6\xD1\x91"},
        {"\xC5\x81\xC3\xB3" "d\xC5\xBA", "\xC5\x81\xC3\x93" "D\xC5\xB9|\xC5\x82\xC3\xB3" "d\xC5\xBA"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(e.Call("Cases", {vbs::Value::String(c.in)}, &r));
        EXPECT_EQ(vbs::ToText(r), c.out) << c.in;
    }
}

}  // namespace
