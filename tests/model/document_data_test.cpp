// The document's data source: opening what the settings describe, the
// current record, record commands, the search, the record display, Database
// variables per label, and a data file replacing the source for one run.
#include <gtest/gtest.h>

#include <fstream>

#include "data/data_source.h"
#include "data/record_search.h"
#include "data/text_source.h"
#include "data/variable.h"
#include "model/document.h"
#include "model/drawrect.h"
#include "platform/message.h"
#include "resources/strings.h"
#include "support/db_fixtures.h"
#include "support/kvtest.h"

namespace {

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A document whose objects print Database variables, one object per field reference.
struct DbDoc {
    CKVDoc doc;
    std::vector<CDrawRect*> objects;
    DbDoc(const kvtest::TempDir& dir, const std::vector<std::string>& fields)
    {
        EXPECT_TRUE(doc.OnNewDocument());
        doc.m_strPath = dir.file("label.kvd");
        for (const std::string& f : fields) {
            auto* obj = new CDrawRect(CRect(0, 0, 1000, 500));
            doc.AddObject(obj);
            auto* v = new CVariable(VK_DATABASE);
            v->m_strField = f;
            doc.AddVariable(v);
            obj->AddVariable(v);
            objects.push_back(obj);
        }
    }
    void UseText(const std::string& path, const CTextFileOptions& options = CTextFileOptions())
    {
        CDataSourceSettings s;
        s.kind = DSK_TEXT;
        s.textPath = path;
        s.textOptions = options.Format();
        doc.SetDataSourceSettings(s);
    }
    // What every object prints on the label of record index r of a run.
    std::vector<std::string> Printed(int recordIndex)
    {
        CLabelPos pos;
        pos.m_nRecord = recordIndex;
        std::vector<std::string> out;
        for (CDrawRect* o : objects) out.push_back(o->GetLabelText(&pos));
        return out;
    }
};

TEST(DocumentData, OpensTextSourceClampsTheCurrentRecordAndFindsAMovedFile)
{
    kvtest::TempDir dir;
    std::string text = "Code,Name\n";
    for (int i = 1; i <= 10; ++i) text += "C" + std::to_string(i) + ",N" + std::to_string(i) + "\n";
    WriteText(dir.file("items.csv"), text);
    DbDoc d(dir, {"Name\n1", "Code\n0"});
    d.UseText("D:\\old place\\items.csv");
    d.doc.m_format.m_nStartRecord = 12;
    d.doc.m_bModified = false;
    EXPECT_EQ(d.doc.GetRecordCount(), -1);
    ASSERT_TRUE(d.doc.OpenDataSource(FALSE));
    EXPECT_EQ(d.doc.GetRecordCount(), 10);
    EXPECT_EQ(d.doc.m_format.m_nStartRecord, 1);  // 12 of 10 records becomes 1
    EXPECT_EQ(d.doc.GetDataSourceSettings().textPath, dir.file("items.csv"));
    EXPECT_FALSE(d.doc.m_bModified);
    // Database variables hold the current record's value after the open.
    EXPECT_EQ(d.doc.m_variables[0]->m_strData, "N1");
    EXPECT_EQ(d.doc.m_variables[1]->m_strData, "C1");
    EXPECT_EQ(d.doc.GetFieldValue(10, "", 0), "C10");
    EXPECT_EQ(d.doc.GetFieldValue(11, "", 0), "");

    d.doc.CloseDataSource();
    EXPECT_EQ(d.doc.GetRecordCount(), -1);
    EXPECT_EQ(d.doc.GetFieldValue(1, "", 0), "");
}

TEST(DocumentData, EachLabelPrintsItsRecordThroughARunOfAThousand)
{
    kvtest::TempDir dir;
    std::string text = "Serial\tName\n";
    for (int i = 1; i <= 1000; ++i) text += "S" + std::to_string(100000 + i) + "\tItem " + std::to_string(i) + "\n";
    WriteText(dir.file("serials.txt"), text);
    DbDoc d(dir, {"Serial\n0", "Name\n1"});
    CTextFileOptions tab;
    tab.delimiter = TD_TAB;
    d.UseText(dir.file("serials.txt"), tab);
    ASSERT_TRUE(d.doc.OpenDataSource(FALSE));
    ASSERT_EQ(d.doc.GetRecordCount(), 1000);
    for (int r = 0; r < 1000; ++r) {
        const std::vector<std::string> want = {"S" + std::to_string(100001 + r), "Item " + std::to_string(r + 1)};
        ASSERT_EQ(d.Printed(r), want) << "label of record " << r + 1;
    }
    // Past the last record a Database variable prints nothing.
    EXPECT_EQ(d.Printed(1000), (std::vector<std::string>{"", ""}));
    // Counted from the current record.
    d.doc.m_format.m_nStartRecord = 990;
    EXPECT_EQ(d.Printed(10), (std::vector<std::string>{"S101000", "Item 1000"}));
}

TEST(DocumentData, FailedOpenAsksToRetryAndRunsTheSetup)
{
    kvtest::TempDir dir;
    DbDoc d(dir, {"A\n0"});
    d.UseText(dir.file("absent.csv"));
    kvtest::CaptureMessages messages;
    messages.answers = {ID_RETRY, ID_CANCEL};
    int setups = 0;
    CKVDoc::s_databaseSetup = [&](CKVDoc& doc) {
        ++setups;
        WriteText(dir.file("fixed.csv"), "A\nfirst\n");
        CDataSourceSettings s = doc.GetDataSourceSettings();
        s.textPath = setups == 1 ? dir.file("still-absent.csv") : dir.file("fixed.csv");
        doc.SetDataSourceSettings(s);
        return true;
    };
    EXPECT_FALSE(d.doc.OpenDataSource(TRUE));
    EXPECT_EQ(setups, 1);
    ASSERT_EQ(messages.messages.size(), 2u);
    const auto& m = messages.messages[0];
    EXPECT_EQ(m.text.rfind(LoadKvString(IDS_DB_OPEN_FAILED), 0), 0u) << m.text;
    EXPECT_NE(m.text.find("absent.csv"), std::string::npos) << m.text;
    EXPECT_EQ(m.style, unsigned(MSG_RETRYCANCEL | MSG_ICONQUESTION));
    EXPECT_EQ(m.caption, "Tessavo");
    EXPECT_EQ(d.doc.GetRecordCount(), -2);
    EXPECT_EQ(d.doc.GetRecordDisplayText(), "Open Database Error, please check database setup.");
    EXPECT_EQ(d.Printed(0), (std::vector<std::string>{""}));

    // Retry, and this time the setup gives a file that opens.
    messages.answers = {ID_RETRY};
    EXPECT_TRUE(d.doc.OpenDataSource(TRUE));
    EXPECT_EQ(setups, 2);
    EXPECT_EQ(d.doc.GetRecordCount(), 1);
    EXPECT_EQ(d.Printed(0), (std::vector<std::string>{"first"}));
    CKVDoc::s_databaseSetup = nullptr;
}

TEST(DocumentData, CharactersTheCodePageCannotHoldFailTheOpen)
{
    kvtest::TempDir dir;
    WriteText(dir.file("marks.csv"), "Name,Mark\nok,\xE2\x9C\x93\n");
    DbDoc d(dir, {"Name\n0"});
    d.UseText(dir.file("marks.csv"));
    std::string error;
    EXPECT_FALSE(d.doc.OpenDataSourceQuietly(FALSE, &error));
    EXPECT_EQ(d.doc.GetRecordCount(), -2);
    for (const char* part : {"marks.csv", "record 1", "\"Mark\"", "U+2713"})
        EXPECT_NE(error.find(part), std::string::npos) << part << " in " << error;
}

TEST(DocumentData, ValuesByKind)
{
    kvtest::UseTestOdbcConfig();
    kvtest::TempDir dir;
    const std::string db = dir.file("stock.db");
    ASSERT_TRUE(kvtest::ExecSql(kvtest::SqliteConnect(db),
                                {"CREATE TABLE stock (code TEXT, qty INTEGER)", "INSERT INTO stock VALUES ('A-1', 5)"}));
    DbDoc d(dir, {"qty\n7"});
    CDataSourceSettings s;
    s.kind = DSK_ODBC;
    s.connect = kvtest::SqliteConnect(db);
    s.table = "stock";
    d.doc.SetDataSourceSettings(s);
    ASSERT_TRUE(d.doc.OpenDataSource(FALSE));
    // ODBC reads by name: the stored index does not matter. The empty field
    // list was made from the columns.
    EXPECT_EQ(d.Printed(0), (std::vector<std::string>{"5"}));
    EXPECT_EQ(d.doc.GetDataSourceSettings().fieldList, "0\rcode\n1\rqty\n");
    EXPECT_EQ(d.doc.GetFieldValue(1, "CODE", -1), "A-1");

    // A workbook reads by index; an index past its columns gives "".
    ASSERT_TRUE(kvtest::WriteXlsx(dir.file("b.xlsx"), {{"S", {{0, 0, kvtest::SheetCell::text, "code", 0, {}},
                                                               {1, 0, kvtest::SheetCell::text, "B-2", 0, {}}}}}));
    s = CDataSourceSettings();
    s.kind = DSK_EXCEL;
    s.excelPath = dir.file("b.xlsx");
    s.excelOptions = "0";
    d.doc.SetDataSourceSettings(s);
    ASSERT_TRUE(d.doc.OpenDataSource(FALSE));
    EXPECT_EQ(d.doc.GetFieldValue(1, "qty", 0), "B-2");
    EXPECT_EQ(d.doc.GetFieldValue(1, "code", 1), "");
    EXPECT_EQ(d.doc.GetFieldValue(1, "code", -1), "");

    // A fixed-length file without widths has records but no values.
    WriteText(dir.file("fixed.txt"), "abc\ndef\n");
    CTextFileOptions fixed;
    fixed.fixedLength = true;
    fixed.firstLineIsData = true;
    d.UseText(dir.file("fixed.txt"), fixed);
    ASSERT_TRUE(d.doc.OpenDataSource(FALSE));
    EXPECT_EQ(d.doc.GetRecordCount(), 2);
    EXPECT_EQ(d.doc.GetFieldValue(1, "", 0), "");
}

TEST(DocumentData, RecordCommands)
{
    kvtest::TempDir dir;
    WriteText(dir.file("five.csv"), "N\n1\n2\n3\n4\n5\n");
    WriteText(dir.file("none.csv"), "N\n");
    struct Case {
        const char* file;
        int current;
        CKVDoc::RecordCommand command;
        bool enabled;
        int after;
    };
    using D = CKVDoc;
    const Case cases[] = {
        {"five.csv", 3, D::RC_FIRST, true, 1},     {"five.csv", 1, D::RC_FIRST, false, 1},
        {"five.csv", 3, D::RC_PREVIOUS, true, 2},  {"five.csv", 1, D::RC_PREVIOUS, false, 1},
        {"five.csv", 3, D::RC_NEXT, true, 4},      {"five.csv", 5, D::RC_NEXT, false, 5},
        {"five.csv", 2, D::RC_LAST, true, 5},      {"five.csv", 5, D::RC_LAST, false, 5},
        {"five.csv", 2, D::RC_SEARCH, true, 2},    {"five.csv", 4, D::RC_REQUERY, true, 4},
        // No records: the moves are enabled but do nothing; no search.
        {"none.csv", 1, D::RC_NEXT, true, 1},      {"none.csv", 1, D::RC_LAST, true, 1},
        {"none.csv", 1, D::RC_SEARCH, false, 1},   {"none.csv", 1, D::RC_REQUERY, true, 1},
        // No source at all.
        {"", 2, D::RC_FIRST, false, 2},            {"", 1, D::RC_REQUERY, false, 1},
    };
    for (const Case& c : cases) {
        DbDoc d(dir, {"N\n0"});
        if (*c.file) {
            d.UseText(dir.file(c.file));
            ASSERT_TRUE(d.doc.OpenDataSource(FALSE));
        }
        d.doc.m_format.m_nStartRecord = c.current;
        d.doc.m_bModified = false;
        EXPECT_EQ(d.doc.CanRunRecordCommand(c.command), c.enabled) << c.file << " " << c.current << " " << c.command;
        d.doc.RunRecordCommand(c.command);
        EXPECT_EQ(d.doc.m_format.m_nStartRecord, c.after) << c.file << " " << c.current << " " << c.command;
        if (std::string(c.file) == "five.csv" && c.enabled && c.command != D::RC_SEARCH) {
            EXPECT_EQ(d.doc.m_variables[0]->m_strData, std::to_string(c.after));
            EXPECT_TRUE(d.doc.m_bModified);
        }
    }
}

TEST(DocumentData, SearchDialogMovesTheCurrentRecord)
{
    kvtest::TempDir dir;
    WriteText(dir.file("parts.csv"), "Part,Bin\nP1,A\nP2,B\nP3,A\nP4,C\n");
    DbDoc d(dir, {"Part\n0"});
    d.UseText(dir.file("parts.csv"));
    ASSERT_TRUE(d.doc.OpenDataSource(FALSE));
    d.doc.m_format.m_strDb[0] = "0\rPart\n1\rBin\n";

    CSearchSettings s{SM_SEARCH, SD_NEXT_ROUND, "Bin"};
    d.doc.m_format.m_nStartRecord = 3;
    EXPECT_TRUE(d.doc.SearchRecord(s, 0, "B"));
    EXPECT_EQ(d.doc.m_format.m_nStartRecord, 2);  // wrapped from the last record
    EXPECT_EQ(d.doc.m_variables[0]->m_strData, "P2");
    EXPECT_EQ(d.doc.m_format.m_strDb[1], "1\r2\rBin");

    EXPECT_TRUE(d.doc.SearchRecord(s, 0, "B"));  // the current record matches: no move
    EXPECT_EQ(d.doc.m_format.m_nStartRecord, 2);
    s.direction = SD_NEXT;
    d.doc.m_format.m_nStartRecord = 3;
    EXPECT_FALSE(d.doc.SearchRecord(s, 0, "B"));  // no wrap: not found, no move
    EXPECT_EQ(d.doc.m_format.m_nStartRecord, 3);

    s.direction = SD_PREVIOUS;
    d.doc.m_format.m_nStartRecord = 4;
    EXPECT_TRUE(d.doc.SearchRecord(s, 0, "A"));
    EXPECT_EQ(d.doc.m_format.m_nStartRecord, 3);

    const CSearchSettings locate{SM_LOCATE, SD_NEXT, "Part"};
    EXPECT_TRUE(d.doc.SearchRecord(locate, 99, ""));
    EXPECT_EQ(d.doc.m_format.m_nStartRecord, 4);
    EXPECT_EQ(d.doc.m_variables[0]->m_strData, "P4");
}

TEST(DocumentData, RecordDisplayTexts)
{
    kvtest::TempDir dir;
    WriteText(dir.file("q.csv"), "Item,Copies\nA,3\nB,12\n");
    DbDoc d(dir, {"Item\n0"});
    EXPECT_EQ(d.doc.GetRecordDisplayText(), "Database");
    d.UseText(dir.file("q.csv"));
    ASSERT_TRUE(d.doc.OpenDataSource(FALSE));
    d.doc.m_format.m_nStartRecord = 2;
    EXPECT_EQ(d.doc.GetRecordDisplayText(), "Record: 2 / 2");
    d.doc.m_format.m_strDb[0] = "0\rItem\n1\rCopies\n";
    d.doc.m_format.SetProperty(LFP_COPY_FIELD, "1,Copies,1,0,0");
    EXPECT_EQ(d.doc.GetRecordDisplayText(), "Record: 2 / 2 (12)");
    d.doc.m_format.SetProperty(LFP_COPY_FIELD, "1,Gone,5,0,0");
    EXPECT_EQ(d.doc.GetRecordDisplayText(), "Record: 2 / 2");
}

TEST(DocumentData, DataFileReplacesTheSourceForOneRun)
{
    kvtest::UseTestOdbcConfig();
    kvtest::TempDir dir;
    WriteText(dir.file("own.csv"), "Name,Price\nown,1\n");
    // The run's file has the columns in another order and one more.
    WriteText(dir.file("run.csv"), "Extra,price,Name\nx,\"2,50\",first\ny,3,second\n");
    DbDoc d(dir, {"Name\n0", "Price\n1"});
    d.UseText(dir.file("own.csv"));
    d.doc.m_format.m_nStartRecord = 1;
    ASSERT_TRUE(d.doc.OpenDataSource(FALSE));
    const CDataSourceSettings own = d.doc.GetDataSourceSettings();

    CKVDoc::DataSourceOverride before;
    std::string error;
    ASSERT_TRUE(d.doc.ReplaceDataSourceForRun(dir.file("run.csv"), "", &before, &error)) << error;
    // Own source was a text file with "Comma": its options are kept, so the
    // quotes stay and the comma splits; found by name in any letter case.
    EXPECT_EQ(d.Printed(0), (std::vector<std::string>{"50\"", "\"2"}));
    d.doc.RestoreDataSource(before);
    EXPECT_EQ(d.doc.GetDataSourceSettings(), own);
    EXPECT_EQ(d.doc.m_variables[0]->m_strField, "Name\n0");
    EXPECT_EQ(d.doc.m_variables[1]->m_strField, "Price\n1");

    // A document without a text source reads a CSV with quotes.
    d.doc.SetDataSourceSettings(CDataSourceSettings::Deleted());
    ASSERT_TRUE(d.doc.ReplaceDataSourceForRun(dir.file("run.csv"), "", &before, &error)) << error;
    EXPECT_EQ(d.Printed(0), (std::vector<std::string>{"first", "2,50"}));
    EXPECT_EQ(d.Printed(1), (std::vector<std::string>{"second", "3"}));
    d.doc.RestoreDataSource(before);

    // A field the label uses that the file lacks: refused, nothing changed.
    WriteText(dir.file("short.csv"), "Name\nonly\n");
    const CDataSourceSettings deleted = d.doc.GetDataSourceSettings();
    EXPECT_FALSE(d.doc.ReplaceDataSourceForRun(dir.file("short.csv"), "", &before, &error));
    EXPECT_NE(error.find("\"Price\""), std::string::npos) << error;
    EXPECT_EQ(d.doc.GetDataSourceSettings(), deleted);
    EXPECT_EQ(d.doc.m_variables[1]->m_strField, "Price\n1");
}

}  // namespace

