// Pictures drawn on screen, printed on pages and rendered into printer
// bitmaps: stretching, mirrors in the object's axes, white left unpainted,
// and what a picture that cannot be read leaves.
#include <gtest/gtest.h>

#include "data/variable.h"
#include "model/view.h"
#include "model/document.h"
#include "model/drawpicture.h"
#include "platform/bitmap_file.h"
#include "platform/dc.h"
#include "support/kvtest.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr COLORREF kRed = RGBColor(255, 0, 0), kGreen = RGBColor(0, 255, 0), kBlue = RGBColor(0, 0, 255),
                   kWhite = RGBColor(255, 255, 255), kBlack = 0;

// A 24-bit picture of the colours given row by row (top row first).
Bytes Picture(int w, int h, const std::vector<COLORREF>& colours, int ppm = 0)
{
    Bytes b = MakeBitmapFile(w, h, 24, {}, ppm, ppm);
    BitmapFileInfo info;
    ParseBitmapFile(b.data(), b.size(), &info);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = colours[size_t(y * w + x)];
            SetRowPixel(b.data() + info.pixelOffset + size_t(h - 1 - y) * info.stride, 24, x,
                        DWORD(RedOf(c)) << 16 | DWORD(GreenOf(c)) << 8 | DWORD(BlueOf(c)));
        }
    return b;
}

// Red, green on top; blue, white below.
CPictureImage Quadrants()
{
    CPictureImage img;
    EXPECT_TRUE(img.SetData(Picture(2, 2, {kRed, kGreen, kBlue, kWhite})));
    return img;
}

// The colour of each 4 x 4 quadrant of an 8 x 8 picture drawn at (0, 0).
std::vector<COLORREF> QuadrantsOf(const CDC& dc)
{
    std::vector<COLORREF> out;
    for (int y : {1, 6})
        for (int x : {1, 6}) out.push_back(dc.GetPixel(CPoint(x, y)));
    return out;
}

bool Crossed(const CMonoBitmap& b)
{
    // Outline and both diagonals black, the rest white.
    const int w = b.Width(), h = b.Height();
    return b.IsBlack(0, 0) && b.IsBlack(w - 1, 0) && b.IsBlack(0, h - 1) && b.IsBlack(w / 2, 0) &&
           b.IsBlack(w - 1, h / 2) && b.IsBlack(w / 2, h / 2) && !b.IsBlack(w / 2, h / 4) && !b.IsBlack(w / 4, h / 2);
}

TEST(PictureDraw, StretchesAndMirrorsInTheObjectsAxes)
{
    struct Case {
        int mirror, rotation;
        std::vector<COLORREF> expect;
    };
    const Case cases[] = {
        {0, 0, {kRed, kGreen, kBlue, kWhite}},
        {0, 1, {kRed, kGreen, kBlue, kWhite}},
        {1, 0, {kGreen, kRed, kWhite, kBlue}},  // horizontal: left to right
        {1, 2, {kGreen, kRed, kWhite, kBlue}},
        {1, 1, {kBlue, kWhite, kRed, kGreen}},  // across a turned picture: top to bottom
        {1, 3, {kBlue, kWhite, kRed, kGreen}},
        {2, 0, {kBlue, kWhite, kRed, kGreen}},  // vertical
        {2, 1, {kGreen, kRed, kWhite, kBlue}},
    };
    for (const Case& c : cases) {
        CPictureImage img = Quadrants();
        const Bytes before = img.GetData();
        auto dc = CDC::CreateView(8, 8);
        ASSERT_TRUE(img.DrawImage(dc.get(), 0, 0, 8, 8, FALSE, c.mirror, c.rotation));
        EXPECT_EQ(QuadrantsOf(*dc), c.expect) << "mirror " << c.mirror << " rotation " << c.rotation;
        EXPECT_EQ(img.GetData(), before);  // the image itself stays
    }
    // Negative sizes stand for the same rectangle.
    CPictureImage img = Quadrants();
    auto dc = CDC::CreateView(8, 8);
    img.DrawImage(dc.get(), 8, 8, -8, -8, FALSE, 0, 0);
    EXPECT_EQ(QuadrantsOf(*dc), (std::vector<COLORREF>{kRed, kGreen, kBlue, kWhite}));
    CPictureImage empty;
    EXPECT_FALSE(empty.DrawImage(dc.get(), 0, 0, 8, 8, FALSE, 0, 0));
}

