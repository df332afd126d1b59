// korvane render with pictures: the logo example, a transparent picture
// over a line, data-source pictures by label, and pictures whose file
// cannot be read.
#include <QImage>
#include <gtest/gtest.h>

#include "data/variable.h"
#include "model/document.h"
#include "model/drawline.h"
#include "model/drawpicture.h"
#include "platform/bitmap_file.h"
#include "support/kvtest.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Solid(int w, int h, const std::vector<COLORREF>& columns)
{
    Bytes b = MakeBitmapFile(w, h, 24, {}, 0, 0);
    BitmapFileInfo info;
    ParseBitmapFile(b.data(), b.size(), &info);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = columns[size_t(x * int(columns.size()) / w)];
            SetRowPixel(b.data() + info.pixelOffset + size_t(y) * info.stride, 24, x,
                        DWORD(RedOf(c)) << 16 | DWORD(GreenOf(c)) << 8 | DWORD(BlueOf(c)));
        }
    return b;
}

kvtest::RunResult RenderTo(const std::string& doc, const std::string& out, std::vector<std::string> extra = {})
{
    std::vector<std::string> args = {"render", doc, "-o", out, "--dpi", "254"};
    args.insert(args.end(), extra.begin(), extra.end());
    return kvtest::RunKorvane(args);
}

int Grey(const QImage& img, int x, int y) { return qGray(img.pixel(x, y)); }

TEST(RenderPictureCli, LogoExampleShowsItsPictures)
{
    kvtest::TempDir dir;
    const std::string path = dir.file("logo.kvd");
    const auto made = kvtest::RunKorvane({"example", "logo", path});
    ASSERT_EQ(made.status, 0) << made.err;

    CKVDoc doc;
    std::string error;
    ASSERT_TRUE(doc.OpenDocument(path, &error)) << error;
    std::vector<CDrawPicture*> pictures;
    for (CDrawObj* obj : doc.m_objects)
        if (auto* p = dynamic_cast<CDrawPicture*>(obj)) pictures.push_back(p);
    ASSERT_EQ(pictures.size(), 3u);
    std::vector<int> compressions;
    for (CDrawPicture* p : pictures) compressions.push_back(p->m_nCompression);
    EXPECT_EQ(compressions, (std::vector<int>{2, 1, 3}));

    const auto r = RenderTo(path, dir.file("out.png"));
    ASSERT_EQ(r.status, 0) << r.err;
    const QImage img(QString::fromStdString(dir.file("out.png")));
    ASSERT_FALSE(img.isNull());
    // The big logo: its tag (teal, a middle grey) left of its middle, the
    // white hole, at a tenth of a millimetre to the dot.
    const CRect big = pictures[0]->m_position;
    const int tagX = (big.left + big.Width() * 40 / 240) / 10, tagY = (big.top + big.Height() / 4) / 10;
    EXPECT_GT(Grey(img, tagX, tagY), 40);
    EXPECT_LT(Grey(img, tagX, tagY), 160);
    const int holeX = (big.left + big.Width() * 36 / 240) / 10, holeY = (big.top + big.Height() / 2) / 10;
    EXPECT_EQ(Grey(img, holeX, holeY), 255);
    // The screen picture of the designer shows them too.
    const auto screen = kvtest::RunKorvane({"render", path, "-o", dir.file("screen.png"), "--screen"});
    ASSERT_EQ(screen.status, 0) << screen.err;
}

TEST(RenderPictureCli, TransparentPictureShowsWhatLiesBelow)
{
    kvtest::TempDir dir;
    const std::string path = dir.file("t.kvd");
    {
        CKVDoc doc;
        ASSERT_TRUE(doc.OnNewDocument());
        auto* line = new CDrawLine(CRect(500, 900, 2500, 1100));
        line->m_nDirection = LINE_HORIZONTAL;
        line->m_nThickness = 200;
        doc.AddObject(line);
        for (int background : {1, 0}) {
            auto* p = new CDrawPicture(CRect(500, 500 + 1500 * (1 - background), 2500, 1500 + 1500 * (1 - background)));
            ASSERT_TRUE(p->m_image.SetData(Solid(2, 1, {RGBColor(255, 255, 255), RGBColor(200, 0, 0)})));
            p->m_nBackground = background;
            p->m_nSizeMode = PIC_FIT;  // stretched over its box when the document opens
            p->m_bKeepRatio = 0;
            doc.AddObject(p);
        }
        auto* below = new CDrawLine(CRect(500, 2400, 2500, 2600));
        below->m_nDirection = LINE_HORIZONTAL;
        below->m_nThickness = 200;
        doc.AddObject(below);
        std::string error;
        ASSERT_TRUE(doc.SaveDocument(path, &error)) << error;
    }
    const auto r = RenderTo(path, dir.file("out.png"));
    ASSERT_EQ(r.status, 0) << r.err;
    const QImage img(QString::fromStdString(dir.file("out.png")));
    // Transparent over the line: the line shows through the white half.
    EXPECT_LT(Grey(img, 100, 100), 32);
    EXPECT_EQ(Grey(img, 100, 60), 255);
    EXPECT_GT(Grey(img, 200, 60), 32);
    EXPECT_LT(Grey(img, 200, 60), 128);
    // The opaque picture, drawn before the line below it: white stays white
    // where the line does not reach, the line paints over the picture.
    EXPECT_EQ(Grey(img, 100, 210), 255);
    EXPECT_LT(Grey(img, 100, 250), 32);
}

