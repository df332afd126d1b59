// korvane barcode qr|pdf417|datamatrix: pictures written, failures reported
// with the error name and status 2, PDF417 choices printed by --query.
#include <gtest/gtest.h>

#include <string>

#include "support/kvtest.h"
#include "support/decode.h"

namespace {

// Reads a P4 picture into a bitmap of the encoder form.
CMonoBitmap ReadPbm(const std::vector<std::uint8_t>& f)
{
    std::string head(f.begin(), f.begin() + std::min<size_t>(f.size(), 32));
    int w = 0, h = 0, used = 0;
    // One whitespace byte ends the header; a "\n" in the format would also
    // swallow pixel bytes that look like whitespace.
    if (std::sscanf(head.c_str(), "P4\n%d %d%n", &w, &h, &used) != 2) return {};
    ++used;
    CMonoBitmap b(w, h);
    const int rowBytes = (w + 7) / 8;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (f[size_t(used + y * rowBytes + x / 8)] & (0x80 >> (x % 8))) b.SetPixel(x, y, true);
    return b;
}

TEST(BarcodeCli, WritesTwoDSymbols)
{
    kvtest::TempDir dir;
    kvtest::WriteFileBytes(dir.file("bin"), {0x00, 0xFF, 0x80, 'A', 0x0A});
    struct Case { std::vector<std::string> args; int w, h; };
    const Case cases[] = {
        {{"barcode", "qr", "-d", "01234567", "--ec", "M", "--module", "3"}, 63, 63},
        {{"barcode", "datamatrix", "123456", "--module", "4", "--rotation", "90"}, 40, 40},
        {{"barcode", "qr", "--data-file", dir.file("bin"), "--ec", "H", "--mirror", "1"}, 42, 42},
    };
    for (const Case& c : cases) {
        auto args = c.args;
        args.push_back("-o");
        args.push_back(dir.file("out.pbm"));
        args.push_back("--force");  // one output for every case
        const auto r = kvtest::RunKorvane(args);
        ASSERT_EQ(r.status, 0) << r.err;
        const auto bmp = ReadPbm(kvtest::ReadFileBytes(dir.file("out.pbm")));
        EXPECT_EQ(bmp.Width(), c.w);
        EXPECT_EQ(bmp.Height(), c.h);
        if (c.args[1] == "datamatrix")
            EXPECT_EQ(kvtest::DecodeBitmap(bmp, ZXing::BarcodeFormat::DataMatrix, 8).bytes, kvtest::Bytes("123456"));
        else if (c.args[3] == "01234567")
            EXPECT_EQ(kvtest::DecodeBitmap(bmp, ZXing::BarcodeFormat::QRCode, 8).bytes, kvtest::Bytes("01234567"));
    }
}

TEST(BarcodeCli, WritesPdf417MaxiCodeHanXinAndDataBarLimited)
{
    kvtest::TempDir dir;
    struct Case { std::vector<std::string> args; int w, h; std::string decoded; };
    const Case cases[] = {
        // 4 columns: (69 + 68) modules of 2 pixels; rows of 6 pixels.
        {{"barcode", "pdf417", "-d", "Korvane PDF417", "--cols", "4", "--ec", "2"}, 274, 0, "Korvane PDF417"},
        {{"barcode", "pdf417", "-d", "Korvane PDF417", "--cols", "4", "--ec", "2", "--truncated"}, 206, 0,
         "Korvane PDF417"},
        // Module 3: hexagons 12 high and 10 wide.
        {{"barcode", "maxicode", "-d", "Korvane MaxiCode", "--module", "3"}, 300, 300, "Korvane MaxiCode"},
        {{"barcode", "maxicode", "-d", "Korvane MaxiCode", "--module", "3", "--mode", "5"}, 300, 300,
         "Korvane MaxiCode"},
        // Version 3 is 27 modules a side.
        {{"barcode", "hanxin", "-d", "Korvane", "--ec", "4", "--version", "3", "--module", "2"}, 54, 54, ""},
        {{"barcode", "hanxin", "-d", "Korvane", "--module", "2"}, 46, 46, ""},
        {{"barcode", "databar", "-d", "1234567890123", "--databar-type", "4", "--height", "20"}, 158, 20, ""},
    };
    for (const Case& c : cases) {
        auto args = c.args;
        args.push_back("-o");
        args.push_back(dir.file("out.pbm"));
        args.push_back("--force");  // one output for every case
        const auto r = kvtest::RunKorvane(args);
        ASSERT_EQ(r.status, 0) << c.args[1] << " " << r.err;
        const auto bmp = ReadPbm(kvtest::ReadFileBytes(dir.file("out.pbm")));
        EXPECT_EQ(bmp.Width(), c.w) << c.args[1];
        if (c.h) {
            EXPECT_EQ(bmp.Height(), c.h) << c.args[1];
        }
        if (!c.decoded.empty()) {
            const auto fmt = c.args[1] == "pdf417" ? ZXing::BarcodeFormat::PDF417 : ZXing::BarcodeFormat::MaxiCode;
            EXPECT_EQ(kvtest::DecodeBitmap(bmp, fmt, 12).bytes, kvtest::Bytes(c.decoded)) << c.args[1];
        }
    }
}

TEST(BarcodeCli, FailuresAndQuery)
{
    struct Case { std::vector<std::string> args; int status; std::string err; std::string out; };
    const Case cases[] = {
        {{"barcode", "pdf417", "ABC", "--rows", "2"}, 2, "BCE_BAD_ROW_COLUMN", ""},
        {{"barcode", "pdf417", "ABC", "--ec", "9"}, 2, "BCE_BAD_EC_LEVEL", ""},
        {{"barcode", "qr", "ABC", "--rotation", "45"}, 2, "BCE_BAD_ROTATION", ""},
        {{"barcode", "datamatrix", std::string(3117, '9')}, 2, "BCE_BAD_LENGTH", ""},
        {{"barcode", "pdf417", std::string(30, 'A'), "--query", "--module", "1", "--row-height", "3"}, 0, "", "18 1 0\n"},
        {{"barcode", "pdf417", std::string(30, 'A'), "--query", "--cols", "30", "--ec", "3"}, 0, "", "3 30 3\n"},
        {{"barcode", "aztec", "-d", "ABC"}, 2, "unknown symbology", ""},
        {{"barcode", "maxicode", "-d", "ABC", "--mode", "6"}, 2, "--mode of maxicode is 2 to 5", ""},
        {{"barcode", "maxicode", "-d", std::string(94, 'A'), "--mode", "4"}, 2, "BCE_BAD_LENGTH", ""},
        {{"barcode", "hanxin", "-d", "ABC", "--ec", "5"}, 2, "--ec of hanxin is 1 to 4", ""},
        {{"barcode", "hanxin", "-d", "ABC", "--version", "85"}, 2, "--version of hanxin is 0 to 84", ""},
        {{"barcode", "hanxin", "-d", std::string(30, 'A'), "--ec", "4", "--version", "1"}, 2, "BCE_BAD_LENGTH", ""},
    };
    for (const Case& c : cases) {
        auto args = c.args;
        if (c.status != 0) {
            args.push_back("-o");
            args.push_back("-");
        }
        const auto r = kvtest::RunKorvane(args);
        EXPECT_EQ(r.status, c.status) << c.args[1] << " " << r.err;
        if (!c.err.empty()) EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        if (!c.out.empty()) EXPECT_EQ(r.out, c.out);
    }
}

}  // namespace
