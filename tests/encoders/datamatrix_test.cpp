// Data Matrix symbol builder: encodation, sizes, capacity and symbols read
// back by an independent decoder.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "encoders/datamatrix.h"
#include "support/decode.h"

namespace {

std::vector<std::uint8_t> Cw(const std::vector<std::uint8_t>& d)
{
    std::vector<std::uint8_t> out;
    EXPECT_TRUE(datamatrix::Encodation(d.data(), d.size(), out));
    return out;
}

std::uint8_t R255(int v, int pos)
{
    const int t = v + (149 * pos) % 255 + 1;
    return std::uint8_t(t <= 255 ? t : t - 256);
}

TEST(DataMatrixEncodation, AsciiAndBase256Stretches)
{
    using V = std::vector<std::uint8_t>;
    struct Case { V data; V expect; };
    const Case cases[] = {
        {kvtest::Bytes("123456"), {142, 164, 186}},
        {kvtest::Bytes("A1"), {66, 50}},
        {kvtest::Bytes("12a3"), {142, 98, 52}},
        // A lone high byte takes Upper Shift; so do two in a row.
        {{'a', 0xE9, 'b'}, {98, 235, 0xE9 - 127, 99}},
        {{0xE9, 0xE9}, {235, 0x6A, 235, 0x6A}},
        // Three high bytes start Base 256, which ends before three low bytes.
        {{'a', 0xE9, 0xEA, 0xEB, 'x', 'y', 'z'},
         {98, 231, R255(3, 3), R255(0xE9, 4), R255(0xEA, 5), R255(0xEB, 6), 121, 122, 123}},
        // Fewer than three bytes left: Base 256 runs to the end.
        {{0x80, 0x81, 0x82, 'x', 'y'},
         {231, R255(5, 2), R255(0x80, 3), R255(0x81, 4), R255(0x82, 5), R255('x', 6), R255('y', 7)}},
        // Low bytes that are not three in a row stay inside Base 256.
        {{0x80, 0x81, 0x82, 'x', 0x83, 'a', 'b', 'c'},
         {231, R255(5, 2), R255(0x80, 3), R255(0x81, 4), R255(0x82, 5), R255('x', 6), R255(0x83, 7), 98, 99, 100}},
    };
    for (const Case& c : cases) EXPECT_EQ(Cw(c.data), c.expect);
}

TEST(DataMatrixEncodation, LongBase256LengthTakesTwoBytes)
{
    std::vector<std::uint8_t> d(300, 0xC8);
    const auto cw = Cw(d);
    ASSERT_EQ(cw.size(), 303u);
    EXPECT_EQ(cw[0], 231);
    EXPECT_EQ(cw[1], R255(250, 2));
    EXPECT_EQ(cw[2], R255(50, 3));
    EXPECT_EQ(cw[3], R255(0xC8, 4));
}

TEST(DataMatrixSymbol, SmallestSizeAndPadding)
{
    struct Case { std::string data; int size; };
    const Case cases[] = {
        {"123456", 10}, {"1234567", 12}, {"abcd", 12}, {std::string(44, 'x'), 26}, {std::string(45, 'x'), 32},
    };
    for (const Case& c : cases) {
        datamatrix::Symbol s;
        const auto d = kvtest::Bytes(c.data);
        ASSERT_TRUE(datamatrix::BuildSymbol(d.data(), d.size(), s)) << c.data;
        EXPECT_EQ(s.size->size, c.size) << c.data;
        EXPECT_EQ(s.matrix.width, c.size);
    }
    datamatrix::Symbol s;
    const auto d = kvtest::Bytes("AB");
    ASSERT_TRUE(datamatrix::BuildSymbol(d.data(), d.size(), s));
    // Two data codewords, pad 129, no more room.
    EXPECT_EQ(s.dataCodewords, (std::vector<std::uint8_t>{66, 67, 129}));
    const auto d2 = kvtest::Bytes("ABCD");
    ASSERT_TRUE(datamatrix::BuildSymbol(d2.data(), d2.size(), s));
    // 12 x 12 holds five: 129 and a randomised pad (position 6: 149*6 mod 253 + 1 + 129 = 254).
    EXPECT_EQ(s.dataCodewords, (std::vector<std::uint8_t>{66, 67, 68, 69, 129}));
    const auto d3 = kvtest::Bytes("ABC");
    ASSERT_TRUE(datamatrix::BuildSymbol(d3.data(), d3.size(), s));
    EXPECT_EQ(s.dataCodewords, (std::vector<std::uint8_t>{66, 67, 68}));
}

TEST(DataMatrixSymbol, CapacityLimit)
{
    datamatrix::Symbol s;
    const std::vector<std::uint8_t> fits(3116, '5'), over(3117, '5');
    ASSERT_TRUE(datamatrix::BuildSymbol(fits.data(), fits.size(), s));
    EXPECT_EQ(s.size->size, 144);
    EXPECT_FALSE(datamatrix::BuildSymbol(over.data(), over.size(), s));
    std::vector<std::uint8_t> none;
    EXPECT_FALSE(datamatrix::BuildSymbol(none.data(), 0, s));
}

TEST(DataMatrixSymbol, FinderAndClockEdges)
{
    datamatrix::Symbol s;
    const std::vector<std::uint8_t> d(300, 'q');
    ASSERT_TRUE(datamatrix::BuildSymbol(d.data(), d.size(), s));
    ASSERT_EQ(s.size->regionsPerSide, 4);
    const auto& m = s.matrix;
    const int step = s.size->regionSize + 2;
    for (int k = 0; k < m.width; ++k) {
        EXPECT_TRUE(m.Dark(0, k));
        EXPECT_TRUE(m.Dark(k, m.height - 1));
        EXPECT_EQ(m.Dark(k, 0), (k % step) % 2 == 0) << k;
        EXPECT_EQ(m.Dark(m.width - 1, k), (k % step) % 2 == 1) << k;
    }
}

TEST(DataMatrixDecode, EverySize)
{
    std::mt19937 rng(11);
    for (int i = 0; i < datamatrix::kSizeCount; ++i) {
        const auto& si = datamatrix::Sizes()[i];
        // Letters cost one codeword each; fill the size exactly.
        std::vector<std::uint8_t> d(static_cast<size_t>(si.dataCodewords));
        for (auto& b : d) b = std::uint8_t('a' + rng() % 26);
        datamatrix::Symbol s;
        ASSERT_TRUE(datamatrix::BuildSymbol(d.data(), d.size(), s));
        ASSERT_EQ(s.size->size, si.size);
        const auto r = kvtest::DecodeMatrix(s.matrix, ZXing::BarcodeFormat::DataMatrix, si.size > 100 ? 3 : 4);
        ASSERT_TRUE(r.ok) << si.size;
        EXPECT_EQ(r.bytes, d) << si.size;
    }
}

TEST(DataMatrixDecode, BinaryAndMixedData)
{
    std::vector<std::vector<std::uint8_t>> cases;
    std::vector<std::uint8_t> all(256);
    for (int i = 0; i < 256; ++i) all[i] = std::uint8_t(i);
    cases.push_back(all);
    cases.push_back(std::vector<std::uint8_t>(300, 0xC8));
    cases.push_back({'a', 0xE9, 'b', 0xE9, 0xEA, 0xEB, '1', '2', '3', 0xFF});
    std::vector<std::uint8_t> mixed;
    std::mt19937 rng(5);
    for (int i = 0; i < 600; ++i) mixed.push_back(std::uint8_t(rng() % 3 ? '0' + rng() % 10 : rng()));
    cases.push_back(mixed);
    for (const auto& d : cases) {
        datamatrix::Symbol s;
        ASSERT_TRUE(datamatrix::BuildSymbol(d.data(), d.size(), s));
        const auto r = kvtest::DecodeMatrix(s.matrix, ZXing::BarcodeFormat::DataMatrix);
        ASSERT_TRUE(r.ok) << d.size();
        EXPECT_EQ(r.bytes, d);
    }
}

}  // namespace
