#include "support/cupsd.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/spooler.h"

namespace kvtest {

namespace {

using Clock = std::chrono::steady_clock;

std::string FindTool(const std::string& name)
{
    if (name.find('/') != std::string::npos) return name;
    for (const char* dir : {"/usr/sbin", "/usr/bin", "/sbin", "/bin"}) {
        const std::string path = std::string(dir) + "/" + name;
        if (access(path.c_str(), X_OK) == 0) return path;
    }
    return name;
}

bool Answers(const std::string& socketPath)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof addr.sun_path) {
        close(fd);
        return false;
    }
    std::copy(socketPath.begin(), socketPath.end(), addr.sun_path);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    return ok;
}

}  // namespace

PrivateCupsd::PrivateCupsd()
{
    m_socket = m_dir.file("cups.sock");
    if (!WriteConfig()) return;

    const std::string cupsd = FindTool("cupsd");
    const std::string conf = m_dir.file("cupsd.conf");
    const std::string files = m_dir.file("cups-files.conf");
    const std::string out = m_dir.file("log/cupsd.out");
    m_pid = fork();
    if (m_pid < 0) {
        m_error = "fork failed";
        return;
    }
    if (m_pid == 0) {
        const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
        }
        execl(cupsd.c_str(), cupsd.c_str(), "-f", "-c", conf.c_str(), "-s", files.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }

    const auto deadline = Clock::now() + std::chrono::seconds(15);
    while (!Answers(m_socket)) {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            m_error = "cupsd ended at start:\n" + LogTail();
            return;
        }
        if (Clock::now() > deadline) {
            m_error = "cupsd did not answer within 15 s:\n" + LogTail();
            Stop();
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    if (const char* previous = std::getenv("CUPS_SERVER")) {
        m_hadPreviousServer = true;
        m_previousServer = previous;
    }
    setenv("CUPS_SERVER", m_socket.c_str(), 1);
    UseCupsServer(m_socket);
}

PrivateCupsd::~PrivateCupsd() { Stop(); }

bool PrivateCupsd::WriteConfig()
{
    const std::string d = m_dir.path();
    // The scheduler's helpers run as an unprivileged user; they must reach the folder.
    chmod(d.c_str(), 0755);
    for (const char* sub : {"spool", "spool/tmp", "cache", "state", "log", "ppd", "ssl"})
        mkdir(m_dir.file(sub).c_str(), 0755);

    std::string user, group;
    if (geteuid() == 0) {
        // cupsd refuses to run its helpers as root.
        user = "lp";
        group = "lp";
        const passwd* pw = getpwnam("lp");
        const struct group* gr = getgrnam("lp");
        if (!pw || !gr) {
            m_error = "no user and group \"lp\" for the scheduler's helpers";
            return false;
        }
        for (const char* sub : {"spool", "spool/tmp", "cache", "state", "log"})
            if (chown(m_dir.file(sub).c_str(), pw->pw_uid, gr->gr_gid) != 0) {
                m_error = std::string("cannot hand the scheduler's folders to lp: ") + std::strerror(errno);
                return false;
            }
    } else {
        const passwd* pw = getpwuid(geteuid());
        const struct group* gr = getgrgid(getegid());
        user = pw ? pw->pw_name : "nobody";
        group = gr ? gr->gr_name : "nogroup";
    }

    std::ofstream files(m_dir.file("cups-files.conf"));
    files << "ServerRoot " << d << "\n"
          << "RequestRoot " << d << "/spool\n"
          << "TempDir " << d << "/spool/tmp\n"
          << "CacheDir " << d << "/cache\n"
          << "StateDir " << d << "/state\n"
          << "ServerKeychain " << d << "/ssl\n"
          << "Printcap " << d << "/printcap\n"
          << "AccessLog " << d << "/log/access_log\n"
          << "ErrorLog " << d << "/log/error_log\n"
          << "PageLog " << d << "/log/page_log\n"
          << "DataDir /usr/share/cups\n"
          << "ServerBin /usr/lib/cups\n"
          << "User " << user << "\n"
          << "Group " << group << "\n";
    std::ofstream conf(m_dir.file("cupsd.conf"));
    conf << "Listen " << m_socket << "\n"
         << "LogLevel warn\n"
         << "WebInterface No\n"
         << "Browsing Off\n"
         << "BrowseLocalProtocols none\n"
         << "DefaultAuthType None\n"
         << "JobRetryInterval 1\n"
         << "<Location />\n  Allow all\n</Location>\n"
         << "<Location /admin>\n  Allow all\n</Location>\n"
         << "<Policy default>\n"
         << "  JobPrivateAccess default\n  JobPrivateValues default\n"
         << "  SubscriptionPrivateAccess default\n  SubscriptionPrivateValues default\n"
         << "  <Limit All>\n    Allow all\n  </Limit>\n"
         << "</Policy>\n";
    if (!files || !conf) {
        m_error = "cannot write the scheduler's configuration";
        return false;
    }
    return true;
}

std::string PrivateCupsd::LogTail() const
{
    std::string text = ReadFileText(m_dir.file("log/cupsd.out")) + ReadFileText(m_dir.file("log/error_log"));
    if (text.size() > 4000) text = text.substr(text.size() - 4000);
    return text;
}

void PrivateCupsd::Stop()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        int status = 0;
        while (waitpid(m_pid, &status, WNOHANG) == 0) {
            if (Clock::now() > deadline) {
                kill(m_pid, SIGKILL);
                waitpid(m_pid, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        m_pid = -1;
    }
    if (!m_socket.empty() && std::getenv("CUPS_SERVER") && m_socket == std::getenv("CUPS_SERVER")) {
        if (m_hadPreviousServer)
            setenv("CUPS_SERVER", m_previousServer.c_str(), 1);
        else
            unsetenv("CUPS_SERVER");
        UseCupsServer(m_hadPreviousServer ? m_previousServer : std::string());
    }
}

RunResult PrivateCupsd::Tool(const std::vector<std::string>& argv, int timeoutMs) const
{
    RunResult r;
    if (argv.empty()) return r;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("CUPS_SERVER", QString::fromStdString(m_socket));
    p.setProcessEnvironment(env);
    QStringList args;
    for (size_t i = 1; i < argv.size(); ++i) args << QString::fromStdString(argv[i]);
    p.start(QString::fromStdString(FindTool(argv[0])), args);
    if (!p.waitForStarted(10000)) {
        r.err = "cannot start " + argv[0];
        m_lastOutput = r.err;
        return r;
    }
    p.closeWriteChannel();
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(5000);
        r.err = argv[0] + " did not end in time";
        m_lastOutput = r.err;
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    m_lastOutput = r.out + r.err;
    return r;
}

bool PrivateCupsd::Lpadmin(const std::vector<std::string>& args)
{
    std::vector<std::string> argv = {"lpadmin"};
    argv.insert(argv.end(), args.begin(), args.end());
    return Tool(argv).status == 0;
}

bool PrivateCupsd::AddQueue(const std::string& name, const std::string& deviceUri, const std::string& model,
                            const std::vector<std::string>& options)
{
    std::vector<std::string> args = {"-p", name, "-E", "-v", deviceUri, "-m", model};
    for (const std::string& o : options) {
        args.push_back("-o");
        args.push_back(o);
    }
    return Lpadmin(args);
}

bool PrivateCupsd::SetDefault(const std::string& name) { return Lpadmin({"-d", name}); }

bool PrivateCupsd::SetOptions(const std::string& name, const std::vector<std::string>& options)
{
    std::vector<std::string> args = {"-p", name};
    for (const std::string& o : options) {
        args.push_back("-o");
        args.push_back(o);
    }
    return Lpadmin(args);
}

bool PrivateCupsd::RemoveQueue(const std::string& name) { return Lpadmin({"-x", name}); }

}  // namespace kvtest
