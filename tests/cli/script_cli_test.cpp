// korvane script runs a script file and prints a function's result;
// korvane info --label runs a label's scripts when asked.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "data/variable.h"
#include "model/document.h"
#include "model/drawrect.h"
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
        // Typed text reaches the script in the code page, as on a label.
        {{"script", path, "--call", "Shout", "gr\xC3\xBC\xC3\x9F" "e"}, "GR\xC3\x9C\xC3\x9F" "E\xC3\xA4!\n"},
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

// A label whose Script variable reads a named variable holding a quote, the
// counters, the predefined script and the clock; its label script makes the
// run five labels long.
std::string WriteScriptLabel(const kvtest::TempDir& dir, const std::string& labelScript)
{
    CKVDoc doc;
    EXPECT_TRUE(doc.OnNewDocument());
    doc.m_format.m_nQuantity = 2;
    doc.m_format.SetProperty(LFP_SCRIPT, labelScript);
    auto* lot = new CVariable(VK_FIXED);
    lot->m_strName = "Lot";
    lot->m_strData = "A\"7";
    doc.AddVariable(lot);
    auto* script = new CVariable(VK_SCRIPT);
    script->SetProperty(VP_SCRIPT, "Function OnGetData()\r\n"
                                   "  OnGetData = Lot & \"/\" & V_LABELNO & \"/\" & V_TOTALLABELS & \"/\" & "
                                   "UccMode10(\"12345\") & \"/\" & Year(Now)\r\n"
                                   "End Function");
    doc.AddVariable(script);
    auto* shown = new CDrawRect(CRect(0, 0, 2000, 500));
    doc.AddObject(shown);
    shown->AddVariable(script);
    auto* fixed = new CDrawRect(CRect(0, 600, 2000, 1100));
    doc.AddObject(fixed);
    fixed->AddVariable(lot);
    const std::string path = dir.file("scripted.kvd");
    std::string error;
    EXPECT_TRUE(doc.SaveDocument(path, &error)) << error;
    return path;
}

const char kFiveLabels[] = "Function OnBeginPrint(State)\r\n  V_TOTALLABELS = 5\r\nEnd Function";

TEST(ScriptCli, InfoRunsTheLabelsScriptsWhenAsked)
{
    kvtest::TempDir dir;
    const std::string path = WriteScriptLabel(dir, kFiveLabels);
    const std::vector<std::string> base = {"info", path, "--label", "0", "--record", "2", "--now", "2030-01-02 03:04:05"};

    // Scripts off: a Script variable prints nothing.
    const auto off = kvtest::RunKorvane(base);
    ASSERT_EQ(off.status, 0) << off.err;
    EXPECT_NE(off.out.find("CDrawRect \"\"\n"), std::string::npos) << off.out;
    EXPECT_EQ(off.out.find("scripts:"), std::string::npos);

    std::vector<std::string> forced = base;
    forced.push_back("--scripts");
    const auto on = kvtest::RunKorvane(forced);
    ASSERT_EQ(on.status, 0) << on.err;
    EXPECT_NE(on.out.find("CDrawRect \"A\\\"7/3/5/7/2030\"\n"), std::string::npos) << on.out;
    EXPECT_NE(on.out.find("scripts: the run has 5 labels\n"), std::string::npos) << on.out;
    EXPECT_EQ(on.err, "");

    // The setting does the same without --scripts.
    ASSERT_TRUE(WriteAppSettingInt("EnableScript", 1));
    CSettingsStore::Instance().Sync();
    std::vector<std::string> json = base;
    json.push_back("--json");
    const auto j = kvtest::RunKorvane(json);
    CSettingsStore::Instance().Remove(kSettingsSection, "EnableScript");
    CSettingsStore::Instance().Sync();
    ASSERT_EQ(j.status, 0) << j.err;
    const QJsonObject label = QJsonDocument::fromJson(QByteArray::fromStdString(j.out)).object()["label"].toObject();
    EXPECT_EQ(label["objects"].toArray()[0].toObject()["text"].toString(), QString("A\"7/3/5/7/2030"));
    EXPECT_EQ(label["scripts"].toObject()["labels"].toInt(), 5);
    EXPECT_TRUE(label["scripts"].toObject()["errors"].toArray().isEmpty());

    EXPECT_NE(kvtest::RunKorvane({"info", path, "--scripts"}).status, 0);
}

TEST(ScriptCli, InfoShowsTheScriptsErrorsAndGoesOn)
{
    kvtest::TempDir dir;
    const std::string path =
        WriteScriptLabel(dir, "Function OnBeginPrint(State)\r\n  Set fso = CreateObject(\"Scripting.FileSystemObject\")\r\nEnd Function");
    const auto r = kvtest::RunKorvane({"info", path, "--label", "1", "--scripts", "--now", "2030-01-02 03:04:05"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("korvane: script: Script error in line 2, position 3\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Label scripts cannot create objects: 'Scripting.FileSystemObject'"), std::string::npos);
    // The job goes on: the run keeps its two labels, the variable still computes.
    EXPECT_NE(r.out.find("\"A\\\"7/1/2/7/2030\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("scripts: the run has 2 labels\n"), std::string::npos) << r.out;
}

}  // namespace
