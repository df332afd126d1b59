// Picture files of every readable format, written here by the image
// libraries themselves (or byte by byte where they cannot write the
// format), decoded into bitmap file images.
#include <Magick++.h>
#include <gtest/gtest.h>
#include <openjpeg.h>

#include <cstring>
#include <filesystem>

#include "platform/bitmap_file.h"
#include "platform/picture_decoder.h"
#include "support/kvtest.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr COLORREF kRed = RGBColor(255, 0, 0), kGreen = RGBColor(0, 255, 0), kBlue = RGBColor(0, 0, 255),
                   kWhite = RGBColor(255, 255, 255), kBlack = RGBColor(0, 0, 0), kYellow = RGBColor(255, 255, 0),
                   kCyan = RGBColor(0, 255, 255), kMagenta = RGBColor(255, 0, 255);

// The sample picture: 4 x 3 pixels, every pixel another colour of the
// primaries (no two alike in a row, no row alike).
const COLORREF kSample[3][4] = {
    {kRed, kGreen, kBlue, kWhite},
    {kBlack, kWhite, kBlack, kYellow},
    {kYellow, kCyan, kMagenta, kRed},
};

// Colour of a decoded bitmap file image at (x, y), top row 0.
COLORREF ColourAt(const Bytes& b, int x, int y)
{
    BitmapFileInfo info;
    if (!ParseBitmapFile(b.data(), b.size(), &info)) return 0xFFFFFFFF;
    const std::uint8_t* row = b.data() + info.pixelOffset + size_t(info.height - 1 - y) * info.stride;
    const DWORD v = GetRowPixel(row, info.bitCount, x);
    if (info.bitCount <= 8) return GetPaletteColor(b.data(), info, int(v));
    return RGBColor(int((v >> 16) & 0xFF), int((v >> 8) & 0xFF), int(v & 0xFF));
}

BitmapFileInfo InfoOf(const Bytes& b)
{
    BitmapFileInfo info;
    EXPECT_TRUE(ParseBitmapFile(b.data(), b.size(), &info));
    return info;
}

Magick::Color ToMagick(COLORREF c)
{
    return Magick::ColorRGB(RedOf(c) / 255.0, GreenOf(c) / 255.0, BlueOf(c) / 255.0);
}

void WriteSample(const std::string& path, const std::string& magick)
{
    Magick::InitializeMagick(nullptr);
    Magick::Image img(Magick::Geometry(4, 3), Magick::Color("white"));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) img.pixelColor(x, y, ToMagick(kSample[y][x]));
    img.magick(magick);
    img.write(path);
}

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(RedOf(a) - RedOf(b)) <= tolerance && std::abs(GreenOf(a) - GreenOf(b)) <= tolerance &&
           std::abs(BlueOf(a) - BlueOf(b)) <= tolerance;
}

// ---- writers for formats the image library cannot write ----

struct Le {
    Bytes b;
    void u8(int v) { b.push_back(std::uint8_t(v)); }
    void u16(int v) { u8(v & 0xFF); u8((v >> 8) & 0xFF); }
    void u32(std::uint32_t v) { u16(int(v & 0xFFFF)); u16(int(v >> 16)); }
};

// An icon of one 4 x 4 image at 32 bits with the sample's top rows.
Bytes MakeIcon()
{
    Le f;
    f.u16(0);
    f.u16(1);  // icon
    f.u16(1);  // one image
    const int pixelBytes = 4 * 4 * 4, maskBytes = 4 * 4;
    f.u8(4);
    f.u8(4);
    f.u8(0);
    f.u8(0);
    f.u16(1);
    f.u16(32);
    f.u32(40 + pixelBytes + maskBytes);
    f.u32(22);
    f.u32(40);
    f.u32(4);
    f.u32(8);  // twice the height: pixels and mask
    f.u16(1);
    f.u16(32);
    for (int i = 0; i < 6; ++i) f.u32(0);
    for (int y = 3; y >= 0; --y)
        for (int x = 0; x < 4; ++x) {
            const COLORREF c = kSample[y % 3][x];
            f.u8(BlueOf(c));
            f.u8(GreenOf(c));
            f.u8(RedOf(c));
            f.u8(255);
        }
    for (int i = 0; i < maskBytes; ++i) f.u8(0);
    return f.b;
}

