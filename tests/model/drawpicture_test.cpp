#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>

#include "data/variable.h"
#include "model/document.h"
#include "model/drawpicture.h"
#include "model/packstream.h"
#include "platform/bitmap_file.h"
#include "model/placeholder_picture.h"
#include "support/kvtest.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

DWORD Pattern(int x, int y) { return (DWORD(x + 1) * 2654435761u ^ DWORD(y + 3) * 40503u) & 0xFFFFFF; }

// A 24-bit bitmap file of w x h pixels at ppm pixels per metre.
Bytes PatternBitmap(int w, int h, int ppm)
{
    Bytes b = MakeBitmapFile(w, h, 24, {}, ppm, ppm);
    BitmapFileInfo info;
    ParseBitmapFile(b.data(), b.size(), &info);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            SetRowPixel(b.data() + info.pixelOffset + size_t(h - 1 - y) * info.stride, 24, x, Pattern(x, y));
    return b;
}

// Writes a picture file whose natural size is w x h units (100 pixels per
// 1000 units) and returns its path.
std::string WritePicture(const kvtest::TempDir& dir, const std::string& name, int w, int h)
{
    const std::string path = dir.file(name);
    kvtest::WriteFileBytes(path, PatternBitmap(w / 10, h / 10, 10000));
    return path;
}

// A document holding the objects, saved and loaded back.
struct Reloaded {
    CKVDoc doc;
    bool ok = false;
    std::string reason;
};
std::unique_ptr<Reloaded> Reload(CKVDoc& doc)
{
    const Bytes bytes = doc.SaveToBytes();
    auto r = std::make_unique<Reloaded>();
    r->ok = r->doc.LoadFromBytes(bytes.data(), bytes.size(), &r->reason);
    return r;
}

CDrawPicture* AddPicture(CKVDoc& doc, CRect r)
{
    auto* p = new CDrawPicture(r);
    doc.AddObject(p);
    return p;
}

size_t Find(const Bytes& hay, const std::string& needle, size_t from = 0)
{
    const auto it = std::search(hay.begin() + std::ptrdiff_t(from), hay.end(), needle.begin(), needle.end());
    return it == hay.end() ? std::string::npos : size_t(it - hay.begin());
}

TEST(DrawPicture, NewPictureIsOpaqueWithThePlaceholder)
{
    CDrawPicture p(CRect(0, 0, 2084, 472));
    EXPECT_EQ(p.m_nType, OBJ_PICTURE);
    EXPECT_EQ(p.m_nBackground, 0);
    EXPECT_EQ(p.m_nSource, PIC_EMBEDDED);
    EXPECT_EQ(p.m_nSizeMode, PIC_SCALE);
    EXPECT_EQ(p.m_bKeepRatio, 1);
    EXPECT_EQ(p.m_nMissingAction, PIC_MISSING_IGNORE);
    EXPECT_EQ(p.m_nCompression, 2);
    EXPECT_EQ(p.m_nNaturalWidth, 2084);
    EXPECT_EQ(p.m_nNaturalHeight, 472);
    EXPECT_EQ(p.m_image.GetData(), PlaceholderPicture());
    EXPECT_STREQ(p.GetRuntimeClass()->m_name, "CDrawPicture");
}

TEST(DrawPicture, PlaceholderIsSavedWithLzssAndReadBack)
{
    CKVDoc doc;
    CDrawPicture* p = AddPicture(doc, CRect(100, 100, 2184, 572));
    const Bytes bytes = doc.SaveToBytes();
    const size_t tag = Find(bytes, "**++LZSS");
    ASSERT_NE(tag, std::string::npos);
    // Compression and the container's length come just before it.
    EXPECT_EQ(bytes[tag - 8], 2);
    DWORD n;
    std::memcpy(&n, &bytes[tag - 4], 4);
    EXPECT_EQ(int(n), p->m_nStoredSize);
    EXPECT_LT(n, PlaceholderPicture().size());

    CKVDoc back;
    std::string reason;
    ASSERT_TRUE(back.LoadFromBytes(bytes.data(), bytes.size(), &reason)) << reason;
    auto* q = dynamic_cast<CDrawPicture*>(back.m_objects.at(0));
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->m_image.GetData(), PlaceholderPicture());
    EXPECT_EQ(q->m_image.m_nNaturalWidth, 2084);
    EXPECT_EQ(q->m_image.m_nNaturalHeight, 472);
    EXPECT_EQ(q->m_nStoredSize, int(n));
    EXPECT_EQ(q->m_nBackground, 0);
}

