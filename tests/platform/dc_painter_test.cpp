// A printer page drawn through a painter (a PDF file, a system printer)
// shows what the same drawing shows on a page of pixels: shapes, pens,
// text, monochrome bitmaps copied, transparent and mirrored, pictures with
// their white left out, clipping and the viewport origin. The painter here
// paints into an image, so the two pages can be compared pixel by pixel.
#include <QImage>
#include <QPainter>
#include <functional>
#include <gtest/gtest.h>

#include "platform/dc.h"

namespace {

constexpr int kWidth = 240, kHeight = 160, kDpi = 200;

// A bitmap with bars, a dot and a mirrored corner to tell its sides apart.
CMonoBitmap Pattern()
{
    CMonoBitmap bits(21, 13);
    for (int x = 0; x < 21; x += 3)
        for (int y = 0; y < 13; ++y) bits.SetPixel(x, y, true);
    bits.FillRect(15, 0, 21, 4, true);
    bits.SetPixel(7, 9, true);
    return bits;
}

QImage Picture()
{
    QImage img(16, 12, QImage::Format_RGB32);
    img.fill(Qt::white);
    for (int y = 2; y < 10; ++y)
        for (int x = 3; x < 13; ++x) img.setPixel(x, y, x < 8 ? qRgb(0, 0, 0) : qRgb(120, 120, 120));
    return img;
}

QImage Draw(const std::function<void(CDC&)>& draw, bool throughPainter)
{
    if (!throughPainter) {
        auto dc = CDC::CreatePrinterPage(kWidth, kHeight, kDpi, kDpi);
        draw(*dc);
        return dc->GetImage().convertToFormat(QImage::Format_Grayscale8);
    }
    QImage target(kWidth, kHeight, QImage::Format_Grayscale8);
    target.fill(Qt::white);
    QPainter painter(&target);
    {
        auto dc = CDC::CreateOnPainter(&painter, kWidth, kHeight, kDpi, kDpi);
        EXPECT_TRUE(dc->IsPainterTarget());
        EXPECT_EQ(dc->GetDeviceCaps(HORZRES), kWidth);
        draw(*dc);
    }
    painter.end();
    return target;
}

// Pixels whose darkness differs between the two pages (black against
// white, not shades of an edge).
int Differences(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += (qGray(a.pixel(x, y)) < 128) != (qGray(b.pixel(x, y)) < 128);
    return n;
}

int Dark(const QImage& a)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += qGray(a.pixel(x, y)) < 128;
    return n;
}

