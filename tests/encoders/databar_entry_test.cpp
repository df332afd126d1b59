// The GS1 DataBar entry: checks in order, heights with and without the GS1
// minimums, the data forms it takes, and symbols a decoder reads back.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "encoders/encoders.h"
#include "encoders/messages.h"
#include "support/barcode_test_util.h"
#include "support/kvtest.h"
#include "support/decode.h"

namespace {

constexpr int kHold = 1;

CSize Measure(const char* data, int module, int height, int type, int sep = 1, int hold = 0, int rotation = 0,
              int segmentsCode = 11)
{
    CSize size;
    MeasureDataBar(size, data, module, 0, height, DataBarOptions(type, sep, segmentsCode, hold), rotation, 0,
                   nullptr);
    return size;
}

TEST(DataBarEntry, ChecksInOrderWithCaption)
{
    kvtest::CaptureMessages capture;
    struct Case {
        const char* data;
        int module, height, rotation;
        std::uint32_t code;
    } cases[] = {
        {"", 0, 0, 45, BCE_BAD_LENGTH},  // length first
        {"0950110153000", 0, 0, 45, BCE_BAD_ROTATION},
        {"0950110153000", 0, 0, 90, BCE_MODULE_TOO_SMALL},
        {"0950110153000", 2, 0, 90, BCE_HEIGHT_TOO_SMALL},
        {"095011015300", 2, 50, 0, BCE_BAD_LENGTH},
        {"09501101530A0", 2, 50, 0, BCE_ILLEGAL_CHAR},
    };
    for (const auto& c : cases) {
        std::uint32_t word = BCE_SHOW_ERRORS;
        EXPECT_EQ(EncodeDataBar(c.data, c.module, 0, c.height, 0, c.rotation, 0, 0, &word), nullptr);
        EXPECT_EQ(word, c.code) << c.data;
    }
    ASSERT_EQ(capture.messages.size(), std::size(cases));
    EXPECT_EQ(capture.messages[0].caption, "VOVerovo.dllGS1 DataBar(RSS)");
    EXPECT_EQ(capture.messages[0].text, kMsgBadLength);
    std::uint32_t word = 0;
    EXPECT_EQ(EncodeDataBar(nullptr, 2, 0, 50, 0, 0, 0, 0, &word), nullptr);
    EXPECT_EQ(word, BCE_BAD_LENGTH);
    // Expanded data that is no element string.
    EXPECT_EQ(EncodeDataBar("0950110153000", 2, 0, 50, 5, 0, 0, 0, &word), nullptr);
    EXPECT_EQ(word, BCE_ILLEGAL_CHAR);
}

TEST(DataBarEntry, HeightsFollowTypeAndHold)
{
    const int X = 2;
    struct Case {
        int type, sep, hold, height, expected;
    } cases[] = {
        {0, 1, kHold, 10 * X, 33 * X},      // grows to the GS1 minimum
        {0, 1, 0, 10 * X, 10 * X},          // taken as asked
        {1, 1, kHold, 50 * X, 33 * X},      // Truncated shrinks to 33 X
        {1, 1, kHold, 5 * X, 13 * X},       // and grows to 13 X
        {2, 1, kHold, 80 * X, 13 * X},      // Stacked: exactly 13 X + (S - 1) X
        {2, 3, kHold, 80 * X, 15 * X},
        {2, 2, 0, 1, 4 * X},                // at least (S + 2) X
        {3, 1, kHold, 10 * X, 69 * X},      // Stacked Omnidirectional
        {3, 2, kHold, 10 * X, 72 * X},
        {3, 1, 0, 1, 5 * X},
        {4, 1, kHold, 1, 10 * X},           // Limited
        {5, 1, kHold, 1, 34 * X},           // Expanded
        {0, 0, 0, 1, X},                    // separator 0 is taken as 1; at least X
    };
    for (const auto& c : cases) {
        const char* data = c.type == 5 ? "(01)09501101530003(3103)000123" : "0950110153000";
        EXPECT_EQ(Measure(data, X, c.height, c.type, c.sep, c.hold).cy, c.expected)
            << "type " << c.type << " sep " << c.sep << " hold " << c.hold;
    }
    // Widths in modules; rotation turns the symbol.
    EXPECT_EQ(Measure("0950110153000", X, 100, 0).cx, 96 * X);
    EXPECT_EQ(Measure("0950110153000", X, 100, 2).cx, 50 * X);
    EXPECT_EQ(Measure("0950110153000", X, 100, 0, 1, 0, 90), CSize(100, 96 * X));
}

TEST(DataBarEntry, StackedRowsAndSeparatorBands)
{
    // Stacked Omnidirectional, hold, S = 2: top row half of h - 3 S X, bands of S X.
    BarBitmap bmp = EncodeDataBar("0950110153000", 1, 0, 100, DataBarOptions(3, 2, 0, true), 0, 0, 0, nullptr);
    ASSERT_TRUE(bmp);
    ASSERT_EQ(bmp->Height(), 100);
    const int top = (100 - 6 + 1) / 2;
    EXPECT_EQ(bctest::PixelsOfRow(*bmp, 0), bctest::PixelsOfRow(*bmp, top - 1));
    EXPECT_NE(bctest::PixelsOfRow(*bmp, top - 1), bctest::PixelsOfRow(*bmp, top));
    EXPECT_EQ(bctest::PixelsOfRow(*bmp, top), bctest::PixelsOfRow(*bmp, top + 1));  // a band of 2 rows
    EXPECT_EQ(bctest::PixelsOfRow(*bmp, top + 6), bctest::PixelsOfRow(*bmp, 99));
    // Without hold the Stacked top row is N - 7N/12 of N = h - S X.
    bmp = EncodeDataBar("0950110153000", 1, 0, 61, DataBarOptions(2, 1, 0, false), 0, 0, 0, nullptr);
    ASSERT_TRUE(bmp);
    const int n = 60, topRows = n - MulDiv(n, 7, 12);
    EXPECT_EQ(bctest::PixelsOfRow(*bmp, 0), bctest::PixelsOfRow(*bmp, topRows - 1));
    EXPECT_NE(bctest::PixelsOfRow(*bmp, topRows - 1), bctest::PixelsOfRow(*bmp, topRows));
}

TEST(DataBarEntry, SixteenCharactersSkipTheLeadingAiAndCheckDigit)
{
    BarBitmap a = EncodeDataBar("0950110153000", 2, 0, 80, 0, 0, 0, 0, nullptr);
    BarBitmap b = EncodeDataBar("0109501101530003", 2, 0, 80, 0, 0, 0, 0, nullptr);
    BarBitmap c = EncodeDataBar("09501101530003", 2, 0, 80, 0, 0, 0, 0, nullptr);  // first 13 taken
    ASSERT_TRUE(a && b && c);
    EXPECT_TRUE(a->SamePixels(*b));
    EXPECT_TRUE(a->SamePixels(*c));
}

TEST(DataBarEntry, LimitedTakesAFirstDigitAboveOneAsZero)
{
    std::uint32_t word = 0;
    BarBitmap two = EncodeDataBar("2001234567890", 2, 0, 80, 4, 0, 0, 0, &word);
    BarBitmap zero = EncodeDataBar("0001234567890", 2, 0, 80, 4, 0, 0, 0, &word);
    BarBitmap one = EncodeDataBar("1001234567890", 2, 0, 80, 4, 0, 0, 0, &word);
    ASSERT_TRUE(two && zero && one);
    EXPECT_EQ(word, 0u);
    EXPECT_EQ(two->Width(), 79 * 2);
    EXPECT_TRUE(two->SamePixels(*zero));
    EXPECT_FALSE(one->SamePixels(*zero));
}

TEST(DataBarEntry, ExpandedHasBars)
{
    BarBitmap bmp = EncodeDataBar("(01)09501101530003(3103)000123", 2, 0, 80, 5, 0, 0, 0, nullptr);
    ASSERT_TRUE(bmp);
    EXPECT_NE(bctest::PixelsOfRow(*bmp, 0).find('1'), std::string::npos);
    // Expanded Stacked with 4 segments a row: 2 bar rows and one 3-band separator.
    bmp = EncodeDataBar("(01)09501101530003(3103)000123", 2, 0, 150, DataBarOptions(6, 2, 2, false), 0, 0, 0,
                        nullptr);
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->Height(), 150);
    EXPECT_EQ(bmp->Width(), 2 * 102);  // 8 characters in 4 + 4 segments
}

