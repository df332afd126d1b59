// Device contexts: shapes land on exact pixels, monochrome and printer
// targets get no smoothing, text sits where it was measured, clipping,
// saved state and block transfers with their raster operations.
#include <QImage>
#include <gtest/gtest.h>

#include <random>

#include "platform/dc.h"
#include "platform/monobitmap_ops.h"

namespace {

// Bounding box of the pixels that are not white (device coordinates).
CRect InkBox(const CDC& dc)
{
    CRect box(1 << 30, 1 << 30, -1, -1);
    const QImage& img = dc.GetImage();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) != 255) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box.right < 0 ? CRect() : box;
}

int CountGreys(const CDC& dc)
{
    int n = 0;
    const QImage& img = dc.GetImage();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const int g = qGray(img.pixel(x, y));
            if (g != 0 && g != 255) ++n;
        }
    return n;
}

CFont MakeFont(const char* face, int height, int escapement = 0)
{
    LOGFONT lf;
    lf.lfFaceName = face;
    lf.lfHeight = height;
    lf.lfEscapement = escapement;
    return CFont(lf);
}

TEST(DC, KindsCarryTheirResolution)
{
    auto view = CDC::CreateView(100, 50, 96, 200);
    EXPECT_EQ(view->GetDeviceCaps(LOGPIXELSX), 96);
    EXPECT_EQ(view->GetZoom(), 200);
    EXPECT_FALSE(view->IsPrinting());
    auto page = CDC::CreatePrinterPage(812, 406, 203, 203);
    EXPECT_TRUE(page->IsPrinting());
    EXPECT_EQ(page->GetDeviceCaps(LOGPIXELSY), 203);
    EXPECT_EQ(page->GetDeviceCaps(HORZRES), 812);
    auto mono = CDC::CreateMonoBitmap(10, 10, 300, 300);
    EXPECT_TRUE(mono->IsMonochrome());
    EXPECT_EQ(mono->GetDeviceCaps(BITSPIXEL), 1);
    EXPECT_EQ(mono->MapColor(RGBColor(200, 30, 30)), 0u);
    EXPECT_EQ(mono->MapColor(RGBColor(250, 250, 200)), 0xFFFFFFu);
}

TEST(DC, InsideFramePenStaysInsideTheRectangle)
{
    auto dc = CDC::CreateMonoBitmap(60, 60);
    dc->SelectPen(CPen(PS_INSIDEFRAME, 4, 0));
    dc->SelectBrush(CBrush::Hollow());
    dc->Rectangle(CRect(10, 10, 50, 40));
    const CMonoBitmap bits = dc->GetMonoBitmap();
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) {
            const bool inside = x >= 10 && x < 50 && y >= 10 && y < 40;
            const bool hole = x >= 14 && x < 46 && y >= 14 && y < 36;
            EXPECT_EQ(bits.IsBlack(x, y), inside && !hole) << x << "," << y;
        }
}

TEST(DC, ShapesFillWithTheBrushAndKeepInBounds)
{
    for (int shape = 0; shape < 3; ++shape) {
        auto dc = CDC::CreatePrinterPage(100, 80, 300, 300, true);
        dc->SelectPen(CPen(PS_INSIDEFRAME, 3, RGBColor(0, 0, 0)));
        dc->SelectBrush(CBrush(RGBColor(255, 0, 0)));
        const CRect r(20, 10, 80, 70);
        if (shape == 0) dc->Rectangle(r);
        if (shape == 1) dc->RoundRect(r, CSize(30, 30));
        if (shape == 2) dc->Ellipse(r);
        EXPECT_EQ(InkBox(*dc), r) << shape;
        EXPECT_EQ(dc->GetPixel(CPoint(50, 40)), RGBColor(255, 0, 0)) << shape;
        EXPECT_EQ(dc->GetPixel(CPoint(50, 11)), 0u) << shape;  // the outline at the top centre
        // Only the two colours: nothing smoothed on a printer.
        const QImage& img = dc->GetImage();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb p = img.pixel(x, y);
                const bool known = p == qRgb(255, 255, 255) || p == qRgb(0, 0, 0) || p == qRgb(255, 0, 0);
                ASSERT_TRUE(known) << shape << " at " << x << "," << y;
            }
    }
    // A round rectangle leaves its corners white; an ellipse more so.
    auto dc = CDC::CreateMonoBitmap(100, 80);
    dc->SelectPen(CPen(PS_INSIDEFRAME, 1, 0));
    dc->RoundRect(CRect(0, 0, 100, 80), CSize(40, 40));
    EXPECT_EQ(dc->GetPixel(CPoint(1, 1)), 0xFFFFFFu);
    EXPECT_EQ(dc->GetPixel(CPoint(50, 0)), 0u);
}

