// PDF417 drawn: the codeword pattern table, the rows of a symbol module for
// module against libzint where the codewords leave no choice, and symbols of
// every level, size, compaction, rotation and mirror read back by zxing.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "encoders/pdf417.h"
#include "encoders/twod_entries.h"
#include "support/decode.h"

#ifdef KV_HAVE_ZINT
#include <zint.h>
#endif

namespace {

std::vector<int> Widths(std::uint32_t pattern)
{
    std::vector<int> w;
    int prev = -1;
    for (int b = 16; b >= 0; --b) {
        const int bit = int((pattern >> b) & 1);
        if (bit == prev) ++w.back();
        else w.push_back(1);
        prev = bit;
    }
    return w;
}

TEST(Pdf417Patterns, EachClusterHoldsItsOwnDistinctPatterns)
{
    std::set<std::uint32_t> all;
    for (int k = 0; k < 3; ++k) {
        std::set<std::uint32_t> seen;
        for (int cw = 0; cw < 929; ++cw) {
            const std::uint32_t p = pdf417::CodewordPattern(k, cw);
            const auto w = Widths(p);
            // Bar first, four bars and four spaces of 1 to 6 modules.
            ASSERT_EQ(p >> 16, 1u) << k << " " << cw;
            ASSERT_EQ(w.size(), 8u) << k << " " << cw;
            for (int x : w) ASSERT_LE(x, 6) << k << " " << cw;
            // The cluster number is (b1 - b2 + b3 - b4 + 9) mod 9 of the bar widths.
            EXPECT_EQ((w[0] - w[2] + w[4] - w[6] + 9) % 9, 3 * k) << k << " " << cw;
            seen.insert(p);
            all.insert(p);
        }
        EXPECT_EQ(seen.size(), 929u);
    }
    EXPECT_EQ(all.size(), 3u * 929u);
    // Start 81111113 and stop 711311121.
    EXPECT_EQ(Widths(pdf417::kStartPattern), (std::vector<int>{8, 1, 1, 1, 1, 1, 1, 3}));
    std::vector<int> stop;
    for (int b = 17, prev = -1; b >= 0; --b) {
        const int bit = int((pdf417::kStopPattern >> b) & 1);
        if (bit == prev) ++stop.back();
        else stop.push_back(1);
        prev = bit;
    }
    EXPECT_EQ(stop, (std::vector<int>{7, 1, 1, 3, 1, 1, 1, 2, 1}));
}

const std::uint8_t* U(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

std::string Binary(int n, int seed)
{
    std::string s;
    for (int i = 0; i < n; ++i) s += char((i * 37 + seed * 11 + (i * i) % 7) & 0xFF);
    return s;
}

TEST(Pdf417Draw, BitmapIsTheModuleRowsScaled)
{
    const std::string d = "PDF417 drawing 0123456789";
    for (int truncated : {0, 1}) {
        pdf417::Request req;
        req.columns = 4;
        req.level = 3;
        req.truncated = truncated != 0;
        pdf417::Symbol sym;
        ASSERT_EQ(pdf417::BuildSymbol(U(d), d.size(), req, sym), pdf417::Status::kOk);
        ASSERT_EQ(sym.matrix.width, truncated ? 35 + 17 * 4 : 69 + 17 * 4);
        ASSERT_EQ(sym.matrix.height, sym.rows);
        auto bmp = EncodePdf417(d.data(), int(d.size()), 0, 4, 3, 0, 0, 3, 7, truncated, 0, nullptr);
        ASSERT_TRUE(bmp);
        ASSERT_EQ(bmp->Width(), 3 * sym.matrix.width);
        ASSERT_EQ(bmp->Height(), 7 * sym.rows);
        for (int y = 0; y < bmp->Height(); ++y)
            for (int x = 0; x < bmp->Width(); ++x)
                ASSERT_EQ(bmp->IsBlack(x, y), sym.matrix.Dark(x / 3, y / 7)) << x << "," << y;
        for (int r = 0; r < sym.rows; ++r) {
            // Every row: start, left indicator of its cluster, ..., and the
            // stop pattern or the one-module bar.
            std::uint32_t start = 0, left = 0;
            for (int x = 0; x < 17; ++x) start = start << 1 | sym.matrix.Dark(x, r);
            for (int x = 17; x < 34; ++x) left = left << 1 | sym.matrix.Dark(x, r);
            EXPECT_EQ(start, pdf417::kStartPattern);
            EXPECT_EQ(left, pdf417::CodewordPattern(r % 3, pdf417::LeftRowIndicator(r, sym.rows, 4, 3)));
            const int w = sym.matrix.width;
            if (truncated) {
                EXPECT_TRUE(sym.matrix.Dark(w - 1, r));
                EXPECT_FALSE(sym.matrix.Dark(w - 2, r));
            } else {
                std::uint32_t stop = 0;
                for (int x = w - 18; x < w; ++x) stop = stop << 1 | sym.matrix.Dark(x, r);
                EXPECT_EQ(stop, pdf417::kStopPattern);
            }
        }
    }
    // Truncated symbols are 34 modules narrower.
    CSize full, cut;
    ASSERT_EQ(MeasurePdf417(full, d.data(), int(d.size()), 0, 6, 2, 0, 2, 6, 0, nullptr), 1);
    ASSERT_EQ(MeasurePdf417(cut, d.data(), int(d.size()), 0, 6, 2, 0, 2, 6, 1, nullptr), 1);
    EXPECT_EQ(full.cx - cut.cx, 34 * 2);
    EXPECT_EQ(full.cy, cut.cy);
}

#ifdef KV_HAVE_ZINT
// libzint's module rows for the same data, level and columns.
std::vector<std::string> ZintRows(const std::string& d, int level, int columns, bool truncated)
{
    zint_symbol* s = ZBarcode_Create();
    s->symbology = truncated ? BARCODE_PDF417COMP : BARCODE_PDF417;
    s->option_1 = level;
    s->option_2 = columns;
    s->input_mode = DATA_MODE;
    std::vector<std::string> rows;
    if (ZBarcode_Encode(s, U(d), int(d.size())) < 5) {
        for (int r = 0; r < s->rows; ++r) {
            std::string row;
            for (int c = 0; c < s->width; ++c) row += ((s->encoded_data[r][c >> 3] >> (c & 7)) & 1) ? '1' : '0';
            rows.push_back(row);
        }
    }
    ZBarcode_Delete(s);
    return rows;
}

std::vector<std::string> OurRows(const std::string& d, int level, int columns, bool truncated)
{
    pdf417::Request req;
    req.level = level;
    req.columns = columns;
    req.truncated = truncated;
    pdf417::Symbol sym;
    if (pdf417::BuildSymbol(U(d), d.size(), req, sym) != pdf417::Status::kOk) return {};
    std::vector<std::string> rows;
    for (int r = 0; r < sym.matrix.height; ++r) {
        std::string row;
        for (int c = 0; c < sym.matrix.width; ++c) row += sym.matrix.Dark(c, r) ? '1' : '0';
        rows.push_back(row);
    }
    return rows;
}

TEST(Pdf417Draw, SameModulesAsLibzint)
{
    // Data whose compaction both encoders choose alike: one long digit run,
    // byte runs of whole groups of six, plain capitals. With the same level
    // and columns the codewords, row indicators, patterns and start / stop
    // leave no choice, so every module must agree.
    struct Case { std::string data; int level, columns; };
    const Case cases[] = {
        {std::string("1234567890123456789012345678901234567890"), 0, 1},
        {std::string("98765432109876543210987654321"), 4, 3},
        {Binary(12, 1), 2, 2},
        {Binary(240, 2), 5, 12},
        {std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), 1, 5},
        {std::string(1000, '7'), 6, 30},
        {std::string("HELLOWORLD"), 8, 20},
    };
    for (const Case& c : cases)
        for (bool truncated : {false, true}) {
            const auto ours = OurRows(c.data, c.level, c.columns, truncated);
            ASSERT_FALSE(ours.empty());
            EXPECT_EQ(ours, ZintRows(c.data, c.level, c.columns, truncated))
                << c.data.substr(0, 12) << " level " << c.level << " columns " << c.columns << " truncated " << truncated;
        }
}
#endif

TEST(Pdf417Draw, ZxingReadsEveryKindOfSymbol)
{
    struct Case { std::string data; int rows, cols, level, truncated, rotation, mirror; };
    std::vector<Case> cases = {
        // Text, numeric and byte compaction, mixed.
        {"Korvane label printer, order 4711 / line 0815", 0, 0, -1, 0, 0, 0},
        {"1234567890123456789012345678901234567890123456789", 0, 0, -1, 0, 0, 0},
        {Binary(100, 3), 0, 0, -1, 0, 0, 0},
        {"Lot A-17\x80\x81 then 12345678901234 and text again", 0, 0, -1, 0, 0, 0},
        // Truncated, with each kind.
        {"Korvane label printer, order 4711 / line 0815", 0, 0, -1, 1, 0, 0},
        {"1234567890123456789012345678901234567890123456789", 0, 3, 2, 1, 0, 0},
        {Binary(100, 4), 0, 0, -1, 1, 0, 0},
        // Smallest and largest shapes.
        {"A", 0, 1, 0, 0, 0, 0},
        {"AB", 3, 1, 0, 1, 0, 0},
        {std::string(600, 'Z'), 0, 30, 2, 0, 0, 0},
        {"90 rows", 90, 1, 5, 0, 0, 0},
        {"90 rows truncated", 90, 2, 4, 1, 0, 0},
        // Rotated and mirrored.
        {"Rotated 90", 0, 3, 2, 0, 90, 0},
        {"Rotated 180", 0, 3, 2, 0, 180, 0},
        {"Rotated 270", 0, 3, 2, 1, 270, 0},
        {"Mirrored left-right", 0, 3, 2, 0, 0, 1},
        {"Mirrored top-bottom", 0, 3, 2, 0, 0, 2},
        {"Mirrored and turned", 0, 4, 1, 1, 90, 1},
    };
    // Every level, full and truncated.
    for (int level = 0; level <= 8; ++level)
        for (int truncated : {0, 1})
            cases.push_back({"Level " + std::to_string(level) + " 0123456789", 0, 0, level, truncated, 0, 0});
    for (const Case& c : cases) {
        auto bmp = EncodePdf417(c.data.data(), int(c.data.size()), c.rows, c.cols, c.level, c.rotation, c.mirror, 2, 6,
                                c.truncated, 0, nullptr);
        ASSERT_TRUE(bmp) << c.data;
        const auto d = kvtest::DecodeBitmap(*bmp, ZXing::BarcodeFormat::PDF417, 20);
        EXPECT_TRUE(d.ok) << c.data << " level " << c.level << " truncated " << c.truncated << " rotation "
                          << c.rotation << " mirror " << c.mirror;
        EXPECT_EQ(d.bytes, kvtest::Bytes(c.data)) << c.data;
    }
}

}  // namespace
