// The script host: its error texts, counters, named variables with values
// written as exact string literals, the predefined script, the order of a
// job's events, the design-time refresh and the editor's evaluation.
#include <gtest/gtest.h>

#include <memory>

#include "data/script_host.h"
#include "data/variable.h"
#include "platform/app_settings.h"
#include "platform/clock.h"
#include "platform/settings_store.h"
#include "resources/scripts.h"

namespace {

CScriptSettings On()
{
    CScriptSettings s;
    s.enabled = true;
    return s;
}

// Variables kept alive by the test, in list order.
struct VariableList {
    CVariable* Add(int kind, const std::string& name, const std::string& data, const std::string& script = {})
    {
        owned.push_back(std::make_unique<CVariable>(kind));
        CVariable* v = owned.back().get();
        v->m_strName = name;
        v->m_strData = data;
        if (!script.empty()) v->SetProperty(VP_SCRIPT, script);
        list.push_back(v);
        return v;
    }
    std::vector<std::unique_ptr<CVariable>> owned;
    std::vector<CVariable*> list;
};

std::string Call(CScriptHost& host, const std::string& function, int arg = -1)
{
    std::string out = "(unchanged)";
    host.CallFunction(function, out, arg);
    return out;
}

TEST(ScriptHost, StartsOnlyWhenScriptsAreOn)
{
    CScriptHost host;
    CScriptSettings off;
    host.SetSettings(off);
    EXPECT_FALSE(host.Initialize());
    EXPECT_FALSE(host.IsStarted());
    EXPECT_FALSE(host.AddCode("x = 1"));
    std::string out = "kept";
    EXPECT_FALSE(host.CallFunction("OnGetData", out, -1));
    EXPECT_EQ(out, "kept");
    EXPECT_EQ(host.ReadTotalLabels(), -1);

    host.SetSettings(On());
    ASSERT_TRUE(host.Initialize());
    EXPECT_TRUE(host.IsStarted());
    host.Close();
    EXPECT_FALSE(host.IsStarted());
    EXPECT_FALSE(host.AddCode("x = 1"));
}

TEST(ScriptHost, WithoutFixedSettingsItReadsEnableScript)
{
    CScriptHost host;
    EXPECT_FALSE(host.Initialize());  // off by default
    ASSERT_TRUE(WriteAppSettingInt("EnableScript", 1));
    EXPECT_TRUE(host.Initialize());
    CSettingsStore::Instance().Remove(kSettingsSection, "EnableScript");
    EXPECT_FALSE(CScriptSettings::FromAppSettings().enabled);
}

TEST(ScriptHost, ErrorTexts)
{
    CScriptHost host;
    host.SetSettings(On());
    ASSERT_TRUE(host.Initialize());
    EXPECT_FALSE(host.AddCode("x = 1\r\nIf x Then\r\n"));
    EXPECT_EQ(host.GetErrors(), (std::vector<std::string>{"Script error in line 3, position 1", "Expected 'End'",
                                                          "COM Error: 0x80020101\nError parsing script text"}));
    ASSERT_TRUE(host.Initialize());  // starting again empties the list
    EXPECT_TRUE(host.GetErrors().empty());
    EXPECT_FALSE(host.AddCode("x = 1\r\n  y = 1 / 0"));
    EXPECT_EQ(host.GetErrors(), (std::vector<std::string>{"Script error in line 2, position 3", "Division by zero",
                                                          "COM Error: 0x80020101\nError running the script"}));

    ASSERT_TRUE(host.Initialize());
    ASSERT_TRUE(host.AddCode("Function Fails()\r\n  Fails = Mid(\"a\", 0)\r\nEnd Function"));
    EXPECT_EQ(Call(host, "Fails"), "(unchanged)");
    EXPECT_EQ(host.GetErrors(),
              (std::vector<std::string>{"Script error in line 2, position 3", "Invalid procedure call or argument"}));
    // A function the script does not define fails without an error text.
    EXPECT_EQ(Call(host, "OnGetData"), "(unchanged)");
    EXPECT_EQ(host.GetErrors().size(), 2u);
}

TEST(ScriptHost, CountersAreStringsOfTheirValues)
{
    CScriptHost host;
    host.SetSettings(On());
    ASSERT_TRUE(host.Initialize());
    host.V_PAGE = 2;
    host.V_COPY = 3;
    host.V_ROW = 4;
    host.V_COL = 5;
    host.V_LABELNO = 6;
    host.V_TOTALLABELS = 7;
    host.V_STARTNO = 8;
    host.m_nPrintedBase = 900;
    host.V_TITLE = "Say \"cheese\".kvd";
    host.V_PRINTER = "Zebra ZT410";
    ASSERT_TRUE(host.DefineCounters());
    ASSERT_TRUE(host.AddCode("Function All()\r\n"
                             "All = V_PAGE & V_COPY & V_ROW & V_COL & V_LABELNO & V_TOTALLABELS & V_STARTNO & \"|\" & "
                             "V_TITLE & \"|\" & V_PRINTER & \"|\" & V_PRINTTOTAL & \"|\" & TypeName(V_PAGE)\r\n"
                             "End Function"));
    EXPECT_EQ(Call(host, "All"), "2345678|Say \"cheese\".kvd|Zebra ZT410|900|String");

    // Before each label: six of them again, V_PRINTTOTAL from the record index.
    CLabelPos pos;
    pos.m_nRecord = 41;
    host.SetScriptVariables(3, 1, 2, 4, pos, {});
    EXPECT_EQ(Call(host, "All"), "34124278|Say \"cheese\".kvd|Zebra ZT410|941|String");
}

TEST(ScriptHost, TotalLabelsReadBack)
{
    struct Case {
        const char* statement;
        int total;
    } cases[] = {
        {"V_TOTALLABELS = 5", 5}, {"V_TOTALLABELS = \"7\"", 7}, {"V_TOTALLABELS = 0", 0},
        {"V_TOTALLABELS = -3", 0}, {"V_TOTALLABELS = 2.5", 2}, {"V_TOTALLABELS = \"many\"", -1},
        {"x = 1", 1},  // left as DefineCounters wrote it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.statement);
        CScriptHost host;
        host.SetSettings(On());
        ASSERT_TRUE(host.Initialize());
        ASSERT_TRUE(host.DefineCounters());
        ASSERT_TRUE(host.AddCode(c.statement));
        EXPECT_EQ(host.ReadTotalLabels(), c.total);
    }
    CScriptHost bare;
    bare.SetSettings(On());
    ASSERT_TRUE(bare.Initialize());
    EXPECT_EQ(bare.ReadTotalLabels(), -1);  // never defined
}

TEST(ScriptHost, ScriptNames)
{
    const struct {
        const char* name;
        bool valid;
    } cases[] = {
        {"Lot", true}, {"L_1", true}, {"x", true}, {"2Lot", false}, {"Lot-A", false},
        {"", false}, {"_x", false}, {"L\xF6t", false}, {"Lot A", false},
    };
    for (const auto& c : cases) EXPECT_EQ(CScriptHost::IsScriptName(c.name), c.valid) << c.name;
}

TEST(ScriptHost, NamedVariablesAreVisibleUnderTheirNames)
{
    VariableList vars;
    vars.Add(VK_FIXED, "Lot", "A7");
    vars.Add(VK_FIXED, "2Lot", "no");
    vars.Add(VK_FIXED, "Lot-A", "no");
    vars.Add(VK_SCRIPT, "Scripted", "stored", "Function OnGetData()\r\nOnGetData = 1\r\nEnd Function");
    CVariable* serial = vars.Add(VK_SERIAL, "Serial", "0001");
    serial->m_nCountBasis = 1;
    CScriptHost host;
    host.SetSettings(On());
    ASSERT_TRUE(host.Initialize());
    CLabelPos third;
    third.m_nLabel = 2;
    third.m_nRecord = 2;
    host.AddNamedVariables(vars.list, &third);
    ASSERT_TRUE(host.AddCode("Function Seen()\r\nSeen = Lot & \"|\" & Serial & \"|\" & IsEmpty(Scripted)\r\nEnd Function"));
    EXPECT_EQ(Call(host, "Seen"), "A7|0003|True");
    EXPECT_TRUE(host.GetErrors().empty());
}

TEST(ScriptHost, ValuesArriveExactlyAndNeverRun)
{
    const char* values[] = {
        "A\"7",
        "\"",
        "\"\"",
        "line 1\r\nline 2",
        "unix\nline",
        "old\rmac",
        "x\" : V_TOTALLABELS = 99 : y = \"",
        "\" & CreateObject(\"WScript.Shell\").Run(\"calc\") & \"",
        "ends with a quote\"",
        "tab\tand \x80 byte",
        "",
    };
    for (const char* value : values) {
        SCOPED_TRACE(value);
        VariableList vars;
        vars.Add(VK_FIXED, "Field", value);
        CScriptHost host;
        host.SetSettings(On());
        ASSERT_TRUE(host.Initialize());
        host.V_TOTALLABELS = 3;
        ASSERT_TRUE(host.DefineCounters());
        host.AddNamedVariables(vars.list, nullptr);
        EXPECT_TRUE(host.GetErrors().empty());
        ASSERT_TRUE(host.AddCode("Function Back()\r\nBack = Field\r\nEnd Function"));
        EXPECT_EQ(Call(host, "Back"), value);
        EXPECT_EQ(host.ReadTotalLabels(), 3);
    }
}

TEST(ScriptHost, PredefinedScript)
{
    CScriptHost host;
    host.SetSettings(On());
    ASSERT_TRUE(host.Initialize());
    const std::string predefined = LoadKvScript(IDR_SCRIPT_PREDEFINED);
    EXPECT_EQ(predefined.rfind("'", 0), 0u);  // it opens with a comment
    ASSERT_TRUE(host.AddCode(predefined));
    ASSERT_TRUE(host.AddCode("Function U(v)\r\nU = UccMode10(v)\r\nEnd Function\r\n"
                             "Function M(v)\r\nM = Mode43(v)\r\nEnd Function"));
    const struct {
        const char* function;
        const char* arg;
        const char* result;
    } cases[] = {
        {"U", "12345", "7"},          {"U", "0", "0"},           {"U", "400638133393", "1"},
        {"U", "950110153000", "3"},   {"U", "123456789012", "8"}, {"U", "", ""},
        {"U", "12a45", ""},           {"U", "12 45", ""},        {"U", "-1", ""},
        {"M", "ABC", "X"},            {"M", "abc", "X"},         {"M", "CODE 39", "R"},
        {"M", "-. $/+%", "F"},        {"M", "0", "0"},           {"M", "Z", "Z"},
        {"M", "", ""},                {"M", "A_B", ""},          {"M", "A*B", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.function) + "(" + c.arg + ")");
        std::string out;
        ASSERT_TRUE(host.AddCode(std::string("arg = \"") + c.arg + "\""));
        ASSERT_TRUE(host.AddCode(std::string("result = ") + c.function + "(arg)"));
        ASSERT_TRUE(host.AddCode("Function R()\r\nR = result\r\nEnd Function"));
        EXPECT_EQ(Call(host, "R"), c.result);
    }
    EXPECT_EQ(LoadKvScript(IDR_SCRIPT_LABEL).substr(0, 27), "Function OnBeginPrint(State");
    EXPECT_EQ(LoadKvScript(IDR_SCRIPT_LABEL).back(), 'n');  // no line end after the last line
}