namespace {

TEST(DocumentData, StoredConnectStringIsReducedToTheDataSourceName)
{
    const std::string odbc = kvtest::UseTestOdbcConfig();
    kvtest::TempDir dir;
    const std::string db = dir.file("dsn.db");
    ASSERT_TRUE(kvtest::ExecSql(kvtest::SqliteConnect(db), {"CREATE TABLE t (v TEXT)", "INSERT INTO t VALUES ('via dsn')"}));
    std::ofstream(odbc + "/odbc.ini", std::ios::app) << "[KvDsnTest]\nDriver=SQLite3\nDatabase=" << db << "\n\n";
    DbDoc d(dir, {"v\n0"});
    CDataSourceSettings s;
    s.kind = DSK_ODBC;
    // What the driver manager returned once, with keys the open does not pass on.
    s.connect = "DSN=KvDsnTest;Database=/elsewhere.db;Timeout=100;UID=;PWD=";
    s.table = "t";
    d.doc.SetDataSourceSettings(s);
    ASSERT_TRUE(d.doc.OpenDataSource(FALSE));
    EXPECT_EQ(d.Printed(0), (std::vector<std::string>{"via dsn"}));
}

}  // namespace

namespace {

TEST(DocumentData, ChangeAndDeleteDatabaseSetup)
{
    kvtest::TempDir dir;
    WriteText(dir.file("a.csv"), "V\na\n");
    DbDoc d(dir, {"V\n0"});
    CDataSourceSettings s;
    s.kind = DSK_TEXT;
    s.textPath = dir.file("a.csv");
    s.textOptions = "0\n0\n0\n,\n";
    const CDataSourceSettings before = d.doc.GetDataSourceSettings();
    ASSERT_TRUE(d.doc.ChangeDatabaseSetup(s));
    EXPECT_EQ(d.doc.GetRecordCount(), 1);
    EXPECT_EQ(d.doc.m_variables[0]->m_strData, "a");
    EXPECT_FALSE(d.doc.ChangeDatabaseSetup(s));  // nothing changed: nothing to undo

    ASSERT_TRUE(d.doc.ChangeDatabaseSetup(CDataSourceSettings::Deleted()));
    EXPECT_EQ(d.doc.GetRecordCount(), -1);
    EXPECT_EQ(d.doc.m_format.m_nDbKind, DSK_TEXT);
    for (const std::string& t : d.doc.m_format.m_strDb) EXPECT_EQ(t, "");
    EXPECT_EQ(d.doc.m_format.m_strDbConnect, "");
    // A new label has the settings "Delete Database" leaves.
    EXPECT_EQ(before, CDataSourceSettings::Deleted());
    // Undoing the deletion opens the source again.
    ASSERT_TRUE(d.doc.ChangeDatabaseSetup(s));
    EXPECT_EQ(d.doc.GetRecordCount(), 1);
}

}  // namespace
