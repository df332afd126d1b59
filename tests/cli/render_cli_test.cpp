// korvane render: the printed picture of a label at the printer's
// resolution, the designer's picture at 100 %, and a golden picture of the
// example label with every kind of text layout.
#include <QImage>
#include <cstdlib>
#include <gtest/gtest.h>

#include "data/variable.h"
#include "model/document.h"
#include "model/drawtext.h"
#include "support/kvtest.h"

namespace {

// The "text" example, written by the program.
std::string SaveTextLabel(const kvtest::TempDir& dir)
{
    const std::string path = dir.file("text.kvd");
    const auto r = kvtest::RunKorvane({"example", "text", path});
    EXPECT_EQ(r.status, 0) << r.err;
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

TEST(RenderCli, LabelNumberChoosesTheData)
{
    // A serial number counting one per label.
    kvtest::TempDir dir;
    const std::string path = dir.file("serial.kvd");
    {
        CKVDoc doc;
        ASSERT_TRUE(doc.OnNewDocument());
        auto* t = new CDrawText(CRect(500, 500, 5000, 1500));
        t->m_nFontHeight = 2000;
        doc.AddObject(t);
        auto* v = new CVariable;
        v->m_strName = "Serial";
        v->m_nKind = VK_SERIAL;
        v->m_strData = "100";
        v->m_nCountBasis = 1;  // counted in labels
        doc.AddVariable(v);
        t->AddVariable(v);
        t->RecalcSize();
        std::string error;
        ASSERT_TRUE(doc.SaveDocument(path, &error)) << error;
    }
    const QImage first = Render({path, "--dpi", "150"});
    const QImage again = Render({path, "--dpi", "150", "--label", "0"});
    const QImage later = Render({path, "--dpi", "150", "--label", "5"});
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first, again);
    EXPECT_NE(first, later);
    const auto info = kvtest::RunKorvane({"info", path, "--label", "5"});
    EXPECT_NE(info.out.find("105"), std::string::npos) << info.out;
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
