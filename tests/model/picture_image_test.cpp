#include <gtest/gtest.h>

#include "model/picture_image.h"
#include "platform/bitmap_file.h"
#include "model/placeholder_picture.h"
#include "support/kvtest.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const int kDepths[] = {1, 4, 8, 16, 24, 32};

DWORD MaskOf(int bits) { return bits == 32 ? 0xFFFFFFFFu : (DWORD(1) << bits) - 1; }

// A value for every pixel that differs from its neighbours at every depth.
DWORD Pattern(int x, int y, int bits) { return (DWORD(x + 1) * 2654435761u ^ DWORD(y + 3) * 40503u) & MaskOf(bits); }

std::vector<COLORREF> GreyTable(int bits)
{
    std::vector<COLORREF> t;
    if (bits > 8) return t;
    const int n = 1 << bits;
    for (int i = 0; i < n; ++i) t.push_back(RGBColor(i * 255 / (n - 1), i * 255 / (n - 1), i * 255 / (n - 1)));
    return t;
}

// A width x height block of the pattern (top row first in the picture).
Bytes PatternBlock(int w, int h, int bits, int ppmX = 3780, int ppmY = 7559)
{
    Bytes b = MakeBitmapFile(w, h, bits, GreyTable(bits), ppmX, ppmY);
    BitmapFileInfo info;
    EXPECT_TRUE(ParseBitmapFile(b.data(), b.size(), &info));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            SetRowPixel(b.data() + info.pixelOffset + size_t(h - 1 - y) * info.stride, bits, x, Pattern(x, y, bits));
    return b;
}

CPictureImage ImageOf(Bytes block)
{
    CPictureImage img;
    EXPECT_TRUE(img.SetData(std::move(block)));
    return img;
}

