// Every linear symbol the test decoder can read is read back, at the four
// rotations and with both mirrors.
#include <gtest/gtest.h>

#include <functional>

#include "support/barcode_test_util.h"
#include "support/decode.h"

namespace {

using ZXing::BarcodeFormat;

struct DecodeCase {
    const char* name;
    std::function<BarBitmap(int rotation, int mirror)> encode;
    BarcodeFormat format;
    std::string expected;
    bool fullAscii39 = false;
};

BarBitmap Linear(int type, const char* data, int rotation, int mirror, int narrow = 2, int wide = 5)
{
    return EncodeLinear(type, data, narrow, 0, wide, 50, rotation, mirror, 0, nullptr);
}

std::vector<DecodeCase> Cases()
{
    auto lin = [](int type, const char* data) {
        return [type, data](int r, int m) { return Linear(type, data, r, m); };
    };
    auto c128 = [](int mode, const char* data) {
        return [mode, data](int r, int m) { return EncodeCode128(mode, data, 2, 0, 50, r, m, 0, nullptr); };
    };
    auto ean = [](int type, const char* data, int addOn) {
        return [type, data, addOn](int r, int m) { return EncodeEanAddOn(type, data, addOn, 2, 0, 80, r, m, 0, nullptr); };
    };
    return {
        {"code39", lin(BCT_CODE39, "abc-123 $/+%"), BarcodeFormat::Code39, "ABC-123 $/+%"},
        {"code39_ratio3", [](int r, int m) { return Linear(BCT_CODE39, "RATIO3", r, m, 2, 6); }, BarcodeFormat::Code39, "RATIO3"},
        {"code39ascii", lin(BCT_CODE39_ASCII, "Hello, World! [x]~"), BarcodeFormat::Code39, "Hello, World! [x]~", true},
        {"code93", lin(BCT_CODE93, "Code 93: a+b=c!"), BarcodeFormat::Code93, "Code 93: a+b=c!"},
        {"code93_digits", lin(BCT_CODE93, "TEST93"), BarcodeFormat::Code93, "TEST93"},
        {"code128_auto", lin(BCT_CODE128, "Hello 12345"), BarcodeFormat::Code128, "Hello 12345"},
        {"code128_control", lin(BCT_CODE128, "ab\tcd\x01\x02XY"), BarcodeFormat::Code128, "ab\tcd\x01\x02XY"},
        {"code128_digits", lin(BCT_CODE128, "12345678901"), BarcodeFormat::Code128, "12345678901"},
        {"code128_caret", lin(BCT_CODE128_CARET, "^Babc^C1234^A\x01^Bz"), BarcodeFormat::Code128, "abc1234\x01z"},
        {"code128_caret_literal", lin(BCT_CODE128_CARET, "^B1^^2"), BarcodeFormat::Code128, "1^2"},
        {"code128_set_a", c128(C128_SET_A, "ABC\x03"), BarcodeFormat::Code128, "ABC\x03"},
        {"code128_set_b", c128(C128_SET_B, "abc"), BarcodeFormat::Code128, "abc"},
        {"code128_set_c", c128(C128_SET_C, "123456"), BarcodeFormat::Code128, "123456"},
        {"code128_shift", c128(C128_AUTO, "ab\x01""cd"), BarcodeFormat::Code128, "ab\x01""cd"},
        {"gs1_128", c128(GS1_128_AUTO, "^10112345678901231^110ABC"), BarcodeFormat::Code128,
         "0112345678901231\x1D" "10ABC"},
        {"ean13", lin(BCT_EAN13, "590123412345"), BarcodeFormat::EAN13, "5901234123457"},
        {"upca", lin(BCT_UPCA, "03600029145"), BarcodeFormat::UPCA, "036000291452"},
        {"ean8", lin(BCT_EAN8, "9638507"), BarcodeFormat::EAN8, "96385074"},
        {"upce_0", lin(BCT_UPCE, "0123450"), BarcodeFormat::UPCE, "01234505"},
        {"upce_3", lin(BCT_UPCE, "0654323"), BarcodeFormat::UPCE, "06543236"},
        {"upce_4", lin(BCT_UPCE, "0654324"), BarcodeFormat::UPCE, "06543240"},
        {"upce_9", lin(BCT_UPCE, "0123459"), BarcodeFormat::UPCE, "01234596"},
        {"ean13_addon2", ean(BCT_EAN13, "59012341234512", 1), BarcodeFormat::EAN13, "5901234123457 12"},
        {"ean13_addon5", ean(BCT_EAN13, "590123412345712345", 2), BarcodeFormat::EAN13, "5901234123457 12345"},
        {"upca_addon5", ean(BCT_UPCA, "0360002914590000", 2), BarcodeFormat::UPCA, "036000291452 90000"},
        {"ean8_addon2", ean(BCT_EAN8, "963850799", 1), BarcodeFormat::EAN8, "96385074 99"},
        {"itf_odd", lin(BCT_ITF25, "123456789"), BarcodeFormat::ITF, "0123456789"},
        {"itf_ratio2", [](int r, int m) { return Linear(BCT_ITF25, "24681357", r, m, 2, 4); }, BarcodeFormat::ITF, "24681357"},
        {"itf14", [](int r, int m) { return EncodeItf14("15400141288763", 2, 0, 5, 60, 1, 3, 10, r, m, 0, nullptr); },
         BarcodeFormat::ITF, "15400141288763"},
        {"itf14_lines", [](int r, int m) { return EncodeItf14("15400141288763", 2, 0, 5, 60, 2, 3, 10, r, m, 0, nullptr); },
         BarcodeFormat::ITF, "15400141288763"},
        {"codabar", lin(BCT_CODABAR, "A40156B"), BarcodeFormat::Codabar, "A40156B"},
        {"codabar_lower", lin(BCT_CODABAR, "c12-$:/.+d"), BarcodeFormat::Codabar, "C12-$:/.+D"},
    };
}

TEST(LinearDecode, EveryRotationAndMirrorReadsBack)
{
    for (const auto& c : Cases()) {
        for (int rotation : {0, 90, 180, 270}) {
            for (int mirror : {0, 1, 2}) {
                SCOPED_TRACE(std::string(c.name) + " rotation " + std::to_string(rotation) + " mirror " +
                             std::to_string(mirror));
                BarBitmap bmp = c.encode(rotation, mirror);
                ASSERT_TRUE(bmp);
                const auto d = kvtest::DecodeBitmap(*bmp, c.format, 40, c.fullAscii39, true);
                EXPECT_TRUE(d.ok);
                EXPECT_EQ(d.text, c.expected);
            }
        }
    }
}

TEST(LinearDecode, SymbolsWithTextStillRead)
{
    // The human-readable band must not reach into the bars.
    BarBitmap code39 = EncodeLinear(BCT_CODE39, "TEXT39", 2, 0, 6, 80, 0, 0, BTF_CENTER, nullptr);
    ASSERT_TRUE(code39);
    EXPECT_EQ(kvtest::DecodeBitmap(*code39, BarcodeFormat::Code39).text, "TEXT39");
    BarBitmap ean = EncodeEanAddOn(BCT_EAN13, "59012341234512", 1, 2, 0, 80, 0, 0, BTF_CENTER, nullptr);
    ASSERT_TRUE(ean);
    EXPECT_EQ(kvtest::DecodeBitmap(*ean, BarcodeFormat::EAN13).text, "5901234123457 12");
}

TEST(LinearDecode, ReducedBarsStillRead)
{
    BarBitmap bmp = EncodeLinear(BCT_CODE128, "REDUCED 0042", 4, 1, 0, 40, 0, 0, 0, nullptr);
    ASSERT_TRUE(bmp);
    EXPECT_EQ(kvtest::DecodeBitmap(*bmp, BarcodeFormat::Code128).text, "REDUCED 0042");
}

}  // namespace
