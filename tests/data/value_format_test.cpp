#include <gtest/gtest.h>

#include <functional>

#include "data/value_format.h"
#include "data/variable.h"
#include "platform/codepage.h"

namespace {

struct StepCase {
    const char* what;
    std::function<void(CVariable&)> setup;
    const char* in;
    const char* out;
};

void RunCases(const std::vector<StepCase>& cases)
{
    for (const StepCase& c : cases) {
        CVariable v;
        c.setup(v);
        EXPECT_EQ(v.ApplyFormatting(c.in), c.out) << c.what << " [" << c.in << "]";
    }
}

auto Flags(int flags) { return [flags](CVariable& v) { v.m_dwFlags = flags; }; }

TEST(ValueFormat, NothingChangesWithoutFlags)
{
    CVariable v;
    EXPECT_EQ(v.ApplyFormatting("  0012.50  "), "  0012.50  ");
}

TEST(ValueFormat, Trim)
{
    RunCases({
        {"left", Flags(VF_TRIM_LEFT), " \t ab  ", "ab  "},
        {"right", Flags(VF_TRIM_RIGHT), "  ab \r\n", "  ab"},
        {"both", Flags(VF_TRIM_LEFT | VF_TRIM_RIGHT), "\v a b \f", "a b"},
        {"all blank", Flags(VF_TRIM_LEFT | VF_TRIM_RIGHT), "   ", ""},
    });
}

TEST(ValueFormat, Discard)
{
    auto left = [](int n) { return [n](CVariable& v) { v.m_dwFlags = VF_DISCARD_LEFT; v.m_nDiscardLeft = n; }; };
    auto right = [](int n) { return [n](CVariable& v) { v.m_dwFlags = VF_DISCARD_RIGHT; v.m_nDiscardRight = n; }; };
    RunCases({
        {"left 2", left(2), "ABCDEF", "CDEF"},
        {"left 0", left(0), "ABCDEF", "ABCDEF"},
        {"left all", left(6), "ABCDEF", ""},
        {"left more", left(9), "ABCDEF", ""},
        {"right 2", right(2), "ABCDEF", "ABCD"},
        {"right all", right(6), "ABCDEF", ""},
        {"right more", right(7), "ABCDEF", ""},
        {"both", [](CVariable& v) {
             v.m_dwFlags = VF_DISCARD_LEFT | VF_DISCARD_RIGHT;
             v.m_nDiscardLeft = 1;
             v.m_nDiscardRight = 1;
         },
         "[X]", "X"},
    });
}

TEST(ValueFormat, Keep)
{
    auto keep = [](int mode, int n) {
        return [mode, n](CVariable& v) {
            v.m_dwFlags = VF_KEEP;
            v.m_nKeepMode = mode;
            v.m_nKeepCount = n;
        };
    };
    RunCases({
        {"left 3", keep(0, 3), "ABCDEF", "ABC"},
        {"left more than there is", keep(0, 9), "ABC", "ABC"},
        {"right 3", keep(1, 3), "ABCDEF", "DEF"},
        {"right all", keep(1, 6), "ABCDEF", "ABCDEF"},
        {"right more", keep(1, 7), "ABCDEF", "ABCDEF"},
        {"decimal 3.14159/2", keep(2, 2), "3.14159", "3.14"},
        {"decimal rounds up", keep(2, 2), "2.675", "2.68"},
        {"decimal carry through the point", keep(2, 1), "9.99", "10.0"},
        {"decimal 0 rounds", keep(2, 0), "12.7", "13"},
        {"decimal 0 carry to new digit", keep(2, 0), "99.5", "100"},
        {"decimal 0 below one", keep(2, 0), ".5", "1"},
        {"decimal 0 no point", keep(2, 0), "42", "42"},
        {"decimal pads", keep(2, 2), "5", "5.00"},
        {"decimal pads after point", keep(2, 3), "5.1", "5.100"},
        {"decimal exact", keep(2, 2), "5.25", "5.25"},
        {"decimal empty", keep(2, 2), "", "0.00"},
        {"decimal not a number", keep(2, 2), "abc", "abc"},
        {"decimal signed is not a number", keep(2, 1), "-1.25", "-1.25"},
        {"integer cuts", keep(3, 0), "12.9", "12"},
        {"integer below one", keep(3, 0), ".5", "0"},
        {"integer plain", keep(3, 0), "77", "77"},
        {"integer empty", keep(3, 0), "", "0"},
        {"integer not a number", keep(3, 0), "1a.5", "1a.5"},
        {"unknown mode", keep(7, 2), "ABCDEF", "ABCDEF"},
    });
}

TEST(ValueFormat, MinimumAndMaximum)
{
    auto minimum = [](int n, int side, int pad) {
        return [=](CVariable& v) {
            v.m_dwFlags = VF_MIN_LENGTH;
            v.m_nMinLength = n;
            v.m_nPadSide = side;
            v.m_chPad = pad;
        };
    };
    auto maximum = [](int n, int side) {
        return [=](CVariable& v) {
            v.m_dwFlags = VF_MAX_LENGTH;
            v.m_nMaxLength = n;
            v.m_nCutSide = side;
        };
    };
    RunCases({
        {"pad left", minimum(6, 0, '0'), "42", "000042"},
        {"pad right", minimum(6, 1, '*'), "42", "42****"},
        {"pad other side", minimum(6, 2, '0'), "42", "42"},
        {"pad low byte only", minimum(4, 0, 0x100 + 'x'), "42", "xx42"},
        {"long enough", minimum(2, 0, '0'), "42", "42"},
        {"cut right", maximum(4, 0), "123456", "1234"},
        {"cut left", maximum(4, 1), "123456", "3456"},
        {"short enough", maximum(6, 1), "123456", "123456"},
        {"cut other side", maximum(4, 2), "123456", "123456"},
    });
}

TEST(ValueFormat, StepsRunInTheirOrder)
{
    // Trim, then keep 2 decimals, then pad to 8, then cut 6 from the left.
    CVariable v;
    v.m_dwFlags = VF_TRIM_LEFT | VF_TRIM_RIGHT | VF_KEEP | VF_MIN_LENGTH | VF_MAX_LENGTH;
    v.m_nKeepMode = 2;
    v.m_nKeepCount = 2;
    v.m_nMinLength = 8;
    v.m_nMaxLength = 6;
    v.m_nCutSide = 1;
    EXPECT_EQ(v.ApplyFormatting("  12.345  "), "012.35");

    // Keeping the left part can leave blanks that the second trim removes
    // before padding.
    CVariable w;
    w.m_dwFlags = VF_TRIM_RIGHT | VF_KEEP | VF_MIN_LENGTH;
    w.m_nKeepMode = 0;
    w.m_nKeepCount = 4;
    w.m_nMinLength = 4;
    w.m_nPadSide = 1;
    w.m_chPad = '*';
    EXPECT_EQ(w.ApplyFormatting("AB  CD"), "AB**");

    // Discarding comes before keeping, padding before cutting.
    CVariable x;
    x.m_dwFlags = VF_DISCARD_LEFT | VF_KEEP | VF_MIN_LENGTH | VF_MAX_LENGTH;
    x.m_nDiscardLeft = 2;
    x.m_nKeepMode = 1;
    x.m_nKeepCount = 2;
    x.m_nMinLength = 5;
    x.m_nMaxLength = 3;
    EXPECT_EQ(x.ApplyFormatting("ABCDEF"), "000");
}

class ValueFormatDoubleByte : public ::testing::Test {
protected:
    void SetUp() override { SetAnsiCodePage(936); }
    void TearDown() override { SetAnsiCodePage(1252); }
};

// "\xB0\xA1" and "\xB0\xA2" are two Chinese characters in code page 936;
// "\xA1\xA1" is its ideographic space.
TEST_F(ValueFormatDoubleByte, WholeCharactersWhereTheWalkIsByCharacter)
{
    auto with = [](std::function<void(CVariable&)> f) { return f; };
    RunCases({
        {"discard left keeps no half", with([](CVariable& v) { v.m_dwFlags = VF_DISCARD_LEFT; v.m_nDiscardLeft = 1; }),
         "\xB0\xA1" "BC", "BC"},
        {"discard left whole", with([](CVariable& v) { v.m_dwFlags = VF_DISCARD_LEFT; v.m_nDiscardLeft = 2; }),
         "\xB0\xA1" "BC", "BC"},
        {"discard left then single", with([](CVariable& v) { v.m_dwFlags = VF_DISCARD_LEFT; v.m_nDiscardLeft = 3; }),
         "\xB0\xA1" "BC", "C"},
        {"discard right counts bytes", with([](CVariable& v) { v.m_dwFlags = VF_DISCARD_RIGHT; v.m_nDiscardRight = 1; }),
         "A\xB0\xA1", "A\xB0"},
        {"keep right straddling keeps it whole",
         with([](CVariable& v) { v.m_dwFlags = VF_KEEP; v.m_nKeepMode = 1; v.m_nKeepCount = 2; }),
         "A\xB0\xA1" "B", "\xB0\xA1" "B"},
        {"keep right after it",
         with([](CVariable& v) { v.m_dwFlags = VF_KEEP; v.m_nKeepMode = 1; v.m_nKeepCount = 1; }),
         "A\xB0\xA1" "B", "B"},
        {"keep right on a boundary",
         with([](CVariable& v) { v.m_dwFlags = VF_KEEP; v.m_nKeepMode = 1; v.m_nKeepCount = 3; }),
         "A\xB0\xA1" "B", "\xB0\xA1" "B"},
        {"keep left counts bytes",
         with([](CVariable& v) { v.m_dwFlags = VF_KEEP; v.m_nKeepMode = 0; v.m_nKeepCount = 2; }),
         "A\xB0\xA1" "B", "A\xB0"},
        {"cut left on a boundary",
         with([](CVariable& v) { v.m_dwFlags = VF_MAX_LENGTH; v.m_nMaxLength = 3; v.m_nCutSide = 1; }),
         "\xB0\xA1\xB0\xA2" "B", "\xB0\xA2" "B"},
        {"cut left drops a straddling character, max-1 remain",
         with([](CVariable& v) { v.m_dwFlags = VF_MAX_LENGTH; v.m_nMaxLength = 2; v.m_nCutSide = 1; }),
         "A\xB0\xA1" "B", "B"},
        {"trim ideographic spaces",
         with([](CVariable& v) { v.m_dwFlags = VF_TRIM_LEFT | VF_TRIM_RIGHT; }),
         "\xA1\xA1 \xB0\xA1\xA1\xA1", "\xB0\xA1"},
        {"a trail byte is no space",
         with([](CVariable& v) { v.m_dwFlags = VF_TRIM_RIGHT; }),
         "\xB0\x20", "\xB0\x20"},
    });
}

}  // namespace
