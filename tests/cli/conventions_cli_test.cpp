// The command line's conventions: help and version, options written every
// usual way and each once, "--" ending the options, usage errors with
// status 2 and one line of usage, symbology names as users spell them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/kvtest.h"

namespace {

size_t CountLines(const std::string& s)
{
    size_t n = 0;
    for (char c : s) n += c == '\n';
    return n;
}

TEST(ConventionsCli, HelpAndVersion)
{
    struct Case {
        std::vector<std::string> args;
        std::string says;  // on standard output
    };
    const Case cases[] = {
        {{"--version"}, "korvane 7."},
        {{"help"}, "korvane barcode --list names the symbologies"},
        {{"--help"}, "Settings: "},
        {{"help", "render"}, "usage: korvane render FILE -o "},
        {{"render", "--help"}, "usage: korvane render FILE -o "},
        {{"barcode", "-h"}, "    datamatrix"},
        {{"print", "--help"}, "usage: korvane print FILE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        const auto r = kvtest::RunKorvane(c.args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find(c.says), std::string::npos) << r.out;
        EXPECT_TRUE(r.err.empty()) << r.err;
    }
    // Every command has its help.
    for (const char* command : {"barcode", "example", "info", "new", "print", "printers", "records", "render", "script",
                                "send"}) {
        const auto r = kvtest::RunKorvane({command, "--help"});
        EXPECT_EQ(r.status, 0) << command;
        EXPECT_EQ(r.out.rfind(std::string("usage: korvane ") + command, 0), 0u) << r.out;
    }
    // The help names the settings file the program uses.
    kvtest::TempDir dir;
    const auto r = kvtest::RunKorvane({"help"}, {{"KORVANE_SETTINGS", ""}, {"XDG_CONFIG_HOME", dir.path()}});
    EXPECT_NE(r.out.find("Settings: " + dir.path() + "/Ordwyn Barcode Co./Korvane.conf"), std::string::npos) << r.out;
}

// Bad command lines give status 2, the reason and one line of usage, and do nothing.
TEST(ConventionsCli, UsageErrorsGiveStatusTwoAndOneLineOfUsage)
{
    kvtest::TempDir dir;
    const std::string label = kvtest::SourcePath("examples/sheet.kvd");
    const std::string png = dir.file("x.png");
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    const Case cases[] = {
        {{"barcode", "qr", "-d", "a", "-o", png, "-o", dir.file("y.png")}, "option -o is given twice"},
        {{"barcode", "qr", "-d", "a", "--data=b", "-o", png}, "give the data once"},
        {{"barcode", "qr", "--module", "2", "--module=3", "-d", "a", "-o", png}, "option --module is given twice"},
        {{"render", label, "-o", png, "--label", "-1"}, "never below"},
        {{"info", label, "--label", "2", "--copy", "-3"}, "never below"},
        {{"render", label, label, "-o", png}, "give one label document"},
        {{"new", dir.file("a.kvd"), dir.file("b.kvd")}, "give one output file"},
        {{"barcode", "code128", "-d", "a", "stray", "-o", png}, "give one symbology"},
        {{"barcode", "bogus", "-d", "a", "-o", png}, "unknown symbology \"bogus\""},
        {{"render", label, "-o", png, "--bogus"}, "unknown option --bogus"},
        {{"render", label, "-o"}, "option -o needs a value"},
        {{"script"}, "give one script file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        const auto r = kvtest::RunKorvane(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("korvane: "), std::string::npos);
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("\nusage: korvane " + c.args[0] + " "), std::string::npos) << r.err;
        EXPECT_EQ(CountLines(r.err), 2u) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"bogus"}, {"help", "bogus"}}) {
        const auto r = kvtest::RunKorvane(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(CountLines(r.err), 1u) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(png));
}

// -oFILE, --opt=value and "--" before an argument that looks like an option.
TEST(ConventionsCli, OptionsTakeTheirValuesEveryUsualWay)
{
    kvtest::TempDir dir;
    const auto attached = kvtest::RunKorvane({"barcode", "qr", "-dKorvane", "-o" + dir.file("a.pbm")});
    ASSERT_EQ(attached.status, 0) << attached.err;
    const auto separate = kvtest::RunKorvane({"barcode", "qr", "-d", "Korvane", "-o", dir.file("b.pbm")});
    ASSERT_EQ(separate.status, 0) << separate.err;
    const auto equals = kvtest::RunKorvane({"barcode", "qr", "--data=Korvane", "--module=1", "-o", dir.file("c.pbm")});
    ASSERT_EQ(equals.status, 0) << equals.err;
    EXPECT_EQ(kvtest::ReadFileBytes(dir.file("a.pbm")), kvtest::ReadFileBytes(dir.file("b.pbm")));
    EXPECT_FALSE(kvtest::ReadFileBytes(dir.file("c.pbm")).empty());

    // After "--", a file named like an option is a file.
    const std::string odd = dir.file("-label.kvd");
    ASSERT_EQ(kvtest::RunKorvane({"example", "text", "--", odd}).status, 0);
    const auto info = kvtest::RunKorvane({"info", "--json", "--", odd});
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(kvtest::RunKorvane({"info", odd}).status, 0);  // a path with a folder never looks like an option
}

// The symbologies go by their names, their display names and the usual
// spellings of either, without case, spaces, hyphens or underscores.
TEST(ConventionsCli, SymbologiesGoByTheNamesUsersWrite)
{
    struct Case {
        std::string typed;
        std::string data;
        std::string canonical;
    };
    const Case cases[] = {
        {"ean-13", "400638133393", "ean13"}, {"EAN_13", "400638133393", "ean13"}, {"upc-a", "03600029145", "upca"},
        {"code-128", "Korvane", "code128"},  {"data-matrix", "Korvane", "datamatrix"}, {"QR Code", "Korvane", "qr"},
        {"qr-code", "Korvane", "qr"},        {"Maxi Code", "Korvane", "maxicode"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const auto typed = kvtest::RunKorvane({"barcode", c.typed, "-d", c.data, "-o", "-"});
        const auto canonical = kvtest::RunKorvane({"barcode", c.canonical, "-d", c.data, "-o", "-"});
        ASSERT_EQ(typed.status, 0) << typed.err;
        EXPECT_EQ(typed.out, canonical.out);
        EXPECT_FALSE(typed.out.empty());
    }
    for (const char* wrong : {"ean-14", "code 12", "q"}) {
        const auto r = kvtest::RunKorvane({"barcode", wrong, "-d", "1", "-o", "-"});
        EXPECT_EQ(r.status, 2) << wrong;
        EXPECT_NE(r.err.find("unknown symbology"), std::string::npos) << r.err;
    }
}

}  // namespace
