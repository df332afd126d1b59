#include "data/odbc_source.h"

#include <algorithm>
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include "platform/codepage.h"
#include "platform/strutil.h"

namespace {

using WString = std::basic_string<SQLWCHAR>;

WString ToWide(std::string_view utf8)
{
    WString out;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        char32_t cp;
        size_t n;
        if (c < 0x80) cp = c, n = 1;
        else if ((c & 0xE0) == 0xC0) cp = c & 0x1F, n = 2;
        else if ((c & 0xF0) == 0xE0) cp = c & 0x0F, n = 3;
        else cp = c & 0x07, n = 4;
        for (size_t k = 1; k < n && i + k < utf8.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += SQLWCHAR(0xD800 + (cp >> 10));
            out += SQLWCHAR(0xDC00 + (cp & 0x3FF));
        } else {
            out += SQLWCHAR(cp);
        }
    }
    return out;
}

std::string FromWide(const SQLWCHAR* s, size_t n)
{
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Every diagnostic record of a handle, "[state] message; ...".
std::string Diagnostics(SQLSMALLINT type, SQLHANDLE handle, std::string* firstState = nullptr)
{
    std::string out;
    for (SQLSMALLINT i = 1; i < 20; ++i) {
        SQLWCHAR state[6] = {}, message[1024] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRecW(type, handle, i, state, &native, message, SQLSMALLINT(std::size(message)), &length);
        if (!SQL_SUCCEEDED(rc)) break;
        const std::string st = FromWide(state, 5);
        if (firstState && firstState->empty()) *firstState = st;
        if (!out.empty()) out += "; ";
        out += "[" + st + "] " + FromWide(message, size_t(std::min<int>(length, int(std::size(message)) - 1)));
    }
    return out.empty() ? std::string("no message from the driver") : out;
}

// Connect string for messages: passwords hidden.
std::string ForMessages(const std::string& connect)
{
    std::string out;
    for (const std::string& item : SplitString(connect, ';')) {
        if (!out.empty()) out += ';';
        const std::string key = ToUpperAscii(Trim(item.substr(0, item.find('='))));
        out += (key == "PWD" || key == "PASSWORD") && item.find('=') != std::string::npos ? key + "=***" : item;
    }
    return out;
}

// Index of the brace that closes the braced value opening at `open` ("}}"
// stands for a brace inside), npos when it never closes.
size_t ClosingBrace(std::string_view connect, size_t open)
{
    for (size_t i = open + 1; i < connect.size(); ++i) {
        if (connect[i] != '}') continue;
        if (i + 1 < connect.size() && connect[i + 1] == '}') {
            ++i;
            continue;
        }
        return i;
    }
    return std::string_view::npos;
}

// Position just after "KEY=" at the start of an item of the connect string.
size_t FindKey(std::string_view connect, std::string_view key)
{
    size_t item = 0;
    while (item <= connect.size()) {
        size_t p = item;
        while (p < connect.size() && connect[p] == ' ') ++p;
        if (connect.size() - p >= key.size() && ToUpperAscii(connect.substr(p, key.size())) == ToUpperAscii(key))
            return p + key.size();
        // On to the next item, over a braced value.
        size_t q = p;
        while (q < connect.size() && connect[q] != ';') {
            if (connect[q] == '{') {
                const size_t close = ClosingBrace(connect, q);
                if (close == std::string_view::npos) return std::string_view::npos;
                q = close;
            }
            ++q;
        }
        if (q >= connect.size()) break;
        item = q + 1;
    }
    return std::string_view::npos;
}

}  // namespace