TEST(PictureDraw, DirectColourDepthsAndBitFields)
{
    // 16 bits: five bits a channel unless masks say otherwise.
    struct Case {
        int bits;
        std::vector<DWORD> masks;  // empty: plain pixels
        DWORD pixel;
        COLORREF expect;
    };
    const Case cases[] = {
        {16, {}, 0x7C00, kRed},
        {16, {}, 0x03FF, RGBColor(0, 255, 255)},
        {16, {0xF800, 0x07E0, 0x001F}, 0x07E0, kGreen},
        {16, {0xF800, 0x07E0, 0x001F}, 0xF81F, RGBColor(255, 0, 255)},
        {32, {}, 0x000000FF, kBlue},
        {32, {0x000000FF, 0x0000FF00, 0x00FF0000}, 0x000000FF, kRed},
    };
    for (const Case& c : cases) {
        Bytes b = MakeBitmapFile(1, 1, c.bits, {});
        if (!c.masks.empty()) {
            // Compression 3 with the three masks after the information header.
            Bytes masks;
            for (DWORD m : c.masks)
                for (int i = 0; i < 4; ++i) masks.push_back(std::uint8_t(m >> (8 * i)));
            b.insert(b.begin() + 54, masks.begin(), masks.end());
            b[10] = 66;
            b[30] = 3;
        }
        BitmapFileInfo info;
        ASSERT_TRUE(ParseBitmapFile(b.data(), b.size(), &info));
        SetRowPixel(b.data() + info.pixelOffset, c.bits, 0, c.pixel);
        CPictureImage img;
        ASSERT_TRUE(img.SetData(b));
        auto dc = CDC::CreateView(1, 1);
        img.DrawImage(dc.get(), 0, 0, 1, 1, FALSE, 0, 0);
        EXPECT_EQ(dc->GetPixel(CPoint(0, 0)), c.expect) << c.bits << " " << std::hex << c.pixel;
    }
}

TEST(PictureDraw, TransparentLeavesWhiteUnpainted)
{
    // On colour, grey and black-and-white targets alike.
    auto view = CDC::CreateView(8, 8);
    auto page = CDC::CreatePrinterPage(8, 8, 300, 300);
    auto mono = CDC::CreateMonoBitmap(8, 8);
    for (CDC* dc : {view.get(), page.get(), mono.get()}) {
        dc->FillSolidRect(CRect(0, 0, 8, 8), kBlack);
        CPictureImage img = Quadrants();
        ASSERT_TRUE(img.DrawImage(dc, 0, 0, 8, 8, TRUE, 0, 0));
        const std::vector<COLORREF> q = QuadrantsOf(*dc);
        EXPECT_EQ(q[0], dc->MapColor(kRed));
        EXPECT_EQ(q[1], dc->MapColor(kGreen));
        EXPECT_EQ(q[2], dc->MapColor(kBlue));
        EXPECT_EQ(q[3], kBlack);  // the white quadrant shows what was there
    }
    // Opaque, white paints white.
    view->FillSolidRect(CRect(0, 0, 8, 8), kBlack);
    Quadrants().DrawImage(view.get(), 0, 0, 8, 8, FALSE, 0, 0);
    EXPECT_EQ(QuadrantsOf(*view)[3], kWhite);
}

TEST(PictureDraw, HalfToneShrinksDeepPicturesAndDropsPixelsOfShallowOnes)
{
    // Black and white columns shrunk to half: 24 bits average them to
    // grey, 1 bit keeps whole pixels.
    const std::vector<COLORREF> stripes = {kBlack, kWhite, kBlack, kWhite, kBlack, kWhite, kBlack, kWhite};
    CPictureImage deep;
    ASSERT_TRUE(deep.SetData(Picture(8, 1, stripes)));
    Bytes bits = MakeBitmapFile(8, 1, 1, {kBlack, kWhite});
    BitmapFileInfo info;
    ParseBitmapFile(bits.data(), bits.size(), &info);
    bits[info.pixelOffset] = 0x55;  // 0 1 0 1 0 1 0 1
    CPictureImage shallow;
    ASSERT_TRUE(shallow.SetData(bits));

    auto dc = CDC::CreateView(4, 1);
    deep.DrawImage(dc.get(), 0, 0, 4, 1, FALSE, 0, 0);
    const int g = RedOf(dc->GetPixel(CPoint(1, 0)));
    EXPECT_GT(g, 64);
    EXPECT_LT(g, 192);
    shallow.DrawImage(dc.get(), 0, 0, 4, 1, FALSE, 0, 0);
    for (int x = 0; x < 4; ++x) {
        const COLORREF c = dc->GetPixel(CPoint(x, 0));
        EXPECT_TRUE(c == kBlack || c == kWhite) << x;
    }
}