TEST(DC, PolygonAndSolidFill)
{
    auto dc = CDC::CreateMonoBitmap(50, 50);
    dc->SelectPen(CPen(PS_NULL, 0, 0));
    dc->SelectBrush(CBrush(0));
    const CPoint tri[] = {{0, 0}, {40, 0}, {0, 40}};
    dc->Polygon(tri, 3);
    EXPECT_EQ(dc->GetPixel(CPoint(5, 5)), 0u);
    EXPECT_EQ(dc->GetPixel(CPoint(35, 35)), 0xFFFFFFu);
    dc->FillSolidRect(CRect(30, 30, 40, 40), 0);
    EXPECT_EQ(InkBox(*dc), CRect(0, 0, 40, 40));
}

TEST(DC, MonochromeAndPrinterTextIsNotSmoothed)
{
    auto mono = CDC::CreateMonoBitmap(400, 120);
    mono->SelectFont(MakeFont("Arial", -60, 300));
    mono->SetBkMode(TRANSPARENT);
    mono->TextOut(20, 60, "Smooth? No.");
    EXPECT_EQ(CountGreys(*mono), 0);
    EXPECT_FALSE(InkBox(*mono).IsRectEmpty());

    auto page = CDC::CreatePrinterPage(400, 120, 300, 300);
    page->SelectFont(MakeFont("Times New Roman", -50));
    page->SetBkMode(TRANSPARENT);
    page->TextOut(10, 10, "Printer text");
    EXPECT_EQ(CountGreys(*page), 0);
}

TEST(DC, TextSitsInItsMeasuredCell)
{
    auto dc = CDC::CreateMonoBitmap(600, 200);
    dc->SelectFont(MakeFont("Arial", -80));
    dc->SetBkMode(TRANSPARENT);
    const CSize ext = dc->GetTextExtent("HELL");
    dc->TextOut(50, 40, "HELL");
    const CRect ink = InkBox(*dc);
    const TEXTMETRIC tm = dc->GetTextMetrics();
    // Capitals start just right of the pen and end before the extent; the
    // baseline is at the ascent.
    EXPECT_GE(ink.left, 50);
    EXPECT_LE(ink.left, 50 + 10);
    EXPECT_LE(ink.right, 50 + ext.cx);
    EXPECT_GE(ink.right, 50 + ext.cx - 12);
    EXPECT_EQ(ink.bottom, 40 + tm.tmAscent);
    EXPECT_GE(ink.top, 40 + tm.tmInternalLeading - 2);

    // Opaque mode fills the whole cell with the background colour.
    auto opaque = CDC::CreateMonoBitmap(600, 200);
    opaque->SelectFont(MakeFont("Arial", -80));
    opaque->SetBkMode(OPAQUE);
    opaque->SetBkColor(0);
    opaque->TextOut(50, 40, "HELL");
    EXPECT_EQ(InkBox(*opaque), CRect(50, 40, 50 + ext.cx, 40 + ext.cy));

    // Right and centre alignment move the start by the extent.
    for (unsigned align : {unsigned(TA_RIGHT), unsigned(TA_CENTER)}) {
        auto a = CDC::CreateMonoBitmap(600, 200);
        a->SelectFont(MakeFont("Arial", -80));
        a->SetBkMode(OPAQUE);
        a->SetBkColor(0);
        a->SetTextAlign(align | TA_BASELINE);
        a->TextOut(400, 120, "HELL");
        const int start = align == TA_RIGHT ? 400 - ext.cx : 400 - ext.cx / 2;
        EXPECT_EQ(InkBox(*a), CRect(start, 120 - tm.tmAscent, start + ext.cx, 120 + tm.tmDescent)) << align;
    }
}

