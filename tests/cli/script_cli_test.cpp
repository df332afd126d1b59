// korvane script: runs a script file and prints a function's result.
#include <gtest/gtest.h>

#include "platform/app_settings.h"
#include "platform/settings_store.h"
#include "support/kvtest.h"

namespace {

std::string WriteScript(const kvtest::TempDir& dir, const std::string& text)
{
    const std::string path = dir.file("label.vbs");
    kvtest::WriteFileBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
    return path;
}

const char kScript[] =
    "Dim begun\r\n"
    "begun = \"yes\"\r\n"
    "Function Twice(n)\r\n"
    "    Twice = n * 2\r\n"
    "End Function\r\n"
    "Function Started()\r\n"
    "    Started = begun\r\n"
    "End Function\r\n"
    "Function Stamp()\r\n"
    "    Stamp = Now\r\n"
    "End Function\r\n"
    "Function Shout(s)\r\n"
    "    Shout = UCase(s) & \"\xC3\xA4!\"\r\n"
    "End Function\r\n";

TEST(ScriptCli, CallsAFunctionAfterTheTopLevelStatements)
{
    kvtest::TempDir dir;
    const std::string path = WriteScript(dir, kScript);
    struct Case {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{"script", path}, ""},
        {{"script", path, "--call", "Twice", "21"}, "42\n"},
        {{"script", path, "--call", "twice", "-1.5"}, "-3\n"},
        {{"script", path, "--call", "Started"}, "yes\n"},
        {{"script", path, "--call", "Shout", "ok"}, "OK\xC3\xA4!\n"},
        {{"script", path, "--call", "Stamp", "--now", "2030-05-06 07:08:09"}, "5/6/2030 7:08:09 AM\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.size() > 3 ? c.args[3] : "top level");
        const auto r = kvtest::RunKorvane(c.args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.out);
    }
}

TEST(ScriptCli, ScriptErrorsGiveStatusOneAndTheErrorLine)
{
    kvtest::TempDir dir;
    struct Case {
        std::string script;
        std::vector<std::string> extra;
        std::string error;
    } cases[] = {
        {"x = 1\r\ny = 1 / 0\r\n", {}, "Script error in line 2, position 1: Division by zero"},
        {"x = 1\r\n  Set fso = CreateObject(\"Scripting.FileSystemObject\")\r\n", {},
         "Script error in line 2, position 3: Label scripts cannot create objects: 'Scripting.FileSystemObject'"},
        {"If x Then\r\n", {}, "Script error in line 2, position 1: Expected 'End'"},
        {"Function F()\r\n  F = Mid(\"a\", 0)\r\nEnd Function\r\n", {"--call", "F"},
         "Script error in line 2, position 3: Invalid procedure call or argument"},
        {"x = 1\r\n", {"--call", "Missing"}, "Sub or Function not defined: 'Missing'"},
        {"Function Loops()\r\n  Do\r\n  Loop\r\nEnd Function\r\n", {"--call", "Loops"}, "steps"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        std::vector<std::string> args = {"script", WriteScript(dir, c.script)};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const auto r = kvtest::RunKorvane(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST(ScriptCli, BadCommandLinesGiveStatusTwo)
{
    kvtest::TempDir dir;
    const std::string path = WriteScript(dir, kScript);
    const std::vector<std::vector<std::string>> lines = {
        {"script"},
        {"script", path, "extra"},
        {"script", path, "--call"},
        {"script", path, "--bogus"},
        {"script", path, "--call", "Twice", "1", "2"},
        {"script", path, "--now", "tomorrow"},
        {"script", dir.file("missing.vbs")},
    };
    for (const auto& args : lines) {
        SCOPED_TRACE(args.back());
        const auto r = kvtest::RunKorvane(args);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_FALSE(r.err.empty());
    }
}

TEST(ScriptCli, TheStepLimitComesFromTheSettings)
{
    kvtest::TempDir dir;
    const std::string path = WriteScript(dir, "For i = 1 To 5000\r\n  n = n + i\r\nNext\r\nFunction N_() : N_ = n : End Function\r\n");
    ASSERT_TRUE(WriteAppSettingInt("ScriptStepLimit", 1000));
    CSettingsStore::Instance().Sync();
    const auto limited = kvtest::RunKorvane({"script", path, "--call", "N_"});
    CSettingsStore::Instance().Remove(kSettingsSection, "ScriptStepLimit");
    CSettingsStore::Instance().Sync();
    EXPECT_EQ(limited.status, 1);
    EXPECT_NE(limited.err.find("1000 steps"), std::string::npos) << limited.err;
    const auto r = kvtest::RunKorvane({"script", path, "--call", "N_"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "12502500\n");
}

}  // namespace
