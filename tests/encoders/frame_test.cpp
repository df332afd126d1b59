// The shared frame: rotation and mirror, the bar-width reduction.
#include <gtest/gtest.h>

#include "encoders/bar_rows.h"
#include "support/barcode_test_util.h"

namespace {

// A small asymmetric picture: W = 5, H = 3, black at (0,0), (1,0), (4,2).
CMonoBitmap Sample()
{
    CMonoBitmap b(5, 3);
    b.SetPixel(0, 0, true);
    b.SetPixel(1, 0, true);
    b.SetPixel(4, 2, true);
    return b;
}

TEST(RotateMirror, QuarterTurnsAndMirrors)
{
    const CMonoBitmap src = Sample();
    // 90: (x, y) -> (y, W - 1 - x): the first column ends up at the bottom.
    BarBitmap r90 = RotateMirrorBitmap(src, 90, 0);
    ASSERT_TRUE(r90);
    EXPECT_EQ(r90->Width(), 3);
    EXPECT_EQ(r90->Height(), 5);
    EXPECT_TRUE(r90->IsBlack(0, 4));
    EXPECT_TRUE(r90->IsBlack(0, 3));
    EXPECT_TRUE(r90->IsBlack(2, 0));
    // 270: the first column at the top, (x, y) -> (H - 1 - y, x).
    BarBitmap r270 = RotateMirrorBitmap(src, 270, 0);
    ASSERT_TRUE(r270);
    EXPECT_TRUE(r270->IsBlack(2, 0));
    EXPECT_TRUE(r270->IsBlack(2, 1));
    EXPECT_TRUE(r270->IsBlack(0, 4));
    // 180 and the mirrors.
    BarBitmap r180 = RotateMirrorBitmap(src, 180, 0);
    ASSERT_TRUE(r180);
    EXPECT_TRUE(r180->IsBlack(4, 2) && r180->IsBlack(3, 2) && r180->IsBlack(0, 0));
    BarBitmap m1 = RotateMirrorBitmap(src, 0, 1);
    ASSERT_TRUE(m1);
    EXPECT_TRUE(m1->IsBlack(4, 0) && m1->IsBlack(3, 0) && m1->IsBlack(0, 2));
    BarBitmap m2 = RotateMirrorBitmap(src, 0, 2);
    ASSERT_TRUE(m2);
    EXPECT_TRUE(m2->IsBlack(0, 2) && m2->IsBlack(1, 2) && m2->IsBlack(4, 0));
    for (const BarBitmap* b : {&r90, &r270, &r180, &m1, &m2}) {
        int black = 0;
        for (int y = 0; y < (*b)->Height(); ++y)
            for (int x = 0; x < (*b)->Width(); ++x) black += (*b)->IsBlack(x, y);
        EXPECT_EQ(black, 3);
    }
    // Mirror 2 at rotation r is mirror 1 at r + 180; the mirror comes first.
    for (int r : {0, 90, 180, 270}) {
        BarBitmap a = RotateMirrorBitmap(src, r, 2);
        BarBitmap b = RotateMirrorBitmap(src, (r + 180) % 360, 1);
        ASSERT_TRUE(a && b);
        EXPECT_TRUE(a->SamePixels(*b)) << r;
    }
    BarBitmap m1r90 = RotateMirrorBitmap(src, 90, 1);
    BarBitmap m1then90 = RotateMirrorBitmap(*m1, 90, 0);
    ASSERT_TRUE(m1r90 && m1then90);
    EXPECT_TRUE(m1r90->SamePixels(*m1then90));
    // Padding of the copies stays white.
    EXPECT_EQ(r90->Row(0)[1], 0xFF);
}

TEST(RotateMirror, EntriesApplyIt)
{
    BarBitmap plain = EncodeLinear(BCT_CODE128, "ROT", 2, 0, 0, 20, 0, 0, 0, nullptr);
    ASSERT_TRUE(plain);
    for (int r : {90, 180, 270}) {
        for (int m : {0, 1, 2}) {
            BarBitmap turned = EncodeLinear(BCT_CODE128, "ROT", 2, 0, 0, 20, r, m, 0, nullptr);
            BarBitmap expected = RotateMirrorBitmap(*plain, r, m);
            ASSERT_TRUE(turned && expected);
            EXPECT_TRUE(turned->SamePixels(*expected)) << r << " " << m;
        }
    }
}

TEST(Reduction, TakesPixelsOffTheLeftOfEveryBarAndNeverABar)
{
    for (int type : {BCT_CODE39, BCT_CODE128, BCT_EAN13, BCT_ITF25, BCT_CODABAR, BCT_CODE25, BCT_ADDON5}) {
        const char* data = type == BCT_CODABAR ? "A123B" : type == BCT_ADDON5 ? "12345" : type == BCT_EAN13 ? "590123412345" : "1234";
        for (int reduction : {1, 2, 3, 7}) {
            SCOPED_TRACE(std::to_string(type) + " reduction " + std::to_string(reduction));
            const int N = 3;
            BarBitmap a = EncodeLinear(type, data, N, 0, 8, 10, 0, 0, 0, nullptr);
            BarBitmap b = EncodeLinear(type, data, N, reduction, 8, 10, 0, 0, 0, nullptr);
            ASSERT_TRUE(a && b);
            const int r = std::min(reduction, N - 1);
            const std::string before = bctest::PixelsOfRow(*a, 5);
            const std::string after = bctest::PixelsOfRow(*b, 5);
            // Same bars, each starting r pixels later, ending where it ended.
            std::string expected = before;
            for (size_t x = 0; x < before.size(); ++x) {
                if (before[x] == '1' && (x == 0 || before[x - 1] == '0'))
                    for (int k = 0; k < r; ++k) expected[x + size_t(k)] = '0';
            }
            EXPECT_EQ(after, expected);
            EXPECT_EQ(bctest::RunsOfRow(*b, 5).size(), bctest::RunsOfRow(*a, 5).size());
        }
    }
    // reduction >= narrow keeps exactly one pixel of a one-module bar.
    BarBitmap thin = EncodeLinear(BCT_CODE128, "1", 2, 50, 0, 4, 0, 0, 0, nullptr);
    ASSERT_TRUE(thin);
    const auto runs = bctest::RunsOfRow(*thin, 0);
    int ones = 0;
    for (size_t i = 0; i < runs.size(); i += 2) ones += runs[i] == 1;
    EXPECT_GT(ones, 0);
    for (size_t i = 0; i < runs.size(); i += 2) EXPECT_GE(runs[i], 1);
}

TEST(Reduction, RunsAcrossTheRowPadding)
{
    // A bar that ends a row exactly at a word boundary carries its counter
    // into the next row of the same buffer.
    CBarRows rows;
    ASSERT_TRUE(rows.Allocate(16, 2));
    rows.SetBars(0, 10, 6);
    rows.SetBars(1, 0, 4);
    rows.Reduce(3, 2);
    EXPECT_EQ(rows.Row(0)[1], 0x07);  // bits 10-15: 3 cleared, 3 left
    EXPECT_EQ(rows.Row(1)[0], 0xF0);  // counter used up on the row before
    CBarRows single;
    ASSERT_TRUE(single.Allocate(20, 1));
    single.SetBars(0, 0, 20);
    single.Reduce(5, 1);
    EXPECT_EQ(single.Row(0)[0], 0x07);
    EXPECT_EQ(single.Row(0)[1], 0xFF);
}

}  // namespace