TEST(DC, EscapementTurnsTheTextAboutItsReferencePoint)
{
    // A quarter turn counter-clockwise: the text runs upward from the point
    // and its cell lies to the right of it.
    auto dc = CDC::CreateMonoBitmap(300, 400);
    dc->SelectFont(MakeFont("Arial", -60, 900));
    dc->SetBkMode(OPAQUE);
    dc->SetBkColor(0);
    const CSize ext = dc->GetTextExtent("Turned");
    dc->TextOut(100, 350, "Turned");
    const CRect ink = InkBox(*dc);
    EXPECT_NEAR(ink.left, 100, 1);
    EXPECT_NEAR(ink.right, 100 + ext.cy, 1);
    EXPECT_NEAR(ink.top, 350 - ext.cx, 1);
    EXPECT_NEAR(ink.bottom, 350, 1);

    // Half a turn: upside down, to the left of and above the point.
    auto half = CDC::CreateMonoBitmap(400, 300);
    half->SelectFont(MakeFont("Arial", -60, 1800));
    half->SetBkMode(OPAQUE);
    half->SetBkColor(0);
    half->TextOut(350, 200, "Turned");
    EXPECT_NEAR(InkBox(*half).left, 350 - ext.cx, 1);
    EXPECT_NEAR(InkBox(*half).top, 200 - ext.cy, 1);
}

TEST(DC, ExplicitAdvancesPlaceEachCharacter)
{
    auto dc = CDC::CreateMonoBitmap(600, 100);
    dc->SelectFont(MakeFont("Courier New", -50));
    dc->SetBkMode(TRANSPARENT);
    const int dx[] = {300, 10};
    dc->ExtTextOut(10, 10, 0, nullptr, "II", dx);
    // The second I starts 300 units after the first one.
    const CMonoBitmap bits = dc->GetMonoBitmap();
    int firstInk = -1, secondInk = -1;
    for (int x = 0; x < 600 && secondInk < 0; ++x)
        for (int y = 0; y < 100; ++y)
            if (bits.IsBlack(x, y)) {
                if (firstInk < 0) firstInk = x;
                else if (x > firstInk + 100) secondInk = x;
                break;
            }
    EXPECT_EQ(secondInk - firstInk, 300);

    // Character extra widens every character.
    dc->SetTextCharacterExtra(7);
    EXPECT_EQ(dc->GetTextExtent("abcd").cx, 4 * 30 + 4 * 7);
}

TEST(DC, ClippingAndSavedState)
{
    auto dc = CDC::CreateMonoBitmap(100, 100);
    const int saved = dc->SaveDC();
    dc->SetViewportOrg(CPoint(10, 20));
    dc->IntersectClipRect(CRect(0, 0, 30, 30));
    dc->FillSolidRect(CRect(-50, -50, 200, 200), 0);
    EXPECT_EQ(InkBox(*dc), CRect(10, 20, 40, 50));
    ASSERT_TRUE(dc->RestoreDC(saved));
    EXPECT_EQ(dc->GetViewportOrg(), CPoint(0, 0));
    dc->FillSolidRect(CRect(90, 90, 100, 100), 0);
    EXPECT_EQ(InkBox(*dc), CRect(10, 20, 100, 100));
}

TEST(DC, InvertTwiceRestores)
{
    auto dc = CDC::CreateView(20, 20);
    dc->FillSolidRect(CRect(0, 0, 10, 20), RGBColor(10, 200, 30));
    const QImage before = dc->GetImage().copy();
    dc->InvertRect(CRect(5, 5, 15, 15));
    EXPECT_EQ(dc->GetPixel(CPoint(6, 6)), RGBColor(245, 55, 225));
    dc->InvertRect(CRect(5, 5, 15, 15));
    EXPECT_EQ(dc->GetImage(), before);
}

// A 4 x 2 pattern: black at (0,0), (1,0) and (3,1).
CMonoBitmap Pattern()
{
    CMonoBitmap b(4, 2);
    b.SetPixel(0, 0, true);
    b.SetPixel(1, 0, true);
    b.SetPixel(3, 1, true);
    return b;
}