TEST(DrawPicture, EmbeddedPixelsRoundTripWithEveryCompression)
{
    kvtest::TempDir dir;
    const std::string file = WritePicture(dir, "pattern.bmp", 3000, 1000);
    for (int compression : {0, 1, 2, 3, 7}) {
        SCOPED_TRACE(compression);
        CKVDoc doc;
        CDrawPicture* p = AddPicture(doc, CRect(0, 0, 3000, 1000));
        p->m_strFileName = file;
        p->m_nCompression = compression;
        p->m_nRotation = 1;  // pixels are saved as shown
        p->m_nAlignment = 4;
        p->m_nEffects = 6;
        p->m_nMissingAction = 0;
        p->m_nPictureReserved = 9;
        p->RecalcSize();
        EXPECT_EQ(p->m_strFileName, "");
        EXPECT_EQ(p->m_image.m_nRotation, 90);
        const Bytes pixels = p->m_image.GetData();

        auto r = Reload(doc);
        ASSERT_TRUE(r->ok) << r->reason;
        auto* q = dynamic_cast<CDrawPicture*>(r->doc.m_objects.at(0));
        ASSERT_NE(q, nullptr);
        EXPECT_EQ(q->m_image.GetData(), pixels);
        EXPECT_EQ(q->m_image.m_nRotation, 90);
        EXPECT_EQ(q->m_nCompression, compression);
        EXPECT_EQ(q->m_nStoredSize, p->m_nStoredSize);
        if (compression == 0 || compression == 7) {
            EXPECT_EQ(size_t(q->m_nStoredSize), pixels.size());
        }
        for (auto field : {&CDrawPicture::m_nNaturalWidth, &CDrawPicture::m_nNaturalHeight, &CDrawPicture::m_nAlignment,
                           &CDrawPicture::m_nEffects, &CDrawPicture::m_nMissingAction,
                           &CDrawPicture::m_nPictureReserved, &CDrawPicture::m_nSizeMode, &CDrawPicture::m_bKeepRatio})
            EXPECT_EQ(q->*field, p->*field);
        EXPECT_EQ(q->m_position, p->m_position);
    }
}

TEST(DrawPicture, LinkedAndDataSourcePicturesStoreNoPixels)
{
    kvtest::TempDir dir;
    const std::string file = WritePicture(dir, "linked.bmp", 1000, 2000);
    for (int source : {PIC_LINKED, PIC_DATA_SOURCE}) {
        CKVDoc doc;
        CDrawPicture* p = AddPicture(doc, CRect(0, 0, 1000, 1000));
        p->m_nSource = source;
        p->m_strFileName = file;
        if (source == PIC_LINKED) {
            p->RecalcSize();
            ASSERT_EQ(p->m_image.m_nWidth, 100);
        }
        const Bytes bytes = doc.SaveToBytes();
        EXPECT_EQ(Find(bytes, "**++"), std::string::npos);
        EXPECT_LT(bytes.size(), 2000u);  // the picture alone has 60,000 bytes

        CKVDoc back;
        std::string reason;
        ASSERT_TRUE(back.LoadFromBytes(bytes.data(), bytes.size(), &reason)) << reason;
        auto* q = dynamic_cast<CDrawPicture*>(back.m_objects.at(0));
        EXPECT_EQ(q->m_nSource, source);
        EXPECT_EQ(q->m_strFileName, file);
        EXPECT_EQ(q->m_image.GetData(), PlaceholderPicture());  // until the file is read
        if (source == PIC_LINKED) {
            q->RecalcSize();
            EXPECT_EQ(q->m_image.GetData(), p->m_image.GetData());
        }
    }
}

TEST(DrawPicture, EmptyEmbeddedPictureSavesNoBytesAndLoadsThePlaceholder)
{
    kvtest::TempDir dir;
    CKVDoc doc;
    CDrawPicture* p = AddPicture(doc, CRect(0, 0, 1000, 1000));
    p->m_strFileName = dir.file("missing.png");
    p->RecalcSize();
    EXPECT_FALSE(p->m_image.IsValid());
    EXPECT_EQ(p->m_strFileName, "");
    auto r = Reload(doc);
    ASSERT_TRUE(r->ok) << r->reason;
    auto* q = dynamic_cast<CDrawPicture*>(r->doc.m_objects.at(0));
    EXPECT_EQ(q->m_nStoredSize, 0);
    EXPECT_EQ(q->m_image.GetData(), PlaceholderPicture());
}

