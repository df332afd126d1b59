// korvane render: the printed picture of a label at the printer's
// resolution, the designer's picture at 100 %, and a golden picture of a
// label with every kind of text layout.
#include <QImage>
#include <cstdlib>
#include <gtest/gtest.h>

#include "data/variable.h"
#include "model/document.h"
#include "model/drawgroup.h"
#include "model/drawline.h"
#include "model/drawrect.h"
#include "model/drawtext.h"
#include "support/kvtest.h"

namespace {

CDrawText* AddText(CKVDoc& doc, const std::string& data, CRect position, int height = 1000)
{
    auto* t = new CDrawText(position);
    t->m_nFontHeight = height;
    doc.AddObject(t);
    auto* v = new CVariable;
    v->m_strName = "T" + std::to_string(doc.m_objects.size());
    v->m_strData = data;
    doc.AddVariable(v);
    t->AddVariable(v);
    return t;
}

// An 80 x 50 mm roll label with text in every layout, and shapes.
void BuildTextLabel(CKVDoc& doc)
{
    ASSERT_TRUE(doc.OnNewDocument());
    ASSERT_TRUE(doc.ApplyPaperDefinition("Roll 80x50=1,80,50,1,2,3,0,0,0,0,0,0,0"));
    auto* frame = new CDrawRect(CRect(100, 100, 7900, 4900));
    frame->m_nShape = SHAPE_ROUNDRECT;
    frame->m_nThickness = 40;
    doc.AddObject(frame);

    CDrawText* title = AddText(doc, "Korvane 0123", CRect(400, 300, 4000, 800), 1600);
    title->m_nStyle = TS_BOLD;
    CDrawText* right = AddText(doc, "right edge", CRect(4500, 300, 7600, 700), 1000);
    right->m_nAlign = TEXT_ALIGN_RIGHT;
    right->m_strFontName = "Times New Roman";
    CDrawText* full = AddText(doc, "Fitted into a narrow box whatever its length", CRect(400, 1000, 3800, 1400), 1000);
    full->m_nAlign = TEXT_ALIGN_FULL;
    CDrawText* spread = AddText(doc, "SPREAD", CRect(400, 1500, 3800, 1900), 1000);
    spread->m_nAlign = TEXT_ALIGN_FULL;
    CDrawText* multi = AddText(doc, "Lines wrap in the box\nand break at feeds", CRect(400, 2100, 3200, 3000), 900);
    multi->m_nLayout = TEXT_MULTI_LINE;
    multi->m_nAlign = TEXT_ALIGN_CENTER;
    multi->m_strFontName = "Courier New";
    CDrawText* reverse = AddText(doc, "WHITE ON BLACK", CRect(400, 3900, 3500, 4400), 1100);
    reverse->m_nStyle = TS_WHITE_ON_BLACK | TS_BOLD;
    reverse->m_nBackground = 0;
    CDrawText* mirrored = AddText(doc, "Mirrored", CRect(400, 4400, 3000, 4800), 1000);
    mirrored->m_dwFlags = 0x10;
    CDrawText* up = AddText(doc, "Upward", CRect(3900, 2000, 4300, 4700), 1100);
    up->m_nRotation = 1;
    CDrawText* arc = AddText(doc, "ROUND AND ROUND", CRect(5200, 2000, 7200, 4000), 900);
    arc->m_nLayout = TEXT_ARC;
    arc->SetIntProperty(TP_ARC_RADIUS, 700);
    arc->SetIntProperty(TP_ARC_START, 330);
    arc->SetIntProperty(TP_ARC_SWEEP, 300);
    arc->SetIntProperty(TP_ARC_ORIENTATION, 1);
    CDrawText* ocr = AddText(doc, "OCR-B 123", CRect(4300, 1000, 7600, 1500), 1200);
    ocr->m_strFontName = "OCR-B-10 BT";
    ocr->m_nAlign = TEXT_ALIGN_RIGHT;

    auto* circle = new CDrawRect(CRect(5700, 2500, 6700, 3500));
    circle->m_nShape = SHAPE_ELLIPSE;
    circle->m_nThickness = 60;
    auto* cross = new CDrawLine(CRect(5700, 2500, 6700, 3500));
    cross->m_nDirection = LINE_DIAG_UP;
    cross->m_nThickness = 50;
    auto* group = new CDrawGroup;
    group->AddChild(circle);
    group->AddChild(cross);
    group->UnionChildren();
    doc.AddObject(group);
    for (CDrawObj* child : group->m_children) {
        child->m_pDocument = &doc;
        child->m_nID = doc.TakeNextId();
    }
    auto* rule = new CDrawLine(CRect(4300, 1700, 7600, 1740));
    rule->m_nThickness = 40;
    doc.AddObject(rule);
    auto* hidden = new CDrawRect(CRect(4300, 1800, 7600, 1900));
    hidden->m_dwFlags = OF_NOPRINT;  // shown in the designer, never printed
    doc.AddObject(hidden);
    for (CDrawObj* obj : doc.m_objects) obj->RecalcSize();
}

std::string SaveTextLabel(const kvtest::TempDir& dir)
{
    CKVDoc doc;
    BuildTextLabel(doc);
    const std::string path = dir.file("text.kvd");
    std::string error;
    EXPECT_TRUE(doc.SaveDocument(path, &error)) << error;
    return path;
}

QImage Render(const std::vector<std::string>& args)
{
    kvtest::TempDir dir;
    std::vector<std::string> all = {"render"};
    all.insert(all.end(), args.begin(), args.end());
    all.push_back("-o");
    all.push_back(dir.file("out.png"));
    const auto r = kvtest::RunKorvane(all);
    EXPECT_EQ(r.status, 0) << r.err;
    return QImage(QString::fromStdString(dir.file("out.png")));
}

bool Dark(const QImage& img, int x, int y) { return qGray(img.pixel(x, y)) < 128; }

TEST(RenderCli, PrintsTheLabelAtThePrintersResolution)
{
    const QImage img = Render({kvtest::SourcePath("examples/sheet.kvd"), "--dpi", "300"});
    ASSERT_FALSE(img.isNull());
    // 100 x 70 mm at 300 dpi.
    EXPECT_EQ(img.width(), UnitsToDots(10000, 300));
    EXPECT_EQ(img.height(), UnitsToDots(7000, 300));
    EXPECT_EQ(img.dotsPerMeterX(), 11811);
    // The frame 2 mm inside the edge, 0.4 mm thick (inside the rectangle).
    const int x = UnitsToDots(5000, 300);
    EXPECT_FALSE(Dark(img, x, UnitsToDots(190, 300)));
    EXPECT_TRUE(Dark(img, x, UnitsToDots(210, 300)));
    EXPECT_TRUE(Dark(img, x, UnitsToDots(230, 300)));
    EXPECT_FALSE(Dark(img, x, UnitsToDots(250, 300)));
    // The rule across at 20 mm, the ellipse's left side at 65 mm.
    EXPECT_TRUE(Dark(img, x, UnitsToDots(2015, 300)));
    EXPECT_TRUE(Dark(img, UnitsToDots(6505, 300), UnitsToDots(4500, 300)));
    // Nothing but black and white on a label printer.
    for (int yy = 0; yy < img.height(); yy += 3)
        for (int xx = 0; xx < img.width(); xx += 3) {
            const int g = qGray(img.pixel(xx, yy));
            ASSERT_TRUE(g == 0 || g == 255) << xx << "," << yy;
        }
}

TEST(RenderCli, ScreenShowsTheDesignerPicture)
{
    kvtest::TempDir dir;
    const std::string path = SaveTextLabel(dir);
    const QImage screen = Render({path, "--screen"});
    ASSERT_FALSE(screen.isNull());
    // 80 x 50 mm at 96 pixels per inch, with a margin of desk around.
    EXPECT_EQ(screen.width(), UnitsToDots(8000, 96) + 16);
    EXPECT_EQ(screen.height(), UnitsToDots(5000, 96) + 16);
    EXPECT_EQ(screen.pixel(2, 2), qRgb(0, 0x63, 0xB4));
    EXPECT_EQ(screen.pixel(8 + UnitsToDots(4000, 96), 8 + UnitsToDots(3200, 96)), qRgb(255, 255, 255));
    // The non-printing box is shown on screen but not printed.
    const int hx = 8 + UnitsToDots(5000, 96), hy = 8 + UnitsToDots(1800, 96);
    EXPECT_EQ(screen.pixel(hx, hy), qRgb(0, 0, 0));
    const QImage printed = Render({path, "--dpi", "96"});
    EXPECT_FALSE(Dark(printed, hx - 8, hy - 8));
}

TEST(RenderCli, RefusesBadArguments)
{
    EXPECT_NE(kvtest::RunKorvane({"render", kvtest::SourcePath("examples/sheet.kvd")}).status, 0);
    EXPECT_NE(kvtest::RunKorvane({"render", kvtest::SourcePath("examples/sheet.kvd"), "-o", "/tmp/x.png", "--dpi", "5"}).status, 0);
    kvtest::TempDir dir;
    const auto missing = kvtest::RunKorvane({"render", dir.file("none.kvd"), "-o", dir.file("x.png")});
    EXPECT_NE(missing.status, 0);
    EXPECT_NE(missing.err.find("korvane:"), std::string::npos);
}

// Pixels of a that have no pixel of the same darkness within one pixel in b.
int Unmatched(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const bool d = Dark(a, x, y);
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx) {
                    const int xx = x + dx, yy = y + dy;
                    if (xx >= 0 && yy >= 0 && xx < b.width() && yy < b.height() && Dark(b, xx, yy) == d) found = true;
                }
            n += !found;
        }
    return n;
}

