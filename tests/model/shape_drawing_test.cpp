// Drawing of lines, rectangles and groups on printers and into printer
// bitmaps, and the selection tracker of the design view.
#include <gtest/gtest.h>

#include "model/marker_strip.h"
#include "model/view.h"
#include "model/document.h"
#include "model/drawgroup.h"
#include "model/drawline.h"
#include "model/drawrect.h"
#include "model/drawtext.h"
#include "platform/dc.h"
#include "platform/monobitmap.h"
#include "print/printdriver.h"

namespace {

// A printer that reports chosen capabilities: 4 colour, 5 rounded shapes.
class StubDriver : public CPrintDriver {
public:
    StubDriver(CKVDoc* doc, bool colour, bool round) : CPrintDriver(doc), m_colour(colour), m_round(round) {}
    int GetCapability(int what, int) override { return (what == 4 && m_colour) || (what == 5 && m_round) ? 1 : 0; }
    bool m_colour, m_round;
};

struct ShapeFixture : ::testing::Test {
    CKVDoc doc;
    void SetUp() override { doc.m_format.m_nHDpi = doc.m_format.m_nVDpi = 254; }  // 1 dot = 10 units
    void Printer(bool colour, bool round) { doc.m_driver = std::make_shared<StubDriver>(&doc, colour, round); }
    template <class T>
    T* Add(T* obj)
    {
        doc.AddObject(obj);
        return obj;
    }
};

TEST_F(ShapeFixture, RectangleOutlineFillAndRoundness)
{
    auto* r = Add(new CDrawRect(CRect(1000, 1000, 3000, 2000)));
    r->m_nShape = SHAPE_ROUNDRECT;
    r->m_nThickness = 50;  // 5 dots
    r->m_bFill = 1;
    r->m_crFill = RGBColor(255, 0, 0);
    r->m_crLine = RGBColor(0, 0, 255);
    const struct {
        bool colour, round;
        COLORREF corner, inside, outline;
    } cases[] = {
        // A monochrome printer without rounded shapes: a black square-cornered outline, no fill.
        {false, false, 0, 0xFFFFFF, 0},
        // With rounded shapes the corner stays white.
        {false, true, 0xFFFFFF, 0xFFFFFF, 0},
        // A colour printer: blue outline, red inside.
        {true, true, 0xFFFFFF, RGBColor(255, 0, 0), RGBColor(0, 0, 255)},
    };
    for (const auto& c : cases) {
        Printer(c.colour, c.round);
        auto page = CDC::CreatePrinterPage(400, 300, 254, 254, true);
        const CPoint origin(10, 20);
        CLabelPos pos;
        r->Print(page.get(), &pos, &origin, FALSE);
        EXPECT_EQ(page->GetPixel(CPoint(110, 120)), c.corner) << c.colour << c.round;
        EXPECT_EQ(page->GetPixel(CPoint(210, 170)), c.inside) << c.colour << c.round;
        EXPECT_EQ(page->GetPixel(CPoint(210, 122)), c.outline) << c.colour << c.round;
        EXPECT_EQ(page->GetPixel(CPoint(210, 126)), c.inside) << c.colour << c.round;  // inside the 5-dot frame
        EXPECT_EQ(page->GetPixel(CPoint(210, 119)), 0xFFFFFFu);                       // nothing outside
    }
    // The bitmap: the print rectangle's size, white inside.
    Printer(false, true);
    CLabelPos pos;
    const auto bmp = r->CreatePrintBitmap(&pos, FALSE);
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->Width(), 200);
    EXPECT_EQ(bmp->Height(), 100);
    EXPECT_TRUE(bmp->IsBlack(100, 2));
    EXPECT_FALSE(bmp->IsBlack(100, 50));
    EXPECT_FALSE(bmp->IsBlack(0, 0));  // a round corner
    r->m_nShape = SHAPE_ELLIPSE;
    const auto ellipse = r->CreatePrintBitmap(&pos, FALSE);
    EXPECT_TRUE(ellipse->IsBlack(100, 1));
    EXPECT_FALSE(ellipse->IsBlack(20, 3));
}

