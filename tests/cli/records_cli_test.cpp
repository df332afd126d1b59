// korvane records: the fields and records a label sees, from its own source
// or from a data file given for the run; status 2 before any output when a
// file, table or field is missing.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <fstream>

#include "platform/app_settings.h"
#include "data/data_source.h"
#include "data/variable.h"
#include "model/document.h"
#include "model/drawrect.h"
#include "platform/settings_store.h"
#include "support/db_fixtures.h"
#include "support/kvtest.h"

using kvtest::SheetCell;

namespace {

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A label printing the Database fields given ("Name\n0"), with the source settings given.
std::string WriteLabel(const kvtest::TempDir& dir, const std::vector<std::string>& fields, const CDataSourceSettings& source,
                       const std::string& name = "label.kvd")
{
    CKVDoc doc;
    EXPECT_TRUE(doc.OnNewDocument());
    for (const std::string& f : fields) {
        auto* obj = new CDrawRect(CRect(0, 0, 1000, 500));
        doc.AddObject(obj);
        auto* v = new CVariable(VK_DATABASE);
        v->m_strField = f;
        doc.AddVariable(v);
        obj->AddVariable(v);
    }
    doc.SetDataSourceSettings(source);
    const std::string path = dir.file(name);
    std::string error;
    EXPECT_TRUE(doc.SaveDocument(path, &error)) << error;
    return path;
}

CDataSourceSettings TextSource(const std::string& path)
{
    CDataSourceSettings s;
    s.kind = DSK_TEXT;
    s.textPath = path;
    s.textOptions = "0\n0\n2\n,\n";
    return s;
}

struct Listing {
    std::vector<std::string> fields;
    std::vector<std::vector<std::string>> records;
};

Listing ParseJson(const std::string& out)
{
    Listing l;
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(out)).object();
    for (const auto& f : o["fields"].toArray()) l.fields.push_back(f.toString().toStdString());
    for (const auto& r : o["records"].toArray()) {
        std::vector<std::string> row;
        for (const auto& v : r.toArray()) row.push_back(v.toString().toStdString());
        l.records.push_back(row);
    }
    return l;
}

TEST(RecordsCli, ListsTheLabelsOwnSource)
{
    kvtest::TempDir dir;
    WriteText(dir.file("items.csv"), "Name,Price\n\"Bolt, M8\",0.25\n\"Tab\there\",3\n");
    // Stored with a path of another machine: found beside the label.
    const std::string label = WriteLabel(dir, {"Name\n0", "Price\n1"}, TextSource("C:\\Shop\\items.csv"));

    const auto j = kvtest::RunKorvane({"records", label, "--json"});
    ASSERT_EQ(j.status, 0) << j.err;
    const Listing l = ParseJson(j.out);
    EXPECT_EQ(l.fields, (std::vector<std::string>{"Name", "Price"}));
    EXPECT_EQ(l.records, (std::vector<std::vector<std::string>>{{"Bolt, M8", "0.25"}, {"Tab\there", "3"}}));

    const auto t = kvtest::RunKorvane({"records", label});
    ASSERT_EQ(t.status, 0) << t.err;
    EXPECT_EQ(t.out, "Name\tPrice\nBolt, M8\t0.25\nTab\\there\t3\n");

    // The label's objects print the record of their label.
    const auto info = kvtest::RunKorvane({"info", label, "--label", "1", "--record", "1"});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("CDrawRect \"Tab\\there\""), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("CDrawRect \"3\""), std::string::npos) << info.out;
}