// A label script that writes down every event it sees; OnEndPrint gives the record.
const char kRecordingScript[] =
    "Dim record\r\n"
    "Function OnBeginPrint(State)\r\n"
    "  record = \"begin(\" & State & \") total \" & V_TOTALLABELS & \" start \" & V_STARTNO & \" lot \" & Lot\r\n"
    "  If Lot = \"five\" Then V_TOTALLABELS = 5\r\n"
    "  If Lot = \"none\" Then V_TOTALLABELS = 0\r\n"
    "  If Lot = \"minus\" Then V_TOTALLABELS = -4\r\n"
    "End Function\r\n"
    "Function OnBeginLabel()\r\n"
    "  record = record & \"; label \" & V_LABELNO & \" page \" & V_PAGE & \" row \" & V_ROW & \" col \" & V_COL & \" copies \" & V_COPY\r\n"
    "End Function\r\n"
    "Function OnEndLabel()\r\n"
    "  record = record & \" end\"\r\n"
    "End Function\r\n"
    "Function OnEndPrint()\r\n"
    "  OnEndPrint = record & \"; done\"\r\n"
    "End Function\r\n";

const char kLabelNumberScript[] =
    "Function OnGetData()\r\n  OnGetData = \"L\" & V_LABELNO & UccMode10(\"1234\" & V_LABELNO)\r\n"
    "  record = record & \" value\"\r\nEnd Function";

