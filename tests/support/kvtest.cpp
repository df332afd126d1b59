#include "support/kvtest.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace kvtest {

TempDir::TempDir()
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "kvtest-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    m_path = tmpl;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

CaptureMessages::CaptureMessages() : m_previous(SetMessageSink(this)) {}

CaptureMessages::~CaptureMessages() { SetMessageSink(m_previous); }

int CaptureMessages::Show(const std::string& text, unsigned style, const std::string& caption)
{
    messages.push_back({text, style, caption});
    if (!answers.empty()) {
        const int a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    return DefaultAnswer(style);
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::string ReadFileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {

// The program runs with the argument and environment bytes exactly as given:
// QProcess takes arguments as text and would hand a byte that is not UTF-8
// on as U+FFFD, so the child starts the program itself.
RunResult Run(const std::vector<std::string>& args, const std::vector<std::pair<std::string, std::string>>& env,
              long long maxFileBytes)
{
    std::vector<std::string> argStore = {KV_KORVANE_EXE};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<std::string> envStore;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const auto& kv : env) replaced = replaced || kv.first == name;
        if (!replaced) envStore.push_back(entry);
    }
    for (const auto& [name, value] : env)
        if (!value.empty()) envStore.push_back(name + "=" + value);
    std::vector<char*> argv, envp;
    for (std::string& a : argStore) argv.push_back(a.data());
    for (std::string& e : envStore) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    QProcess p;
    p.setChildProcessModifier([&argv, &envp, maxFileBytes] {
        if (maxFileBytes >= 0) {
            // A full file system: writes past the limit fail with EFBIG.
            struct sigaction ignore {};
            ignore.sa_handler = SIG_IGN;
            sigaction(SIGXFSZ, &ignore, nullptr);
            const rlimit limit{rlim_t(maxFileBytes), rlim_t(maxFileBytes)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    });
    p.start(QString::fromUtf8(KV_KORVANE_EXE), {});
    RunResult r;
    if (!p.waitForStarted(30000)) return r;
    p.closeWriteChannel();
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished(5000);
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

}  // namespace

RunResult RunKorvane(const std::vector<std::string>& args, const std::vector<std::pair<std::string, std::string>>& env)
{
    return Run(args, env, -1);
}

RunResult RunKorvaneWithFileLimit(const std::vector<std::string>& args, long long maxFileBytes)
{
    return Run(args, {}, maxFileBytes);
}

std::string SourcePath(const std::string& relative) { return std::string(KV_SOURCE_DIR) + "/" + relative; }

}  // namespace kvtest