TEST(DrawPicture, DamagedEmbeddedPicturesAreRefused)
{
    kvtest::TempDir dir;
    const std::string file = WritePicture(dir, "p.bmp", 400, 300);
    auto saved = [&](int compression) {
        CKVDoc doc;
        CDrawPicture* p = AddPicture(doc, CRect(0, 0, 400, 300));
        p->m_strFileName = file;
        p->m_nCompression = compression;
        p->RecalcSize();
        return doc.SaveToBytes();
    };
    const Bytes lzss = saved(2), plain = saved(0), huff = saved(3);
    const size_t tag = Find(lzss, "**++LZSS");
    const size_t bm = Find(plain, "BM");
    ASSERT_NE(tag, std::string::npos);
    ASSERT_NE(bm, std::string::npos);

    struct Case {
        const char* what;
        Bytes bytes;
    };
    std::vector<Case> cases;
    auto changed = [](Bytes b, size_t at, std::initializer_list<std::uint8_t> v) {
        std::copy(v.begin(), v.end(), b.begin() + std::ptrdiff_t(at));
        return b;
    };
    cases.push_back({"impossible original size", changed(lzss, tag + 8, {0xFF, 0xFF, 0xFF, 0x3F})});
    cases.push_back({"original size too small for a bitmap", changed(lzss, tag + 8, {20, 0, 0, 0})});
    cases.push_back({"coded size beyond the block", changed(lzss, tag + 12, {0xFF, 0xFF, 0, 0})});
    {
        Bytes b = lzss;
        for (size_t i = tag + 16; i < tag + 40; ++i) b[i] = 0;  // an end code at once: data cut short
        cases.push_back({"coded bytes ending early", b});
    }
    cases.push_back({"stored bytes that are no bitmap", changed(plain, bm, {'X'})});
    cases.push_back({"stored bitmap of an unknown depth", changed(plain, bm + 28, {3})});
    cases.push_back({"count beyond the file", changed(plain, bm - 4, {0xFF, 0xFF, 0xFF, 0x7F})});
    {
        const size_t h = Find(huff, "**++HUFF");
        Bytes b = huff;
        for (size_t i = h + 16; i < b.size() - 12; ++i) b[i] = std::uint8_t(i * 37);
        cases.push_back({"scrambled Huffman codes", b});
    }
    for (const Case& c : cases) {
        CKVDoc doc;
        std::string reason;
        EXPECT_FALSE(doc.LoadFromBytes(c.bytes.data(), c.bytes.size(), &reason)) << c.what;
        EXPECT_FALSE(reason.empty()) << c.what;
        EXPECT_TRUE(doc.m_objects.empty()) << c.what;
    }
    CKVDoc doc;
    std::string reason;
    EXPECT_FALSE(doc.LoadFromBytes(cases[0].bytes.data(), cases[0].bytes.size(), &reason));
    EXPECT_EQ(reason, "damaged picture data");

    // Every truncation of a document with a picture is refused cleanly.
    for (size_t n = 0; n < lzss.size(); n += 7) {
        CKVDoc cut;
        EXPECT_FALSE(cut.LoadFromBytes(lzss.data(), n, &reason)) << n;
    }
}

TEST(DrawPicture, PictureTooBigForTheCoderIsStoredPlain)
{
    // Random pixels do not compress: 9.6 MB of them coded by LZW overflow
    // the coder's 10 MB output block.
    const int w = 1800, h = 1800;
    Bytes block = MakeBitmapFile(w, h, 24, {}, 0, 0);
    BitmapFileInfo info;
    ParseBitmapFile(block.data(), block.size(), &info);
    std::mt19937 rng(7);
    for (size_t i = info.pixelOffset; i < block.size(); ++i) block[i] = std::uint8_t(rng());
    ASSERT_FALSE(PackBlock(1, block.data(), block.size()).has_value());

    CKVDoc doc;
    CDrawPicture* p = AddPicture(doc, CRect(0, 0, 1000, 1000));
    ASSERT_TRUE(p->m_image.SetData(block));
    p->m_nCompression = 1;
    auto r = Reload(doc);
    ASSERT_TRUE(r->ok) << r->reason;
    auto* q = dynamic_cast<CDrawPicture*>(r->doc.m_objects.at(0));
    EXPECT_EQ(q->m_nCompression, 0);
    EXPECT_EQ(size_t(q->m_nStoredSize), block.size());
    EXPECT_EQ(q->m_image.GetData(), block);
    EXPECT_EQ(p->m_nCompression, 1);  // the object keeps its choice
}

