// Label units to view pixels and back, with zoom and label offset.
#include <gtest/gtest.h>

#include "model/view.h"

namespace {

TEST(ViewMapping, UnitsToPixelsWithZoomAndOffset)
{
    CFixedView view(150, 96, CPoint(40, 30));
    // 2540.2 units are one inch: 96 pixels at 100 %, 144 at 150 %.
    EXPECT_EQ(view.DocToClient(CPoint(2540, 0)), CPoint(40 + 144, 30));
    EXPECT_EQ(view.DocToClient(CSize(2540, 1270)), CSize(144, 72));
    // Rectangles are converted corner by corner and normalised.
    EXPECT_EQ(view.DocToClient(CRect(2540, 1270, 0, 0)), CRect(40, 30, 184, 102));
    // Back to units within a pixel's worth.
    const CPoint back = view.ClientToDoc(CPoint(184, 102));
    EXPECT_NEAR(back.x, 2540, 18);
    EXPECT_NEAR(back.y, 1270, 18);
    EXPECT_EQ(view.ClientToDoc(CPoint(40, 30)), CPoint(0, 0));
    // Far positions do not overflow.
    EXPECT_EQ(CFixedView(1600, 96).DocToClient(CPoint(100000000, 0)).x, MulDiv(100000000, 96 * 1600, 254020));
}

}  // namespace