TEST(ScriptHost, AJobsEventsComeInOrder)
{
    VariableList vars;
    vars.Add(VK_FIXED, "Lot", "A7");
    CVariable* scripted = vars.Add(VK_SCRIPT, "", "", kLabelNumberScript);
    CScriptHost host;
    host.SetSettings(On());
    CScriptContext context;
    context.labelScript = kRecordingScript;
    int labels = 3;
    ASSERT_TRUE(host.BeginJob(context, vars.list, 1, false, labels));
    EXPECT_EQ(labels, 3);
    std::vector<std::string> values;
    for (int i = 0; i < labels; ++i) {
        CLabelPos pos;
        pos.m_nLabel = i;
        pos.m_nRecord = i;
        host.BeginLabel(1, i + 1, 1, 2, pos, vars.list);
        std::string value;
        ASSERT_TRUE(host.GetScriptValue(*scripted, &pos, nullptr, value));
        values.push_back(value);
        host.EndLabel();
    }
    EXPECT_EQ(values, (std::vector<std::string>{"L19", "L26", "L33"}));
    EXPECT_EQ(host.EndJob(),
              "begin(2) total 3 start 1 lot A7"
              "; label 1 page 1 row 1 col 1 copies 2 value end"
              "; label 2 page 1 row 2 col 1 copies 2 value end"
              "; label 3 page 1 row 3 col 1 copies 2 value end; done");
    EXPECT_FALSE(host.IsStarted());
    EXPECT_TRUE(host.GetErrors().empty());
}

