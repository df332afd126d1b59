// The shared text renderer: full alignment keeps the text inside its box
// whatever its length, the dock places short texts, mirrored text is the
// plain text reversed along its own direction, and arc characters get
// their angles and stand on their circle.
#include <cmath>
#include <gtest/gtest.h>

#include "model/text_render.h"
#include "platform/monobitmap_ops.h"

namespace {

CRect InkBox(const CMonoBitmap& b)
{
    CRect box(1 << 30, 1 << 30, -1, -1);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.IsBlack(x, y)) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box.right < 0 ? CRect() : box;
}

// A font description as objects store it: hundredths of a point.
LOGFONT Description(const char* face, int size, int rotation = 0)
{
    LOGFONT lf;
    lf.lfFaceName = face;
    lf.lfHeight = size;
    lf.lfEscapement = lf.lfOrientation = rotation * 900;
    return lf;
}

CMonoBitmap Render(const std::string& text, int mode, int dock, int rotation, int mirror, const CRect& box,
                   CSize page = CSize(900, 900))
{
    auto dc = CDC::CreateMonoBitmap(page.cx, page.cy, 300, 300);
    TextDrawContext ctx;
    ctx.rotation = rotation;
    ctx.mirror = mirror;
    DrawTextString(dc.get(), text, Description("Arial", 1200, rotation), box, mode, dock, ctx);
    return dc->GetMonoBitmap();
}

TEST(TextRender, FullAlignmentNeverLeavesTheBox)
{
    // 12 point at 300 dpi is 50 dots; a box 400 dots long holds about 16
    // characters at natural width.
    const std::string longest = "WWWWWWWWWW the quick brown fox jumps over the lazy dog 0123456789 WWWWWWWWWW";
    for (int rotation = 0; rotation < 4; ++rotation) {
        const CRect box = rotation % 2 == 0 ? CRect(200, 300, 600, 360) : CRect(300, 200, 360, 600);
        for (size_t len : {size_t(1), size_t(5), size_t(16), size_t(30), size_t(60), longest.size()}) {
            const CRect ink = InkBox(Render(longest.substr(0, len), TEXT_MODE_FULL, TEXT_DOCK_ADJUST, rotation, 0, box));
            ASSERT_FALSE(ink.IsRectEmpty());
            EXPECT_GE(ink.left, box.left) << rotation << " " << len;
            EXPECT_LE(ink.right, box.right) << rotation << " " << len;
            EXPECT_GE(ink.top, box.top) << rotation << " " << len;
            EXPECT_LE(ink.bottom, box.bottom) << rotation << " " << len;
            // A text of several characters is spread over (or packed into) the whole box.
            const int along = rotation % 2 == 0 ? ink.Width() : ink.Height();
            if (len >= 5) {
                EXPECT_GE(along, 400 - 12) << rotation << " " << len;
            }
        }
    }
}

TEST(TextRender, DockPlacesAShortTextInAFullyAlignedBox)
{
    const CRect box(100, 100, 700, 160);
    const CRect natural = InkBox(Render("Dock", TEXT_MODE_LEFT, 0, 0, 0, box));
    const int w = natural.Width();
    // Left: as drawn at the start; right: ends at the box's end; centre: in between.
    const CRect left = InkBox(Render("Dock", TEXT_MODE_FULL, TEXT_DOCK_LEFT, 0, 0, box));
    const CRect right = InkBox(Render("Dock", TEXT_MODE_FULL, TEXT_DOCK_RIGHT, 0, 0, box));
    const CRect centre = InkBox(Render("Dock", TEXT_MODE_FULL, TEXT_DOCK_CENTER, 0, 0, box));
    EXPECT_EQ(left, natural);
    EXPECT_EQ(right.Width(), w);
    EXPECT_NEAR(right.right, 700, 6);
    EXPECT_EQ(centre.Width(), w);
    EXPECT_NEAR(centre.left - 100, 700 - centre.right, 6);
    // Adjust spreads the characters over the box.
    const CRect spread = InkBox(Render("Dock", TEXT_MODE_FULL, TEXT_DOCK_ADJUST, 0, 0, box));
    EXPECT_EQ(spread.left, natural.left);
    EXPECT_NEAR(spread.right, 700, 6);
    // Right and centre modes in a wider box (barcode captions).
    EXPECT_EQ(InkBox(Render("Dock", TEXT_MODE_RIGHT, 0, 0, 0, box)), right);
    EXPECT_EQ(InkBox(Render("Dock", TEXT_MODE_CENTER, 0, 0, 0, box)), centre);
}

