// What the commands write: an existing file only with --force and never the
// file being read, the format the output's name asks for, standard output
// for "-", and after a failure no empty or partial file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/kvtest.h"

namespace {

bool StartsWithBytes(const std::vector<std::uint8_t>& bytes, const std::string& magic)
{
    return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin(), [](char m, std::uint8_t b) {
               return static_cast<unsigned char>(m) == b;
           });
}

const std::string kPng = "\x89PNG\r\n\x1A\n";

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string MakeShipping(const kvtest::TempDir& dir, const std::string& name = "label.kvd")
{
    const std::string path = dir.file(name);
    const auto r = kvtest::RunKorvane({"example", "shipping", path});
    EXPECT_EQ(r.status, 0) << r.err;
    return path;
}

// Each command refuses to write over a file that is there, leaving it as it
// was, and writes its own output over it with --force.
TEST(OutputCli, ExistingFilesNeedForce)
{
    kvtest::TempDir dir;
    const std::string label = MakeShipping(dir);
    const std::vector<std::uint8_t> old = {'k', 'e', 'e', 'p', '\n'};
    struct Case {
        std::string target;
        std::vector<std::string> args;  // without --force
        std::string magic;              // of what --force writes
    };
    const Case cases[] = {
        {"n.txt", {"new", dir.file("n.txt")}, ""},
        {"e.kvd", {"example", "text", dir.file("e.kvd")}, ""},
        {"r.png", {"render", label, "--dpi", "100", "-o", dir.file("r.png")}, kPng},
        {"b.png", {"barcode", "qr", "-d", "x", "-o", dir.file("b.png")}, kPng},
        {"b.pbm", {"barcode", "code128", "-d", "x", "-o", dir.file("b.pbm")}, "P4\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.target);
        kvtest::WriteFileBytes(dir.file(c.target), old);
        const auto refused = kvtest::RunKorvane(c.args);
        EXPECT_EQ(refused.status, 1);
        EXPECT_NE(refused.err.find(c.target + " exists; --force writes over it"), std::string::npos) << refused.err;
        EXPECT_EQ(kvtest::ReadFileBytes(dir.file(c.target)), old);

        std::vector<std::string> forced = c.args;
        forced.push_back("--force");
        const auto written = kvtest::RunKorvane(forced);
        ASSERT_EQ(written.status, 0) << written.err;
        const auto bytes = kvtest::ReadFileBytes(dir.file(c.target));
        EXPECT_NE(bytes, old);
        EXPECT_TRUE(StartsWithBytes(bytes, c.magic));
    }
    // The documents written over are documents again.
    EXPECT_EQ(kvtest::RunKorvane({"info", dir.file("n.txt")}).status, 0);
    EXPECT_EQ(kvtest::RunKorvane({"info", dir.file("e.kvd")}).status, 0);
}

// Not even --force writes over what the command reads, under any name.
TEST(OutputCli, NeverOverTheInput)
{
    kvtest::TempDir dir;
    const std::string label = MakeShipping(dir, "label.png");  // a document under a picture's name
    const auto document = kvtest::ReadFileBytes(label);
    std::filesystem::create_hard_link(label, dir.file("same.png"));
    const std::vector<std::uint8_t> data = {'4', '2'};
    kvtest::WriteFileBytes(dir.file("data.png"), data);
    const std::vector<std::vector<std::string>> runs = {
        {"render", label, "--dpi", "100", "-o", label, "--force"},
        {"render", label, "--dpi", "100", "-o", dir.file("same.png"), "--force"},
        {"barcode", "qr", "--data-file", dir.file("data.png"), "-o", dir.file("data.png"), "--force"},
    };
    for (const auto& args : runs) {
        const auto r = kvtest::RunKorvane(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("is the file being read"), std::string::npos) << r.err;
    }
    EXPECT_EQ(kvtest::ReadFileBytes(label), document);
    EXPECT_EQ(kvtest::ReadFileBytes(dir.file("data.png")), data);
}

// The output's name chooses the format; "-" is standard output; a name the
// command cannot write is refused before any work.
TEST(OutputCli, TheNameChoosesTheFormat)
{
    kvtest::TempDir dir;
    const std::string label = MakeShipping(dir);
    struct Case {
        std::vector<std::string> args;
        std::string file;   // "" for standard output
        std::string magic;  // "" when refused
    };
    const Case cases[] = {
        {{"render", label, "--dpi", "100", "-o", dir.file("r.jpg")}, "r.jpg", "\xFF\xD8\xFF"},
        {{"render", label, "--dpi", "100", "-o", dir.file("r.JPEG")}, "r.JPEG", "\xFF\xD8\xFF"},
        {{"render", label, "--dpi", "100", "-o", dir.file("r.bmp")}, "r.bmp", "BM"},
        {{"render", label, "--dpi", "100", "-o", dir.file("r.png")}, "r.png", kPng},
        {{"render", label, "--dpi", "100", "-o", "-"}, "", kPng},
        {{"barcode", "qr", "-d", "x", "-o", "-"}, "", "P4\n"},
        {{"render", label, "--dpi", "100", "-o", dir.file("r.gif")}, "r.gif", ""},
        {{"render", label, "--dpi", "100", "-o", dir.file("r.kvd")}, "r.kvd", ""},
        {{"barcode", "qr", "-d", "x", "-o", dir.file("b.jpg")}, "b.jpg", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " -o " + c.args[c.args.size() - 1]);
        const auto r = kvtest::RunKorvane(c.args);
        if (c.magic.empty()) {
            EXPECT_EQ(r.status, 1);
            EXPECT_NE(r.err.find("the output must be"), std::string::npos) << r.err;
            EXPECT_FALSE(std::filesystem::exists(dir.file(c.file)));
            continue;
        }
        ASSERT_EQ(r.status, 0) << r.err;
        const std::vector<std::uint8_t> bytes =
            c.file.empty() ? std::vector<std::uint8_t>(r.out.begin(), r.out.end()) : kvtest::ReadFileBytes(dir.file(c.file));
        EXPECT_TRUE(StartsWithBytes(bytes, c.magic));
        if (!c.file.empty()) {
            EXPECT_TRUE(r.out.empty());
        }
    }
}

// A write that fails (a full file system, a folder that is not there)
// leaves no file, no temporary file, and an old file as it was; the
// message gives the system's reason.
TEST(OutputCli, FailedWritesLeaveNothingPartial)
{
    kvtest::TempDir dir;
    const std::string label = MakeShipping(dir);
    const std::vector<std::uint8_t> old = {'o', 'l', 'd'};
    kvtest::WriteFileBytes(dir.file("old.png"), old);
    kvtest::WriteFileBytes(dir.file("old.kvd"), old);
    const std::vector<std::string> before = FilesIn(dir.path());
    struct Case {
        std::vector<std::string> args;
        std::string file;
    };
    const Case full[] = {
        {{"render", label, "--dpi", "100", "-o", dir.file("r.png")}, "r.png"},
        {{"render", label, "--dpi", "100", "-o", dir.file("old.png"), "--force"}, "old.png"},
        {{"barcode", "qr", "-d", std::string(300, 'Q'), "-o", dir.file("b.png")}, "b.png"},
        {{"barcode", "qr", "-d", std::string(300, 'Q'), "-o", dir.file("old.png"), "--force"}, "old.png"},
        {{"example", "shipping", dir.file("e.kvd")}, "e.kvd"},
        {{"new", dir.file("old.kvd"), "--force"}, "old.kvd"},
    };
    for (const Case& c : full) {
        SCOPED_TRACE(c.args[0] + " " + c.file);
        const auto r = kvtest::RunKorvaneWithFileLimit(c.args, 200);
        EXPECT_NE(r.status, 0);
        EXPECT_NE(r.err.find("File too large"), std::string::npos) << r.err;
    }
    EXPECT_EQ(FilesIn(dir.path()), before);
    EXPECT_EQ(kvtest::ReadFileBytes(dir.file("old.png")), old);
    EXPECT_EQ(kvtest::ReadFileBytes(dir.file("old.kvd")), old);

    const auto r = kvtest::RunKorvane({"render", label, "--dpi", "100", "-o", dir.file("none/r.png")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write " + dir.file("none/r.png") + ": No such file or directory"), std::string::npos)
        << r.err;
}

}  // namespace