std::string ConnectStringValue(std::string_view connect, std::string_view key)
{
    const size_t start = FindKey(connect, key);
    if (start == std::string_view::npos) return std::string();
    if (start < connect.size() && connect[start] == '{') {
        const size_t close = ClosingBrace(connect, start);
        return std::string(connect.substr(start, close == std::string_view::npos ? std::string_view::npos : close - start + 1));
    }
    const size_t end = connect.find(';', start);
    return std::string(connect.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

std::string ReduceConnectString(std::string_view stored)
{
    const std::string dsn = ConnectStringValue(stored, "DSN=");
    if (dsn.empty()) return std::string(stored);
    std::string out = "DSN=" + dsn;
    for (const char* key : {"DBQ=", "DefaultDir=", "DriverId=", "FIL=", "UID=", "PWD="}) {
        const std::string v = ConnectStringValue(stored, key);
        if (!v.empty()) out += std::string(";") + key + v;
    }
    return out + ";";
}

std::string TableTypesForServer(std::string_view serverName)
{
    return serverName == "EXCEL" ? "TABLE, VIEW , SYSTEM TABLE" : "TABLE, VIEW";
}

std::string QuoteIdentifier(const std::string& name, const std::string& quote)
{
    if (quote.empty() || quote == " ") return "[" + name + "]";
    return quote + ReplaceAll(name, quote, quote + quote) + quote;
}

struct COdbcConnection::Handles {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    bool connected = false;
};

COdbcConnection::COdbcConnection() : m_h(std::make_unique<Handles>()) {}

COdbcConnection::~COdbcConnection() { Close(); }

void COdbcConnection::Close()
{
    if (m_h->connected) SQLDisconnect(m_h->dbc);
    if (m_h->dbc != SQL_NULL_HDBC) SQLFreeHandle(SQL_HANDLE_DBC, m_h->dbc);
    if (m_h->env != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, m_h->env);
    *m_h = Handles();
    m_completed.clear();
}

bool COdbcConnection::IsOpen() const { return m_h->connected; }

bool COdbcConnection::Open(const std::string& connect, CSourceError& error, int loginSeconds)
{
    Close();
    m_connect = ForMessages(connect);
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_h->env)) ||
        !SQL_SUCCEEDED(SQLSetEnvAttr(m_h->env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0)) ||
        !SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, m_h->env, &m_h->dbc))) {
        error = CSourceError::Make(CSourceError::connection, "the ODBC driver manager cannot be used");
        Close();
        return false;
    }
    SQLSetConnectAttr(m_h->dbc, SQL_ATTR_ACCESS_MODE, reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY), 0);
    SQLSetConnectAttr(m_h->dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(loginSeconds)), 0);
    WString in = ToWide(connect);
    SQLWCHAR out[2048] = {};
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnectW(m_h->dbc, nullptr, in.data(), SQLSMALLINT(in.size()), out,
                                           SQLSMALLINT(std::size(out)), &outLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        error = CSourceError::Make(CSourceError::connection,
                                   StrFormat("cannot connect to \"%s\": %s", m_connect.c_str(),
                                             Diagnostics(SQL_HANDLE_DBC, m_h->dbc).c_str()));
        Close();
        return false;
    }
    m_h->connected = true;
    m_completed = FromWide(out, size_t(std::min<int>(outLength, int(std::size(out)) - 1)));
    return true;
}

std::string COdbcConnection::ServerName() const
{
    if (!m_h->connected) return std::string();
    SQLWCHAR buf[256] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(m_h->dbc, SQL_SERVER_NAME, buf, sizeof buf, &length))) return std::string();
    return FromWide(buf, size_t(std::min<int>(length / int(sizeof(SQLWCHAR)), 255)));
}

std::string COdbcConnection::IdentifierQuote() const
{
    if (!m_h->connected) return std::string();
    SQLWCHAR buf[8] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(m_h->dbc, SQL_IDENTIFIER_QUOTE_CHAR, buf, sizeof buf, &length))) return std::string();
    return FromWide(buf, size_t(std::min<int>(length / int(sizeof(SQLWCHAR)), 7)));
}

std::string COdbcConnection::SelectAll(const std::string& table) const
{
    return "Select * from " + QuoteIdentifier(table, IdentifierQuote());
}