TEST(TextRender, EveryRotationStartsAtItsOwnEdge)
{
    // Rotation 0 starts at the left, 1 at the bottom, 2 at the right, 3 at the top.
    const CRect wide(100, 400, 800, 460), tall(400, 100, 460, 800);
    const CRect r0 = InkBox(Render("Edge", TEXT_MODE_LEFT, 0, 0, 0, wide));
    const CRect r1 = InkBox(Render("Edge", TEXT_MODE_LEFT, 0, 1, 0, tall));
    const CRect r2 = InkBox(Render("Edge", TEXT_MODE_LEFT, 0, 2, 0, wide));
    const CRect r3 = InkBox(Render("Edge", TEXT_MODE_LEFT, 0, 3, 0, tall));
    EXPECT_NEAR(r0.left, 100, 8);
    EXPECT_NEAR(r1.bottom, 800, 8);
    EXPECT_NEAR(r2.right, 800, 8);
    EXPECT_NEAR(r3.top, 100, 8);
    // Across the text the ink stays in the box.
    for (const CRect& r : {r0, r2}) EXPECT_TRUE(r.top >= 400 && r.bottom <= 460);
    for (const CRect& r : {r1, r3}) EXPECT_TRUE(r.left >= 400 && r.right <= 460);
    // Same length whatever the direction.
    EXPECT_EQ(r0.Width(), r2.Width());
    EXPECT_EQ(r1.Height(), r3.Height());
    EXPECT_NEAR(r0.Width(), r1.Height(), 1);
}

TEST(TextRender, MirroredTextIsThePlainTextReversedAlongItsDirection)
{
    const CRect wide(0, 0, 400, 60), tall(0, 0, 60, 400);
    const struct {
        int rotation, mirror;
        bool leftToRight;
    } cases[] = {
        {0, 1, true}, {2, 1, true}, {1, 1, false}, {3, 1, false},
        {0, 2, false}, {2, 2, false}, {1, 2, true}, {3, 2, true},
    };
    for (const auto& c : cases) {
        const CRect box = c.rotation % 2 == 0 ? wide : tall;
        const CSize page = box.Size();
        const CMonoBitmap plain = Render("Mirror 12", TEXT_MODE_LEFT, 0, c.rotation, 0, box, page);
        const CMonoBitmap mirrored = Render("Mirror 12", TEXT_MODE_LEFT, 0, c.rotation, c.mirror, box, page);
        EXPECT_TRUE(mirrored.SamePixels(MirrorMono(plain, c.leftToRight)))
            << "rotation " << c.rotation << " mirror " << c.mirror;
    }
}

TEST(TextRender, TransparentMirroredTextKeepsWhatIsBelow)
{
    for (bool transparent : {true, false}) {
        auto dc = CDC::CreateView(400, 80);
        dc->FillSolidRect(CRect(0, 0, 400, 80), RGBColor(0, 128, 0));
        dc->SetTextColor(RGBColor(0, 0, 255));
        dc->SetBkColor(RGBColor(255, 255, 255));
        TextDrawContext ctx;
        ctx.mirror = 1;
        ctx.transparent = transparent;
        DrawTextString(dc.get(), "Over", Description("Arial", 1200), CRect(10, 10, 390, 70), TEXT_MODE_LEFT, 0,
                       ctx);
        // The corner of the box: green below a transparent object, white for an opaque one.
        EXPECT_EQ(dc->GetPixel(CPoint(11, 11)), transparent ? RGBColor(0, 128, 0) : RGBColor(255, 255, 255));
        // Outside the box nothing changes.
        EXPECT_EQ(dc->GetPixel(CPoint(5, 5)), RGBColor(0, 128, 0));
        // The text itself is in the text colour.
        bool blue = false;
        for (int x = 10; x < 390 && !blue; ++x)
            for (int y = 10; y < 70 && !blue; ++y) blue = dc->GetPixel(CPoint(x, y)) == RGBColor(0, 0, 255);
        EXPECT_TRUE(blue);
    }
}