// The printed label compared with its golden picture. Glyph rasterising may
// move an edge by a pixel between font library versions, so a pixel counts
// as different only when nothing of its colour lies within one pixel in the
// other picture, and up to 0.5 % of the golden picture's black pixels may
// differ. KV_UPDATE_GOLDEN=1 rewrites the golden picture.
TEST(RenderCli, TextLabelMatchesItsGoldenPicture)
{
    kvtest::TempDir dir;
    const std::string path = SaveTextLabel(dir);
    const QImage img = Render({path, "--dpi", "203"}).convertToFormat(QImage::Format_Grayscale8);
    ASSERT_FALSE(img.isNull());
    const std::string golden = kvtest::SourcePath("tests/fixtures/render/text_label_203.png");
    if (std::getenv("KV_UPDATE_GOLDEN")) {
        ASSERT_TRUE(img.save(QString::fromStdString(golden)));
        GTEST_SKIP() << "golden picture written";
    }
    const QImage want = QImage(QString::fromStdString(golden)).convertToFormat(QImage::Format_Grayscale8);
    ASSERT_FALSE(want.isNull()) << golden;
    ASSERT_EQ(img.size(), want.size());
    int ink = 0;
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x) ink += Dark(want, x, y);
    ASSERT_GT(ink, 1000);
    EXPECT_LE(Unmatched(img, want) + Unmatched(want, img), ink / 200);
}

}  // namespace