TEST(PictureImage, NaturalSizeFromResolution)
{
    struct Case {
        int pixels, ppm, units;
    };
    const Case cases[] = {
        {150, 7198, 2084}, {34, 7198, 472},   // the placeholder
        {300, 11811, 2540},                  // 300 dots per inch: one inch
        {96, 0, 2540},     {96, 960, 2540},  // no resolution, or too coarse: 96 dots per inch
        {100, 961, 10406}, {1, 100000000, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(PictureNaturalLength(c.pixels, c.ppm), c.units) << c.pixels << " " << c.ppm;

    const CPictureImage placeholder = ImageOf(PlaceholderPicture());
    EXPECT_EQ(placeholder.m_nWidth, 150);
    EXPECT_EQ(placeholder.m_nHeight, 34);
    EXPECT_EQ(placeholder.m_nBitCount, 8);
    EXPECT_EQ(placeholder.m_nPlanes, 1);
    EXPECT_EQ(placeholder.m_nColors, 256);
    EXPECT_EQ(placeholder.m_nNaturalWidth, 2084);
    EXPECT_EQ(placeholder.m_nNaturalHeight, 472);
    EXPECT_EQ(placeholder.m_nRotation, 0);
    EXPECT_EQ(placeholder.m_strSource, "");

    const int colours[] = {2, 16, 256, 0, 0, 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(ImageOf(PatternBlock(3, 2, kDepths[i])).m_nColors, colours[i]);
}

TEST(PictureImage, QuarterTurnsMovePixelsAndRestoreThem)
{
    for (int bits : kDepths) {
        SCOPED_TRACE(bits);
        const int w = 5, h = 3;
        const CPictureImage start = ImageOf(PatternBlock(w, h, bits));

        // 90: counter-clockwise, the right column becomes the top row.
        CPictureImage ccw = start;
        ASSERT_TRUE(ccw.RotateImage(90));
        ASSERT_EQ(ccw.m_nWidth, h);
        ASSERT_EQ(ccw.m_nHeight, w);
        EXPECT_EQ(ccw.m_nNaturalWidth, start.m_nNaturalHeight);
        EXPECT_EQ(ccw.m_nNaturalHeight, start.m_nNaturalWidth);
        EXPECT_EQ(ccw.m_nRotation, 90);
        // 270: clockwise, the left column becomes the top row.
        CPictureImage cw = start;
        ASSERT_TRUE(cw.RotateImage(270));
        for (int y = 0; y < w; ++y)
            for (int x = 0; x < h; ++x) {
                EXPECT_EQ(ccw.GetPixel(x, y), Pattern(w - 1 - y, x, bits)) << x << "," << y;
                EXPECT_EQ(cw.GetPixel(x, y), Pattern(y, h - 1 - x, bits)) << x << "," << y;
            }
        // The turned block reads back with the sizes exchanged.
        EXPECT_EQ(ImageOf(ccw.GetData()).m_nNaturalWidth, start.m_nNaturalHeight);

        // Four quarter turns either way, and there and back, restore everything.
        for (int degrees : {90, 270}) {
            CPictureImage img = start;
            for (int i = 0; i < 4; ++i) ASSERT_TRUE(img.RotateImage(degrees));
            EXPECT_EQ(img.GetData(), start.GetData());
            EXPECT_TRUE(img.IsSameImage(start));
            EXPECT_EQ(img.m_nRotation, 0);
        }
        CPictureImage back = ccw;
        back.RotateImage(270);
        EXPECT_EQ(back.GetData(), start.GetData());

        // 180 is a mirror and a flip; other angles do nothing.
        CPictureImage half = start, both = start;
        ASSERT_TRUE(half.RotateImage(180));
        both.MirrorImage();
        both.FlipImage();
        EXPECT_EQ(half.GetData(), both.GetData());
        EXPECT_EQ(half.m_nRotation, 180);
        CPictureImage odd = start;
        EXPECT_FALSE(odd.RotateImage(45));
        EXPECT_FALSE(odd.RotateImage(360));
        EXPECT_EQ(odd.GetData(), start.GetData());
        EXPECT_EQ(odd.m_nRotation, 0);
    }
    CPictureImage empty;
    EXPECT_FALSE(empty.RotateImage(90));
}

TEST(PictureImage, MirrorAndFlipEveryDepth)
{
    for (int bits : kDepths) {
        SCOPED_TRACE(bits);
        // Odd widths leave padding in every row; it must stay untouched.
        const int w = 7, h = 4;
        const CPictureImage start = ImageOf(PatternBlock(w, h, bits));
        CPictureImage m = start, f = start;
        ASSERT_TRUE(m.MirrorImage());
        ASSERT_TRUE(f.FlipImage());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                EXPECT_EQ(m.GetPixel(x, y), Pattern(w - 1 - x, y, bits));
                EXPECT_EQ(f.GetPixel(x, y), Pattern(x, h - 1 - y, bits));
            }
        m.MirrorImage();
        EXPECT_EQ(m.GetData(), start.GetData());
    }
}

TEST(PictureImage, InvertEveryDepth)
{
    // Whole bytes: 1 bit toggles, 24 and 32 bits complement.
    for (int bits : {1, 24, 32}) {
        const CPictureImage start = ImageOf(PatternBlock(5, 2, bits));
        CPictureImage img = start;
        ASSERT_TRUE(img.InvertImage());
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 5; ++x) EXPECT_EQ(img.GetPixel(x, y), ~Pattern(x, y, bits) & MaskOf(bits)) << bits;
    }
    // 16 bits stay as they are.
    CPictureImage sixteen = ImageOf(PatternBlock(5, 2, 16));
    const Bytes before = sixteen.GetData();
    EXPECT_FALSE(sixteen.InvertImage());
    EXPECT_EQ(sixteen.GetData(), before);

    // A colour table: each pixel takes the entry nearest its complement.
    const std::vector<COLORREF> table = {RGBColor(0, 0, 0), RGBColor(255, 255, 255), RGBColor(255, 0, 0),
                                         RGBColor(0, 255, 255), RGBColor(100, 100, 100), RGBColor(250, 250, 10)};
    // Grey 100 is the nearest to grey 155, and to the dark blue of the yellow's complement.
    const DWORD expect[] = {1, 0, 3, 2, 4, 4};
    for (int bits : {4, 8}) {
        Bytes b = MakeBitmapFile(6, 1, bits, table);
        BitmapFileInfo info;
        ParseBitmapFile(b.data(), b.size(), &info);
        for (int x = 0; x < 6; ++x) SetRowPixel(b.data() + info.pixelOffset, bits, x, DWORD(x));
        CPictureImage img = ImageOf(b);
        ASSERT_TRUE(img.InvertImage());
        for (int x = 0; x < 6; ++x) EXPECT_EQ(img.GetPixel(x, 0), expect[x]) << bits << " " << x;
    }
}

TEST(PictureImage, SetDataTakesOnlyUsableBitmaps)
{
    const Bytes good = PatternBlock(5, 3, 8);
    auto with = [&](size_t at, std::initializer_list<std::uint8_t> bytes) {
        Bytes b = good;
        std::copy(bytes.begin(), bytes.end(), b.begin() + std::ptrdiff_t(at));
        return b;
    };
    struct Case {
        const char* what;
        Bytes block;
    };
    const Case cases[] = {
        {"empty", {}},
        {"cut in the rows", Bytes(good.begin(), good.end() - 3)},
        {"cut in the header", Bytes(good.begin(), good.begin() + 40)},
        {"not BM", with(0, {'M', 'B'})},
        {"7 bits", with(28, {7, 0})},
        {"run-length coded", with(30, {1, 0, 0, 0})},
        {"core header", with(14, {12, 0, 0, 0})},
        {"zero width", with(18, {0, 0, 0, 0})},
        {"zero height", with(22, {0, 0, 0, 0})},
        {"huge width", with(18, {0xFF, 0xFF, 0xFF, 0x7F})},
        {"pixels past the end", with(10, {0xF0, 0xFF, 0, 0})},
        {"pixels inside the table", with(10, {60, 0, 0, 0})},
        {"header past the end", with(14, {0xFF, 0xFF, 0, 0})},
    };
    for (const Case& c : cases) {
        CPictureImage img = ImageOf(PlaceholderPicture());
        EXPECT_FALSE(img.SetData(c.block)) << c.what;
        EXPECT_FALSE(img.IsValid()) << c.what;
        EXPECT_EQ(img.m_nWidth, 0) << c.what;
    }

    // A block stored top row first is held bottom row first.
    Bytes topDown = good;
    BitmapFileInfo info;
    ParseBitmapFile(good.data(), good.size(), &info);
    for (int r = 0; r < 3; ++r)
        std::copy_n(good.begin() + std::ptrdiff_t(info.pixelOffset + size_t(2 - r) * info.stride), info.stride,
                    topDown.begin() + std::ptrdiff_t(info.pixelOffset + size_t(r) * info.stride));
    topDown[22] = 0xFD;  // height -3
    topDown[23] = topDown[24] = topDown[25] = 0xFF;
    const CPictureImage turned = ImageOf(topDown);
    EXPECT_EQ(turned.m_nHeight, 3);
    EXPECT_EQ(turned.GetData(), good);
}

TEST(PictureImage, LoadFileReadsOnceAndFailsEmpty)
{
    kvtest::TempDir dir;
    const std::string a = dir.file("a.bmp"), b = dir.file("b.bmp");
    kvtest::WriteFileBytes(a, PatternBlock(4, 2, 24));
    kvtest::WriteFileBytes(b, PatternBlock(2, 6, 8));

    CPictureImage img = ImageOf(PlaceholderPicture());
    bool decoded = true;
    EXPECT_TRUE(img.LoadFile("", nullptr, &decoded));  // nothing asked, nothing changed
    EXPECT_FALSE(decoded);
    EXPECT_EQ(img.m_nWidth, 150);

    ASSERT_TRUE(img.LoadFile(a, nullptr, &decoded));
    EXPECT_TRUE(decoded);
    EXPECT_EQ(img.m_nWidth, 4);
    EXPECT_EQ(img.m_strSource, a);
    EXPECT_EQ(img.GetPixel(1, 1), Pattern(1, 1, 24));
    img.MirrorImage();
    // The same file again is not read again: the mirrored pixels stay.
    ASSERT_TRUE(img.LoadFile(a, nullptr, &decoded));
    EXPECT_FALSE(decoded);
    EXPECT_EQ(img.GetPixel(1, 1), Pattern(2, 1, 24));
    ASSERT_TRUE(img.LoadFile(b, nullptr, &decoded));
    EXPECT_TRUE(decoded);
    EXPECT_EQ(img.m_nHeight, 6);

    // A file that is not there: empty, silently.
    kvtest::CaptureMessages messages;
    EXPECT_FALSE(img.LoadFile(dir.file("gone.bmp")));
    EXPECT_FALSE(img.IsValid());
    EXPECT_TRUE(messages.messages.empty());
    // One that cannot be decoded: the message is shown, or handed back.
    const std::string junk = dir.file("junk.png");
    kvtest::WriteFileBytes(junk, {1, 2, 3, 4});
    EXPECT_FALSE(img.LoadFile(junk));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_NE(messages.messages[0].text.find(junk), std::string::npos);
    std::string error;
    img = ImageOf(PlaceholderPicture());
    EXPECT_FALSE(img.LoadFile(junk, &error));
    EXPECT_FALSE(img.IsValid());
    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_NE(error.find("PNG"), std::string::npos) << error;
}

TEST(PictureImage, CopyAndCompare)
{
    kvtest::TempDir dir;
    const CPictureImage start = ImageOf(PatternBlock(4, 4, 8));
    CPictureImage copy;
    copy.CopyImage(start);
    EXPECT_TRUE(copy.IsSameImage(start));
    EXPECT_TRUE(start.IsSameImage(start));
    EXPECT_EQ(copy.GetData(), start.GetData());
    EXPECT_NE(copy.GetData().data(), start.GetData().data());  // a block of its own

    CPictureImage named = start;
    named.m_strSource = "elsewhere.bmp";
    EXPECT_FALSE(named.IsSameImage(start));
    CPictureImage pixel = start;
    pixel.InvertImage();
    EXPECT_FALSE(pixel.IsSameImage(start));
    CPictureImage turned = start;
    turned.RotateImage(90);  // square: the same sizes, other pixels
    EXPECT_FALSE(turned.IsSameImage(start));
    CPictureImage resized = ImageOf(PatternBlock(4, 4, 8, 0, 0));
    EXPECT_FALSE(resized.IsSameImage(start));
    CPictureImage empty, other;
    EXPECT_TRUE(empty.IsSameImage(other));
    EXPECT_FALSE(empty.IsSameImage(start));
}

}  // namespace
