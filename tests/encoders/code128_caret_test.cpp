// Code 128 caret strings: the fixed sets, manual strings, the automatic
// optimiser and GS1-128.
#include <gtest/gtest.h>

#include "support/barcode_test_util.h"
#include "support/decode.h"

namespace {

struct CaretCase {
    int mode;
    std::string data;
    std::string caret;
};

TEST(Code128Caret, ModesAndOptimiser)
{
    const std::string ctrl(1, '\x01');
    const std::vector<CaretCase> cases = {
        // Automatic optimiser.
        {C128_AUTO, "1234", "^C1234"},
        {C128_AUTO, "12345", "^B1^C2345"},
        {C128_AUTO, "12345A", "^C1234^B5A"},
        {C128_AUTO, "AB12", "^BAB12"},
        {C128_AUTO, "ab" + ctrl + "cd", "^Bab^S" + ctrl + "cd"},
        {C128_AUTO, "123", "^B123"},
        {C128_AUTO, "12" + ctrl, "^A12" + ctrl},                      // short digit run before a control
        {C128_AUTO, "AB" + ctrl, "^AAB" + ctrl},                      // shared run before a control
        {C128_AUTO, ctrl + "a", "^A" + ctrl + "^Sa"},                 // last character B-only in A
        {C128_AUTO, ctrl + "ab", "^A" + ctrl + "^Bab"},               // two B-only: switch
        {C128_AUTO, ctrl + "aB", "^A" + ctrl + "^SaB"},               // one B-only then shared: shift
        {C128_AUTO, "a" + ctrl + ctrl, "^Ba^A" + ctrl + ctrl},        // two controls in B: switch
        {C128_AUTO, "123456" + ctrl, "^C123456^A" + ctrl},
        {C128_AUTO, "1234a", "^C1234^Ba"},
        {C128_AUTO, "1234AB", "^C1234^BAB"},
        {C128_AUTO, "1234A" + ctrl, "^C1234^AA" + ctrl},
        {C128_AUTO, "12345" + ctrl, "^C1234^A5" + ctrl},
        {C128_AUTO, "A123456", "^BA^C123456"},
        {C128_AUTO, "A1234567", "^BA1^C234567"},
        {C128_AUTO, "AB^C", "^BAB^^C"},                               // a data caret is doubled
        {C128_AUTO, "1234^", "^C1234^B^^"},
        {C128_AUTO, "x", "^Bx"},
        // Fixed sets and manual strings: the data as it stands.
        {C128_SET_A, "AB^1", "^AAB^1"},
        {C128_SET_B, "ab", "^Bab"},
        {C128_SET_C, "1234", "^C1234"},
        {C128_MANUAL, "^Bab^C12", "^Bab^C12"},
        {GS1_128_MANUAL, "^C^11234", "^C^11234"},
        {GS1_128_SET_A, "AB", "^A^1AB"},
        {GS1_128_SET_B, "^1ab", "^B^1ab"},                             // the leading ^1 is already there
        {GS1_128_SET_C, "1234^11", "^C^11234^11"},
        // GS1-128 automatic.
        {GS1_128_AUTO, "^11234567890123456", "^C^11234567890123456"},
        {GS1_128_AUTO, "10ABC^121", "^B^110ABC^121"},                  // same set: no selector
        {GS1_128_AUTO, "0112345678901231^110ABC", "^C^10112345678901231^1^B10ABC"},
        {GS1_128_AUTO, "10ABC^11234", "^B^110ABC^1^C1234"},
        {GS1_128_AUTO, "1234^1", "^C^11234^1"},                        // ends in ^1
        {GS1_128_AUTO, "AB^1^1CD", "^B^1AB^1CD"},                      // empty pieces add nothing
        {999, "1234", "^C^11234"},                                     // unknown modes act as 110
    };
    for (const auto& c : cases) EXPECT_EQ(Code128ToCaret(c.data.c_str(), c.mode), c.caret) << c.mode << " " << c.data;
    EXPECT_EQ(Code128ToCaret("", C128_AUTO), "");
    EXPECT_EQ(Code128ToCaret(nullptr, GS1_128_AUTO), "");
}

TEST(Code128Caret, OptimiserOutputAlwaysEncodesTheData)
{
    // Every optimised string must parse and be at most as long as plain set B
    // for these mixes.
    const std::vector<std::string> samples = {"0", "00", "000", "0000", "00000", "A0000B", "a\x01\x02""b0000c",
                                              "~~~\x1f\x1f 1234567 ^^", "12\x01" "3456a7890"};
    for (const auto& s : samples) {
        const std::string caret = Code128ToCaret(s.c_str(), C128_AUTO);
        std::uint32_t word = 0;
        BarBitmap bmp = EncodeLinear(BCT_CODE128_CARET, caret.c_str(), 1, 0, 0, 20, 0, 0, 0, &word);
        EXPECT_TRUE(bmp) << s << " -> " << caret << " error " << std::hex << word;
        if (bmp) {
            EXPECT_EQ(kvtest::DecodeBitmap(*bmp, ZXing::BarcodeFormat::Code128).text, s);
        }
    }
}

TEST(Code128Caret, ManualStringsThatMakeNoSymbol)
{
    struct Bad {
        const char* caret;
        std::uint32_t error;
    };
    const Bad cases[] = {
        {"A", BCE_NO_MEMORY},          // shorter than two characters
        {"AB", BCE_ILLEGAL_CHAR},      // no start selector
        {"^C123", BCE_ILLEGAL_CHAR},   // odd digit left in set C
        {"^C12A", BCE_ILLEGAL_CHAR},   // letter in set C
        {"^Aab", BCE_ILLEGAL_CHAR},    // lower case needs set B or a shift
        {"^B\x01", BCE_ILLEGAL_CHAR},  // control character needs set A or a shift
        {"^C^S12", BCE_ILLEGAL_CHAR},  // no shift in set C
    };
    for (const auto& c : cases) {
        std::uint32_t word = 0;
        EXPECT_FALSE(EncodeLinear(BCT_CODE128_CARET, c.caret, 2, 0, 0, 20, 0, 0, 0, &word)) << c.caret;
        EXPECT_EQ(word, c.error) << c.caret;
    }
    // A shift makes the same characters legal; an unknown code is skipped;
    // a switch to the set in force adds nothing.
    for (const char* ok : {"^AA^Sb", "^B^S\x01", "^Bab^Zcd", "^Bab^Bcd"}) {
        std::uint32_t word = 0;
        EXPECT_TRUE(EncodeLinear(BCT_CODE128_CARET, ok, 2, 0, 0, 20, 0, 0, 0, &word)) << ok;
    }
    CSize a, b;
    ASSERT_TRUE(MeasureLinear(a, BCT_CODE128_CARET, "^Bab^Bcd", 1, 0, 0, 10, 0, 0, nullptr));
    ASSERT_TRUE(MeasureLinear(b, BCT_CODE128_CARET, "^Babcd", 1, 0, 0, 10, 0, 0, nullptr));
    EXPECT_EQ(a, b);
}

TEST(Code128Caret, EncodeCode128UsesTheMode)
{
    std::uint32_t word = BCE_SHOW_ERRORS;
    EXPECT_FALSE(EncodeCode128(C128_AUTO, "", 2, 0, 20, 0, 0, 0, &word));
    EXPECT_EQ(word, 0u);  // silent
    BarBitmap viaMode = EncodeCode128(C128_SET_C, "123456", 2, 0, 20, 0, 0, 0, nullptr);
    BarBitmap viaCaret = EncodeLinear(BCT_CODE128_CARET, "^C123456", 2, 0, 0, 20, 0, 0, 0, nullptr);
    ASSERT_TRUE(viaMode && viaCaret);
    EXPECT_TRUE(viaMode->SamePixels(*viaCaret));
    // Types 2 and 15 are the automatic optimiser's output.
    BarBitmap type2 = EncodeLinear(BCT_CODE128, "ab12345", 2, 0, 0, 20, 0, 0, 0, nullptr);
    BarBitmap type15 = EncodeLinear(BCT_EAN128, "ab12345", 2, 0, 0, 20, 0, 0, 0, nullptr);
    BarBitmap auto100 = EncodeCode128(C128_AUTO, "ab12345", 2, 0, 20, 0, 0, 0, nullptr);
    ASSERT_TRUE(type2 && type15 && auto100);
    EXPECT_TRUE(type2->SamePixels(*type15));
    EXPECT_TRUE(type2->SamePixels(*auto100));
}

}  // namespace