TEST(DrawPicture, SizeModesAndAlignments)
{
    kvtest::TempDir dir;
    const std::string wide = WritePicture(dir, "wide.bmp", 2000, 500);
    const std::string tall = WritePicture(dir, "tall.bmp", 500, 2000);
    struct Case {
        int mode, keep, w0, h0;
        const std::string* file;
        int align;
        CRect expect;
    };
    const CRect start(1000, 1000, 2000, 2000);
    const Case cases[] = {
        // Fit with proportions: a 1000 x 1000 box and a 2000 x 500 picture.
        {PIC_FIT, 1, 0, 0, &wide, 0, CRect(1000, 1375, 2000, 1625)},
        {PIC_FIT, 1, 0, 0, &wide, 1, CRect(1000, 1000, 2000, 1250)},
        {PIC_FIT, 1, 0, 0, &wide, 2, CRect(1000, 1000, 2000, 1250)},
        {PIC_FIT, 1, 0, 0, &wide, 3, CRect(1000, 1000, 2000, 1250)},
        {PIC_FIT, 1, 0, 0, &wide, 4, CRect(1000, 1375, 2000, 1625)},
        {PIC_FIT, 1, 0, 0, &wide, 5, CRect(1000, 1750, 2000, 2000)},
        {PIC_FIT, 1, 0, 0, &wide, 6, CRect(1000, 1750, 2000, 2000)},
        {PIC_FIT, 1, 0, 0, &wide, 7, CRect(1000, 1750, 2000, 2000)},
        {PIC_FIT, 1, 0, 0, &wide, 8, CRect(1000, 1375, 2000, 1625)},
        {PIC_FIT, 1, 0, 0, &wide, 9, start},
        // The same with a tall picture moves the sides.
        {PIC_FIT, 1, 0, 0, &tall, 0, CRect(1375, 1000, 1625, 2000)},
        {PIC_FIT, 1, 0, 0, &tall, 1, CRect(1000, 1000, 1250, 2000)},
        {PIC_FIT, 1, 0, 0, &tall, 2, CRect(1375, 1000, 1625, 2000)},
        {PIC_FIT, 1, 0, 0, &tall, 3, CRect(1750, 1000, 2000, 2000)},
        {PIC_FIT, 1, 0, 0, &tall, 4, CRect(1750, 1000, 2000, 2000)},
        {PIC_FIT, 1, 0, 0, &tall, 5, CRect(1750, 1000, 2000, 2000)},
        {PIC_FIT, 1, 0, 0, &tall, 6, CRect(1375, 1000, 1625, 2000)},
        {PIC_FIT, 1, 0, 0, &tall, 7, CRect(1000, 1000, 1250, 2000)},
        {PIC_FIT, 1, 0, 0, &tall, 8, CRect(1000, 1000, 1250, 2000)},
        // Fit without proportions, and unknown modes, keep the box.
        {PIC_FIT, 0, 0, 0, &wide, 0, start},
        {7, 1, 0, 0, &wide, 0, start},
        // Original size.
        {PIC_ORIGINAL_SIZE, 1, 0, 0, &wide, 0, CRect(500, 1250, 2500, 1750)},
        {PIC_ORIGINAL_SIZE, 1, 0, 0, &wide, 5, CRect(0, 1500, 2000, 2000)},
        {PIC_ORIGINAL_SIZE, 1, 0, 0, &wide, 1, CRect(1000, 1000, 3000, 1500)},
        // Scale keeps the old picture's scale: the box was half the width
        // and the whole height of a 2000 x 1000 picture.
        {PIC_SCALE, 1, 2000, 1000, &wide, 1, CRect(1000, 1000, 2000, 1500)},
        {PIC_SCALE, 1, 1000, 1000, &tall, 7, CRect(1000, 0, 1500, 2000)},
        // No old natural size: the picture's own.
        {PIC_SCALE, 1, 0, 0, &wide, 1, CRect(1000, 1000, 3000, 1500)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " keep " << c.keep << " align " << c.align << " "
                                        << *c.file);
        CDrawPicture p(start);
        p.m_nSizeMode = c.mode;
        p.m_bKeepRatio = c.keep;
        p.m_nNaturalWidth = c.w0;
        p.m_nNaturalHeight = c.h0;
        p.m_nAlignment = c.align;
        p.m_strFileName = *c.file;
        p.RecalcSize();
        EXPECT_EQ(p.m_position, c.expect);
        EXPECT_EQ(p.m_nNaturalWidth, c.file == &wide ? 2000 : 500);
        EXPECT_EQ(p.m_strFileName, "");
    }

    // Halves truncate toward zero.
    CRect r(0, 0, 1000, 1000);
    CDrawPicture::PlaceByAlignment(r, 2001, 1, PIC_ALIGN_CENTER);
    EXPECT_EQ(r, CRect(-500, 499, 1501, 500));

    // A picture that cannot be read leaves the box as it is.
    CDrawPicture p(CRect(2000, 2000, 1000, 1000));
    p.m_strFileName = dir.file("none.bmp");
    p.RecalcSize();
    EXPECT_EQ(p.m_position, start);
    EXPECT_FALSE(p.m_image.IsValid());
}