TEST(ScriptHost, OnBeginPrintDecidesTheNumberOfLabels)
{
    const struct {
        const char* lot;
        bool preview;
        int labels;
    } cases[] = {{"five", false, 5}, {"none", false, 0}, {"minus", true, 0}, {"other", false, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lot);
        VariableList vars;
        vars.Add(VK_FIXED, "Lot", c.lot);
        CScriptHost host;
        host.SetSettings(On());
        CScriptContext context;
        context.labelScript = kRecordingScript;
        int labels = 3;
        ASSERT_TRUE(host.BeginJob(context, vars.list, 4, c.preview, labels));
        EXPECT_EQ(labels, c.labels);
        EXPECT_EQ(host.EndJob().substr(0, 8), c.preview ? "begin(1)" : "begin(2)");
    }
    // Scripts off: no job host, the labels stay.
    CScriptHost off;
    off.SetSettings(CScriptSettings());
    int labels = 3;
    EXPECT_FALSE(off.BeginJob(CScriptContext(), {}, 1, false, labels));
    EXPECT_EQ(labels, 3);
}

TEST(ScriptHost, AScriptVariablesValueNeedsAWorkingScript)
{
    VariableList vars;
    CVariable* broken = vars.Add(VK_SCRIPT, "", "stored", "Function OnGetData(\r\n");
    CVariable* nameless = vars.Add(VK_SCRIPT, "", "stored", "Function Other()\r\nOther = 1\r\nEnd Function");
    CVariable* plain = vars.Add(VK_SCRIPT, "", "stored");  // the default script
    CScriptHost host;
    host.SetSettings(On());
    ASSERT_TRUE(host.Initialize());
    std::string value = "x";
    EXPECT_FALSE(host.GetScriptValue(*broken, nullptr, nullptr, value));
    EXPECT_EQ(value, "");
    EXPECT_FALSE(host.GetScriptValue(*nameless, nullptr, nullptr, value));
    EXPECT_EQ(value, "");
    EXPECT_TRUE(host.GetScriptValue(*plain, nullptr, nullptr, value));
    EXPECT_EQ(value, "12345678");
    CScriptHost off;
    EXPECT_FALSE(off.GetScriptValue(*plain, nullptr, nullptr, value));
    EXPECT_EQ(value, "");
}

