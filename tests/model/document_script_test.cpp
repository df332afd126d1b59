// The document and its scripts: what the scripts see of it, the
// design-time refresh when the record changes, and database values with
// quotes that reach a script exactly, at design time and in a job.
#include <gtest/gtest.h>

#include <fstream>

#include "data/data_source.h"
#include "data/script_host.h"
#include "data/text_source.h"
#include "data/variable.h"
#include "model/document.h"
#include "model/drawrect.h"
#include "platform/app_settings.h"
#include "platform/settings_store.h"
#include "support/kvtest.h"

namespace {

CScriptSettings On()
{
    CScriptSettings s;
    s.enabled = true;
    return s;
}

class CountingRect : public CDrawRect {
public:
    CountingRect() : CDrawRect(CRect(0, 0, 1000, 500)) {}
    void UpdateBounds() override { ++updates; }
    int updates = 0;
};

// A label with a Database variable named Lot (the second column of a text
// file) and an object that prints a Script variable reading Lot.
struct ScriptDoc {
    CKVDoc doc;
    CountingRect* object = nullptr;
    CVariable* lot = nullptr;
    CVariable* script = nullptr;

    explicit ScriptDoc(const kvtest::TempDir& dir)
    {
        EXPECT_TRUE(doc.OnNewDocument());
        doc.m_strPath = dir.file("parts.kvd");
        lot = new CVariable(VK_DATABASE);
        lot->m_strName = "Lot";
        lot->m_strField = "Lot\n1";
        doc.AddVariable(lot);
        script = new CVariable(VK_SCRIPT);
        script->SetProperty(VP_SCRIPT, "Function OnGetData()\r\nOnGetData = \"[\" & Lot & \"]\" & V_LABELNO\r\nEnd Function");
        doc.AddVariable(script);
        object = new CountingRect;
        doc.AddObject(object);
        object->AddVariable(script);
    }
    void UseText(const std::string& path)
    {
        CDataSourceSettings s;
        s.kind = DSK_TEXT;
        s.textPath = path;
        CTextFileOptions options;
        options.delimiter = TD_COMMA_QUOTE;  // "Comma and Quotation Mask": "" inside quotes is a quote
        s.textOptions = options.Format();
        doc.SetDataSourceSettings(s);
    }
};

// Field values that would break or take over a statement written between quotes as they are.
const char* const kAwkwardLots[] = {
    "A\"7",
    "x\" : V_TOTALLABELS = 9 : y = \"",
    "\"\"",
    "plain",
};

std::string CsvField(const std::string& v)
{
    std::string out = "\"";
    for (char c : v) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

void WriteLots(const std::string& path)
{
    std::string text = "Code,Lot\n";
    int code = 1;
    for (const char* lot : kAwkwardLots) text += std::to_string(code++) + "," + CsvField(lot) + "\n";
    std::ofstream(path, std::ios::binary) << text;
}

TEST(DocumentScript, WhatTheScriptsSeeOfTheDocument)
{
    CKVDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.GetTitle(), "NewLabel");
    doc.m_strPath = "/labels/shipping box.kvd";
    doc.m_format.m_strPrinter = "Zebra ZT410";
    doc.m_format.SetProperty(LFP_NUMBERING_OFFSET, "1250");
    const CScriptContext c = doc.GetScriptContext();
    EXPECT_EQ(c.title, "shipping box.kvd");
    EXPECT_EQ(c.printer, "Zebra ZT410");
    EXPECT_EQ(c.printedTotal, 1250);
    EXPECT_EQ(c.labelScript, doc.m_format.GetProperty(LFP_SCRIPT));
    EXPECT_NE(c.labelScript.find("Function OnBeginPrint(State)"), std::string::npos);
}

TEST(DocumentScript, TheRecordChangeRefreshesScriptVariablesWhenScriptsAreOn)
{
    kvtest::TempDir dir;
    WriteLots(dir.file("lots.csv"));
    ScriptDoc d(dir);
    d.UseText(dir.file("lots.csv"));
    d.script->m_strData = "stored";

    // Scripts off (the default): the stored value stays.
    ASSERT_TRUE(d.doc.OpenDataSource(FALSE));
    EXPECT_EQ(d.script->m_strData, "stored");

    ASSERT_TRUE(WriteAppSettingInt("EnableScript", 1));
    int n = 0;
    for (const char* lot : kAwkwardLots) {
        SCOPED_TRACE(lot);
        d.doc.m_format.m_nStartRecord = ++n;
        const int before = d.object->updates;
        d.doc.GoToRecord(TRUE);
        EXPECT_EQ(d.script->m_strData, std::string("[") + lot + "]1");
        EXPECT_GT(d.object->updates, before);
    }
    CSettingsStore::Instance().Remove(kSettingsSection, "EnableScript");

    std::vector<CDrawObj*> changed;
    d.script->m_strData = "old";
    d.doc.RefreshScriptVariables(changed, On());
    EXPECT_EQ(changed, std::vector<CDrawObj*>{d.object});
    changed.clear();
    d.doc.RefreshScriptVariables(changed, On());
    EXPECT_TRUE(changed.empty());  // nothing changed the second time
}

TEST(DocumentScript, DatabaseValuesReachAJobsScriptUnchanged)
{
    kvtest::TempDir dir;
    WriteLots(dir.file("lots.csv"));
    ScriptDoc d(dir);
    d.UseText(dir.file("lots.csv"));
    ASSERT_TRUE(d.doc.OpenDataSource(FALSE));

    auto host = std::make_shared<CScriptHost>();
    host->SetSettings(On());
    int labels = 4;
    ASSERT_TRUE(host->BeginJob(d.doc.GetScriptContext(), d.doc.m_variables, 1, false, labels));
    EXPECT_EQ(labels, 4);  // no value ran as code
    d.doc.m_scriptEvaluator = host;
    int index = 0;
    for (const char* lot : kAwkwardLots) {
        SCOPED_TRACE(lot);
        CLabelPos pos;
        pos.m_nLabel = pos.m_nRecord = index++;
        host->BeginLabel(1, index, 1, 1, pos, d.doc.m_variables);
        EXPECT_EQ(d.object->GetLabelText(&pos), std::string("[") + lot + "]" + std::to_string(index));
        host->EndLabel();
    }
    host->EndJob();
    d.doc.m_scriptEvaluator.reset();
    EXPECT_TRUE(host->GetErrors().empty());
}

}  // namespace
