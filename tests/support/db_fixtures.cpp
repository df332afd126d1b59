#include "support/db_fixtures.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <glob.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sql.h>
#include <sqlext.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <xlsxwriter.h>
#include <zip.h>

namespace fs = std::filesystem;

namespace kvtest {

namespace {

std::string FirstMatch(const std::string& pattern)
{
    glob_t g{};
    std::string found;
    if (glob(pattern.c_str(), 0, nullptr, &g) == 0 && g.gl_pathc > 0) found = g.gl_pathv[g.gl_pathc - 1];
    globfree(&g);
    return found;
}

std::string OdbcDriverLibrary(const char* name)
{
    for (const char* dir : {"/usr/lib/*/odbc/", "/usr/lib/odbc/", "/usr/lib64/"}) {
        const std::string f = FirstMatch(std::string(dir) + name);
        if (!f.empty()) return f;
    }
    return std::string();
}

std::string OdbcError(SQLSMALLINT type, SQLHANDLE h)
{
    SQLCHAR state[6] = {}, message[1024] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    if (SQL_SUCCEEDED(SQLGetDiagRec(type, h, 1, state, &native, message, sizeof message, &length)))
        return std::string(reinterpret_cast<char*>(state)) + " " + reinterpret_cast<char*>(message);
    return "no message";
}

}  // namespace

const std::string& UseTestOdbcConfig()
{
    static const std::string dir = [] {
        char tmpl[] = "/tmp/kv-odbc-XXXXXX";
        const std::string d = mkdtemp(tmpl);
        std::ofstream ini(d + "/odbcinst.ini");
        const std::pair<const char*, const char*> drivers[] = {
            {"SQLite3", "libsqlite3odbc.so"}, {"PostgreSQL ANSI", "psqlodbca.so"}, {"PostgreSQL Unicode", "psqlodbcw.so"}};
        for (const auto& [name, lib] : drivers) {
            const std::string path = OdbcDriverLibrary(lib);
            if (!path.empty()) ini << "[" << name << "]\nDriver=" << path << "\n\n";
        }
        std::ofstream(d + "/odbc.ini").flush();
        setenv("ODBCSYSINI", d.c_str(), 1);
        setenv("ODBCINI", (d + "/odbc.ini").c_str(), 1);
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(getenv("ODBCSYSINI") ? getenv("ODBCSYSINI") : "", ec);
        });
        return d;
    }();
    return dir;
}

std::string SqliteConnect(const std::string& file) { return "Driver=SQLite3;Database=" + file + ";"; }

::testing::AssertionResult ExecSql(const std::string& connect, const std::vector<std::string>& statements)
{
    UseTestOdbcConfig();
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    SQLSetConnectAttr(dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(15)), 0);
    auto result = ::testing::AssertionSuccess();
    std::string c = connect;
    if (!SQL_SUCCEEDED(SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(c.data()), SQL_NTS, nullptr, 0, nullptr,
                                        SQL_DRIVER_NOPROMPT))) {
        result = ::testing::AssertionFailure() << "connect " << connect << ": " << OdbcError(SQL_HANDLE_DBC, dbc);
    } else {
        for (std::string s : statements) {
            SQLHSTMT st = SQL_NULL_HSTMT;
            SQLAllocHandle(SQL_HANDLE_STMT, dbc, &st);
            const SQLRETURN rc = SQLExecDirect(st, reinterpret_cast<SQLCHAR*>(s.data()), SQL_NTS);
            if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
                result = ::testing::AssertionFailure() << s << ": " << OdbcError(SQL_HANDLE_STMT, st);
                SQLFreeHandle(SQL_HANDLE_STMT, st);
                break;
            }
            SQLFreeHandle(SQL_HANDLE_STMT, st);
        }
        SQLDisconnect(dbc);
    }
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return result;
}