TEST(ScriptHost, DesignTimeRefreshStoresTheScriptValues)
{
    VariableList vars;
    vars.Add(VK_FIXED, "Lot", "A7");
    CVariable* a = vars.Add(VK_SCRIPT, "", "old",
                            "Function OnGetData()\r\nOnGetData = Lot & \"/\" & V_LABELNO & \"/\" & V_TITLE & \"/\" & V_PRINTTOTAL & \"/\" & state\r\nEnd Function");
    CVariable* b = vars.Add(VK_SCRIPT, "", "12345678");  // its value does not change
    CScriptContext context;
    context.title = "label.kvd";
    context.printedTotal = 77;
    context.labelScript = "Dim state\r\nFunction OnBeginPrint(s)\r\nstate = \"refresh \" & s\r\nEnd Function";
    CScriptHost host;
    host.SetSettings(On());
    const std::vector<CVariable*> changed = RefreshScriptVariables(host, context, vars.list);
    EXPECT_EQ(changed, std::vector<CVariable*>{a});
    EXPECT_EQ(a->m_strData, "A7/1/label.kvd/77/refresh 0");
    EXPECT_EQ(b->m_strData, "12345678");
    EXPECT_FALSE(host.IsStarted());

    // Scripts off: the stored values stay.
    a->m_strData = "kept";
    CScriptHost off;
    off.SetSettings(CScriptSettings());
    EXPECT_TRUE(RefreshScriptVariables(off, context, vars.list).empty());
    EXPECT_EQ(a->m_strData, "kept");
}

TEST(ScriptHost, EditorEvaluation)
{
    VariableList edited;
    edited.Add(VK_FIXED, "Part", "P-1\"x\"");
    CVariable* v = edited.Add(VK_SCRIPT, "", "old", "Function OnGetData()\r\nOnGetData = Part & \"@\" & V_PRINTER & Mode43(\"ABC\")\r\nEnd Function");
    CScriptContext context;
    context.printer = "Office";
    context.labelScript = LoadKvScript(IDR_SCRIPT_LABEL);
    EXPECT_TRUE(TestScript(*v, edited.list, context, On()));
    EXPECT_EQ(v->m_strData, "P-1\"x\"@OfficeX");
    v->m_strData = "kept";
    EXPECT_FALSE(TestScript(*v, edited.list, context, CScriptSettings()));
    EXPECT_EQ(v->m_strData, "kept");
}

TEST(ScriptHost, CheckSyntax)
{
    CScriptHost host;
    host.SetSettings(On());
    ASSERT_TRUE(host.Initialize());
    std::string message;
    EXPECT_TRUE(host.CheckSyntax("Function OnGetData()\r\nOnGetData = 1\r\nEnd Function", message));
    EXPECT_EQ(message, "Checking Syntax OK!");
    EXPECT_TRUE(host.CheckSyntax("", message));
    EXPECT_EQ(message, "");
    EXPECT_FALSE(host.CheckSyntax("Function OnGetData()\r\nOnGetData = (1\r\nEnd Function", message));
    EXPECT_EQ(message, "Script error in line 2, position 15\r\nExpected ')'\r\nCOM Error: 0x80020101\nError parsing script text\r\n");
    EXPECT_TRUE(host.IsStarted());  // started afresh
    EXPECT_TRUE(host.GetErrors().empty());
}

TEST(ScriptHost, NowIsTheJobsClock)
{
    const CLocalTime fixed{2031, 7, 4, 9, 30, 0};
    SetClockOverride(&fixed);
    CScriptHost host;
    host.SetSettings(On());
    ASSERT_TRUE(host.Initialize());
    ASSERT_TRUE(host.AddCode("Function Stamp()\r\nStamp = Now & \" \" & WeekdayName(Weekday(Date))\r\nEnd Function"));
    const std::string stamp = Call(host, "Stamp");
    SetClockOverride(nullptr);
    EXPECT_EQ(stamp, "7/4/2031 9:30:00 AM Friday");
}

}  // namespace