TEST(DataBarEntry, DecoderReadsEveryEncodedType)
{
    struct Case {
        int options;
        const char* data;
        const char* expected;
        ZXing::BarcodeFormat format;
    } cases[] = {
        {0, "0950110153000", "09501101530003", ZXing::BarcodeFormat::DataBar},
        {DataBarOptions(1, 1, 0, true), "0109501101530003", "09501101530003", ZXing::BarcodeFormat::DataBar},
        {DataBarOptions(2, 1, 0, true), "1234567890123", "12345678901231", ZXing::BarcodeFormat::DataBar},
        {DataBarOptions(3, 2, 0, true), "2001234567890", "20012345678909", ZXing::BarcodeFormat::DataBar},
        {5, "(01)09501101530003(3103)000123", "(01)09501101530003(3103)000123",
         ZXing::BarcodeFormat::DataBarExpanded},
        {DataBarOptions(6, 1, 2, true), "(01)98898765432106(3202)012345(15)991231",
         "(01)98898765432106(3202)012345(15)991231", ZXing::BarcodeFormat::DataBarExpanded},
        {DataBarOptions(6, 3, 1, false), "(10)ABC123(21)xyz%!", "(10)ABC123(21)xyz%!",
         ZXing::BarcodeFormat::DataBarExpanded},
    };
    for (const auto& c : cases) {
        for (int rotation : {0, 90}) {
            BarBitmap bmp = EncodeDataBar(c.data, 2, 0, 200, c.options, rotation, 0, 0, nullptr);
            ASSERT_TRUE(bmp) << c.data;
            const kvtest::Decoded d = kvtest::DecodeBitmap(*bmp, c.format);
            EXPECT_TRUE(d.ok) << c.data << " options " << c.options << " rotation " << rotation;
            EXPECT_EQ(d.text, c.expected);
        }
    }
}

TEST(DataBarEntry, CommandLineWritesTheSymbol)
{
    kvtest::TempDir dir;
    const auto r = kvtest::RunKorvane({"barcode", "databar", "-d", "(01)09501101530003(3103)000123", "--databar-type",
                                       "6", "--segments", "2", "--separator", "2", "--height", "150", "--measure"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("204"), std::string::npos) << r.out;
    const auto bad = kvtest::RunKorvane({"barcode", "databar", "-d", "0950110153000", "--hold", "--databar-type",
                                         "0", "--height", "10", "--measure"});
    EXPECT_EQ(bad.status, 0) << bad.err;
    EXPECT_NE(bad.out.find("66"), std::string::npos) << bad.out;  // 33 X at module 2
}

}  // namespace