// A placeable metafile of 2 x 1 inches: a white page with a red box on its
// right half.
Bytes MakeMetafile()
{
    Le rec;
    auto record = [&](int fn, std::vector<int> params) {
        rec.u32(std::uint32_t(3 + params.size()));
        rec.u16(fn);
        for (int p : params) rec.u16(p);
    };
    record(0x020B, {0, 0});                  // window origin
    record(0x020C, {100, 200});              // window extent
    record(0x02FA, {5, 0, 0, 0, 0});         // no outline
    record(0x012D, {0});
    record(0x02FC, {0, 0xFFFF, 0x00FF, 0});  // white brush
    record(0x012D, {1});
    record(0x041B, {100, 200, 0, 0});        // the page: bottom, right, top, left
    record(0x02FC, {0, 0x00FF, 0, 0});       // red brush
    record(0x012D, {2});
    record(0x041B, {100, 200, 0, 100});      // the box
    record(0x0000, {});
    Le f;
    f.u32(0x9AC6CDD7);
    f.u16(0);
    f.u16(0);
    f.u16(0);
    f.u16(200);
    f.u16(100);
    f.u16(100);  // units per inch
    f.u32(0);
    int sum = 0;
    for (size_t i = 0; i < 20; i += 2) sum ^= f.b[i] | (f.b[i + 1] << 8);
    f.u16(sum);
    f.u16(1);
    f.u16(9);
    f.u16(0x300);
    f.u32(std::uint32_t(9 + rec.b.size() / 2));
    f.u16(3);
    f.u32(7);
    f.u16(0);
    f.b.insert(f.b.end(), rec.b.begin(), rec.b.end());
    return f.b;
}

struct MemoryOut {
    Bytes data;
    size_t pos = 0;
};

// The sample as a lossless JPEG 2000 file or code stream.
Bytes EncodeJpeg2000(bool jp2)
{
    opj_cparameters_t params;
    opj_set_default_encoder_parameters(&params);
    params.tcp_numlayers = 1;
    params.tcp_rates[0] = 0;
    params.cp_disto_alloc = 1;
    params.numresolution = 1;
    opj_image_cmptparm_t comps[3];
    std::memset(comps, 0, sizeof comps);
    for (auto& c : comps) {
        c.dx = c.dy = 1;
        c.w = 4;
        c.h = 3;
        c.prec = 8;
    }
    opj_image_t* image = opj_image_create(3, comps, OPJ_CLRSPC_SRGB);
    image->x1 = 4;
    image->y1 = 3;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            image->comps[0].data[y * 4 + x] = RedOf(kSample[y][x]);
            image->comps[1].data[y * 4 + x] = GreenOf(kSample[y][x]);
            image->comps[2].data[y * 4 + x] = BlueOf(kSample[y][x]);
        }
    opj_codec_t* codec = opj_create_compress(jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    opj_setup_encoder(codec, &params, image);
    MemoryOut out;
    opj_stream_t* s = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_FALSE);
    opj_stream_set_user_data(s, &out, nullptr);
    opj_stream_set_write_function(s, [](void* buf, OPJ_SIZE_T n, void* user) -> OPJ_SIZE_T {
        auto* o = static_cast<MemoryOut*>(user);
        if (o->data.size() < o->pos + n) o->data.resize(o->pos + n);
        std::memcpy(o->data.data() + o->pos, buf, n);
        o->pos += n;
        return n;
    });
    opj_stream_set_skip_function(s, [](OPJ_OFF_T n, void* user) -> OPJ_OFF_T {
        auto* o = static_cast<MemoryOut*>(user);
        o->pos += size_t(n);
        if (o->data.size() < o->pos) o->data.resize(o->pos);
        return n;
    });
    opj_stream_set_seek_function(s, [](OPJ_OFF_T n, void* user) -> OPJ_BOOL {
        static_cast<MemoryOut*>(user)->pos = size_t(n);
        return OPJ_TRUE;
    });
    const bool ok = opj_start_compress(codec, image, s) && opj_encode(codec, s) && opj_end_compress(codec, s);
    opj_stream_destroy(s);
    opj_destroy_codec(codec);
    opj_image_destroy(image);
    EXPECT_TRUE(ok);
    return out.data;
}

// ---- tests ----

