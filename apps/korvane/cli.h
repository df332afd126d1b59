#pragma once
// Command dispatch of the command-line printer. Every command is a cmd_*.cpp
// of this folder that registers itself with KV_CLI_COMMAND.
#include <string>
#include <vector>

using CliArgs = std::vector<std::string>;

struct CliCommand {
    const char* name;
    const char* usage;
    int (*run)(const CliArgs& args);  // args after the command name
};

void RegisterCliCommand(const CliCommand& cmd);

// Exit statuses: 0 done, 1 failed, 2 a bad command line (or label data
// refused: label_data.h).
inline constexpr int kUsageStatus = 2;

// Prints "korvane: " + message (UTF-8) to stderr and returns status.
int CliFail(const std::string& message, int status = 1);
// A bad command line: the message, then the first line of the running
// command's usage; returns kUsageStatus.
int CliUsage(const std::string& message);

// Small option reader: options may come before or after positional
// arguments; a value follows its option ("-o F", "--dpi 300"), is attached
// ("-oF", "--dpi=300"), and is given once; "--" ends the options.
class CliOptions {
public:
    // valueOptions: options that take a value ("-o", "--dpi"); flags: options that do not.
    CliOptions(const CliArgs& args, const std::vector<std::string>& valueOptions,
               const std::vector<std::string>& flags);
    bool ok() const { return m_error.empty(); }
    const std::string& error() const { return m_error; }
    bool Has(const std::string& name) const;
    std::string Get(const std::string& name, const std::string& def = std::string()) const;
    // Parses an integer value; sets the error on a malformed one.
    int GetInt(const std::string& name, int def);
    const std::vector<std::string>& Positional() const { return m_positional; }

private:
    std::vector<std::pair<std::string, std::string>> m_values;
    std::vector<std::string> m_positional;
    std::string m_error;
};

#define KV_CLI_CONCAT2(a, b) a##b
#define KV_CLI_CONCAT(a, b) KV_CLI_CONCAT2(a, b)
#define KV_CLI_COMMAND(name, usage, fn)                                                       \
    namespace {                                                                               \
    const bool KV_CLI_CONCAT(kv_cli_reg_, __LINE__) = (RegisterCliCommand({name, usage, fn}), true); \
    }
