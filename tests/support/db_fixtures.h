#pragma once
// Real data sources for the tests: unixODBC with a driver list of the tests'
// own (never /etc), a PostgreSQL server started on loopback, and workbooks
// written by independent writers (libxlsxwriter for .xlsx, the Perl module
// Spreadsheet::WriteExcel for .xls).
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kvtest {

// Points unixODBC (ODBCSYSINI, ODBCINI) at a folder of this test process
// listing the drivers "SQLite3", "PostgreSQL ANSI" and "PostgreSQL Unicode"
// found on this machine. Children (the korvane program) inherit it.
const std::string& UseTestOdbcConfig();
// A DSN-less connect string for a SQLite file.
std::string SqliteConnect(const std::string& file);
// Runs statements on a writable connection.
::testing::AssertionResult ExecSql(const std::string& connect, const std::vector<std::string>& statements);

// Runs a program (no shell) and waits at most timeoutSeconds; as another
// user when asUser is given and this process is root. Exit status, or -1
// when it could not run or was stopped for taking too long.
int RunProgram(const std::vector<std::string>& argv, int timeoutSeconds, const std::string& asUser = std::string(),
               std::string* output = nullptr);

// A PostgreSQL server of one test: its own cluster in a temporary folder,
// listening on 127.0.0.1 at a free port, stopped and removed at the end.
class PostgresServer {
public:
    PostgresServer() = default;
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;
    // The folder holding initdb and pg_ctl, "" when the server is not installed.
    static std::string BinFolder();
    // False with the reason when the server does not start.
    bool Start(std::string* why);
    std::string Connect(const std::string& driver) const;
    int port() const { return m_port; }

private:
    std::string m_dir;
    std::string m_bin;
    int m_port = 0;
    bool m_running = false;
};

// One cell of a workbook written by a test: a text, a number, or a date
// serial with a number format.
struct SheetCell {
    int row;
    int column;
    enum Kind { text, number, date } kind;
    std::string value;     // the text (UTF-8), or the date/time as "YYYY-MM-DDTHH:MM:SS" for kind date
    double numberValue = 0;
    std::string format;    // number format of a date
};
struct SheetSpec {
    std::string name;
    std::vector<SheetCell> cells;
};
// Writes the sheets with libxlsxwriter.
::testing::AssertionResult WriteXlsx(const std::string& path, const std::vector<SheetSpec>& sheets);
// Writes the sheets with Spreadsheet::WriteExcel (BIFF8).
::testing::AssertionResult WriteXls(const std::string& path, const std::vector<SheetSpec>& sheets);

// Writes a zip package of the given parts (name, content), for workbooks
// made by hand where a case needs a form the writers do not make.
::testing::AssertionResult WriteZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& parts);

}  // namespace kvtest
