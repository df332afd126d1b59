#pragma once
// Shared helpers of the test programs.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/message.h"

namespace kvtest {

// A fresh folder under the system's temporary folder, removed at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Collects every message shown while it lives and answers with the queued
// answers (then with the safe default answer).
class CaptureMessages : public IMessageSink {
public:
    CaptureMessages();
    ~CaptureMessages() override;
    int Show(const std::string& text, unsigned style, const std::string& caption) override;

    struct Message {
        std::string text;
        unsigned style;
        std::string caption;
    };
    std::vector<Message> messages;
    std::vector<int> answers;

private:
    IMessageSink* m_previous;
};

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::string ReadFileText(const std::string& path);

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};
// Runs the built korvane program with the arguments as bytes (no shell), with the
// tests' settings file and the offscreen GUI layer. env sets variables for
// the program; an empty value removes the variable.
RunResult RunKorvane(const std::vector<std::string>& args,
                     const std::vector<std::pair<std::string, std::string>>& env = {});
// The same where no file the program writes may grow past maxFileBytes, as
// on a full file system.
RunResult RunKorvaneWithFileLimit(const std::vector<std::string>& args, long long maxFileBytes);

// Path of a file below the source tree (e.g. "examples/sheet.kvd").
std::string SourcePath(const std::string& relative);

}  // namespace kvtest