TEST(DrawPicture, FourQuarterTurnsRestoreEverything)
{
    kvtest::TempDir dir;
    CDrawPicture p(CRect(1000, 2000, 4000, 2500));
    p.m_strFileName = WritePicture(dir, "p.bmp", 3000, 500);
    p.m_nSizeMode = PIC_ORIGINAL_SIZE;
    p.RecalcSize();
    const CPictureImage start = p.m_image;
    const CRect position = p.m_position;
    p.Rotate(1, 5000, 5000, nullptr);
    EXPECT_EQ(p.m_nNaturalWidth, 500);
    EXPECT_EQ(p.m_nNaturalHeight, 3000);
    EXPECT_EQ(p.m_image.m_nWidth, 50);
    EXPECT_EQ(p.m_image.m_nRotation, 90);
    EXPECT_EQ(p.m_position.Width(), 500);
    for (int i = 0; i < 3; ++i) p.Rotate(1, 5000, 5000, nullptr);
    EXPECT_EQ(p.m_image.GetData(), start.GetData());
    EXPECT_TRUE(p.m_image.IsSameImage(start));
    EXPECT_EQ(p.m_image.m_nRotation, 0);
    EXPECT_EQ(p.m_nRotation, 0);
    EXPECT_EQ(p.m_nNaturalWidth, 3000);
    EXPECT_EQ(p.m_position, position);

    // A refresh after a turn keeps the picture as turned.
    p.Rotate(3, 5000, 5000, nullptr);
    const Bytes turned = p.m_image.GetData();
    p.RecalcSize();
    EXPECT_EQ(p.m_image.GetData(), turned);
}

TEST(DrawPicture, HandlesKeepTheProportions)
{
    struct Case {
        int handle;
        CPoint to;
        CRect expect;
    };
    // A 2000 x 500 picture at (0, 0, 2000, 500).
    const Case cases[] = {
        {5, CPoint(1000, 500), CRect(0, 0, 1000, 250)},
        {5, CPoint(4000, 600), CRect(0, 0, 2400, 600)},
        {5, CPoint(4000, 1000), CRect(0, 0, 4000, 1000)},  // already in proportion
        {1, CPoint(1000, -100), CRect(1000, 250, 2000, 500)},
        {1, CPoint(1000, 400), CRect(1600, 400, 2000, 500)},
        {3, CPoint(3000, 100), CRect(0, 100, 1600, 500)},
        {3, CPoint(1000, -1000), CRect(0, 250, 1000, 500)},
        {7, CPoint(500, 1000), CRect(500, 0, 2000, 375)},
        {7, CPoint(-2000, 600), CRect(-400, 0, 2000, 600)},
        {2, CPoint(0, -500), CRect(-1000, -500, 3000, 500)},
        {6, CPoint(0, 250), CRect(500, 0, 1500, 250)},
        {4, CPoint(3000, 0), CRect(0, -125, 3000, 625)},
        {8, CPoint(1000, 0), CRect(1000, 125, 2000, 375)},
        {9, CPoint(1000, -100), CRect(1000, 250, 2000, 500)},  // another handle acts as the first
    };
    for (const Case& c : cases) {
        CDrawPicture p(CRect(0, 0, 2000, 500));
        p.m_nNaturalWidth = 2000;
        p.m_nNaturalHeight = 500;
        p.MoveHandleTo(c.handle, c.to, nullptr);
        EXPECT_EQ(p.m_position, c.expect) << "handle " << c.handle << " to " << c.to.x << "," << c.to.y;
    }

    CDrawPicture original(CRect(0, 0, 2000, 500));
    original.m_nSizeMode = PIC_ORIGINAL_SIZE;
    for (int h = 1; h <= 8; ++h) original.MoveHandleTo(h, CPoint(7777, 8888), nullptr);
    EXPECT_EQ(original.m_position, CRect(0, 0, 2000, 500));

    CDrawPicture free(CRect(0, 0, 2000, 500));
    free.m_bKeepRatio = 0;
    free.MoveHandleTo(5, CPoint(1000, 100), nullptr);
    EXPECT_EQ(free.m_position, CRect(0, 0, 1000, 100));

    CDrawPicture locked(CRect(0, 0, 2000, 500));
    locked.m_dwFlags = OF_LOCKED;
    locked.MoveHandleTo(5, CPoint(1000, 500), nullptr);
    EXPECT_EQ(locked.m_position, CRect(0, 0, 2000, 500));
}

