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

RunResult RunKorvane(const std::vector<std::string>& args, const std::vector<std::pair<std::string, std::string>>& env)
{
    QProcess p;
    if (!env.empty()) {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        for (const auto& [name, value] : env) {
            if (value.empty())
                e.remove(QString::fromStdString(name));
            else
                e.insert(QString::fromStdString(name), QString::fromStdString(value));
        }
        p.setProcessEnvironment(e);
    }
    QStringList list;
    for (const auto& a : args) list << QString::fromStdString(a);
    p.start(QString::fromUtf8(KV_KORVANE_EXE), list);
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

std::string SourcePath(const std::string& relative) { return std::string(KV_SOURCE_DIR) + "/" + relative; }

}  // namespace kvtest
