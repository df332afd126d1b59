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
#include "platform/settings_store.h"
#include "platform/strutil.h"

namespace {
std::map<std::string, CliCommand>& Commands()
{
    static std::map<std::string, CliCommand> commands;
    return commands;
}

const CliCommand* g_current = nullptr;

void PrintUsage(FILE* out)
{
    std::fprintf(out, "usage: korvane COMMAND [ARGS]    (korvane help COMMAND, korvane COMMAND --help)\n"
                      "       korvane --version\n\ncommands:\n");
    for (const auto& [name, cmd] : Commands()) std::fprintf(out, "  %s\n", cmd.usage);
    std::fprintf(out,
                 "\nkorvane barcode --list names the symbologies.\n"
                 "Options take their value as -o FILE, -oFILE, --opt VALUE or --opt=VALUE, each once; --\n"
                 "ends the options. Exit status: 0 done, 1 failed, 2 a bad command line or data refused.\n"
                 "Settings: %s\n"
                 "  ($XDG_CONFIG_HOME or ~/.config; KORVANE_SETTINGS=FILE names another file)\n",
                 CSettingsStore::Instance().FileName().c_str());
}

int CommandHelp(const std::string& name)
{
    const auto it = Commands().find(name);
    if (it == Commands().end()) {
        std::fprintf(stderr, "korvane: unknown command \"%s\" (korvane help lists them)\n", name.c_str());
        return kUsageStatus;
    }
    std::printf("usage: korvane %s\n", it->second.usage);
    return 0;
}
}  // namespace

void RegisterCliCommand(const CliCommand& cmd) { Commands()[cmd.name] = cmd; }

int CliUsage(const std::string& message)
{
    std::fprintf(stderr, "korvane: %s\n", message.c_str());
    if (g_current) {
        const std::string usage = g_current->usage;
        std::fprintf(stderr, "usage: korvane %s\n", usage.substr(0, usage.find('\n')).c_str());
    }
    return kUsageStatus;
}

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
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!optionsEnded && a == "--") {
            optionsEnded = true;  // what follows is positional, whatever it looks like
            continue;
        }
        if (optionsEnded || a.size() < 2 || a[0] != '-' || (a[1] >= '0' && a[1] <= '9')) {
            m_positional.push_back(a);
            continue;
        }
        std::string name = a, value;
        bool inlineValue = false;
        if (StartsWith(a, "--")) {
            const size_t eq = a.find('=');
            if (eq != std::string::npos) {
                name = a.substr(0, eq);
                value = a.substr(eq + 1);
                inlineValue = true;
            }
        } else if (a.size() > 2 && isIn(valueOptions, a.substr(0, 2))) {
            name = a.substr(0, 2);  // -oFILE
            value = a.substr(2);
            inlineValue = true;
        }
        if (isIn(valueOptions, name)) {
            if (!inlineValue) {
                if (i + 1 >= args.size()) {
                    m_error = "option " + name + " needs a value";
                    return;
                }
                value = args[++i];
            }
            if (Has(name)) {
                m_error = "option " + name + " is given twice";
                return;
            }
            m_values.emplace_back(name, value);
        } else if (isIn(flags, name) && !inlineValue) {
            m_values.emplace_back(name, "");
        } else {
            m_error = "unknown option " + a;
            return;
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
    for (const auto& v : m_values)
        if (v.first == name) return v.second;  // a value option is given once
    return def;
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

    const std::vector<std::string> all(argv + 1, argv + argc);
    if (all.empty()) {
        std::fprintf(stderr, "usage: korvane COMMAND [ARGS]    (korvane help lists the commands)\n");
        return kUsageStatus;
    }
    if (all[0] == "--version") {
        std::printf("korvane %s\n", KV_VERSION);
        return 0;
    }
    if (all[0] == "--help" || all[0] == "-h" || all[0] == "help") {
        if (all.size() > 2 || (all.size() == 2 && all[0] != "help")) {
            std::fprintf(stderr, "korvane: usage: korvane help [COMMAND]\n");
            return kUsageStatus;
        }
        if (all.size() == 2) return CommandHelp(all[1]);
        PrintUsage(stdout);
        return 0;
    }
    const auto it = Commands().find(all[0]);
    if (it == Commands().end()) {
        std::fprintf(stderr, "korvane: unknown command \"%s\" (korvane help lists them)\n", all[0].c_str());
        return kUsageStatus;
    }
    CliArgs args(all.begin() + 1, all.end());
    // COMMAND --help (before any "--") is the command's help.
    for (const std::string& a : args) {
        if (a == "--") break;
        if (a == "--help" || a == "-h") return CommandHelp(all[0]);
    }
    g_current = &it->second;
    return it->second.run(args);
}