TEST(TextRender, ArcCharacterAngles)
{
    const struct {
        int n, start, sweep, direction, orientation, rotation;
        std::vector<double> angles;
        std::vector<int> escapements;
    } cases[] = {
        // A half circle: the first and last characters on its ends (k = n - 1).
        {4, 90, 180, 1, 1, 0, {90.1, 150, 210, 270.1}, {1801, 2400, 3000, 3601}},
        {4, 90, 180, 0, 1, 0, {90.1, 30, -30, -89.9}, {1801, 1200, 600, 1}},
        // A full circle (0 reads as 360): n equal steps, the last one short of the first.
        {4, 0, 0, 1, 0, 0, {0.1, 90.1, 180.1, 270.1}, {2701, 3601, 4501, 5401}},
        {4, 0, 360, 1, 0, 0, {0.1, 90.1, 180.1, 270.1}, {2701, 3601, 4501, 5401}},
        // Rotation adds quarter turns to the start.
        {2, 10, 40, 1, 1, 1, {100, 140}, {1900, 2300}},
        {1, 45, 120, 0, 0, 3, {315}, {5850}},
    };
    for (const auto& c : cases) {
        const auto got = ArcCharacterAngles(c.n, c.start, c.sweep, c.direction, c.orientation, c.rotation);
        ASSERT_EQ(got.size(), c.angles.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i].angle, c.angles[i], 1e-9) << c.start << " " << i;
            EXPECT_EQ(got[i].escapement, c.escapements[i]) << c.start << " " << i;
        }
    }
    EXPECT_TRUE(ArcCharacterAngles(0, 0, 0, 0, 0, 0).empty());
}

// Centre of the black pixels.
void InkCentre(const CMonoBitmap& b, double& x, double& y)
{
    double sx = 0, sy = 0, n = 0;
    for (int yy = 0; yy < b.Height(); ++yy)
        for (int xx = 0; xx < b.Width(); ++xx)
            if (b.IsBlack(xx, yy)) {
                sx += xx;
                sy += yy;
                ++n;
            }
    x = n ? sx / n : -1;
    y = n ? sy / n : -1;
}

TEST(TextRender, ArcCharactersStandOnTheirCircle)
{
    // One character at angle 90 (six o'clock) or 270 (twelve
    // o'clock), tops outward and inward: each stays in the ring between the
    // radius and the radius plus the text height, centred on its angle.
    const CRect box(0, 0, 600, 600);
    const double cx = 300, cy = 300;
    const int radius = 200;
    for (int orientation : {0, 1}) {
        for (int start : {90, 270}) {
            auto dc = CDC::CreateMonoBitmap(600, 600, 300, 300);
            DrawArcText(dc.get(), "T", Description("Arial", 1200), box, radius, start, 360, 0, orientation,
                        TextDrawContext());
            const CMonoBitmap bits = dc->GetMonoBitmap();
            double x, y;
            InkCentre(bits, x, y);
            EXPECT_NEAR(x, cx, 3) << orientation << " " << start;
            const double dist = std::abs(y - cy);
            EXPECT_GT(dist, radius - 4) << orientation << " " << start;
            EXPECT_LT(dist, radius + 60) << orientation << " " << start;
            EXPECT_EQ(y > cy, start == 90) << orientation << " " << start;
            // The bar of a T shows which way the character stands.
            const CRect ink = InkBox(bits);
            int crossRow = -1;
            for (int yy = ink.top; yy < ink.bottom && crossRow < 0; ++yy) {
                int run = 0;
                for (int xx = ink.left; xx < ink.right; ++xx) run += bits.IsBlack(xx, yy);
                if (run == ink.Width()) crossRow = yy;
            }
            ASSERT_GE(crossRow, 0);
            const bool crossAboveMiddle = crossRow < (ink.top + ink.bottom) / 2;
            const bool topsUp = (orientation == 1) == (start == 270);
            EXPECT_EQ(crossAboveMiddle, topsUp) << orientation << " " << start;
        }
    }
}

}  // namespace