TEST(RecordsCli, DataFileOfEveryKindReplacesTheSource)
{
    kvtest::UseTestOdbcConfig();
    kvtest::TempDir dir;
    const std::vector<std::string> fields = {"Code", "Qty", "Name"};
    const std::vector<std::vector<std::string>> rows = {{"A-1", "12.5", "Gr\xC3\xBC\xC3\x9F" "e"}, {"B-2", "3", "plain"}};
    // The same records as CSV, .xlsx, .xls and SQLite, each with a first table or sheet that is another one.
    WriteText(dir.file("data.csv"), "Code,Qty,Name\nA-1,12.5,Gr\xC3\xBC\xC3\x9F" "e\nB-2,3,plain\n");
    std::vector<SheetCell> cells;
    for (size_t c = 0; c < fields.size(); ++c) cells.push_back({0, int(c), SheetCell::text, fields[c], 0, {}});
    cells.push_back({1, 0, SheetCell::text, "A-1", 0, {}});
    cells.push_back({1, 1, SheetCell::number, {}, 12.5, {}});
    cells.push_back({1, 2, SheetCell::text, rows[0][2], 0, {}});
    cells.push_back({2, 0, SheetCell::text, "B-2", 0, {}});
    cells.push_back({2, 1, SheetCell::number, {}, 3, {}});
    cells.push_back({2, 2, SheetCell::text, "plain", 0, {}});
    const std::vector<kvtest::SheetSpec> book = {{"Other", {{0, 0, SheetCell::text, "Zzz", 0, {}}}}, {"Stock", cells}};
    ASSERT_TRUE(kvtest::WriteXlsx(dir.file("data.xlsx"), book));
    ASSERT_TRUE(kvtest::WriteXls(dir.file("data.xls"), book));
    ASSERT_TRUE(kvtest::ExecSql(kvtest::SqliteConnect(dir.file("data.db")),
                                {"CREATE TABLE aaa (z TEXT)", "CREATE TABLE stock (Code TEXT, Qty TEXT, Name TEXT)",
                                 "INSERT INTO stock VALUES ('A-1', '12.5', 'Gr\xC3\xBC\xC3\x9F" "e')",
                                 "INSERT INTO stock VALUES ('B-2', '3', 'plain')"}));
    // The label's own source is another file with the fields in another order.
    WriteText(dir.file("own.csv"), "Name,Code\nown,own\n");
    const std::string label = WriteLabel(dir, {"Name\n0", "Code\n1"}, TextSource(dir.file("own.csv")));

    struct Case {
        const char* file;
        const char* table;
    };
    const Case cases[] = {{"data.csv", ""}, {"data.xlsx", "Stock"}, {"data.xls", "stock"}, {"data.db", "stock"}};
    for (const Case& c : cases) {
        std::vector<std::string> args = {"records", label, "--data", dir.file(c.file), "--json"};
        if (*c.table) args.insert(args.end(), {"--table", c.table});
        const auto r = kvtest::RunKorvane(args);
        ASSERT_EQ(r.status, 0) << c.file << ": " << r.err;
        const Listing l = ParseJson(r.out);
        EXPECT_EQ(l.fields, fields) << c.file;
        EXPECT_EQ(l.records, rows) << c.file;
    }
    // Without --table, the first table or sheet.
    const auto first = kvtest::RunKorvane({"records", label, "--data", dir.file("data.xlsx"), "--json"});
    EXPECT_EQ(first.status, 2) << "the first sheet lacks the label's fields: " << first.out;
    const auto plain = kvtest::RunKorvane({"records", WriteLabel(dir, {}, CDataSourceSettings(), "bare.kvd"), "--data",
                                           dir.file("data.db"), "--json"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(ParseJson(plain.out).fields, (std::vector<std::string>{"z"}));
}

TEST(RecordsCli, MissingFileTableOrFieldEndsWithStatusTwo)
{
    kvtest::UseTestOdbcConfig();
    kvtest::TempDir dir;
    WriteText(dir.file("names.csv"), "Name\nx\n");
    ASSERT_TRUE(kvtest::WriteXlsx(dir.file("book.xlsx"), {{"Only", {{0, 0, SheetCell::text, "Name", 0, {}}}}}));
    ASSERT_TRUE(kvtest::ExecSql(kvtest::SqliteConnect(dir.file("names.db")), {"CREATE TABLE names (Name TEXT)"}));
    const std::string label = WriteLabel(dir, {"Name\n0", "Price\n1"}, TextSource(dir.file("gone.csv")));
    const std::string nameOnly = WriteLabel(dir, {"Name\n0"}, TextSource(dir.file("names.csv")), "name.kvd");
    const std::string noSource = WriteLabel(dir, {"Name\n0"}, CDataSourceSettings(), "nosource.kvd");
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    const Case cases[] = {
        {{"records", dir.file("absent.kvd")}, "absent.kvd"},
        {{"records", label}, "gone.csv"},
        {{"records", nameOnly, "--data", dir.file("nothing.csv")}, "nothing.csv"},
        {{"records", nameOnly, "--data", dir.file("names.db"), "--table", "parts"}, "parts"},
        {{"records", nameOnly, "--data", dir.file("book.xlsx"), "--table", "Sheet9"}, "Sheet9"},
        {{"records", label, "--data", dir.file("names.csv")}, "\"Price\""},
        {{"records", label, "--data", dir.file("names.db"), "--json"}, "\"Price\""},
        {{"records", noSource, "--json"}, "no data source"},
        {{"records", nameOnly, "--data", dir.file("new.db")}, "new.db"},
    };
    for (const Case& c : cases) {
        const auto r = kvtest::RunKorvane(c.args);
        EXPECT_EQ(r.status, 2) << c.says << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.says;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
    // A database file that is not there is not created by looking for it.
    EXPECT_FALSE(std::ifstream(dir.file("new.db")).good());
}

TEST(RecordsCli, EmptyHeaderNamesFollowTheCodePage)
{
    kvtest::TempDir dir;
    ASSERT_TRUE(kvtest::WriteXlsx(dir.file("h.xlsx"), {{"S", {{0, 0, SheetCell::text, "A", 0, {}},
                                                               {1, 0, SheetCell::text, "a1", 0, {}},
                                                               {1, 1, SheetCell::text, "b1", 0, {}}}}}));
    const std::string label = WriteLabel(dir, {}, CDataSourceSettings());
    struct Case {
        int codePage;
        std::string name;
    };
    for (const Case& c : {Case{936, "\xE5\xAD\x97\xE6\xAE\xB5" "2"}, Case{1252, "Field 2"}}) {
        ASSERT_TRUE(WriteAppSettingInt("CodePage", c.codePage));
        CSettingsStore::Instance().Sync();
        const auto r = kvtest::RunKorvane({"records", label, "--data", dir.file("h.xlsx"), "--json"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(ParseJson(r.out).fields, (std::vector<std::string>{"A", c.name})) << c.codePage;
    }
    WriteAppSettingInt("CodePage", 0);
    CSettingsStore::Instance().Sync();
}

}  // namespace
