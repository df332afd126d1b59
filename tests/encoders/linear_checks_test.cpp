// The checks of the entries in their order, the error word and its message
// flags, the messages and their captions, and the character helpers.
#include <gtest/gtest.h>

#include "encoders/messages.h"
#include "support/barcode_test_util.h"
#include "support/kvtest.h"

namespace {

struct CheckCase {
    const char* what;
    int type;
    const char* data;
    int narrow, wide, height, rotation;
    std::uint32_t error;
    const char* message;
};

TEST(LinearChecks, FirstFailingCheckDecides)
{
    const std::string d101(101, 'A');
    const std::string d100(100, 'A');
    const std::string caret101 = "^B" + std::string(99, 'a');
    const CheckCase cases[] = {
        // Each case also breaks every later check, so only the order picks the code.
        {"type", 11, nullptr, 0, 0, 0, 45, BCE_UNSUPPORTED_TYPE, kMsgUnsupportedType},
        {"type 10", 10, "1", 2, 6, 10, 0, BCE_UNSUPPORTED_TYPE, kMsgUnsupportedType},
        {"null data", BCT_CODE39, nullptr, 0, 0, 0, 45, BCE_BAD_LENGTH, kMsgBadLength},
        {"empty", BCT_CODE39, "", 0, 0, 0, 45, BCE_BAD_LENGTH, kMsgBadLength},
        {"101 chars", BCT_CODE39, d101.c_str(), 0, 0, 0, 45, BCE_BAD_LENGTH, kMsgBadLength},
        {"caret 101", BCT_CODE128_CARET, caret101.c_str(), 2, 0, 10, 0, BCE_BAD_LENGTH, kMsgBadLength},
        {"ean13 11", BCT_EAN13, "12345678901", 0, 0, 0, 45, BCE_BAD_LENGTH, kMsgNeed13},
        {"upca 13", BCT_UPCA, "1234567890123", 2, 0, 10, 0, BCE_BAD_LENGTH, kMsgNeed12},
        {"ean8 9", BCT_EAN8, "123456789", 2, 0, 10, 0, BCE_BAD_LENGTH, kMsgNeed8},
        {"upce 6", BCT_UPCE, "123456", 2, 0, 10, 0, BCE_BAD_LENGTH, kMsgNeed8},
        {"addon2", BCT_ADDON2, "123", 2, 0, 10, 0, BCE_BAD_LENGTH, kMsgNeed2},
        {"addon5", BCT_ADDON5, "1234", 2, 0, 10, 0, BCE_BAD_LENGTH, kMsgNeed5},
        {"rotation", BCT_CODE39, "a*", 0, 0, 0, 45, BCE_BAD_ROTATION, kMsgBadRotation},
        {"module", BCT_CODE39, "a*", 0, 0, 0, 270, BCE_MODULE_TOO_SMALL, kMsgModuleTooSmall},
        {"height", BCT_CODE39, "a*", 2, 0, 0, 180, BCE_HEIGHT_TOO_SMALL, kMsgHeightTooSmall},
        {"ratio low", BCT_CODE39, "a*", 2, 3, 10, 90, BCE_BAD_RATIO, kMsgBadRatio},
        {"ratio high", BCT_CODABAR, "x", 2, 7, 10, 0, BCE_BAD_RATIO, kMsgBadRatio},
        {"star in code 39", BCT_CODE39, "A*B", 2, 4, 10, 0, BCE_ILLEGAL_CHAR, kMsgIllegalChar},
        {"letter in itf", BCT_ITF25, "12A4", 2, 4, 10, 0, BCE_ILLEGAL_CHAR, kMsgIllegalChar},
        {"8-bit in code 128", BCT_CODE128, "ab\xE9", 2, 0, 10, 0, BCE_ILLEGAL_CHAR, kMsgIllegalChar},
        {"letter in ean13", BCT_EAN13, "59012341234X", 2, 0, 10, 0, BCE_ILLEGAL_CHAR, kMsgIllegalChar},
        {"codabar first", BCT_CODABAR, "1234E", 2, 4, 10, 0, BCE_ILLEGAL_CHAR, kMsgCodabarFirst},
        {"codabar last", BCT_CODABAR, "A1234E", 2, 4, 10, 0, BCE_ILLEGAL_CHAR, kMsgCodabarLast},
        {"codabar inner", BCT_CODABAR, "A12B4A", 2, 4, 10, 0, BCE_ILLEGAL_CHAR, kMsgIllegalChar},
        {"manual one char", BCT_CODE128_CARET, "A", 2, 0, 10, 0, BCE_NO_MEMORY, kMsgNoMemory},
        {"huge module", BCT_CODE39, "ABC", 1 << 28, 3 << 28, 10, 0, BCE_NO_MEMORY, kMsgNoMemory},
        {"huge height", BCT_CODE39, "ABC", 2, 6, 1 << 30, 0, BCE_UNKNOWN, kMsgUnknown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        kvtest::CaptureMessages capture;
        std::uint32_t word = BCE_SHOW_ERRORS;
        EXPECT_FALSE(EncodeLinear(c.type, c.data, c.narrow, 0, c.wide, c.height, c.rotation, 0, 0, &word));
        EXPECT_EQ(word, c.error) << BarcodeErrorName(word);
        ASSERT_EQ(capture.messages.size(), 1u);
        EXPECT_EQ(capture.messages[0].text, c.message);
        EXPECT_EQ(capture.messages[0].style & MSG_ICONMASK, unsigned(MSG_ICONERROR));
    }
    // Wide exactly 2 x and 3 x narrow pass; 100 characters pass.
    EXPECT_TRUE(EncodeLinear(BCT_CODE39, "A", 3, 0, 6, 10, 0, 0, 0, nullptr));
    EXPECT_TRUE(EncodeLinear(BCT_CODE39, "A", 3, 0, 9, 10, 0, 0, 0, nullptr));
    EXPECT_TRUE(EncodeLinear(BCT_CODE39, d100.c_str(), 1, 0, 2, 10, 0, 0, 0, nullptr));
    // Module-based symbologies ignore wide.
    EXPECT_TRUE(EncodeLinear(BCT_CODE93, "A", 3, 0, 0, 10, 0, 0, 0, nullptr));
}

TEST(LinearChecks, CaptionsNameTheSymbology)
{
    struct Caption {
        int type;
        const char* data;
        std::string caption;
    };
    const Caption cases[] = {
        {BCT_CODE39, "", "VOVerovo.dll__CODE 39"},
        {BCT_CODE128, "", "VOVerovo.dll__CODE 128"},
        {BCT_EAN13, "", "VOVerovo.dll__EAN 13"},
        {BCT_ITF25, "", "VOVerovo.dll__ITF 25"},
        {BCT_CODE93, "", "VOVerovo.dll__Code 93"},
        {BCT_UPCA, "", "VOVerovo.dll__UPC A"},
        {BCT_EAN8, "", "VOVerovo.dll__EAN 8"},
        {BCT_UPCE, "", "VOVerovo.dll__UPC E"},
        {BCT_CODABAR, "", "VOVerovo.dll__CodaBar"},
        {BCT_CODE25, "", "VOVerovo.dll__CODE 25"},
        {BCT_MATRIX25, "", "VOVerovo.dll__Matrix 25"},
        {BCT_CODE39_ASCII, "", "VOVerovo.dll__\xC8\xAB ASCII 39"},
        {BCT_EAN128, "", "VOVerovo.dll__EAN 128"},
        {BCT_CODE128_CARET, "", "VOVerovo.dll__CODE 128"},
        {BCT_ADDON2, "", "VOVerovo.dllADDON2"},
        {BCT_ADDON5, "", "VOVerovo.dllADDON5"},
        {BCT_CHINA_POST, "", "VOVerovo.dll\xD6\xD0\xB9\xFA\xD3\xCA\xD5\xFE\xC2\xEB"},
        {0, "", "VOVerovo.dll"},
    };
    for (const auto& c : cases) {
        kvtest::CaptureMessages capture;
        std::uint32_t word = BCE_SHOW_ERRORS;
        EXPECT_FALSE(EncodeLinear(c.type, c.data, 2, 0, 6, 10, 0, 0, 0, &word));
        ASSERT_EQ(capture.messages.size(), 1u) << c.type;
        EXPECT_EQ(capture.messages[0].caption, c.caption) << c.type;
    }
    kvtest::CaptureMessages capture;
    std::uint32_t word = BCE_SHOW_ERRORS;
    EXPECT_FALSE(EncodeItf14("12A", 2, 0, 6, 10, 1, 5, 10, 0, 0, 0, &word));
    EXPECT_EQ(word, BCE_ILLEGAL_CHAR);
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_EQ(capture.messages[0].caption, "VOVerovo.dllITF 14");
}

TEST(LinearChecks, ErrorWordAndFlags)
{
    kvtest::CaptureMessages capture;
    // No word: no messages, still null.
    EXPECT_FALSE(EncodeLinear(BCT_CODE39, "A*", 2, 0, 6, 10, 0, 0, 0, nullptr));
    // A word without flags: the code, no message.
    std::uint32_t word = 0;
    EXPECT_FALSE(EncodeLinear(BCT_CODE39, "A*", 2, 0, 6, 10, 0, 0, 0, &word));
    EXPECT_EQ(word, BCE_ILLEGAL_CHAR);
    // Warnings only: the error is not shown.
    word = BCE_SHOW_WARNINGS;
    EXPECT_FALSE(EncodeLinear(BCT_CODE39, "A*", 2, 0, 6, 10, 0, 0, 0, &word));
    EXPECT_EQ(word, BCE_ILLEGAL_CHAR);
    EXPECT_TRUE(capture.messages.empty());
    // Success clears the flags from the word.
    word = BCE_SHOW_ERRORS | BCE_SHOW_WARNINGS;
    EXPECT_TRUE(EncodeLinear(BCT_CODE39, "A", 2, 0, 6, 10, 0, 0, 0, &word));
    EXPECT_EQ(word, 0u);
    CSize size(5, 5);
    word = 0;
    EXPECT_EQ(MeasureLinear(size, BCT_CODE39, "A*", 2, 0, 6, 10, 0, 0, &word), 0);
    EXPECT_EQ(size, CSize(0, 0));
    EXPECT_EQ(word, BCE_ILLEGAL_CHAR);
    EXPECT_STREQ(BarcodeErrorName(BCE_BAD_LENGTH), "BCE_BAD_LENGTH");
    EXPECT_STREQ(BarcodeErrorName(BCE_BAD_ROW_COLUMN), "BCE_BAD_ROW_COLUMN");
    EXPECT_STREQ(BarcodeErrorName(12345), "");
}

TEST(LinearChecks, EanUpcCorrectionsAndWarnings)
{
    BarBitmap twelve = EncodeLinear(BCT_EAN13, "590123412345", 2, 0, 0, 40, 0, 0, 0, nullptr);
    BarBitmap right = EncodeLinear(BCT_EAN13, "5901234123457", 2, 0, 0, 40, 0, 0, 0, nullptr);
    ASSERT_TRUE(twelve && right);
    EXPECT_TRUE(twelve->SamePixels(*right));
    {
        // A wrong check digit is replaced; the warning only with the flag.
        kvtest::CaptureMessages capture;
        std::uint32_t word = 0;
        BarBitmap wrong = EncodeLinear(BCT_EAN13, "5901234123450", 2, 0, 0, 40, 0, 0, 0, &word);
        ASSERT_TRUE(wrong);
        EXPECT_TRUE(wrong->SamePixels(*right));
        EXPECT_TRUE(capture.messages.empty());
        word = BCE_SHOW_WARNINGS;
        EXPECT_TRUE(EncodeLinear(BCT_EAN13, "5901234123450", 2, 0, 0, 40, 0, 0, 0, &word));
        EXPECT_EQ(word, 0u);  // warnings set no code
        ASSERT_EQ(capture.messages.size(), 1u);
        EXPECT_EQ(capture.messages[0].text, kMsgCheckCorrected);
        EXPECT_EQ(capture.messages[0].caption, "VOVerovo.dll__EAN 13");
        EXPECT_EQ(capture.messages[0].style & MSG_ICONMASK, unsigned(MSG_ICONWARNING));
        // The digit the entry added itself is no correction.
        capture.messages.clear();
        word = BCE_SHOW_WARNINGS;
        EXPECT_TRUE(EncodeLinear(BCT_EAN13, "590123412345", 2, 0, 0, 40, 0, 0, 0, &word));
        EXPECT_TRUE(capture.messages.empty());
    }
    {
        // UPC-E: number system forced to 0, then the check digit.
        kvtest::CaptureMessages capture;
        std::uint32_t word = BCE_SHOW_WARNINGS;
        BarBitmap one = EncodeLinear(BCT_UPCE, "11234509", 2, 0, 0, 40, 0, 0, 0, &word);
        BarBitmap zero = EncodeLinear(BCT_UPCE, "0123450", 2, 0, 0, 40, 0, 0, 0, nullptr);
        ASSERT_TRUE(one && zero);
        EXPECT_TRUE(one->SamePixels(*zero));
        ASSERT_EQ(capture.messages.size(), 2u);
        EXPECT_EQ(capture.messages[0].text, kMsgUpceSystem);
        EXPECT_EQ(capture.messages[1].text, kMsgCheckCorrected);
        EXPECT_EQ(capture.messages[0].caption, "VOVerovo.dll__UPC E");
    }
}

TEST(LinearChecks, EanAddOnSplitsByLength)
{
    CSize size;
    struct Split {
        int type, addOn;
        const char* data;
        int modules;  // 0: does not split
    };
    const Split cases[] = {
        {BCT_EAN13, 1, "59012341234512", 133}, {BCT_EAN13, 1, "590123412345712", 133},
        {BCT_EAN13, 2, "59012341234512345", 160}, {BCT_EAN13, 2, "590123412345712345", 160},
        {BCT_UPCA, 1, "0360002914512", 133}, {BCT_UPCA, 2, "03600029145212345", 160},
        {BCT_EAN8, 1, "963850712", 101}, {BCT_EAN8, 2, "9638507412345", 128},
        {BCT_UPCE, 1, "012345612", 87}, {BCT_UPCE, 2, "0123456512345", 114},
        {BCT_EAN13, 1, "5901234123451", 0}, {BCT_EAN13, 2, "59012341234512", 0}, {BCT_EAN8, 1, "12345678901", 0},
    };
    for (const auto& c : cases) {
        kvtest::CaptureMessages capture;
        std::uint32_t word = BCE_SHOW_ERRORS;
        const int ok = MeasureEanAddOn(size, c.type, c.data, c.addOn, 2, 0, 50, 0, 0, &word);
        EXPECT_EQ(ok, c.modules ? 1 : 0) << c.data;
        EXPECT_EQ(size.cx, c.modules * 2) << c.data;
        if (!c.modules) {
            EXPECT_EQ(word, 0u);  // silent
            EXPECT_TRUE(capture.messages.empty());
        }
    }
    // Composite placement along the reading direction at each rotation.
    ASSERT_TRUE(MeasureEanAddOn(size, BCT_EAN13, "59012341234512", 1, 2, 0, 50, 90, 0, nullptr));
    EXPECT_EQ(size, CSize(50, 266));
    BarBitmap r0 = EncodeEanAddOn(BCT_EAN13, "59012341234512", 1, 1, 0, 30, 0, 0, 0, nullptr);
    BarBitmap r90 = EncodeEanAddOn(BCT_EAN13, "59012341234512", 1, 1, 0, 30, 90, 0, 0, nullptr);
    ASSERT_TRUE(r0 && r90);
    EXPECT_TRUE(r0->IsBlack(113, 0));                     // add-on starts right after the main symbol
    EXPECT_TRUE(r90->IsBlack(0, 133 - 1 - 113));          // at 90 degrees it is at the top
    EXPECT_FALSE(r90->IsBlack(0, 133 - 1 - 112));
    // Add-on 0 is plain EncodeLinear.
    BarBitmap plain = EncodeEanAddOn(BCT_EAN8, "9638507", 0, 2, 0, 30, 0, 0, 0, nullptr);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->Width(), 81 * 2);
}

TEST(LinearChars, CheckCharacters)
{
    EXPECT_EQ(EanCheckChar("590123412345"), '7');
    EXPECT_EQ(EanCheckChar("9638507"), '4');
    EXPECT_EQ(EanCheckChar("03600029145"), '2');
    EXPECT_EQ(EanCheckChar("1540014128876"), '3');
    EXPECT_EQ(EanCheckChar(""), '0');
    EXPECT_EQ(EanCheckChar("12A4"), 0);
    EXPECT_EQ(Code39CheckChar("CODE39"), 'W');  // 12+24+13+14+3+9 = 75, 75 mod 43 = 32
    EXPECT_EQ(Code39CheckChar("code39"), 'W');
    EXPECT_EQ(Code39CheckChar("%%"), '+');       // 42 + 42 = 84, mod 43 = 41
    EXPECT_EQ(Code39CheckChar("A*"), 0);
    EXPECT_EQ(LuhnCheckChar("5"), '9');   // 10 -> 1
    EXPECT_EQ(LuhnCheckChar("12"), '6');  // 2 + 2
    EXPECT_EQ(LuhnCheckChar("123"), '0'); // 2 + 2 + 6
    EXPECT_EQ(LuhnCheckChar("76"), '9');  // 2*7-9 = 5, + 6 = 11
    EXPECT_EQ(LuhnCheckChar("1x"), 0);
}

TEST(LinearChars, ValidCharactersByTypeAndMode)
{
    struct V {
        int typeOrMode;
        int ch;
        int valid;
    };
    const V cases[] = {
        {BCT_CODE39, 'a', 1}, {BCT_CODE39, '%', 1}, {BCT_CODE39, '*', 0}, {BCT_CODE39, '#', 0},
        {BCT_CODE128, 1, 1}, {BCT_CODE128, 127, 1}, {BCT_CODE128, 0, 0}, {BCT_CODE128, 0xE9, 0},
        {BCT_CODE93, '~', 1}, {BCT_CODE39_ASCII, 1, 1}, {BCT_CODE128_CARET, '^', 1},
        {BCT_EAN13, '7', 1}, {BCT_EAN13, 'A', 0}, {BCT_CHINA_POST, '/', 0},
        {BCT_CODABAR, '$', 1}, {BCT_CODABAR, 'A', 0}, {BCT_CODABAR, ':', 1},
        {C128_SET_A, 1, 1}, {C128_SET_A, 95, 1}, {C128_SET_A, 96, 0},
        {C128_SET_B, 31, 0}, {C128_SET_B, 32, 1}, {C128_SET_B, 127, 1},
        {C128_SET_C, '5', 1}, {C128_SET_C, '^', 0}, {GS1_128_SET_C, '^', 1}, {GS1_128_SET_A, 95, 1},
        {GS1_128_SET_B, 'z', 1}, {120, '1', 1}, {124, 'A', 0},
        {C128_AUTO, 0xE9, 1}, {23, 'A', 1}, {11, 0xFF, 1},
        {BCT_CODE39, -23, 0},  // a signed char of the upper half
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidBarcodeChar(c.typeOrMode, c.ch), c.valid) << c.typeOrMode << " " << c.ch;
    for (int ch : {'A', 'b', 'C', 'd'}) EXPECT_EQ(IsCodabarStartStop(ch), 1);
    for (int ch : {'E', 'e', '0', '*'}) EXPECT_EQ(IsCodabarStartStop(ch), 0);
}

}  // namespace
