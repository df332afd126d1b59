// ODBC sources through unixODBC: connect strings, a real SQLite file through
// the SQLite3 driver and a PostgreSQL server of the test's own through
// psqlODBC (ANSI and Unicode drivers).
#include <gtest/gtest.h>

#include "data/odbc_source.h"
#include "support/db_fixtures.h"
#include "support/kvtest.h"

namespace {

TEST(OdbcSource, ConnectStringReduction)
{
    const std::pair<const char*, const char*> cases[] = {
        // Without a DSN the stored text is used as it is.
        {"Driver=SQLite3;Database=/d/items.db;", "Driver=SQLite3;Database=/d/items.db;"},
        {"", ""},
        // With one: the seven keys in their order, only those with a value, then ";".
        {"UID=me;Extra=1;DSN=Stock;PWD=pw;DBQ=C:\\db.mdb;Server=x", "DSN=Stock;DBQ=C:\\db.mdb;UID=me;PWD=pw;"},
        {"DSN=Excel Files;DBQ=C:\\a.xls;DefaultDir=C:\\;DriverId=790;FIL=excel 8.0;MaxBufferSize=2048;",
         "DSN=Excel Files;DBQ=C:\\a.xls;DefaultDir=C:\\;DriverId=790;FIL=excel 8.0;"},
        {"DSN=Stock;UID=;PWD=", "DSN=Stock;"},
        // The last value runs to the end of the string.
        {"DSN=Stock", "DSN=Stock;"},
        // A key is matched only at the start of an item, in any case.
        {"FILEDSN=/x.dsn;UID=me", "FILEDSN=/x.dsn;UID=me"},
        {"dsn=Stock;uid=me", "DSN=Stock;UID=me;"},
        // A braced value keeps its semicolons.
        {"DSN=Stock;PWD={a;b}};c};UID=u", "DSN=Stock;UID=u;PWD={a;b}};c};"},
    };
    for (const auto& [stored, reduced] : cases) EXPECT_EQ(ReduceConnectString(stored), reduced) << stored;
    EXPECT_EQ(ConnectStringValue("DSN=A;FIL=excel 8.0", "FIL="), "excel 8.0");
    EXPECT_EQ(ConnectStringValue("DSN=A;", "DBQ="), "");
}

TEST(OdbcSource, TableNamesQuotedForTheDriver)
{
    EXPECT_EQ(QuoteIdentifier("items", "\""), "\"items\"");
    EXPECT_EQ(QuoteIdentifier("Odd \"Name\"", "\""), "\"Odd \"\"Name\"\"\"");
    EXPECT_EQ(QuoteIdentifier("My Table", "`"), "`My Table`");
    EXPECT_EQ(QuoteIdentifier("Sheet1$", ""), "[Sheet1$]");
    EXPECT_EQ(QuoteIdentifier("Sheet1$", " "), "[Sheet1$]");
    EXPECT_EQ(TableTypesForServer("EXCEL"), "TABLE, VIEW , SYSTEM TABLE");
    EXPECT_EQ(TableTypesForServer("127.0.0.1"), "TABLE, VIEW");
}

// The items every database test reads, with a NULL, non-Latin text and a
// number column, plus a view and a table whose name needs quoting.
std::vector<std::string> ItemsSql(const std::string& numberType)
{
    return {
        "CREATE TABLE items (name VARCHAR(40), price " + numberType + ", qty INTEGER)",
        "INSERT INTO items VALUES ('Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93', 12.5, 3)",
        "INSERT INTO items VALUES (NULL, 0, 0)",
        "INSERT INTO items VALUES ('plain', 1, 10)",
        "CREATE VIEW cheap AS SELECT name, qty FROM items WHERE price < 5",
        "CREATE TABLE \"Odd \"\"Name\"\"\" (\"a b\" VARCHAR(10))",
        "INSERT INTO \"Odd \"\"Name\"\"\" VALUES ('q')",
    };
}

void ExpectItems(COdbcReader& reader, const std::vector<std::string>& priceTexts)
{
    CSourceError error;
    std::vector<std::string> tables;
    ASSERT_TRUE(reader.ListTables(tables, error)) << error.text;
    for (const char* t : {"items", "cheap", "Odd \"Name\""})
        EXPECT_NE(std::find(tables.begin(), tables.end(), t), tables.end()) << t;

    CRecordSet set;
    ASSERT_TRUE(reader.ReadTable("items", set, -1, error)) << error.text;
    EXPECT_EQ(set.columns, (std::vector<std::string>{"name", "price", "qty"}));
    ASSERT_EQ(set.RecordCount(), 3);
    EXPECT_EQ(set.rows[0], (std::vector<std::string>{"Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93", priceTexts[0], "3"}));
    EXPECT_EQ(set.rows[1], (std::vector<std::string>{"", priceTexts[1], "0"}));
    EXPECT_EQ(set.rows[2][0], "plain");

    CRecordSet view, odd, preview;
    ASSERT_TRUE(reader.ReadTable("cheap", view, -1, error)) << error.text;
    EXPECT_EQ(view.rows, (std::vector<std::vector<std::string>>{{"", "0"}, {"plain", "10"}}));
    ASSERT_TRUE(reader.ReadTable("Odd \"Name\"", odd, -1, error)) << error.text;
    EXPECT_EQ(odd.columns, (std::vector<std::string>{"a b"}));
    EXPECT_EQ(odd.rows, (std::vector<std::vector<std::string>>{{"q"}}));
    ASSERT_TRUE(reader.ReadTable("items", preview, 2, error)) << error.text;
    EXPECT_EQ(preview.RecordCount(), 2);

    EXPECT_FALSE(reader.ReadTable("nothing", set, -1, error));
    EXPECT_EQ(error.kind, CSourceError::missingTable);
    EXPECT_NE(error.text.find("nothing"), std::string::npos) << error.text;
}

TEST(OdbcSource, SqliteFileThroughUnixOdbc)
{
    kvtest::UseTestOdbcConfig();
    kvtest::TempDir dir;
    const std::string connect = kvtest::SqliteConnect(dir.file("items.db"));
    ASSERT_TRUE(kvtest::ExecSql(connect, ItemsSql("REAL")));
    COdbcReader reader(connect);
    ExpectItems(reader, {"12.5", "0.0"});
    EXPECT_EQ(reader.Connection().IdentifierQuote(), "\"");

    // No table name: the first one of the catalogue.
    CRecordSet first;
    CSourceError error;
    ASSERT_TRUE(reader.ReadTable("", first, -1, error)) << error.text;
    EXPECT_FALSE(first.columns.empty());
}

TEST(OdbcSource, CountsEveryRowOfALargeTable)
{
    kvtest::UseTestOdbcConfig();
    kvtest::TempDir dir;
    const std::string connect = kvtest::SqliteConnect(dir.file("big.db"));
    std::vector<std::string> sql = {"CREATE TABLE serials (n INTEGER, code TEXT)", "BEGIN"};
    for (int i = 1; i <= 2500; ++i) sql.push_back("INSERT INTO serials VALUES (" + std::to_string(i) + ", 'C" + std::to_string(i) + "')");
    sql.push_back("COMMIT");
    ASSERT_TRUE(kvtest::ExecSql(connect, sql));
    COdbcReader reader(connect);
    CRecordSet set;
    CSourceError error;
    ASSERT_TRUE(reader.ReadTable("serials", set, -1, error)) << error.text;
    ASSERT_EQ(set.RecordCount(), 2500);
    for (int i : {1, 1234, 2500}) EXPECT_EQ(set.Value(i, 1), "C" + std::to_string(i));
}

TEST(OdbcSource, ConnectionFailuresNameTheSource)
{
    kvtest::UseTestOdbcConfig();
    struct Case {
        std::string connect;
        std::string named;
    };
    const Case cases[] = {
        {"Driver=No Such Driver;Database=x", "No Such Driver"},
        {"DSN=NoSuchDsn;UID=u;PWD=secret", "NoSuchDsn"},
        {"Driver=SQLite3;Database=/nonexistent/folder/x.db;NoCreat=1", "/nonexistent/folder/x.db"},
    };
    for (const Case& c : cases) {
        COdbcConnection connection;
        CSourceError error;
        EXPECT_FALSE(connection.Open(c.connect, error)) << c.connect;
        EXPECT_EQ(error.kind, CSourceError::connection);
        EXPECT_NE(error.text.find(c.named), std::string::npos) << error.text;
        EXPECT_EQ(error.text.find("secret"), std::string::npos) << "a password in a message: " << error.text;
    }
}

TEST(OdbcSource, PostgresqlThroughPsqlOdbc)
{
    if (kvtest::PostgresServer::BinFolder().empty())
        GTEST_SKIP() << "PostgreSQL server programs are not installed (package postgresql); skipping the psqlODBC test";
    kvtest::UseTestOdbcConfig();
    kvtest::PostgresServer server;
    std::string why;
    ASSERT_TRUE(server.Start(&why)) << why;
    ASSERT_TRUE(kvtest::ExecSql(server.Connect("PostgreSQL Unicode"), ItemsSql("NUMERIC(10,2)")));
    // The Unicode driver hands over UTF-16, the ANSI one the database's
    // bytes; both must give the same texts.
    for (const char* driver : {"PostgreSQL Unicode", "PostgreSQL ANSI"}) {
        SCOPED_TRACE(driver);
        COdbcReader reader(server.Connect(driver));
        ExpectItems(reader, {"12.50", "0.00"});
    }
}

}  // namespace