namespace {

// A statement handle freed at the end of its scope.
struct Statement {
    SQLHSTMT h = SQL_NULL_HSTMT;
    explicit Statement(SQLHDBC dbc)
    {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &h))) h = SQL_NULL_HSTMT;
    }
    ~Statement()
    {
        if (h != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, h);
    }
};

// One column of the current row as UTF-8; false when the driver refuses the
// wide form (an ANSI-only driver), so that the caller can ask for bytes.
enum class GetResult { ok, null, refused, failed };

GetResult GetWide(SQLHSTMT st, SQLUSMALLINT column, std::string& out)
{
    WString text;
    SQLWCHAR buf[1024];
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(st, column, SQL_C_WCHAR, buf, sizeof buf, &indicator);
        if (rc == SQL_NO_DATA) break;
        if (!SQL_SUCCEEDED(rc)) {
            std::string state;
            Diagnostics(SQL_HANDLE_STMT, st, &state);
            return text.empty() && (state == "07006" || state == "HY003" || state == "HYC00") ? GetResult::refused
                                                                                              : GetResult::failed;
        }
        if (indicator == SQL_NULL_DATA) return GetResult::null;
        const size_t chunk = (indicator == SQL_NO_TOTAL || indicator >= SQLLEN(sizeof buf)) ? std::size(buf) - 1
                                                                                             : size_t(indicator) / sizeof(SQLWCHAR);
        text.append(buf, chunk);
        if (rc == SQL_SUCCESS) break;
    }
    out = FromWide(text.data(), text.size());
    return GetResult::ok;
}

GetResult GetBytes(SQLHSTMT st, SQLUSMALLINT column, std::string& out)
{
    std::string bytes;
    char buf[4096];
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(st, column, SQL_C_CHAR, buf, sizeof buf, &indicator);
        if (rc == SQL_NO_DATA) break;
        if (!SQL_SUCCEEDED(rc)) return GetResult::failed;
        if (indicator == SQL_NULL_DATA) return GetResult::null;
        const size_t chunk = (indicator == SQL_NO_TOTAL || indicator >= SQLLEN(sizeof buf)) ? sizeof buf - 1 : size_t(indicator);
        bytes.append(buf, chunk);
        if (rc == SQL_SUCCESS) break;
    }
    // An ANSI driver hands over the database's own bytes: UTF-8 when they
    // are well-formed, else the document code page.
    if (IsValidUtf8(bytes)) {
        out = std::move(bytes);
        return GetResult::ok;
    }
    return AnsiToUtf8Checked(bytes, out) ? GetResult::ok : GetResult::failed;
}

}  // namespace

bool COdbcConnection::ListTables(const std::string& types, std::vector<std::string>& names, CSourceError& error)
{
    names.clear();
    Statement st(m_h->dbc);
    // Some drivers (SQLite's) take a blank after a comma as part of the type name.
    std::vector<std::string> items;
    for (const std::string& item : SplitString(types, ',')) items.push_back(Trim(item));
    WString t = ToWide(JoinStrings(items, ","));
    if (st.h == SQL_NULL_HSTMT ||
        !SQL_SUCCEEDED(SQLTablesW(st.h, nullptr, 0, nullptr, 0, nullptr, 0, t.data(), SQLSMALLINT(t.size())))) {
        error = CSourceError::Make(CSourceError::connection,
                                   StrFormat("cannot list the tables of \"%s\": %s", m_connect.c_str(),
                                             Diagnostics(SQL_HANDLE_STMT, st.h).c_str()));
        return false;
    }
    while (SQL_SUCCEEDED(SQLFetch(st.h))) {
        std::string name;
        if (GetWide(st.h, 3, name) == GetResult::refused) GetBytes(st.h, 3, name);
        if (!name.empty()) names.push_back(name);
    }
    return true;
}