TEST(MonoBitmapOps, QImageRoundTrip)
{
    const CMonoBitmap b = Pattern();
    const QImage img = MonoToQImage(b);
    EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(2, 0), qRgb(255, 255, 255));
    EXPECT_TRUE(QImageToMono(img).SamePixels(b));
    QImage colour(3, 1, QImage::Format_ARGB32);
    colour.setPixel(0, 0, qRgb(200, 0, 0));       // dark red: black
    colour.setPixel(1, 0, qRgb(240, 240, 100));   // light: white
    colour.setPixel(2, 0, qRgba(0, 0, 0, 0));     // transparent: white
    const CMonoBitmap m = QImageToMono(colour);
    EXPECT_TRUE(m.IsBlack(0, 0));
    EXPECT_FALSE(m.IsBlack(1, 0));
    EXPECT_FALSE(m.IsBlack(2, 0));
    // A mask keeps only the exact background colour white.
    const CMonoBitmap mask = QImageToMask(colour);
    EXPECT_TRUE(mask.IsBlack(0, 0));
    EXPECT_TRUE(mask.IsBlack(1, 0));
    EXPECT_FALSE(mask.IsBlack(2, 0));
    EXPECT_FALSE(QImageToMask(colour, qRgb(240, 240, 100)).IsBlack(1, 0));
}

TEST(MonoBitmapOps, RasterOperationsAndMirrors)
{
    const CMonoBitmap src = Pattern();
    auto run = [&](RasterOp op) {
        CMonoBitmap dst(4, 2);
        dst.SetPixel(1, 0, true);
        dst.SetPixel(2, 0, true);
        StretchMonoBits(dst, 0, 0, 4, 2, src, 0, 0, 4, 2, op);
        std::string s;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) s += dst.IsBlack(x, y) ? '#' : '.';
        return s;
    };
    // src: ##.. / ...#   dst: .##. / ....
    EXPECT_EQ(run(RasterOp::Copy), "##.....#");
    EXPECT_EQ(run(RasterOp::And), "###....#");    // black wins
    EXPECT_EQ(run(RasterOp::Or), ".#......");     // white wins
    EXPECT_EQ(run(RasterOp::Xor), ".#.####.");    // on the bits, white being 1
    EXPECT_EQ(run(RasterOp::NotCopy), "..#####.");
    EXPECT_EQ(run(RasterOp::Invert), "#..#####");

    CMonoBitmap over(4, 2);
    over.SetPixel(2, 0, true);
    StretchMonoTransparent(over, 0, 0, 4, 2, src, 0, 0, 4, 2);
    EXPECT_TRUE(over.IsBlack(0, 0) && over.IsBlack(1, 0) && over.IsBlack(2, 0) && over.IsBlack(3, 1));
    EXPECT_FALSE(over.IsBlack(3, 0) || over.IsBlack(0, 1));

    const CMonoBitmap lr = MirrorMono(src, true);
    EXPECT_TRUE(lr.IsBlack(3, 0) && lr.IsBlack(2, 0) && lr.IsBlack(0, 1));
    const CMonoBitmap tb = MirrorMono(src, false);
    EXPECT_TRUE(tb.IsBlack(0, 1) && tb.IsBlack(1, 1) && tb.IsBlack(3, 0));

    // Doubling in both directions.
    CMonoBitmap big(8, 4);
    StretchMonoBits(big, 0, 0, 8, 4, src, 0, 0, 4, 2, RasterOp::Copy);
    EXPECT_TRUE(big.IsBlack(3, 1) && big.IsBlack(6, 3) && big.IsBlack(7, 2));
    EXPECT_FALSE(big.IsBlack(4, 0) || big.IsBlack(5, 3));
}