TEST_F(ShapeFixture, LinesFillTheirRectangleOrParallelogram)
{
    auto* h = Add(new CDrawLine(CRect(1000, 500, 3000, 530)));
    CLabelPos pos;
    const auto hb = h->CreatePrintBitmap(&pos, FALSE);
    ASSERT_TRUE(hb);
    EXPECT_EQ(hb->Width(), 200);
    EXPECT_EQ(hb->Height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 200; ++x) ASSERT_TRUE(hb->IsBlack(x, y));

    auto* d = Add(new CDrawLine(CRect(1000, 1000, 2000, 2000)));
    d->m_nDirection = LINE_DIAG_DOWN;
    d->m_nThickness = 100;  // 10 dots across
    CRect area;
    d->GetPrintRect(nullptr, &pos, &area, FALSE);
    EXPECT_EQ(area, CRect(95, 95, 205, 205));  // room for the thick ends
    const auto db = d->CreatePrintBitmap(&pos, FALSE);
    ASSERT_TRUE(db);
    // Along the diagonal black, across it white beyond half the thickness.
    EXPECT_TRUE(db->IsBlack(55, 55));
    EXPECT_TRUE(db->IsBlack(58, 52));
    EXPECT_FALSE(db->IsBlack(65, 45));
    EXPECT_FALSE(db->IsBlack(10, 100));
    // The other diagonal runs from top-right to bottom-left.
    d->m_nDirection = LINE_DIAG_UP;
    const auto ub = d->CreatePrintBitmap(&pos, FALSE);
    EXPECT_TRUE(ub->IsBlack(55, 55));
    EXPECT_TRUE(ub->IsBlack(100, 10));
    EXPECT_FALSE(ub->IsBlack(10, 10));

    // Line colour: template lines always keep theirs.
    h->m_crLine = RGBColor(0, 160, 0);
    auto page = CDC::CreatePrinterPage(400, 100, 254, 254, true);
    h->Print(page.get(), &pos, nullptr, FALSE);
    EXPECT_EQ(page->GetPixel(CPoint(150, 51)), 0u);
    h->m_dwFlags |= OF_TEMPLATE;
    h->Print(page.get(), &pos, nullptr, FALSE);
    EXPECT_EQ(page->GetPixel(CPoint(150, 51)), RGBColor(0, 160, 0));
}

TEST_F(ShapeFixture, GroupsDrawTheirChildren)
{
    auto* g = new CDrawGroup;
    g->AddChild(new CDrawRect(CRect(100, 100, 500, 500)));
    g->AddChild(new CDrawLine(CRect(600, 100, 900, 130)));
    g->UnionChildren();
    Add(g);
    for (CDrawObj* c : g->m_children) c->m_pDocument = &doc;
    auto page = CDC::CreatePrinterPage(100, 60, 254, 254);
    CLabelPos pos;
    g->Print(page.get(), &pos, nullptr, FALSE);
    EXPECT_EQ(page->GetPixel(CPoint(11, 30)), 0u);
    EXPECT_EQ(page->GetPixel(CPoint(75, 11)), 0u);
    EXPECT_FALSE(g->CreatePrintBitmap(&pos, FALSE));
}