TEST(DrawPicture, ResolvePathOnThisMachine)
{
    struct Case {
        const char* base;
        const char* name;
        const char* expect;
    };
    const Case cases[] = {
        {"/labels/shop/price.kvd", "logo.png", "/labels/shop/logo.png"},
        {"/labels/shop/price.kvd", "art\\logo.png", "/labels/shop/art/logo.png"},
        {"/labels/shop/price.kvd", "/srv/art/logo.png", "/srv/art/logo.png"},  // readable here
        {"/labels/shop/price.kvd", "C:\\Labels\\logo.png", "/labels/shop/Labels/logo.png"},
        {"/labels/shop/price.kvd", "d:/logo.png", "/labels/shop/logo.png"},
        {"/labels/shop/price.kvd", "\\\\server\\share\\art\\logo.png", "/labels/shop/art/logo.png"},
        {"/labels/shop/price.kvd", "\\logo.png", "/labels/shop/logo.png"},
        {"/labels/shop/price.kvd", "\\\\", "/labels/shop/"},
        {"/labels/shop/price.kvd", "\\/", "/labels/shop//"},  // one character is kept
        {"", "logo.png", "logo.png"},
        {"price.kvd", "logo.png", "logo.png"},
        {"C:\\Labels\\price.kvd", "logo.png", "C:\\Labels\\logo.png"},
    };
    for (const Case& c : cases) EXPECT_EQ(CKVDoc::ResolvePathFrom(c.base, c.name), c.expect) << c.base << " | " << c.name;

    CKVDoc doc;
    doc.m_strPath = "/labels/shop/price.kvd";
    EXPECT_EQ(doc.ResolvePath("logo.png"), "/labels/shop/logo.png");
}

TEST(DrawPicture, LinkedPictureFoundBesideTheDocument)
{
    kvtest::TempDir dir;
    const std::string here = WritePicture(dir, "logo.bmp", 1000, 500);
    CKVDoc doc;
    doc.m_strPath = dir.file("label.kvd");
    CDrawPicture* p = AddPicture(doc, CRect(0, 0, 1000, 500));
    p->m_nSource = PIC_LINKED;
    for (const char* stored : {"C:\\Pictures\\logo.bmp", "/elsewhere/logo.bmp", "logo.bmp"}) {
        p->m_image.Empty();
        p->m_strFileName = stored;
        p->RecalcSize();
        EXPECT_TRUE(p->m_image.IsValid()) << stored;
        EXPECT_EQ(p->m_strFileName, here) << stored;
    }
    // Not there either: the image is emptied, the name stays.
    p->m_strFileName = "C:\\Pictures\\other.bmp";
    p->RecalcSize();
    EXPECT_FALSE(p->m_image.IsValid());
    EXPECT_EQ(p->m_strFileName, "C:\\Pictures\\other.bmp");
}

TEST(DrawPicture, DataSourcePictureIsReadForEveryLabel)
{
    kvtest::TempDir dir;
    CKVDoc doc;
    doc.m_strPath = dir.file("label.kvd");
    doc.m_format.m_nHDpi = doc.m_format.m_nVDpi = 254;  // 10 units to the dot
    auto* var = new CVariable;
    doc.AddVariable(var);
    CDrawPicture* p = AddPicture(doc, CRect(1000, 1000, 3000, 2000));
    p->m_nSource = PIC_DATA_SOURCE;
    p->m_nSizeMode = PIC_ORIGINAL_SIZE;
    p->m_nAlignment = PIC_ALIGN_LEFT_TOP;
    p->AddVariable(var);

    // Without data it names no file: empty, and nothing to say about it.
    {
        kvtest::CaptureMessages messages;
        p->RecalcSize();
        EXPECT_FALSE(p->m_image.IsValid());
        EXPECT_TRUE(messages.messages.empty());
    }

    CLabelPos pos;
    CRect out;
    var->m_strData = "a.bmp";
    WritePicture(dir, "a.bmp", 1000, 500);
    p->GetPrintRect(nullptr, &pos, &out, FALSE);
    EXPECT_EQ(out, CRect(100, 100, 200, 150));
    // The file is read again each time: a changed file, or another name.
    WritePicture(dir, "a.bmp", 600, 700);
    p->GetPrintRect(nullptr, &pos, &out, FALSE);
    EXPECT_EQ(out, CRect(100, 100, 160, 170));
    var->m_strData = "b.bmp";
    WritePicture(dir, "b.bmp", 2000, 300);
    p->GetPrintRect(nullptr, &pos, &out, FALSE);
    EXPECT_EQ(out, CRect(100, 100, 300, 130));
    // A label whose picture cannot be read keeps the object's box.
    var->m_strData = "none.bmp";
    p->GetPrintRect(nullptr, &pos, &out, FALSE);
    EXPECT_EQ(out, CRect(100, 100, 300, 200));

    // The label's picture is turned with the object.
    var->m_strData = "b.bmp";
    p->m_nRotation = 1;
    CPictureImage img;
    ASSERT_TRUE(p->LoadLabelPicture(&pos, img));
    EXPECT_EQ(img.m_nWidth, 30);
    EXPECT_EQ(img.m_nHeight, 200);
    EXPECT_EQ(img.m_nRotation, 90);
    var->m_strData = "";
    EXPECT_FALSE(p->LoadLabelPicture(&pos, img));

    // A serial number in the data names another file on every label.
    auto* serial = new CVariable;
    serial->m_nKind = VK_SERIAL;
    serial->m_strData = "1";
    auto* suffix = new CVariable;
    suffix->m_strData = ".bmp";
    doc.AddVariable(serial);
    doc.AddVariable(suffix);
    var->m_strData = "label";
    p->AddVariable(serial);
    p->AddVariable(suffix);
    p->m_nRotation = 0;
    for (int label = 0; label < 3; ++label) {
        WritePicture(dir, "label" + std::to_string(label + 1) + ".bmp", 100 * (label + 1), 100);
        CLabelPos at;
        at.m_nRecord = label;
        p->GetPrintRect(nullptr, &at, &out, FALSE);
        EXPECT_EQ(out, CRect(100, 100, 110 + 10 * label, 110)) << label;
    }
    p->RemoveVariable(serial);
    p->RemoveVariable(suffix);

    // Fit and scale sizes at the device.
    p->m_nRotation = 0;
    var->m_strData = "a.bmp";  // 600 x 700
    p->m_nSizeMode = PIC_FIT;
    p->GetPrintRect(nullptr, &pos, &out, FALSE);
    EXPECT_EQ(out, CRect(100, 100, 186, 200));
    p->m_nSizeMode = PIC_SCALE;
    p->m_nNaturalWidth = 4000;  // the box is half the old picture's width
    p->m_nNaturalHeight = 1000;
    p->GetPrintRect(nullptr, &pos, &out, FALSE);
    EXPECT_EQ(out, CRect(100, 100, 130, 170));
}