TEST(DCPainter, DrawsWhatThePixelPageDraws)
{
    struct Case {
        const char* what;
        std::function<void(CDC&)> draw;
        int tolerance;  // pixels an edge may fall on the other side
    };
    const std::vector<Case> cases = {
        {"filled rectangles and an origin",
         [](CDC& dc) {
             dc.FillSolidRect(CRect(10, 10, 60, 30), 0);
             dc.SetViewportOrg(CPoint(100, 40));
             dc.FillSolidRect(CRect(0, 0, 20, 70), 0x404040);
         },
         0},
        {"a frame with a wide inside pen, a round rectangle and an ellipse",
         [](CDC& dc) {
             dc.SelectPen(CPen(PS_INSIDEFRAME, 5, 0));
             dc.SelectBrush(CBrush::Hollow());
             dc.Rectangle(CRect(5, 5, 120, 80));
             dc.RoundRect(CRect(130, 5, 230, 80), CSize(30, 30));
             dc.Ellipse(CRect(20, 90, 200, 150));
         },
         60},
        {"lines and a dotted frame",
         [](CDC& dc) {
             dc.SelectPen(CPen(PS_SOLID, 3, 0));
             dc.MoveTo(CPoint(10, 10));
             dc.LineTo(CPoint(200, 10));
             dc.MoveTo(CPoint(20, 20));
             dc.LineTo(CPoint(20, 140));
             dc.SelectPen(CPen(PS_DOT, 1, 0));
             dc.SelectBrush(CBrush::Hollow());
             dc.Rectangle(CRect(40, 40, 200, 120));
         },
         4},
        {"text, upright and turned",
         [](CDC& dc) {
             LOGFONT lf;
             lf.lfFaceName = "Liberation Sans";
             lf.lfHeight = -30;
             dc.SelectFont(CFont(lf));
             dc.SetBkMode(TRANSPARENT);
             dc.TextOut(10, 10, "Korvane 42");
             lf.lfEscapement = 900;
             dc.SelectFont(CFont(lf));
             dc.TextOut(200, 150, "Up");
         },
         40},
        {"monochrome bitmaps copied, transparent, stretched and mirrored",
         [](CDC& dc) {
             const CMonoBitmap bits = Pattern();
             dc.FillSolidRect(CRect(0, 0, kWidth, kHeight), 0x808080);
             dc.StretchMono(10, 10, 21, 13, bits, 0, 0, 21, 13, RasterOp::Copy);
             dc.StretchMonoTransparent(50, 10, 63, 39, bits, 0, 0, 21, 13);
             dc.StretchMonoTransparent(200, 60, -42, 26, bits, 0, 0, 21, 13);
             dc.StretchMono(10, 120, 21, -13, bits, 0, 0, 21, 13, RasterOp::NotCopy);
         },
         0},
        {"a picture with its white left out",
         [](CDC& dc) {
             dc.FillSolidRect(CRect(0, 0, kWidth, kHeight), 0x606060);
             dc.FillSolidRect(CRect(0, 0, 40, 40), 0xFFFFFF);
             dc.DrawImageTransparent(10, 10, Picture());
             dc.StretchImage(60, 10, 32, 24, Picture(), 0, 0, 16, 12, RasterOp::Copy);
         },
         0},
        {"clipped drawing",
         [](CDC& dc) {
             dc.IntersectClipRect(CRect(20, 20, 100, 100));
             dc.FillSolidRect(CRect(0, 0, 200, 200), 0);
             dc.SelectPen(CPen(PS_SOLID, 4, 0));
             dc.MoveTo(CPoint(0, 150));
             dc.LineTo(CPoint(200, 150));
         },
         0},
    };
    for (const Case& c : cases) {
        const QImage pixels = Draw(c.draw, false), painted = Draw(c.draw, true);
        EXPECT_GT(Dark(pixels), 20) << c.what;
        EXPECT_LE(Differences(pixels, painted), c.tolerance) << c.what;
    }
}

TEST(DCPainter, NothingIsReadBackAndCombiningOperationsAreLeftOut)
{
    const QImage painted = Draw(
        [](CDC& dc) {
            dc.FillSolidRect(CRect(0, 0, 50, 50), 0);
            EXPECT_EQ(dc.GetPixel(CPoint(10, 10)), 0xFFFFFFu);  // nothing to read
            dc.InvertRect(CRect(0, 0, 100, 100));                // selection handles only
            dc.StretchImage(60, 0, 16, 12, Picture(), 0, 0, 16, 12, RasterOp::Xor);
            const CMonoBitmap bits = Pattern();
            dc.StretchMono(100, 0, 21, 13, bits, 0, 0, 21, 13, RasterOp::And);  // its black pixels
            dc.StretchMono(140, 0, 21, 13, bits, 0, 0, 21, 13, RasterOp::Xor);
        },
        true);
    EXPECT_LT(qGray(painted.pixel(10, 10)), 128);
    EXPECT_GT(qGray(painted.pixel(70, 6)), 128);   // XOR left out
    EXPECT_LT(qGray(painted.pixel(100, 5)), 128);  // AND: a black bar
    EXPECT_GT(qGray(painted.pixel(101, 5)), 128);  // ... and white between the bars
    EXPECT_GT(qGray(painted.pixel(140, 5)), 128);  // XOR left out
}

}  // namespace
