// korvane: the command-line printer.
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/app_settings.h"
#include "cli.h"
#include "platform/strutil.h"

namespace {
std::map<std::string, CliCommand>& Commands()
{
    static std::map<std::string, CliCommand> commands;
    return commands;
}

void PrintUsage(FILE* out)
{
    std::fprintf(out, "usage: korvane COMMAND [ARGS]\n\ncommands:\n");
    for (const auto& [name, cmd] : Commands()) std::fprintf(out, "  %s\n", cmd.usage);
}
}  // namespace

void RegisterCliCommand(const CliCommand& cmd) { Commands()[cmd.name] = cmd; }

int CliFail(const std::string& message, int status)
{
    std::fprintf(stderr, "korvane: %s\n", message.c_str());
    return status;
}

CliOptions::CliOptions(const CliArgs& args, const std::vector<std::string>& valueOptions,
                       const std::vector<std::string>& flags)
{
    auto isIn = [](const std::vector<std::string>& v, const std::string& s) {
        for (const auto& x : v)
            if (x == s) return true;
        return false;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9')) {
            std::string name = a, value;
            const size_t eq = a.find('=');
            const bool inlineValue = StartsWith(a, "--") && eq != std::string::npos;
            if (inlineValue) {
                name = a.substr(0, eq);
                value = a.substr(eq + 1);
            }
            if (isIn(valueOptions, name)) {
                if (!inlineValue) {
                    if (i + 1 >= args.size()) {
                        m_error = "option " + name + " needs a value";
                        return;
                    }
                    value = args[++i];
                }
                m_values.emplace_back(name, value);
            } else if (isIn(flags, name) && !inlineValue) {
                m_values.emplace_back(name, "");
            } else {
                m_error = "unknown option " + a;
                return;
            }
        } else {
            m_positional.push_back(a);
        }
    }
}

bool CliOptions::Has(const std::string& name) const
{
    for (const auto& v : m_values)
        if (v.first == name) return true;
    return false;
}

std::string CliOptions::Get(const std::string& name, const std::string& def) const
{
    std::string out = def;
    for (const auto& v : m_values)
        if (v.first == name) out = v.second;  // the last one wins
    return out;
}

int CliOptions::GetInt(const std::string& name, int def)
{
    if (!Has(name)) return def;
    const std::string s = Get(name);
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0' || v < -2147483647L || v > 2147483647L) {
        if (m_error.empty()) m_error = "option " + name + " needs an integer, not \"" + s + "\"";
        return def;
    }
    return int(v);
}

int main(int argc, char** argv)
{
    // Drawing and text measurement need the GUI layer, never a display.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Qt wants a private runtime folder; give it one rather than a warning.
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        const std::string dir = "/tmp/korvane-runtime-" + std::to_string(getuid());
        mkdir(dir.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    QGuiApplication app(argc, argv);
    ApplyCodePageSetting();

    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        PrintUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 1 : 0;
    }
    const auto it = Commands().find(argv[1]);
    if (it == Commands().end()) {
        std::fprintf(stderr, "korvane: unknown command \"%s\"\n", argv[1]);
        PrintUsage(stderr);
        return 1;
    }
    CliArgs args(argv + 2, argv + argc);
    return it->second.run(args);
}
