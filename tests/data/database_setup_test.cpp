// What the setup dialog shows: tables or worksheets, the chosen one's
// fields, a ten-record preview and the lines describing the source.
#include <gtest/gtest.h>

#include <fstream>

#include "data/database_setup.h"
#include "support/db_fixtures.h"
#include "support/kvtest.h"

namespace {

TEST(DatabaseSetup, TextWorkbookAndOdbcViews)
{
    kvtest::UseTestOdbcConfig();
    kvtest::TempDir dir;
    {
        std::ofstream csv(dir.file("parts.csv"));
        csv << "Part;Bin\n";
        for (int i = 1; i <= 25; ++i) csv << "P" << i << ";B" << i << "\n";
    }
    ASSERT_TRUE(kvtest::WriteXlsx(dir.file("book.xlsx"),
                                  {{"First", {{0, 0, kvtest::SheetCell::text, "x", 0, {}}}},
                                   {"Second", {{0, 0, kvtest::SheetCell::text, "Code", 0, {}}, {1, 0, kvtest::SheetCell::text, "c1", 0, {}}}}}));
    ASSERT_TRUE(kvtest::ExecSql(kvtest::SqliteConnect(dir.file("s.db")),
                                {"CREATE TABLE alpha (a TEXT)", "CREATE TABLE beta (b1 TEXT, b2 TEXT)", "INSERT INTO beta VALUES ('1', '2')",
                                 "CREATE VIEW gamma AS SELECT b2 FROM beta"}));
    std::ofstream(kvtest::UseTestOdbcConfig() + "/odbc.ini", std::ios::app)
        << "[KvSetupDsn]\nDriver=SQLite3\nDatabase=" << dir.file("s.db") << "\n\n";

    CDataSourceSettings text;
    text.kind = DSK_TEXT;
    text.textPath = "/moved/away/parts.csv";
    text.textOptions = "0\n0\n3\n;\n";
    CDataSourceSettings excelStored;
    excelStored.kind = DSK_EXCEL;
    excelStored.excelPath = dir.file("book.xlsx");
    excelStored.excelOptions = "0";
    excelStored.table = "Second";
    CDataSourceSettings excelFirst = excelStored;
    excelFirst.table = "Gone";
    CDataSourceSettings odbc;
    odbc.kind = DSK_ODBC;
    odbc.connect = "DSN=KvSetupDsn;";
    odbc.table = "beta";

    struct Case {
        const char* what;
        CDataSourceSettings settings;
        std::vector<std::string> tables;
        std::string table;
        std::vector<std::string> fields;
        size_t previewRows;
        std::vector<std::string> info;
    };
    const Case cases[] = {
        {"text", text, {}, "", {"Part", "Bin"}, 10, {"File Name: parts.csv"}},
        {"workbook, stored sheet", excelStored, {"First", "Second"}, "Second", {"Code"}, 1, {"File Name: book.xlsx"}},
        {"workbook, stored sheet gone", excelFirst, {"First", "Second"}, "First", {"x"}, 0, {"File Name: book.xlsx"}},
        {"ODBC", odbc, {"alpha", "beta", "gamma"}, "beta", {"b1", "b2"}, 1, {"DSN: KvSetupDsn", "Type: ", "Database: "}},
    };
    for (const Case& c : cases) {
        CSetupView view;
        CSourceError error;
        ASSERT_TRUE(BuildSetupView(c.settings, dir.path(), view, error)) << c.what << ": " << error.text;
        EXPECT_EQ(view.tables, c.tables) << c.what;
        EXPECT_EQ(view.table, c.table) << c.what;
        EXPECT_EQ(view.fields, c.fields) << c.what;
        EXPECT_EQ(view.preview.size(), c.previewRows) << c.what;
        EXPECT_EQ(view.info, c.info) << c.what;
        EXPECT_EQ(ParseFieldList(view.fieldList).size(), c.fields.size()) << c.what;
    }

    CSetupView view;
    CSourceError error;
    CDataSourceSettings missing = text;
    missing.textPath = dir.file("none.csv");
    EXPECT_FALSE(BuildSetupView(missing, "", view, error));
    EXPECT_EQ(error.kind, CSourceError::missingFile);
}

TEST(DatabaseSetup, FieldListText)
{
    EXPECT_EQ(FormatFieldList({"A", "B c"}), "0\rA\n1\rB c\n");
    const std::vector<CFieldEntry> parsed = ParseFieldList("0\rA\n3\rB c\n\n");
    ASSERT_EQ(parsed.size(), 2u);
    EXPECT_EQ(parsed[1], (CFieldEntry{3, "B c"}));
    EXPECT_TRUE(ParseFieldList("").empty());
}

}  // namespace