TEST(PictureDecoder, EveryFormatOfTheLibraryKeepsItsPixels)
{
    kvtest::TempDir dir;
    struct Case {
        const char* ext;
        const char* magick;
    };
    const Case cases[] = {
        {"bmp", "BMP"}, {"gif", "GIF"},  {"png", "PNG"}, {"tif", "TIFF"}, {"tiff", "TIFF"}, {"tga", "TGA"},
        {"pcx", "PCX"}, {"ppm", "PPM"},  {"pnm", "PPM"}, {"ras", "SUN"},  {"PNG", "PNG"},
    };
    for (const Case& c : cases) {
        const std::string path = dir.file(std::string("sample.") + c.ext);
        WriteSample(path, c.magick);
        Bytes bmp;
        std::string error;
        ASSERT_TRUE(DecodePictureFile(path, &bmp, &error)) << c.ext << ": " << error;
        const BitmapFileInfo info = InfoOf(bmp);
        EXPECT_EQ(info.width, 4) << c.ext;
        EXPECT_EQ(info.height, 3) << c.ext;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(ColourAt(bmp, x, y), kSample[y][x]) << c.ext << " at " << x << "," << y;
    }
}

TEST(PictureDecoder, JpegGreyAndBilevelFormats)
{
    kvtest::TempDir dir;
    Magick::InitializeMagick(nullptr);
    // JPEG is lossy: flat 8 x 8 blocks come back close to their colours.
    Magick::Image quads(Magick::Geometry(16, 16), Magick::Color("white"));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) quads.pixelColor(x, y, ToMagick(y < 8 ? (x < 8 ? kRed : kBlue) : (x < 8 ? kWhite : kBlack)));
    quads.quality(95);
    for (const char* name : {"q.jpg", "q.jpeg"}) {
        quads.write("JPEG:" + dir.file(name));
        Bytes bmp;
        ASSERT_TRUE(DecodePictureFile(dir.file(name), &bmp, nullptr)) << name;
        EXPECT_TRUE(Near(ColourAt(bmp, 3, 3), kRed, 40));
        EXPECT_TRUE(Near(ColourAt(bmp, 12, 3), kBlue, 40));
        EXPECT_TRUE(Near(ColourAt(bmp, 3, 12), kWhite, 40));
        EXPECT_TRUE(Near(ColourAt(bmp, 12, 12), kBlack, 40));
    }

    // A grey picture keeps an 8-bit grey table.
    Magick::Image ramp(Magick::Geometry(4, 1), Magick::Color("white"));
    const int levels[4] = {0, 85, 170, 255};
    for (int x = 0; x < 4; ++x) ramp.pixelColor(x, 0, Magick::ColorGray(levels[x] / 255.0));
    ramp.write("PGM:" + dir.file("ramp.pgm"));
    Bytes grey;
    ASSERT_TRUE(DecodePictureFile(dir.file("ramp.pgm"), &grey, nullptr));
    EXPECT_EQ(InfoOf(grey).bitCount, 8);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(ColourAt(grey, x, 0), RGBColor(levels[x], levels[x], levels[x]));

    // Black and white becomes 1 bit per pixel.
    Magick::Image checks(Magick::Geometry(5, 2), Magick::Color("white"));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x)
            if ((x + y) % 2) checks.pixelColor(x, y, Magick::Color("black"));
    checks.write("WBMP:" + dir.file("checks.wbmp"));
    Bytes mono;
    ASSERT_TRUE(DecodePictureFile(dir.file("checks.wbmp"), &mono, nullptr));
    EXPECT_EQ(InfoOf(mono).bitCount, 1);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(ColourAt(mono, x, y), (x + y) % 2 ? kBlack : kWhite) << x << "," << y;
}

TEST(PictureDecoder, IconMetafileAndJpeg2000)
{
    kvtest::TempDir dir;
    kvtest::WriteFileBytes(dir.file("icon.ico"), MakeIcon());
    Bytes ico;
    std::string error;
    ASSERT_TRUE(DecodePictureFile(dir.file("icon.ico"), &ico, &error)) << error;
    EXPECT_EQ(InfoOf(ico).width, 4);
    EXPECT_EQ(InfoOf(ico).height, 4);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(ColourAt(ico, x, 0), kSample[0][x]);

    kvtest::WriteFileBytes(dir.file("box.wmf"), MakeMetafile());
    Bytes wmf;
    ASSERT_TRUE(DecodePictureFile(dir.file("box.wmf"), &wmf, &error)) << error;
    const BitmapFileInfo w = InfoOf(wmf);
    ASSERT_GT(w.width, 4);
    EXPECT_EQ(w.width, 2 * w.height);
    EXPECT_TRUE(Near(ColourAt(wmf, 1, w.height / 2), kWhite, 8));
    EXPECT_TRUE(Near(ColourAt(wmf, w.width * 3 / 4, w.height / 2), kRed, 8));

    const Bytes jp2 = EncodeJpeg2000(true), j2k = EncodeJpeg2000(false);
    for (const char* name : {"s.jp2", "s.j2k", "s.jpc", "s.j2c"}) {
        kvtest::WriteFileBytes(dir.file(name), std::string(name) == "s.jp2" ? jp2 : j2k);
        Bytes bmp;
        ASSERT_TRUE(DecodePictureFile(dir.file(name), &bmp, &error)) << name << ": " << error;
        EXPECT_EQ(InfoOf(bmp).width, 4);
        EXPECT_EQ(InfoOf(bmp).height, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) EXPECT_EQ(ColourAt(bmp, x, y), kSample[y][x]) << name << " " << x << "," << y;
    }
}