int RunProgram(const std::vector<std::string>& argv, int timeoutSeconds, const std::string& asUser, std::string* output)
{
    uid_t uid = 0;
    gid_t gid = 0;
    const bool switchUser = !asUser.empty() && geteuid() == 0;
    if (switchUser) {
        const passwd* pw = getpwnam(asUser.c_str());
        if (!pw) return -1;
        uid = pw->pw_uid;
        gid = pw->pw_gid;
    }
    char outTmpl[] = "/tmp/kv-run-XXXXXX";
    const int outFd = mkstemp(outTmpl);
    if (outFd < 0) return -1;
    unlink(outTmpl);
    const pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        dup2(outFd, 1);
        dup2(outFd, 2);
        const int devnull = open("/dev/null", O_RDONLY);
        if (devnull >= 0) dup2(devnull, 0);
        setpgid(0, 0);
        if (switchUser && (setgid(gid) != 0 || setuid(uid) != 0)) _exit(126);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    bool done = false;
    while (!done) {
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) {
            done = true;
        } else if (std::chrono::steady_clock::now() > deadline) {
            kill(-pid, SIGKILL);
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            status = -1;
            done = true;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    if (output) {
        output->clear();
        lseek(outFd, 0, SEEK_SET);
        char buf[4096];
        ssize_t n;
        while ((n = read(outFd, buf, sizeof buf)) > 0) output->append(buf, size_t(n));
    }
    close(outFd);
    if (status == -1 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// ---- PostgreSQL ----

std::string PostgresServer::BinFolder()
{
    const std::string initdb = FirstMatch("/usr/lib/postgresql/*/bin/initdb");
    if (!initdb.empty()) return fs::path(initdb).parent_path().string();
    return std::string();
}

bool PostgresServer::Start(std::string* why)
{
    m_bin = BinFolder();
    if (m_bin.empty()) {
        *why = "the PostgreSQL server programs (initdb, pg_ctl) are not installed";
        return false;
    }
    char tmpl[] = "/tmp/kv-pg-XXXXXX";
    if (!mkdtemp(tmpl)) {
        *why = "no temporary folder";
        return false;
    }
    m_dir = tmpl;
    const bool root = geteuid() == 0;
    const std::string user = root ? "postgres" : std::string();
    if (root) {
        const passwd* pw = getpwnam("postgres");
        if (!pw || chown(m_dir.c_str(), pw->pw_uid, pw->pw_gid) != 0) {
            *why = "running as root, but there is no user postgres to run the server as";
            return false;
        }
    }
    std::string out;
    if (RunProgram({m_bin + "/initdb", "-D", m_dir + "/data", "-A", "trust", "-U", "postgres", "-E", "UTF8",
                    "--locale=C.UTF-8", "--no-sync"},
                   120, user, &out) != 0) {
        *why = "initdb failed: " + out;
        return false;
    }
    // A free loopback port: bound by us, then handed to the server.
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (s < 0 || bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        *why = "no free loopback port";
        if (s >= 0) close(s);
        return false;
    }
    m_port = ntohs(addr.sin_port);
    close(s);
    const std::string options = "-c listen_addresses=127.0.0.1 -c fsync=off -p " + std::to_string(m_port) + " -k " + m_dir;
    if (RunProgram({m_bin + "/pg_ctl", "-D", m_dir + "/data", "-w", "-t", "60", "-l", m_dir + "/server.log", "-o", options,
                    "start"},
                   90, user, &out) != 0) {
        std::ifstream log(m_dir + "/server.log");
        std::string logText((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
        *why = "the server did not start: " + out + logText;
        return false;
    }
    m_running = true;
    return true;
}

PostgresServer::~PostgresServer()
{
    if (m_running)
        RunProgram({m_bin + "/pg_ctl", "-D", m_dir + "/data", "-w", "-t", "30", "-m", "immediate", "stop"}, 60,
                   geteuid() == 0 ? "postgres" : "");
    if (!m_dir.empty()) {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
}

std::string PostgresServer::Connect(const std::string& driver) const
{
    return "Driver=" + driver + ";Server=127.0.0.1;Port=" + std::to_string(m_port) + ";Database=postgres;UID=postgres;";
}

// ---- workbooks ----

namespace {

bool ParseStamp(const std::string& s, lxw_datetime& dt)
{
    dt = lxw_datetime{};
    return std::sscanf(s.c_str(), "%d-%d-%dT%d:%d:%lf", &dt.year, &dt.month, &dt.day, &dt.hour, &dt.min, &dt.sec) >= 3;
}

// A Perl string literal: every character past ASCII as \x{...}.
std::string PerlString(const std::string& utf8)
{
    std::string out = "\"";
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            if (c == '"' || c == '\\' || c == '$' || c == '@') out += '\\';
            out += char(c);
            ++i;
            continue;
        }
        const size_t n = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : 4;
        unsigned cp = c & (0x3F >> (n - 1));
        for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        char buf[16];
        std::snprintf(buf, sizeof buf, "\\x{%x}", cp);
        out += buf;
        i += n;
    }
    return out + "\"";
}

}  // namespace

::testing::AssertionResult WriteXlsx(const std::string& path, const std::vector<SheetSpec>& sheets)
{
    lxw_workbook_options options{};
    lxw_workbook* wb = workbook_new_opt(path.c_str(), &options);
    if (!wb) return ::testing::AssertionFailure() << "libxlsxwriter cannot create " << path;
    for (const SheetSpec& spec : sheets) {
        lxw_worksheet* ws = workbook_add_worksheet(wb, spec.name.c_str());
        for (const SheetCell& c : spec.cells) {
            if (c.kind == SheetCell::text) {
                worksheet_write_string(ws, lxw_row_t(c.row), lxw_col_t(c.column), c.value.c_str(), nullptr);
            } else if (c.kind == SheetCell::number) {
                worksheet_write_number(ws, lxw_row_t(c.row), lxw_col_t(c.column), c.numberValue, nullptr);
            } else {
                lxw_format* f = workbook_add_format(wb);
                format_set_num_format(f, c.format.c_str());
                lxw_datetime dt;
                if (!ParseStamp(c.value, dt)) return ::testing::AssertionFailure() << "bad stamp " << c.value;
                worksheet_write_datetime(ws, lxw_row_t(c.row), lxw_col_t(c.column), &dt, f);
            }
        }
    }
    if (workbook_close(wb) != LXW_NO_ERROR) return ::testing::AssertionFailure() << "libxlsxwriter cannot write " << path;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult WriteXls(const std::string& path, const std::vector<SheetSpec>& sheets)
{
    std::string script = "use strict; use Spreadsheet::WriteExcel;\n"
                         "my $wb = Spreadsheet::WriteExcel->new(" + PerlString(path) + ") or die 'cannot create';\n";
    for (const SheetSpec& spec : sheets) {
        script += "{ my $ws = $wb->add_worksheet(" + PerlString(spec.name) + ");\n";
        for (const SheetCell& c : spec.cells) {
            const std::string at = std::to_string(c.row) + "," + std::to_string(c.column);
            if (c.kind == SheetCell::text) {
                script += "$ws->write_string(" + at + "," + PerlString(c.value) + ");\n";
            } else if (c.kind == SheetCell::number) {
                char num[64];
                std::snprintf(num, sizeof num, "%.17g", c.numberValue);
                script += "$ws->write_number(" + at + "," + num + ");\n";
            } else {
                script += "$ws->write_date_time(" + at + "," + PerlString(c.value) + ",$wb->add_format(num_format => " +
                          PerlString(c.format) + "));\n";
            }
        }
        script += "}\n";
    }
    script += "$wb->close() or die 'cannot close';\n";
    const std::string scriptPath = path + ".pl";
    std::ofstream(scriptPath) << script;
    std::string out;
    const int rc = RunProgram({"/usr/bin/perl", scriptPath}, 60, "", &out);
    fs::remove(scriptPath);
    if (rc != 0)
        return ::testing::AssertionFailure() << "Spreadsheet::WriteExcel (package libspreadsheet-writeexcel-perl) failed: " << out;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult WriteZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& parts)
{
    int err = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z) return ::testing::AssertionFailure() << "cannot create " << path;
    for (const auto& [name, content] : parts) {
        // libzip reads the buffer when the archive closes; the parts outlive that.
        zip_source_t* src = zip_source_buffer(z, content.data(), content.size(), 0);
        if (!src || zip_file_add(z, name.c_str(), src, ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(src);
            zip_discard(z);
            return ::testing::AssertionFailure() << "cannot add " << name;
        }
    }
    if (zip_close(z) != 0) {
        zip_discard(z);
        return ::testing::AssertionFailure() << "cannot write " << path;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace kvtest