bool COdbcConnection::Query(const std::string& statement, CRecordSet& out, int maxRows, CSourceError& error)
{
    out = CRecordSet();
    Statement st(m_h->dbc);
    WString sql = ToWide(statement);
    if (st.h == SQL_NULL_HSTMT || !SQL_SUCCEEDED(SQLExecDirectW(st.h, sql.data(), SQLINTEGER(sql.size())))) {
        error = CSourceError::Make(CSourceError::connection,
                                   StrFormat("\"%s\" failed: %s", statement.c_str(), Diagnostics(SQL_HANDLE_STMT, st.h).c_str()));
        return false;
    }
    SQLSMALLINT columns = 0;
    SQLNumResultCols(st.h, &columns);
    for (SQLSMALLINT c = 1; c <= columns; ++c) {
        SQLWCHAR name[512] = {};
        SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        SQLDescribeColW(st.h, SQLUSMALLINT(c), name, SQLSMALLINT(std::size(name)), &length, &type, &size, &digits, &nullable);
        out.columns.push_back(FromWide(name, size_t(std::clamp<int>(length, 0, int(std::size(name)) - 1))));
    }
    bool wide = true;
    while (maxRows < 0 || out.RecordCount() < maxRows) {
        const SQLRETURN rc = SQLFetch(st.h);
        if (rc == SQL_NO_DATA) break;
        if (!SQL_SUCCEEDED(rc)) {
            error = CSourceError::Make(CSourceError::connection,
                                       StrFormat("reading \"%s\" failed at record %d: %s", statement.c_str(),
                                                 out.RecordCount() + 1, Diagnostics(SQL_HANDLE_STMT, st.h).c_str()));
            return false;
        }
        std::vector<std::string> row(static_cast<size_t>(columns));
        for (SQLSMALLINT c = 1; c <= columns; ++c) {
            GetResult r = wide ? GetWide(st.h, SQLUSMALLINT(c), row[size_t(c - 1)]) : GetResult::refused;
            if (r == GetResult::refused) {
                wide = false;
                r = GetBytes(st.h, SQLUSMALLINT(c), row[size_t(c - 1)]);
            }
            if (r == GetResult::failed) {
                error = CSourceError::Make(CSourceError::unreadable,
                                           StrFormat("record %d, field \"%s\" cannot be read as text: %s", out.RecordCount() + 1,
                                                     out.columns[size_t(c - 1)].c_str(),
                                                     Diagnostics(SQL_HANDLE_STMT, st.h).c_str()));
                return false;
            }
        }
        out.rows.push_back(std::move(row));
    }
    return true;
}

bool COdbcReader::Open(CSourceError& error)
{
    return m_connection.IsOpen() || m_connection.Open(m_connect, error);
}

bool COdbcReader::ListTables(std::vector<std::string>& names, CSourceError& error)
{
    if (!Open(error)) return false;
    return m_connection.ListTables(TableTypesForServer(m_connection.ServerName()), names, error);
}

bool COdbcReader::ReadTable(const std::string& name, CRecordSet& out, int maxRows, CSourceError& error)
{
    if (!Open(error)) return false;
    std::vector<std::string> tables;
    CSourceError listError;
    const bool listed = m_connection.ListTables(TableTypesForServer(m_connection.ServerName()), tables, listError);
    std::string table = name;
    if (listed) {
        // The catalogue's own spelling of the name, so that a quoting driver finds it.
        std::string found;
        for (const std::string& t : tables)
            if (t == name) found = t;
        for (const std::string& t : tables)
            if (found.empty() && ToLowerAscii(t) == ToLowerAscii(name)) found = t;
        if (name.empty() && !tables.empty()) found = tables.front();
        if (found.empty()) {
            error = CSourceError::Make(CSourceError::missingTable,
                                       name.empty() ? "the data source has no table"
                                                    : StrFormat("the data source has no table or view named \"%s\"", name.c_str()));
            return false;
        }
        table = found;
    }
    return m_connection.Query(m_connection.SelectAll(table), out, maxRows, error);
}