TEST(PictureDecoder, PgxSamples)
{
    kvtest::TempDir dir;
    struct Case {
        std::string bytes;
        std::vector<int> grey;
    };
    const Case cases[] = {
        // 8 bits unsigned, most significant byte first.
        {std::string("PG ML + 8 4 1\n") + std::string("\x00\x40\x80\xFF", 4), {0, 64, 128, 255}},
        // 12 bits signed, least significant byte first: -2048, 0, 2047.
        {std::string("PG LM -12 3 1\n") + std::string("\x00\xF8\x00\x00\xFF\x07", 6), {0, 128, 255}},
        // 16 bits unsigned, most significant byte first.
        {std::string("PG ML +16 2 1\n") + std::string("\x00\x00\xFF\xFF", 4), {0, 255}},
    };
    for (const Case& c : cases) {
        kvtest::WriteFileBytes(dir.file("g.pgx"), Bytes(c.bytes.begin(), c.bytes.end()));
        Bytes bmp;
        std::string error;
        ASSERT_TRUE(DecodePictureFile(dir.file("g.pgx"), &bmp, &error)) << error;
        ASSERT_EQ(InfoOf(bmp).width, int(c.grey.size()));
        for (size_t x = 0; x < c.grey.size(); ++x)
            EXPECT_EQ(ColourAt(bmp, int(x), 0), RGBColor(c.grey[x], c.grey[x], c.grey[x])) << c.bytes.substr(0, 12);
    }
    // Samples cut short are refused.
    const std::string cut = "PG ML + 8 4 4\n\x01\x02";
    kvtest::WriteFileBytes(dir.file("cut.pgx"), Bytes(cut.begin(), cut.end()));
    Bytes bmp;
    std::string error;
    EXPECT_FALSE(DecodePictureFile(dir.file("cut.pgx"), &bmp, &error));
    EXPECT_NE(error.find("cut.pgx"), std::string::npos) << error;
}

TEST(PictureDecoder, TransparentPixelsBecomeWhite)
{
    kvtest::TempDir dir;
    Magick::InitializeMagick(nullptr);
    // A colour-table picture whose red entry is transparent, as GIF and PNG.
    Magick::Image keyed(Magick::Geometry(3, 1), Magick::Color("red"));
    keyed.pixelColor(1, 0, Magick::Color("blue"));
    keyed.transparent(Magick::Color("red"));
    keyed.quiet(true);
    for (const char* name : {"keyed.gif", "keyed.png"}) {
        keyed.write(dir.file(name));
        Bytes bmp;
        std::string error;
        ASSERT_TRUE(DecodePictureFile(dir.file(name), &bmp, &error)) << name << ": " << error;
        EXPECT_EQ(ColourAt(bmp, 0, 0), kWhite) << name;
        EXPECT_EQ(ColourAt(bmp, 1, 0), kBlue) << name;
        EXPECT_EQ(ColourAt(bmp, 2, 0), kWhite) << name;
    }

    // Direct colour with an alpha channel: clear is white, half clear is
    // half way to white, opaque stays.
    Magick::Image alpha(Magick::Geometry(3, 1), Magick::Color("black"));
    alpha.matte(true);
    alpha.pixelColor(0, 0, Magick::Color(0, 0, MaxRGB, MaxRGB));
    alpha.pixelColor(1, 0, Magick::Color(0, 0, MaxRGB, MaxRGB / 2));
    alpha.pixelColor(2, 0, Magick::Color(0, MaxRGB, 0, 0));
    alpha.write("PNG32:" + dir.file("alpha.png"));
    Bytes bmp;
    ASSERT_TRUE(DecodePictureFile(dir.file("alpha.png"), &bmp, nullptr));
    EXPECT_EQ(InfoOf(bmp).bitCount, 24);
    EXPECT_EQ(ColourAt(bmp, 0, 0), kWhite);
    EXPECT_TRUE(Near(ColourAt(bmp, 1, 0), RGBColor(128, 128, 255), 2)) << std::hex << ColourAt(bmp, 1, 0);
    EXPECT_EQ(ColourAt(bmp, 2, 0), kGreen);
}

