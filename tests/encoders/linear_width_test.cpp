// Exact symbol widths by each symbology's formula, and the element patterns
// of the 2 of 5 codes the test decoder cannot read, against the published
// tables.
#include <gtest/gtest.h>

#include <functional>

#include "support/barcode_test_util.h"

namespace {

struct WidthCase {
    int type;
    const char* data;
    // Expected width for (narrow, wide).
    std::function<long long(int N, int W)> width;
};

TEST(LinearWidth, EveryTypeMatchesItsFormula)
{
    const std::vector<WidthCase> cases = {
        {BCT_CODE39, "ABC123", [](int N, int W) { return 3LL * W * (6 + 2) + N * (7 * 6 + 13); }},
        {BCT_CODE39, "x", [](int N, int W) { return 3LL * W * 3 + N * (7 + 13); }},
        // Full ASCII: "a" and "!" expand to pairs, "B" and "1" stay single: 6 characters.
        {BCT_CODE39_ASCII, "aB!1", [](int N, int W) { return 3LL * W * (6 + 2) + N * (7 * 6 + 13); }},
        // Code 93: "ab" maps to 4 characters, plus start = m of 5.
        {BCT_CODE93, "ab", [](int N, int) { return (9LL * 5 + 28) * N; }},
        {BCT_CODE93, "CODE93", [](int N, int) { return (9LL * 7 + 28) * N; }},
        // Code 128 automatic "1234" is ^C1234: start + 2 symbols.
        {BCT_CODE128, "1234", [](int N, int) { return (11LL * (3 + 1) + 13) * N; }},
        {BCT_EAN128, "AB12", [](int N, int) { return (11LL * (5 + 1) + 13) * N; }},
        // Caret string ^Bab^S<ctrl>cd: start, a, b, SHIFT, ctrl, c, d = 7.
        {BCT_CODE128_CARET, "^Bab^S\x01""cd", [](int N, int) { return (11LL * (7 + 1) + 13) * N; }},
        {BCT_EAN13, "590123412345", [](int N, int) { return 113LL * N; }},
        {BCT_UPCA, "03600029145", [](int N, int) { return 113LL * N; }},
        {BCT_EAN8, "9638507", [](int N, int) { return 81LL * N; }},
        {BCT_UPCE, "0123456", [](int N, int) { return 67LL * N; }},
        {BCT_ADDON2, "12", [](int N, int) { return 20LL * N; }},
        {BCT_ADDON5, "12345", [](int N, int) { return 47LL * N; }},
        // Odd length gains a leading 0: n = 4.
        {BCT_ITF25, "123", [](int N, int W) { return 1LL * W * (2 * 4 + 1) + 3LL * N * (4 + 2); }},
        {BCT_CODE25, "12345", [](int N, int W) { return 1LL * N * (8 * 5 + 7) + 2LL * W * (5 + 2); }},
        {BCT_MATRIX25, "12345", [](int N, int W) { return 1LL * N * (4 * 5 + 9) + 2LL * W * (5 + 1); }},
        {BCT_CHINA_POST, "12345", [](int N, int W) { return (4LL * 5 + 6) * N + 1LL * W * (2 * 5 + 1); }},
        // Codabar A12:B: A, ":", B have 3 wide elements, 1 and 2 have 2: w = 13.
        {BCT_CODABAR, "A12:B", [](int N, int W) { return 13LL * W + N * (8 * 5 - 13 - 1); }},
    };
    for (const auto& c : cases) {
        for (const auto& [N, W] : {std::pair{1, 2}, std::pair{2, 5}, std::pair{3, 9}}) {
            SCOPED_TRACE(std::to_string(c.type) + " " + c.data + " N=" + std::to_string(N));
            BarBitmap bmp = EncodeLinear(c.type, c.data, N, 0, W, 30, 0, 0, 0, nullptr);
            ASSERT_TRUE(bmp);
            EXPECT_EQ(bmp->Width(), c.width(N, W));
            EXPECT_EQ(bmp->Height(), 30);
            CSize size;
            EXPECT_EQ(MeasureLinear(size, c.type, c.data, N, 0, W, 30, 90, 0, nullptr), 1);
            EXPECT_EQ(size, CSize(30, int(c.width(N, W))));  // 90 degrees swaps the sides
        }
    }
}

TEST(LinearWidth, Itf14BearersAndQuietZones)
{
    const int N = 2, W = 5;
    const long long symbol = 1LL * W * (2 * 14 + 1) + 3LL * N * (14 + 2);
    CSize size;
    ASSERT_TRUE(MeasureItf14(size, "15400141288763", N, 0, W, 60, 0, 5, 10, 0, 0, nullptr));
    EXPECT_EQ(size.cx, symbol);  // no bearers, no quiet zones
    ASSERT_TRUE(MeasureItf14(size, "15400141288763", N, 0, W, 60, 1, 2, 10, 0, 0, nullptr));
    EXPECT_EQ(size.cx, symbol + 24 * N);  // 2 x (2 + 10) modules
    ASSERT_TRUE(MeasureItf14(size, "15400141288763", N, 0, W, 60, 2, 2, 10, 0, 0, nullptr));
    EXPECT_EQ(size.cx, symbol + 20 * N);

    // Rectangle: the first and last 2 x narrow rows are solid, the sides are
    // T black then Q white.
    BarBitmap bmp = EncodeItf14("15400141288763", N, 0, W, 60, 1, 2, 10, 0, 0, 0, nullptr);
    ASSERT_TRUE(bmp);
    for (int y : {0, 3, 56, 59}) EXPECT_EQ(bctest::PixelsOfRow(*bmp, y), std::string(size_t(bmp->Width()), '1')) << y;
    const std::string mid = bctest::PixelsOfRow(*bmp, 30);
    EXPECT_EQ(mid.substr(0, 24), std::string(4, '1') + std::string(20, '0'));
    EXPECT_EQ(mid.substr(mid.size() - 24), std::string(20, '0') + std::string(4, '1'));
    EXPECT_EQ(bctest::PixelsOfRow(*bmp, 4)[4 + 20], '1');  // the start bar below the bearer
}

// Published 2 of 5 digit patterns (N narrow, W wide) typed out independently.
const char* const kTwoOfFive[10] = {"NNWWN", "WNNNW", "NWNNW", "WWNNN", "NNWNW",
                                    "WNWNN", "NWWNN", "NNNWW", "WNNWN", "NWNWN"};

std::vector<int> Widths(const std::string& letters, int N, int W)
{
    std::vector<int> out;
    for (char c : letters) out.push_back(c == 'W' ? W : N);
    return out;
}

TEST(LinearPatterns, IndustrialMatrixAndChinaPostFollowThePublishedTables)
{
    const int N = 2, W = 5;
    const std::string digits = "0123456789";
    // Industrial 2 of 5: information in the bars only, every space narrow.
    {
        std::string e = "WNWNNN";  // start: wide bar, wide bar, narrow bar, each then a narrow space
        for (char d : digits)
            for (char bar : std::string(kTwoOfFive[d - '0'])) e += std::string(1, bar) + "N";
        e += "WNNNW";  // stop: wide, narrow, wide bars
        BarBitmap bmp = EncodeLinear(BCT_CODE25, digits.c_str(), N, 0, W, 10, 0, 0, 0, nullptr);
        ASSERT_TRUE(bmp);
        EXPECT_EQ(bctest::RunsOfRow(*bmp, 5), Widths(e, N, W));
    }
    // Matrix 2 of 5: start/stop WNNNN, each character followed by a narrow space.
    {
        std::string e = "WNNNNN";
        for (char d : digits) e += std::string(kTwoOfFive[d - '0']) + "N";
        e += "WNNNN";
        BarBitmap bmp = EncodeLinear(BCT_MATRIX25, digits.c_str(), N, 0, W, 10, 0, 0, 0, nullptr);
        ASSERT_TRUE(bmp);
        EXPECT_EQ(bctest::RunsOfRow(*bmp, 5), Widths(e, N, W));
    }
    // China Post: start two narrow bars with narrow spaces, stop wide bar, narrow space, narrow bar.
    {
        std::string e = "NNNN";
        for (char d : digits) e += std::string(kTwoOfFive[d - '0']) + "N";
        e += "WNN";
        BarBitmap bmp = EncodeLinear(BCT_CHINA_POST, digits.c_str(), N, 0, W, 10, 0, 0, 0, nullptr);
        ASSERT_TRUE(bmp);
        EXPECT_EQ(bctest::RunsOfRow(*bmp, 5), Widths(e, N, W));
    }
}

TEST(LinearPatterns, EveryRowOfAPlainSymbolIsTheSame)
{
    BarBitmap bmp = EncodeLinear(BCT_CODE93, "ROWS", 1, 0, 0, 17, 0, 0, 0, nullptr);
    ASSERT_TRUE(bmp);
    const std::string first = bctest::PixelsOfRow(*bmp, 0);
    EXPECT_EQ(first.front(), '1');
    EXPECT_EQ(first.back(), '1');  // termination bar, no quiet zone
    for (int y = 1; y < bmp->Height(); ++y) EXPECT_EQ(bctest::PixelsOfRow(*bmp, y), first);
    // Row padding is white.
    const std::uint8_t last = bmp->Row(0)[bmp->Stride() - 1];
    const int used = bmp->Width() % 16;
    if (used && used <= 8) {
        EXPECT_EQ(last, 0xFF);
    }
}

}  // namespace
