#pragma once
// ODBC data sources through the driver manager (unixODBC): connect strings,
// a read-only connection without prompts, the catalogue and whole tables
// read as texts.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/record_set.h"

// The value of a key ("DSN=") in a connect string: the text after the key up
// to the next ";" or, for the last item, to the end of the string. Keys match
// at the start of an item only and in any letter case ("FILEDSN=" has no
// "DSN=" value); a value in braces runs to its closing brace.
std::string ConnectStringValue(std::string_view connect, std::string_view key);
// The connect string a source is opened with, reduced from the stored one:
// with a "DSN=" value, "DSN=" and that value, then ";KEY=value" for each of
// DBQ, DefaultDir, DriverId, FIL, UID, PWD that has a value, then ";";
// without one, the stored text as it is.
std::string ReduceConnectString(std::string_view stored);
// Table types the setup lists: with system tables for the "EXCEL" server.
std::string TableTypesForServer(std::string_view serverName);
// Quotes a table name with the driver's identifier quote ("" doubled inside);
// brackets, as the statement has always been written, when the driver names none.
std::string QuoteIdentifier(const std::string& name, const std::string& quote);

class COdbcConnection {
public:
    COdbcConnection();
    ~COdbcConnection();
    COdbcConnection(const COdbcConnection&) = delete;
    COdbcConnection& operator=(const COdbcConnection&) = delete;

    // Opens read-only, never prompting, giving up after loginSeconds.
    bool Open(const std::string& connect, CSourceError& error, int loginSeconds = 15);
    void Close();
    bool IsOpen() const;
    // The complete connect string the driver manager returned.
    const std::string& CompletedConnectString() const { return m_completed; }
    std::string ServerName() const;
    std::string IdentifierQuote() const;

    // Tables of the types ("TABLE,VIEW") in the catalogue's order.
    bool ListTables(const std::string& types, std::vector<std::string>& names, CSourceError& error);
    // Runs a statement and reads the columns' names and at most maxRows rows
    // (all when maxRows < 0) as texts.
    bool Query(const std::string& statement, CRecordSet& out, int maxRows, CSourceError& error);
    // "Select * from" the table, quoted for the driver.
    std::string SelectAll(const std::string& table) const;

private:
    struct Handles;
    std::unique_ptr<Handles> m_h;
    std::string m_completed;
    std::string m_connect;  // for messages, without the password
};

// A table of an ODBC source as a record reader.
class COdbcReader : public CRecordReader {
public:
    explicit COdbcReader(std::string connect) : m_connect(std::move(connect)) {}
    bool ListTables(std::vector<std::string>& names, CSourceError& error) override;
    bool ReadTable(const std::string& name, CRecordSet& out, int maxRows, CSourceError& error) override;
    COdbcConnection& Connection() { return m_connection; }

private:
    bool Open(CSourceError& error);
    std::string m_connect;
    COdbcConnection m_connection;
};