TEST(PictureDecoder, ResolutionComesAlong)
{
    kvtest::TempDir dir;
    Magick::InitializeMagick(nullptr);
    Magick::Image img(Magick::Geometry(2, 2), Magick::Color("white"));
    img.resolutionUnits(Magick::PixelsPerInchResolution);
    img.density(Magick::Geometry(300, 150));
    img.write("PNG:" + dir.file("dense.png"));
    Bytes bmp;
    ASSERT_TRUE(DecodePictureFile(dir.file("dense.png"), &bmp, nullptr));
    EXPECT_NEAR(InfoOf(bmp).ppmX, 11811, 2);
    EXPECT_NEAR(InfoOf(bmp).ppmY, 5906, 2);
}

TEST(PictureDecoder, FailuresNameTheFileAndFormat)
{
    kvtest::TempDir dir;
    const std::string junk = "this is not a picture";
    for (const char* name : {"junk.png", "junk.gif", "junk.jp2", "junk.j2k", "junk.pgx", "junk.bmp"})
        kvtest::WriteFileBytes(dir.file(name), Bytes(junk.begin(), junk.end()));
    kvtest::WriteFileBytes(dir.file("vector.emf"), Bytes(junk.begin(), junk.end()));
    kvtest::WriteFileBytes(dir.file("odd.xyz"), Bytes(junk.begin(), junk.end()));
    kvtest::WriteFileBytes(dir.file("noext"), Bytes(junk.begin(), junk.end()));
    struct Case {
        std::string name;
        std::string expect;  // in the message besides the file name
    };
    const Case cases[] = {
        {"junk.png", "PNG"},   {"junk.gif", "GIF"},   {"junk.jp2", "JPEG 2000"}, {"junk.j2k", "JPEG 2000"},
        {"junk.pgx", "PGX"},   {"junk.bmp", "BMP"},   {"vector.emf", "(EMF)"},   {"odd.xyz", "(XYZ)"},
    };
    for (const Case& c : cases) {
        Bytes bmp{1, 2, 3};
        std::string error;
        EXPECT_FALSE(DecodePictureFile(dir.file(c.name), &bmp, &error)) << c.name;
        EXPECT_TRUE(bmp.empty());
        EXPECT_NE(error.find("\"" + dir.file(c.name) + "\""), std::string::npos) << error;
        EXPECT_NE(error.find(c.expect), std::string::npos) << error;
    }

    // A file that is not there, or a name without an extension: no message,
    // nothing to tell but an absence.
    Bytes bmp;
    std::string error = "stale";
    EXPECT_FALSE(DecodePictureFile(dir.file("gone.png"), &bmp, &error));
    EXPECT_EQ(error, "");
    error = "stale";
    EXPECT_FALSE(DecodePictureFile(dir.file("noext"), &bmp, &error));
    EXPECT_EQ(error, "");
    // A folder named like a picture.
    std::filesystem::create_directory(dir.file("folder.png"));
    EXPECT_FALSE(DecodePictureFile(dir.file("folder.png"), &bmp, &error));
    EXPECT_NE(error.find("folder"), std::string::npos) << error;
}

TEST(PictureDecoder, ExtensionsAndFormats)
{
    EXPECT_EQ(PictureExtension("/a/b/Logo.JPEG"), "jpeg");
    EXPECT_EQ(PictureExtension("/a.d/logo"), "");
    EXPECT_EQ(PictureExtension("C:\\x.y\\logo"), "");
    EXPECT_EQ(PictureExtension("logo."), "");
    EXPECT_EQ(PictureFormatOf("jpc"), PictureFormat::J2k);
    EXPECT_EQ(PictureFormatOf("pgm"), PictureFormat::Pnm);
    EXPECT_EQ(PictureFormatOf("ras"), PictureFormat::Ras);
    EXPECT_EQ(PictureFormatOf("svg"), PictureFormat::Unknown);
}

}  // namespace
