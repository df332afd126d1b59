// The pieces of DPL records: one-character fields, the scalable font's
// size choice, Code 128 function codes, the bytes field data may not hold,
// and the Datamax system driver's private block.
#include <gtest/gtest.h>

#include <string>

#include "drivers/dpl_commands.h"
#include "encoders/linear_entries.h"
#include "platform/devmode.h"

namespace {

TEST(DplFields, MultiplierRotationAndSpeedCharacters)
{
    const struct {
        int value;
        char expected;
    } multipliers[] = {{0, '0'}, {9, '9'}, {10, 'A'}, {12, 'C'}, {35, 'Z'}, {36, 'Z'}, {-1, '0'}};
    for (const auto& c : multipliers) EXPECT_EQ(DplMultiplierChar(c.value), c.expected) << c.value;

    EXPECT_EQ(std::string({DplRotationDigit(0), DplRotationDigit(1), DplRotationDigit(2), DplRotationDigit(3)}), "1432");
    EXPECT_EQ(DplRotationDigit(5), '4');

    const struct {
        int tenths;
        char expected;
    } speeds[] = {{10, 'A'}, {15, 'B'}, {19, 'B'}, {20, 'C'}, {60, 'K'}, {0, 'A'}, {400, 'Z'}};
    for (const auto& c : speeds) EXPECT_EQ(DplSpeedLetter(c.tenths), c.expected) << c.tenths;
}

TEST(DplFields, ScalableFontSizeAndMultipliers)
{
    const struct {
        int points, widthScale;
        int size, position, widthMul, heightMul;
    } cases[] = {
        {24, 10000, 24, 7, 1, 1},   // a size of its own
        {36, 20000, 36, 9, 2, 1},   // double width from the width multiplier
        {42, 10000, 14, 5, 3, 3},   // only 14 and 6 divide 42; 14 is the larger
        {48, 10000, 48, 10, 1, 1},
        {12, 15000, 6, 1, 3, 2},    // 1.5 is reached only with the height doubled
        {16, 13000, 8, 2, 3, 2},    // no size gives 130 %: the smallest that divides
        {7, 10000, 0, 0, 7, 7},     // nothing divides 7
        {0, 10000, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.points) + " pt at " + std::to_string(c.widthScale));
        const DplScalableChoice got = DplChooseScalableSize(c.points, c.widthScale, DplScalableSizes());
        EXPECT_EQ(got.size, c.size);
        EXPECT_EQ(got.position, c.position);
        EXPECT_EQ(got.widthMul, c.widthMul);
        EXPECT_EQ(got.heightMul, c.heightMul);
    }
    // The short list of codes 5 and 8 stops at 18: 24 points is 2 x 12.
    const DplScalableChoice shortList = DplChooseScalableSize(24, 10000, DplShortScalableSizes());
    EXPECT_EQ(shortList.size, 12);
    EXPECT_EQ(shortList.position, 4);
    EXPECT_EQ(shortList.heightMul, 2);
}

TEST(DplFields, Code128FunctionCodes)
{
    const struct {
        const char* caret;
        const char* expected;
    } cases[] = {
        {"^BAB^112", "BAB&G12"},  // set B, AB, FNC1, 12 in one piece
        {"^BR&D", "BR&&D"},       // a data "&" doubled
        {"^C1234", "C1234"},
        {"^A^1^2^3^A^B^C^Sx", "A&G&B&A&F&E&D&Cx"},
        {"^Ba^^b", "Ba^b"},       // a doubled caret is one caret
        {"^Ba^Zb", "Bab"},        // an unknown code is dropped
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(DplCode128Data(c.caret), c.expected) << c.caret;
    // Automatic mode reaches the same codes through the encoder's caret string.
    EXPECT_EQ(DplCode128Data(Code128ToCaret("1234", C128_SET_C)), "C1234");
}

TEST(DplFields, BytesThatEndARecordOrStartACommand)
{
    const struct {
        std::string data;
        size_t at;
    } cases[] = {
        {"LOT 42 & ^~\"", std::string::npos},
        {std::string("A\x02L"), 1},
        {std::string("\x01#"), 0},
        {"two\rrecords", 3},
        {"line\nend", 4},
        {std::string("tab\tand\x1b", 8), std::string::npos},
    };
    for (const auto& c : cases) EXPECT_EQ(DplForbiddenByte(c.data), c.at) << c.data;
}

TEST(DplWinBlock, ReadAtTheOffsetOfTheSpecVersion)
{
    for (const WORD version : {WORD(0x400), WORD(0x401)}) {
        SCOPED_TRACE(version);
        const size_t p = version == 0x400 ? 0x4F8 : 0x564;
        std::vector<std::uint8_t> dm = MakeDevMode("dmx", 0x100, WORD(p + 0x40 - 156), version);
        dm[p + DPLW_PRINT_SPEED] = 'E';
        dm[p + DPLW_SLEW_SPEED] = 'G';
        DevModeSetDword(dm, p + DPLW_START_OFFSET, 2540);
        DevModeSetDword(dm, p + DPLW_FLAGS, 0x20461);
        DevModeSetDword(dm, p + DPLW_CUT_POSITION, DWORD(-1270));
        const DplWinBlock b = ReadDplWinBlock(CDevModeView(dm));
        EXPECT_TRUE(b.present);
        EXPECT_EQ(b.printSpeed, 'E');
        EXPECT_EQ(b.slewSpeed, 'G');
        EXPECT_EQ(b.startOffset, 2540);
        EXPECT_EQ(b.flags, 0x20461u);
        EXPECT_EQ(b.cutPosition, -1270);
    }
    // Another spec version, or a block that ends before the private values,
    // has nothing to read.
    EXPECT_FALSE(ReadDplWinBlock(CDevModeView(MakeDevMode("dmx", 0x100, 0x600, 0x300))).present);
    EXPECT_FALSE(ReadDplWinBlock(CDevModeView(MakeDevMode("dmx", 0x100, 16))).present);
    EXPECT_FALSE(ReadDplWinBlock(CDevModeView()).present);
}

}  // namespace