TEST(PictureDraw, OnlyTheVisiblePartIsMade)
{
    CPictureImage img = Quadrants();
    auto dc = CDC::CreateView(8, 8);
    // Half off the top-left corner: the white quadrant lands on the view.
    ASSERT_TRUE(img.DrawImage(dc.get(), -8, -8, 16, 16, FALSE, 0, 0));
    EXPECT_EQ(dc->GetPixel(CPoint(0, 0)), kWhite);
    // A picture far larger than the target (a deep zoom) draws its corner.
    ASSERT_TRUE(img.DrawImage(dc.get(), 0, 0, 2000000, 2000000, FALSE, 0, 0));
    EXPECT_EQ(dc->GetPixel(CPoint(7, 7)), kRed);
    // Wholly outside: nothing to do.
    EXPECT_TRUE(img.DrawImage(dc.get(), 100, 100, 8, 8, FALSE, 0, 0));
}

TEST(PictureDraw, ObjectDrawsItsPictureOrACrossedBox)
{
    CFixedView view(100, 254);  // 10 units to the pixel
    CDrawPicture p(CRect(0, 0, 80, 80));
    ASSERT_TRUE(p.m_image.SetData(Picture(2, 2, {kRed, kGreen, kBlue, kWhite})));
    auto dc = CDC::CreateView(8, 8);
    p.Draw(&view, dc.get());
    EXPECT_EQ(QuadrantsOf(*dc), (std::vector<COLORREF>{kRed, kGreen, kBlue, kWhite}));

    p.m_image.Empty();
    auto cross = CDC::CreateMonoBitmap(8, 8);
    p.Draw(&view, cross.get());
    EXPECT_TRUE(Crossed(cross->GetMonoBitmap()));
}

// A document with a data-source picture fed by one variable.
struct DataSourceLabel {
    kvtest::TempDir dir;
    CKVDoc doc;
    CVariable* var = new CVariable;
    CDrawPicture* picture = new CDrawPicture(CRect(1000, 1000, 1800, 1800));
    DataSourceLabel()
    {
        doc.m_strPath = dir.file("label.kvd");
        doc.m_format.m_nHDpi = doc.m_format.m_nVDpi = 254;  // 10 units to the dot
        doc.AddVariable(var);
        doc.AddObject(picture);
        picture->AddVariable(var);
        picture->m_nSource = PIC_DATA_SOURCE;
        picture->m_nSizeMode = PIC_FIT;
        picture->m_bKeepRatio = 0;
        kvtest::WriteFileBytes(dir.file("red.bmp"), Picture(1, 1, {kRed}));
        kvtest::WriteFileBytes(dir.file("blue.bmp"), Picture(1, 1, {kBlue}));
    }
};

TEST(PictureDraw, PrintsEachLabelsPictureAtItsOrigin)
{
    DataSourceLabel l;
    auto page = CDC::CreatePrinterPage(400, 400, 254, 254, true);
    const CPoint origin(200, 100);
    CLabelPos pos;
    l.var->m_strData = "red.bmp";
    l.picture->Print(page.get(), &pos, &origin, FALSE);
    EXPECT_EQ(page->GetPixel(CPoint(300, 200)), kRed);   // (100, 100) dots into the label
    EXPECT_EQ(page->GetPixel(CPoint(379, 279)), kRed);
    EXPECT_EQ(page->GetPixel(CPoint(380, 280)), kWhite);
    l.var->m_strData = "blue.bmp";
    l.picture->Print(page.get(), &pos, &origin, FALSE);
    EXPECT_EQ(page->GetPixel(CPoint(300, 200)), kBlue);

    // Turned and mirrored with the object.
    kvtest::WriteFileBytes(l.dir.file("q.bmp"), Picture(2, 2, {kRed, kGreen, kBlue, kWhite}));
    l.var->m_strData = "q.bmp";
    l.picture->m_nRotation = 1;
    auto turned = CDC::CreatePrinterPage(200, 200, 254, 254, true);
    l.picture->Print(turned.get(), &pos, nullptr, FALSE);
    // A quarter turn counter-clockwise: green top left, white bottom left.
    EXPECT_EQ(turned->GetPixel(CPoint(110, 110)), kGreen);
    EXPECT_EQ(turned->GetPixel(CPoint(110, 170)), kRed);
    EXPECT_EQ(turned->GetPixel(CPoint(170, 110)), kWhite);
}

