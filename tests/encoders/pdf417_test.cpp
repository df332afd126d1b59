// PDF417 symbol builder: compaction choices and their codeword streams, the
// automatic level, the layout rules and the error correction codewords.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "encoders/pdf417.h"
#include "support/decode.h"

namespace {

std::vector<int> Encode(const std::vector<std::uint8_t>& d)
{
    std::vector<int> out;
    EXPECT_TRUE(pdf417::HighLevelEncode(d.data(), d.size(), out));
    return out;
}

std::vector<std::uint8_t> B(const std::string& s) { return kvtest::Bytes(s); }

TEST(Pdf417Compaction, TextSubModes)
{
    struct Case { std::string data; std::vector<int> expect; };
    const Case cases[] = {
        // Upper case and space in alpha.
        {"AB CD", {30 * 0 + 1, 30 * 26 + 2, 30 * 3 + 29}},
        // Lower latch, alpha shift for each capital, mixed latch for digits.
        {"abCD1", {30 * 27 + 0, 30 * 1 + 27, 30 * 2 + 27, 30 * 3 + 28, 30 * 1 + 29}},
        // From mixed, a space latches lower; a capital latches alpha.
        {"12 aA", {30 * 28 + 1, 30 * 2 + 27, 30 * 26 + 0, 30 * 27 + 0}},
        // Punctuation is always shifted, never latched; "$" takes its mixed value.
        {"A!B$C", {30 * 0 + 29, 30 * 10 + 1, 30 * 28 + 18, 30 * 28 + 2}},
        // Twelve digits between letters stay in text.
        {"AB123456789012CD", {30 * 0 + 1, 30 * 28 + 1, 30 * 2 + 3, 30 * 4 + 5, 30 * 6 + 7, 30 * 8 + 9,
                              30 * 0 + 1, 30 * 2 + 28, 30 * 2 + 3}},
    };
    for (const Case& c : cases) EXPECT_EQ(Encode(B(c.data)), c.expect) << c.data;
}

TEST(Pdf417Compaction, NumericRuns)
{
    // 20 digits: latch 902 and one base-900 group of "1" + digits.
    const auto cw = Encode(B("12345678901234567890"));
    ASSERT_GE(cw.size(), 2u);
    EXPECT_EQ(cw[0], pdf417::kLatchNumeric);
    // Check the conversion: the codewords read back in base 900 give 1 followed by the digits.
    std::string digits;
    {
        std::vector<int> num(cw.begin() + 1, cw.end());
        std::vector<int> dec = {0};
        for (int v : num) {
            int carry = v;
            for (auto it = dec.rbegin(); it != dec.rend(); ++it) {
                const int x = *it * 900 + carry;
                *it = x % 10;
                carry = x / 10;
            }
            while (carry) {
                dec.insert(dec.begin(), carry % 10);
                carry /= 10;
            }
        }
        for (int d : dec) digits += char('0' + d);
    }
    EXPECT_EQ(digits, "112345678901234567890");
    // 13 digits after text latch numeric; text afterwards latches back with 900.
    const auto mixed = Encode(B("ABCDE1234567890123FGHIJ"));
    const std::vector<int> head = {30 * 0 + 1, 30 * 2 + 3, 30 * 4 + 29, pdf417::kLatchNumeric};
    ASSERT_GT(mixed.size(), head.size());
    EXPECT_TRUE(std::equal(head.begin(), head.end(), mixed.begin()));
    const auto latch = std::find(mixed.begin() + 4, mixed.end(), pdf417::kLatchText);
    ASSERT_NE(latch, mixed.end());
    EXPECT_EQ(std::vector<int>(latch + 1, mixed.end()), (std::vector<int>{30 * 5 + 6, 30 * 7 + 8, 30 * 9 + 29}));
}

TEST(Pdf417Compaction, ByteShiftAndLatches)
{
    std::vector<std::uint8_t> one = B("ABCDE");
    one.push_back(0x80);
    const auto tail = B("FGHIJ");
    one.insert(one.end(), tail.begin(), tail.end());
    // First run in text, 913 and the byte, second run in text with no new
    // latch (sub-mode still alpha).
    EXPECT_EQ(Encode(one), (std::vector<int>{30 * 0 + 1, 30 * 2 + 3, 30 * 4 + 29, 913, 0x80,
                                             30 * 5 + 6, 30 * 7 + 8, 30 * 9 + 29}));

    std::vector<std::uint8_t> six = B("ABCDE");
    for (int i = 0; i < 6; ++i) six.push_back(std::uint8_t(0x80 + i));
    six.insert(six.end(), tail.begin(), tail.end());
    const auto cw6 = Encode(six);
    // Latch 924, five codewords for the six bytes, then latch 900 back to text.
    ASSERT_EQ(cw6.size(), 3u + 1 + 5 + 1 + 3);
    EXPECT_EQ(cw6[3], pdf417::kLatchByte6);
    EXPECT_EQ(cw6[9], pdf417::kLatchText);

    // A short text stretch between non-text bytes is byte-encoded with them:
    // 0x80 "AB" 0x81 is a run of four, latched with 901.
    std::vector<std::uint8_t> shortText = B("ABCDE");
    for (int c : {0x80, int('A'), int('B'), 0x81}) shortText.push_back(std::uint8_t(c));
    shortText.insert(shortText.end(), tail.begin(), tail.end());
    const auto cw4 = Encode(shortText);
    EXPECT_EQ(std::vector<int>(cw4.begin() + 3, cw4.begin() + 8),
              (std::vector<int>{pdf417::kLatchByte, 0x80, 'A', 'B', 0x81}));
    EXPECT_EQ(cw4[8], pdf417::kLatchText);

    // Two bytes in text compaction are not a shift: latch 901.
    EXPECT_EQ(Encode({0x80, 0x81}), (std::vector<int>{pdf417::kLatchByte, 0x80, 0x81}));
    // Data starting with a single byte.
    EXPECT_EQ(Encode({0xFF}), (std::vector<int>{913, 0xFF}));
}

TEST(Pdf417Compaction, SixBytesBaseNine)
{
    // 256^5 * 1 = 1099511627776 = 1*900^4... check against a direct computation.
    const std::vector<std::uint8_t> d = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
    const auto cw = Encode(d);
    ASSERT_EQ(cw.size(), 6u);
    EXPECT_EQ(cw[0], pdf417::kLatchByte6);
    unsigned long long v = 0;
    for (int i = 1; i <= 5; ++i) v = v * 900 + unsigned(cw[i]);
    EXPECT_EQ(v, 0x010203040506ULL);
}

TEST(Pdf417Compaction, TooLongIsRefused)
{
    std::vector<int> out;
    std::vector<std::uint8_t> bytes(1200, 0x80);
    EXPECT_FALSE(pdf417::HighLevelEncode(bytes.data(), bytes.size(), out));
    std::vector<std::uint8_t> none;
    EXPECT_FALSE(pdf417::HighLevelEncode(none.data(), 0, out));
}

TEST(Pdf417Level, AutomaticLevel)
{
    struct Case { int t, level; };
    const Case cases[] = {{1, 0}, {29, 0}, {30, 1}, {59, 1}, {60, 2}, {119, 2}, {120, 3},
                          {239, 3}, {240, 4}, {479, 4}, {480, 5}, {900, 5}};
    for (const Case& c : cases) EXPECT_EQ(pdf417::AutoLevel(c.t), c.level) << c.t;
}

TEST(Pdf417Layout, Rules)
{
    struct Case { int n, rows, cols, module, rowHeight; bool truncated; int expRows, expCols; };
    const Case cases[] = {
        // Rows given: columns follow.
        {40, 10, 0, 1, 3, false, 10, 4},
        // Both given and big enough: as given.
        {40, 20, 5, 1, 3, false, 20, 5},
        // Both given but too small: automatic (rows 3, columns 1 for 18 codewords).
        {18, 3, 1, 1, 3, false, 18, 1},
        // Columns given: rows follow, at least 3.
        {31, 0, 30, 1, 3, false, 3, 30},
        {100, 0, 7, 1, 3, false, 15, 7},
        // Automatic: 18 codewords, module 1, row height 3: h(1) = -408 and
        // h(2) = 1814, so the nearly square one-column symbol wins.
        {18, 0, 0, 1, 3, false, 18, 1},
        // Module 2, row height 6 is the same aspect.
        {18, 0, 0, 2, 6, false, 18, 1},
        // 100 codewords: h(4) = -174, h(5) = 566; the smaller miss wins.
        {100, 0, 0, 1, 3, false, 25, 4},
        // Truncated: h(4) = -627, h(5) = 0 exactly, so five columns.
        {100, 0, 0, 1, 3, true, 20, 5},
        // More than 928 positions: 58 x 16.
        {900, 90, 30, 1, 3, false, 58, 16},
        // Layouts beyond the limits are brought back within them.
        {300, 3, 0, 1, 3, false, 10, 30},
        {200, 0, 1, 1, 3, false, 90, 3},
        {800, 0, 0, 1, 1, false, 90, 9},
    };
    for (const Case& c : cases) {
        const auto l = pdf417::ChooseLayout(c.n, c.rows, c.cols, c.module, c.rowHeight, c.truncated);
        EXPECT_EQ(l.rows, c.expRows) << c.n << " " << c.rows << "x" << c.cols;
        EXPECT_EQ(l.columns, c.expCols) << c.n << " " << c.rows << "x" << c.cols;
        EXPECT_GE(l.rows, 3);
        EXPECT_LE(l.rows, 90);
        EXPECT_GE(l.columns, 1);
        EXPECT_LE(l.columns, 30);
        EXPECT_GE(l.rows * l.columns, c.n);
    }
}

TEST(Pdf417ErrorCorrection, CodewordPolynomialHasTheGeneratorRoots)
{
    const std::vector<int> data = {5, 453, 178, 121, 239, 900, 900};
    for (int level = 0; level <= 8; ++level) {
        std::vector<int> all = data;
        const auto ec = pdf417::ErrorCorrection(data, level);
        ASSERT_EQ(int(ec.size()), 2 << level);
        all.insert(all.end(), ec.begin(), ec.end());
        int root = 1;
        for (int i = 1; i <= int(ec.size()); ++i) {
            root = root * 3 % 929;
            long long v = 0;
            for (int c : all) v = (v * root + c) % 929;
            EXPECT_EQ(v, 0) << "level " << level << " root " << i;
        }
    }
}

TEST(Pdf417Symbol, CodewordsAndIndicators)
{
    // 30 capitals: 15 text codewords and the descriptor, level 0.
    const std::vector<std::uint8_t> d(30, 'Q');
    pdf417::Request req;
    pdf417::Symbol s;
    pdf417::BuildSymbol(d.data(), d.size(), req, s);
    ASSERT_TRUE(s.layoutKnown);
    EXPECT_EQ(s.level, 0);
    EXPECT_EQ(s.rows * s.columns, int(s.codewords.size()));
    EXPECT_EQ(s.codewords[0], s.rows * s.columns - 2);
    EXPECT_EQ(s.codewords[1], 30 * 16 + 16);
    for (int i = 16; i < s.rows * s.columns - 2; ++i) EXPECT_EQ(s.codewords[size_t(i)], 900);

    struct Ind { int row, rows, cols, level, left, right; };
    const Ind ind[] = {
        {0, 10, 4, 2, 3, 3},  {1, 10, 4, 2, 6, 3},  {2, 10, 4, 2, 3, 6},
        {3, 10, 4, 2, 33, 33}, {7, 10, 4, 2, 66, 63}, {9, 10, 4, 2, 93, 93},
    };
    for (const Ind& c : ind) {
        EXPECT_EQ(pdf417::LeftRowIndicator(c.row, c.rows, c.cols, c.level), c.left) << c.row;
        EXPECT_EQ(pdf417::RightRowIndicator(c.row, c.rows, c.cols, c.level), c.right) << c.row;
    }
}

TEST(Pdf417Symbol, LimitsOfTheCodewordCount)
{
    pdf417::Request req;
    pdf417::Symbol s;
    // 1850 capitals are 925 codewords + descriptor: 926, fits only with level 0.
    const std::vector<std::uint8_t> text(1850, 'A');
    req.level = 0;
    EXPECT_NE(pdf417::BuildSymbol(text.data(), text.size(), req, s), pdf417::Status::kTooLong);
    req.level = 1;
    EXPECT_EQ(pdf417::BuildSymbol(text.data(), text.size(), req, s), pdf417::Status::kTooLong);
    EXPECT_TRUE(s.levelKnown);
    EXPECT_FALSE(s.layoutKnown);
    // Automatic level 5 (64 codewords) for 926 data codewords overflows.
    req.level = -1;
    EXPECT_EQ(pdf417::BuildSymbol(text.data(), text.size(), req, s), pdf417::Status::kTooLong);
    EXPECT_EQ(s.level, 5);
    const std::vector<std::uint8_t> over(1852, 'A');
    req.level = 0;
    EXPECT_EQ(pdf417::BuildSymbol(over.data(), over.size(), req, s), pdf417::Status::kTooLong);
    EXPECT_FALSE(s.levelKnown);
}

}  // namespace
