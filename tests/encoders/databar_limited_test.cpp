// GS1 DataBar Limited rows module for module against libzint (the decoder of
// this machine does not read Limited), over data characters of every group.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "encoders/databar.h"
#include "encoders/databar_limited.h"

#ifdef KV_HAVE_ZINT
#include <zint.h>
#endif

namespace {

constexpr long long kValues = 2013571;

std::string Digits13(long long left, long long right)
{
    std::string s = std::to_string(left * kValues + right);
    return std::string(13 - s.size(), '0') + s;
}

TEST(DataBarLimited, CharactersHaveTheirGroupsShape)
{
    // Every group's first and last value: 26 modules, at most the group's
    // widest element, and a bar of width 1 among the even elements.
    for (const auto& g : databar::kLimitedGroups)
        for (int v : {g.first, g.last}) {
            const auto w = databar::LimitedCharacterWidths(v);
            ASSERT_EQ(w.size(), 14u);
            int odd = 0, even = 0, narrowBar = 0;
            for (int i = 0; i < 14; ++i) {
                (i % 2 ? even : odd) += w[size_t(i)];
                EXPECT_LE(w[size_t(i)], i % 2 ? g.widestEven : g.widestOdd) << v;
                narrowBar += (i % 2 && w[size_t(i)] == 1);
            }
            EXPECT_EQ(odd, g.oddModules) << v;
            EXPECT_EQ(even, g.evenModules) << v;
            EXPECT_GT(narrowBar, 0) << v;
        }
    EXPECT_TRUE(databar::LimitedCharacterWidths(int(kValues)).empty());
    std::vector<std::uint8_t> row;
    EXPECT_FALSE(databar::EncodeLimitedRow("2000000000000", row));
    EXPECT_FALSE(databar::EncodeLimitedRow("000000000000", row));
    EXPECT_TRUE(databar::EncodeLimitedRow("1999999999999", row));
    EXPECT_EQ(row.size(), 79u);
}

#ifdef KV_HAVE_ZINT
std::string ZintRow(const std::string& digits)
{
    zint_symbol* s = ZBarcode_Create();
    s->symbology = BARCODE_DBAR_LTD;
    std::string row;
    if (ZBarcode_Encode(s, reinterpret_cast<const unsigned char*>(digits.data()), int(digits.size())) < 5 &&
        s->rows == 1)
        for (int c = 0; c < s->width; ++c) row += ((s->encoded_data[0][c >> 3] >> (c & 7)) & 1) ? '1' : '0';
    ZBarcode_Delete(s);
    return row;
}

TEST(DataBarLimited, SameModulesAsLibzint)
{
    // Left characters reach groups 1-3 only (the first digit is 0 or 1);
    // right characters every group, at both ends of each.
    const std::pair<long long, long long> chars[] = {
        {0, 0},           {183063, 183064},  {183064, 820063},  {820064, 1000776}, {993258, 1491021},
        {500000, 1979844}, {12345, 1979845}, {1, 1996938},      {900000, 1996939}, {77, 2013570},
        {820063, 1491020}, {4711, 1000775},
    };
    for (const auto& [left, right] : chars) {
        const std::string d = Digits13(left, right);
        std::vector<std::uint8_t> row;
        ASSERT_TRUE(databar::EncodeLimitedRow(d, row)) << d;
        std::string ours;
        for (auto m : row) ours += m ? '1' : '0';
        EXPECT_EQ(ours, ZintRow(d)) << d;
    }
    // The pattern entry with the first-digit rule applied by the caller.
    databar::Pattern p;
    ASSERT_TRUE(databar::EncodeItemPattern(databar::kLimited, "1234567890123", p));
    ASSERT_EQ(p.rows.size(), 1u);
    std::string ours;
    for (auto m : p.rows[0].modules) ours += m ? '1' : '0';
    EXPECT_EQ(ours, ZintRow("1234567890123"));
}
#endif

}  // namespace