TEST(DrawPicture, MissingPictureActions)
{
    struct Case {
        int action;
        std::vector<int> answers;
        BOOL mark;
        bool stops;
        unsigned style;  // of the one message shown, 0 for none
    };
    const Case cases[] = {
        {PIC_MISSING_ABORT, {}, FALSE, true, MSG_OK | MSG_ICONERROR},
        {PIC_MISSING_ASK, {ID_YES}, FALSE, false, MSG_YESNO | MSG_ICONQUESTION},
        {PIC_MISSING_ASK, {ID_NO}, FALSE, true, MSG_YESNO | MSG_ICONQUESTION},
        {PIC_MISSING_ASK, {}, FALSE, true, MSG_YESNO | MSG_ICONQUESTION},  // nobody to ask
        {PIC_MISSING_MARK, {}, TRUE, false, 0},
        {PIC_MISSING_IGNORE, {}, FALSE, false, 0},
        {9, {}, FALSE, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        CKVDoc doc;
        CDrawPicture* p = AddPicture(doc, CRect(0, 0, 100, 100));
        p->m_nMissingAction = c.action;
        kvtest::CaptureMessages messages;
        messages.answers = c.answers;
        EXPECT_EQ(p->OnMissingPicture("/pictures/logo7.png"), c.mark);
        EXPECT_EQ(doc.m_bStopPrinting, c.stops);
        ASSERT_EQ(messages.messages.size(), c.style ? 1u : 0u);
        if (c.style) {
            EXPECT_EQ(messages.messages[0].style, c.style);
            EXPECT_NE(messages.messages[0].text.find("\"/pictures/logo7.png\""), std::string::npos);
        }
        // Once the job stops, no more questions.
        EXPECT_EQ(p->OnMissingPicture("/pictures/logo8.png"), c.stops ? FALSE : c.mark);
        EXPECT_EQ(messages.messages.size(), c.style && !c.stops ? 2u : c.style ? 1u : 0u);
    }
}

TEST(DrawPicture, EffectsAreAppliedOnceToAFreshPicture)
{
    kvtest::TempDir dir;
    const std::string file = WritePicture(dir, "e.bmp", 40, 30);
    CKVDoc doc;
    CDrawPicture* p = AddPicture(doc, CRect(0, 0, 40, 30));
    p->m_nSource = PIC_LINKED;
    p->m_strFileName = file;
    p->m_nEffects = PIC_MIRROR | PIC_NEGATIVE;
    p->RecalcSize();
    const DWORD mirroredNegative = ~Pattern(3, 0) & 0xFFFFFF;
    EXPECT_EQ(p->m_image.GetPixel(0, 0), mirroredNegative);
    p->RecalcSize();  // the same file is not read again, nor turned again
    EXPECT_EQ(p->m_image.GetPixel(0, 0), mirroredNegative);

    p->m_nEffects = PIC_UPSIDE_DOWN;
    p->m_nSource = PIC_EMBEDDED;
    p->m_strFileName = file;
    p->m_image.Empty();
    p->RecalcSize();
    EXPECT_EQ(p->m_image.GetPixel(0, 0), Pattern(0, 2));
}

TEST(DrawPicture, ExportLineOfLinkedPictures)
{
    const char* expect[] = {
        "Picture0 =  100,200,200,50,0,\"C:\\logo.bmp\"\n",
        "Picture0 =  100,250,50,200,1,\"C:\\logo.bmp\"\n",
        "Picture0 =  300,250,200,50,2,\"C:\\logo.bmp\"\n",
        "Picture0 =  300,200,50,200,3,\"C:\\logo.bmp\"\n",
    };
    for (int rotation = 0; rotation < 4; ++rotation) {
        CDrawPicture p(CRect(3000, 2500, 1000, 2000));  // normalised before use
        p.m_nSource = PIC_LINKED;
        p.m_strFileName = "C:\\logo.bmp";
        p.m_nRotation = rotation;
        std::string out = "before\n";
        int index = 0;
        EXPECT_TRUE(p.ExportText(out, index));
        EXPECT_EQ(out, std::string("before\n") + expect[rotation]);
        EXPECT_EQ(index, 1);
    }
    // Tenths of a millimetre, truncated; the index runs on.
    CDrawPicture p(CRect(1009, 2019, 3018, 2528));
    p.m_nSource = PIC_LINKED;
    std::string out;
    int index = 4;
    p.ExportText(out, index);
    EXPECT_EQ(out, "Picture4 =  100,201,200,50,0,\"\"\n");
    for (int source : {PIC_EMBEDDED, PIC_DATA_SOURCE}) {
        p.m_nSource = source;
        out.clear();
        EXPECT_FALSE(p.ExportText(out, index));
        EXPECT_EQ(out, "");
        EXPECT_EQ(index, 5);
    }
}

TEST(DrawPicture, CopyCompareAndClone)
{
    kvtest::TempDir dir;
    CKVDoc doc;
    CDrawPicture* p = AddPicture(doc, CRect(10, 20, 3010, 1020));
    p->m_strFileName = WritePicture(dir, "c.bmp", 3000, 1000);
    p->RecalcSize();
    p->m_nSource = PIC_LINKED;
    p->m_strFileName = "c.bmp";
    p->m_nEffects = 1;
    p->m_nCompression = 3;
    p->m_nStoredSize = 99;

    CDrawObj* clone = p->Clone(&doc);
    ASSERT_EQ(doc.m_objects.size(), 2u);
    auto* c = dynamic_cast<CDrawPicture*>(clone);
    ASSERT_NE(c, nullptr);
    EXPECT_NE(c->m_nID, p->m_nID);
    c->m_nID = p->m_nID;
    EXPECT_TRUE(c->IsEqual(p));
    EXPECT_TRUE(p->IsEqual(p));
    EXPECT_EQ(c->m_image.GetData(), p->m_image.GetData());

    const std::vector<std::function<void(CDrawPicture&)>> changes = {
        [](CDrawPicture& q) { q.m_nSource = 2; },          [](CDrawPicture& q) { q.m_strFileName = "C.bmp"; },
        [](CDrawPicture& q) { q.m_nSizeMode = 0; },        [](CDrawPicture& q) { q.m_bKeepRatio = 0; },
        [](CDrawPicture& q) { q.m_nNaturalWidth++; },      [](CDrawPicture& q) { q.m_nNaturalHeight++; },
        [](CDrawPicture& q) { q.m_nEffects = 0; },         [](CDrawPicture& q) { q.m_nMissingAction = 2; },
        [](CDrawPicture& q) { q.m_nPictureReserved = 1; }, [](CDrawPicture& q) { q.m_nAlignment = 1; },
        [](CDrawPicture& q) { q.m_nCompression = 2; },     [](CDrawPicture& q) { q.m_nStoredSize = 0; },
        [](CDrawPicture& q) { q.m_image.FlipImage(); },    [](CDrawPicture& q) { q.m_image.m_strSource = "x"; },
        [](CDrawPicture& q) { q.m_nBackground = 1; },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        CDrawPicture q;
        q.CopyFrom(p);
        EXPECT_TRUE(q.IsEqual(p)) << i;
        changes[i](q);
        EXPECT_FALSE(q.IsEqual(p)) << i;
        EXPECT_FALSE(p->IsEqual(&q)) << i;
    }
}

}  // namespace
