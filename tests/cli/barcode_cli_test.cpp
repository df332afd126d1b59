// The "korvane barcode" command's contract: output files, --measure,
// --caret, and failures with status 2 and the error name.
#include <gtest/gtest.h>

#include "support/kvtest.h"

namespace {

TEST(BarcodeCli, WritesPbmOnePixelPerDot)
{
    kvtest::TempDir dir;
    const std::string out = dir.file("c39.pbm");
    const auto r = kvtest::RunKorvane({"barcode", "code39", "-d", "AB", "--module", "1", "--wide", "3", "--height",
                                       "7", "-o", out});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::uint8_t> bytes = kvtest::ReadFileBytes(out);
    // Code 39 "AB": 3*3*4 + 1*(14+13) = 63 pixels.
    const std::string header = "P4\n63 7\n";
    ASSERT_GE(bytes.size(), header.size());
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + long(header.size())), header);
    EXPECT_EQ(bytes.size(), header.size() + 8 * 7);
    // The first pixel (start bar) is black, the last pixel of a row too, padding 0.
    EXPECT_EQ(bytes[header.size()] & 0x80, 0x80);
    // Pixels 56..62 are the end of the stop character "1011101", then a 0 pad bit.
    EXPECT_EQ(bytes[header.size() + 7], 0xBA);
}

TEST(BarcodeCli, MeasureCaretAndPng)
{
    auto r = kvtest::RunKorvane({"barcode", "ean13", "-d", "590123412345", "--module", "2", "--height", "50",
                                 "--rotation", "90", "--measure"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "50 226\n");
    r = kvtest::RunKorvane({"barcode", "23", "-d", "15400141288763", "--module", "2", "--wide", "5", "--bearer", "1",
                            "--bearer-thickness", "2", "--quiet-zone", "10", "--measure"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, std::to_string(5 * 29 + 6 * 16 + 48) + " 100\n");
    r = kvtest::RunKorvane({"barcode", "code128", "-d", "12345A", "--caret"});
    EXPECT_EQ(r.out, "^C1234^B5A\n");
    r = kvtest::RunKorvane({"barcode", "code128", "-d", "10ABC^121", "--mode", "110", "--caret"});
    EXPECT_EQ(r.out, "^B^110ABC^121\n");
    // UTF-8 from the shell arrives in the ANSI code page.
    r = kvtest::RunKorvane({"barcode", "code128", "-d", "caf\xC3\xA9", "--mode", "104", "--caret"});
    EXPECT_EQ(r.out, "caf\xC3\xA9\n");

    kvtest::TempDir dir;
    const std::string png = dir.file("upce.png");
    r = kvtest::RunKorvane({"barcode", "upce", "-d", "0123456", "--text", "3", "--height", "60", "-o", png});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto bytes = kvtest::ReadFileBytes(png);
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
}

TEST(BarcodeCli, FailuresExitWithTwoAndTheErrorName)
{
    kvtest::TempDir dir;
    struct Bad {
        std::vector<std::string> args;
        std::string name;
    };
    const Bad cases[] = {
        {{"barcode", "ean13", "-d", "123", "-o", dir.file("a.png")}, "BCE_BAD_LENGTH"},
        {{"barcode", "code39", "-d", "A*B", "-o", dir.file("a.png")}, "BCE_ILLEGAL_CHAR"},
        {{"barcode", "itf", "-d", "1234", "--wide", "1", "--measure"}, "BCE_BAD_RATIO"},
        {{"barcode", "code128", "-d", "AB", "--rotation", "45", "--measure"}, "BCE_BAD_ROTATION"},
        {{"barcode", "11", "-d", "AB", "--measure"}, "BCE_UNSUPPORTED_TYPE"},
        {{"barcode", "codabar", "-d", "123", "--measure"}, "BCE_ILLEGAL_CHAR"},
    };
    for (const auto& c : cases) {
        const auto r = kvtest::RunKorvane(c.args);
        EXPECT_EQ(r.status, 2) << c.name;
        EXPECT_NE(r.err.find(c.name), std::string::npos) << r.err;
    }
    // The message comes with the name, as text.
    const auto r = kvtest::RunKorvane({"barcode", "ean13", "-d", "123", "--measure"});
    EXPECT_NE(r.err.find("必须是13个数字"), std::string::npos) << r.err;
    // Usage errors are bad command lines, not encoder failures: a line of usage, no error name.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"barcode", "nosuch", "-d", "1", "--measure"}, {"barcode", "code39", "--measure"}}) {
        const auto usage = kvtest::RunKorvane(args);
        EXPECT_EQ(usage.status, 2);
        EXPECT_NE(usage.err.find("\nusage: korvane barcode "), std::string::npos) << usage.err;
        EXPECT_EQ(usage.err.find("BCE_"), std::string::npos) << usage.err;
    }
}

TEST(BarcodeCli, DataFileBytesGoUnchanged)
{
    kvtest::TempDir dir;
    const std::string data = dir.file("data.bin");
    kvtest::WriteFileBytes(data, {'A', 0x09, 'b'});
    const auto r = kvtest::RunKorvane({"barcode", "code128", "--data-file", data, "--caret"});
    EXPECT_EQ(r.out, "^AA\t^Sb\n");
}

}  // namespace