// A label whose picture file is named by a serial number: pic1.bmp, pic2.bmp...
std::string SaveSerialPictureLabel(const kvtest::TempDir& dir, int missingAction)
{
    const std::string path = dir.file("serial.kvd");
    CKVDoc doc;
    EXPECT_TRUE(doc.OnNewDocument());
    auto* p = new CDrawPicture(CRect(500, 500, 1500, 1500));
    doc.AddObject(p);
    p->m_nSource = PIC_DATA_SOURCE;
    p->m_nSizeMode = PIC_FIT;
    p->m_bKeepRatio = 0;
    p->m_nMissingAction = missingAction;
    const char* parts[] = {"pic", "1", ".bmp"};
    for (int i = 0; i < 3; ++i) {
        auto* v = new CVariable;
        v->m_strName = std::string("Part") + char('A' + i);
        v->m_strData = parts[i];
        if (i == 1) {
            v->m_nKind = VK_SERIAL;
            v->m_nCountBasis = 1;  // one per label
        }
        doc.AddVariable(v);
        p->AddVariable(v);
    }
    std::string error;
    EXPECT_TRUE(doc.SaveDocument(path, &error)) << error;
    kvtest::WriteFileBytes(dir.file("pic1.bmp"), Solid(1, 1, {RGBColor(0, 0, 0)}));
    kvtest::WriteFileBytes(dir.file("pic2.bmp"), Solid(1, 1, {RGBColor(160, 160, 160)}));
    return path;
}

TEST(RenderPictureCli, DataSourcePictureOfEachLabel)
{
    kvtest::TempDir dir;
    const std::string path = SaveSerialPictureLabel(dir, PIC_MISSING_IGNORE);
    for (int label : {0, 1}) {
        const std::string out = dir.file("l" + std::to_string(label) + ".png");
        const auto r = RenderTo(path, out, {"--label", std::to_string(label)});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(Grey(QImage(QString::fromStdString(out)), 100, 100), label == 0 ? 0 : 160) << label;
    }
    // The third label's picture is not there: left out.
    const auto r = RenderTo(path, dir.file("l2.png"), {"--label", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Grey(QImage(QString::fromStdString(dir.file("l2.png"))), 100, 100), 255);
}

TEST(RenderPictureCli, MissingPictureStopsOrAsks)
{
    kvtest::TempDir dir;
    struct Case {
        int action;
        bool yes;
        bool prints;
        bool mark;
    };
    const Case cases[] = {
        {PIC_MISSING_ABORT, false, false, false}, {PIC_MISSING_ABORT, true, false, false},
        {PIC_MISSING_ASK, false, false, false},   {PIC_MISSING_ASK, true, true, false},
        {PIC_MISSING_MARK, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.action << (c.yes ? " --yes" : ""));
        const std::string path = SaveSerialPictureLabel(dir, c.action);
        const std::string out = dir.file("m.png");
        std::remove(out.c_str());
        std::vector<std::string> extra = {"--label", "4"};
        if (c.yes) extra.push_back("--yes");
        const auto r = RenderTo(path, out, extra);
        if (!c.prints) {
            EXPECT_NE(r.status, 0);
            EXPECT_NE(r.err.find("printing stopped"), std::string::npos) << r.err;
            EXPECT_NE(r.err.find("pic5.bmp"), std::string::npos) << r.err;
            continue;
        }
        ASSERT_EQ(r.status, 0) << r.err;
        const QImage img(QString::fromStdString(out));
        EXPECT_EQ(Grey(img, 100, 100) < 128, c.mark);  // the crossing of the diagonals
        EXPECT_EQ(Grey(img, 100, 75), 255);
    }
}

}  // namespace