TEST_F(ShapeFixture, TrackerHandlesMasterAndGroupOutline)
{
    // At 254 pixels per inch and 100 %, one pixel is ten units.
    CFixedView view(100, 254, CPoint(5, 5));
    auto* r = Add(new CDrawRect(CRect(200, 200, 800, 600)));
    doc.m_bShowRemarks = false;
    auto dc = CDC::CreateView(120, 100, 254);
    dc->FillSolidRect(CRect(0, 0, 120, 100), RGBColor(100, 100, 100));
    r->DrawTracker(&view, dc.get(), 2);
    // A 7 x 7 inverted square centred on each handle: top-left at (25, 25).
    EXPECT_EQ(dc->GetPixel(CPoint(22, 22)), RGBColor(155, 155, 155));
    EXPECT_EQ(dc->GetPixel(CPoint(28, 28)), RGBColor(155, 155, 155));
    EXPECT_EQ(dc->GetPixel(CPoint(29, 29)), RGBColor(100, 100, 100));
    EXPECT_EQ(dc->GetPixel(CPoint(55, 65)), RGBColor(155, 155, 155));  // bottom centre
    // The master's handles: 6 x 6 blue.
    r->DrawTracker(&view, dc.get(), 3);
    EXPECT_EQ(dc->GetPixel(CPoint(22, 22)), 0xFF0000u);
    EXPECT_EQ(dc->GetPixel(CPoint(27, 27)), 0xFF0000u);
    EXPECT_EQ(dc->GetPixel(CPoint(28, 28)), RGBColor(155, 155, 155));
    // Unselected: nothing.
    auto clean = CDC::CreateView(120, 100, 254);
    r->DrawTracker(&view, clean.get(), 1);
    EXPECT_EQ(clean->GetPixel(CPoint(25, 25)), 0xFFFFFFu);
    // Printers never get trackers.
    auto page = CDC::CreatePrinterPage(120, 100, 254, 254);
    r->DrawTracker(&view, page.get(), 2);
    EXPECT_EQ(page->GetPixel(CPoint(25, 25)), 0xFFFFFFu);

    auto* g = new CDrawGroup;
    g->AddChild(new CDrawRect(CRect(300, 300, 700, 700)));
    g->UnionChildren();
    Add(g);
    for (COLORREF want : {COLORREF(0x0000FF), COLORREF(0xA0A0A0)}) {
        if (want == 0xA0A0A0) g->m_dwFlags |= OF_NOPRINT;
        auto gdc = CDC::CreateView(120, 100, 254);
        g->DrawTracker(&view, gdc.get(), 2);
        // Dotted: every other pixel along the top edge (between the handles).
        int dots = 0;
        for (int x = 40; x < 52; ++x) dots += gdc->GetPixel(CPoint(x, 35)) == want;
        EXPECT_EQ(dots, 6) << std::hex << want;
        EXPECT_EQ(gdc->GetPixel(CPoint(45, 50)), 0xFFFFFFu);  // no fill
    }
}

TEST_F(ShapeFixture, CommentTagAndMarker)
{
    CFixedView view(100, 254, CPoint(0, 0));
    auto* r = Add(new CDrawRect(CRect(200, 200, 2200, 1200)));
    r->m_strComment = "Check\rsecond line";
    auto dc = CDC::CreateView(300, 200, 254);
    r->DrawTracker(&view, dc.get(), 1);
    EXPECT_EQ(dc->GetPixel(CPoint(22, 22)), 0xFFFFFFu);  // no tag for an unselected object
    r->DrawTracker(&view, dc.get(), 2);
    EXPECT_EQ(dc->GetPixel(CPoint(21, 21)), 0xB4FFFFu);
    EXPECT_EQ(dc->GetPixel(CPoint(26, 21)), 0xB4FFFFu);
    doc.m_bShowRemarks = false;
    auto off = CDC::CreateView(300, 200, 254);
    r->DrawTracker(&view, off.get(), 2);
    EXPECT_EQ(off->GetPixel(CPoint(26, 21)), 0xFFFFFFu);
    doc.m_bShowRemarks = true;

    // A marked object gets its marker cell at the corner, and the tag moves right.
    doc.m_format.m_nLanguage = 1;
    doc.m_format.SetProperty(LFP_WINDOWS_DRIVER, "N");
    doc.ReloadPrinterFonts();
    auto* t = Add(new CDrawText(CRect(200, 200, 2200, 600)));
    t->m_strFontName = "Zebra Font C";
    t->m_nAlign = TEXT_ALIGN_FULL;
    t->m_strComment = "Note";
    ASSERT_EQ(t->GetDataIcon(), 2);
    auto marked = CDC::CreateView(300, 200, 254);
    t->DrawTracker(&view, marked.get(), 2);
    const QImage& strip = MarkerStrip();
    for (int x = 0; x < kMarkerWidth; x += 5)
        EXPECT_EQ(marked->GetImage().pixel(20 + x, 27), strip.pixel(2 * kMarkerWidth + x, 7)) << x;
    EXPECT_EQ(marked->GetPixel(CPoint(20 + kMarkerWidth + 1, 21)), 0xB4FFFFu);
}

}  // namespace