TEST(PictureDraw, UnreadableLabelPictureFollowsTheMissingAction)
{
    struct Case {
        int action;
        bool mark;
        bool stops;
    };
    const Case cases[] = {
        {PIC_MISSING_IGNORE, false, false},
        {PIC_MISSING_MARK, true, false},
        {PIC_MISSING_ABORT, false, true},
        {PIC_MISSING_ASK, false, true},  // nobody answers Yes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        DataSourceLabel l;
        l.var->m_strData = "gone.bmp";
        l.picture->m_nMissingAction = c.action;
        kvtest::CaptureMessages messages;
        auto page = CDC::CreatePrinterPage(200, 200, 254, 254);
        CLabelPos pos;
        l.picture->Print(page.get(), &pos, nullptr, FALSE);
        EXPECT_EQ(page->GetMonoBitmap().IsBlack(100, 100), c.mark);
        EXPECT_EQ(page->GetMonoBitmap().IsBlack(140, 140), c.mark);  // on the diagonal
        EXPECT_FALSE(page->GetMonoBitmap().IsBlack(120, 140));
        EXPECT_EQ(l.doc.m_bStopPrinting, c.stops);
        if (c.stops) {
            ASSERT_EQ(messages.messages.size(), 1u);
            EXPECT_NE(messages.messages[0].text.find(l.dir.file("gone.bmp")), std::string::npos);
        }

        l.doc.m_bStopPrinting = false;
        const auto bitmap = l.picture->CreatePrintBitmap(&pos, FALSE);
        EXPECT_EQ(bitmap != nullptr, c.mark);
        if (bitmap) {
            EXPECT_EQ(bitmap->Width(), 80);
            EXPECT_TRUE(Crossed(*bitmap));
        }
    }

    // A linked picture whose file was not found follows it too; an
    // embedded one without pixels prints nothing.
    DataSourceLabel l;
    l.picture->m_nSource = PIC_LINKED;
    l.picture->m_strFileName = l.dir.file("gone.bmp");
    l.picture->m_nMissingAction = PIC_MISSING_MARK;
    l.picture->RecalcSize();
    ASSERT_FALSE(l.picture->m_image.IsValid());
    CLabelPos pos;
    const auto linked = l.picture->CreatePrintBitmap(&pos, FALSE);
    ASSERT_NE(linked, nullptr);
    EXPECT_TRUE(Crossed(*linked));
    l.picture->m_nSource = PIC_EMBEDDED;
    EXPECT_EQ(l.picture->CreatePrintBitmap(&pos, FALSE), nullptr);
}

TEST(PictureDraw, PrintBitmapIsThePictureInBlackAndWhite)
{
    DataSourceLabel l;
    CDrawPicture* p = l.picture;
    p->m_nSource = PIC_EMBEDDED;
    // Dark red and blue turn black, light green and white stay white.
    ASSERT_TRUE(p->m_image.SetData(Picture(2, 2, {RGBColor(128, 0, 0), RGBColor(160, 255, 160), kBlue, kWhite})));
    CLabelPos pos;
    auto bitmap = p->CreatePrintBitmap(&pos, FALSE);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_EQ(bitmap->Width(), 80);
    ASSERT_EQ(bitmap->Height(), 80);
    EXPECT_TRUE(bitmap->IsBlack(10, 10));
    EXPECT_FALSE(bitmap->IsBlack(70, 10));
    EXPECT_TRUE(bitmap->IsBlack(10, 70));
    EXPECT_FALSE(bitmap->IsBlack(70, 70));
    // Mirrored left to right.
    p->m_dwFlags |= 0x10;
    bitmap = p->CreatePrintBitmap(&pos, FALSE);
    EXPECT_FALSE(bitmap->IsBlack(10, 10));
    EXPECT_TRUE(bitmap->IsBlack(70, 10));

    // A data-source picture of the label.
    p->m_nSource = PIC_DATA_SOURCE;
    p->m_dwFlags = 0;
    l.var->m_strData = "blue.bmp";
    bitmap = p->CreatePrintBitmap(&pos, FALSE);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_TRUE(bitmap->IsBlack(40, 40));
}

}  // namespace