TEST(MonoBitmapOps, CopiesAtTheSourceSizeMatchPixelByPixelAtAnyOffset)
{
    // Copies without scaling go a byte at a time; every bit offset, every
    // operation and clipping at each edge must give what the pixels say.
    std::mt19937 random(5);
    CMonoBitmap src(37, 9);
    for (int y = 0; y < src.Height(); ++y)
        for (int x = 0; x < src.Width(); ++x) src.SetPixel(x, y, random() % 3 == 0);
    const RasterOp ops[] = {RasterOp::Copy, RasterOp::And, RasterOp::Or, RasterOp::Xor, RasterOp::NotCopy,
                            RasterOp::Invert};
    for (int round = 0; round < 300; ++round) {
        CMonoBitmap dst(45, 12);
        for (int y = 0; y < dst.Height(); ++y)
            for (int x = 0; x < dst.Width(); ++x) dst.SetPixel(x, y, random() % 2 == 0);
        const int x = int(random() % 60) - 20, y = int(random() % 20) - 6;
        const int sx = int(random() % 12) - 3, sy = int(random() % 5) - 1;
        const int w = int(random() % 40) + 1, h = int(random() % 10) + 1;
        const RasterOp op = ops[random() % 6];
        CMonoBitmap expected = dst;
        for (int yy = 0; yy < h; ++yy)
            for (int xx = 0; xx < w; ++xx) {
                const int px = x + xx, py = y + yy, qx = sx + xx, qy = sy + yy;
                if (px < 0 || py < 0 || px >= dst.Width() || py >= dst.Height()) continue;
                if (qx < 0 || qy < 0 || qx >= src.Width() || qy >= src.Height()) continue;
                const bool s = !src.IsBlack(qx, qy), d = !dst.IsBlack(px, py);  // white = 1
                bool white = s;
                switch (op) {
                case RasterOp::And: white = s && d; break;
                case RasterOp::Or: white = s || d; break;
                case RasterOp::Xor: white = s != d; break;
                case RasterOp::NotCopy: white = !s; break;
                case RasterOp::Invert: white = !d; break;
                default: break;
                }
                expected.SetPixel(px, py, !white);
            }
        StretchMonoBits(dst, x, y, w, h, src, sx, sy, w, h, op);
        ASSERT_TRUE(dst.SamePixels(expected))
            << "round " << round << ": at " << x << "," << y << " from " << sx << "," << sy << " " << w << "x" << h;
    }
}

TEST(DC, MonochromeBitmapsOnAColourTarget)
{
    const CMonoBitmap src = Pattern();
    auto dc = CDC::CreateView(8, 2);
    dc->FillSolidRect(CRect(0, 0, 8, 2), RGBColor(0, 0, 255));
    dc->SetTextColor(RGBColor(255, 0, 0));
    dc->SetBkColor(RGBColor(255, 255, 255));
    // Opaque copy: black bits in the text colour, white bits in the background colour.
    dc->StretchMono(0, 0, 4, 2, src, 0, 0, 4, 2, RasterOp::Copy);
    EXPECT_EQ(dc->GetPixel(CPoint(0, 0)), RGBColor(255, 0, 0));
    EXPECT_EQ(dc->GetPixel(CPoint(2, 0)), RGBColor(255, 255, 255));
    // Transparent: white bits leave the blue ground; mirrored by a negative width.
    dc->StretchMonoTransparent(8, 0, -4, 2, src, 0, 0, 4, 2);
    EXPECT_EQ(dc->GetPixel(CPoint(7, 0)), RGBColor(255, 0, 0));
    EXPECT_EQ(dc->GetPixel(CPoint(4, 1)), RGBColor(255, 0, 0));
    EXPECT_EQ(dc->GetPixel(CPoint(5, 0)), RGBColor(0, 0, 255));
    // AND with a mono source darkens only under its black pixels.
    dc->SetTextColor(0);
    dc->StretchMono(0, 0, 4, 2, src, 0, 0, 4, 2, RasterOp::And);
    EXPECT_EQ(dc->GetPixel(CPoint(0, 0)), 0u);
    EXPECT_EQ(dc->GetPixel(CPoint(2, 0)), RGBColor(255, 255, 255));

    // Reading back into a memory bitmap.
    auto mem = CDC::CreateMonoBitmap(src);
    EXPECT_TRUE(mem->GetMonoBitmap().SamePixels(src));
}

}  // namespace
