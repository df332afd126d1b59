// korvane script FILE.vbs [--call NAME [ARG]] [--now TIME]: runs a label
// script outside a label: its top-level statements, then the function asked
// for, whose result is printed. Status 0 when it ran, 1 on a script error
// (the error on stderr), 2 on a bad command line or an argument text that
// typed label data may not be (label_data.h).
#include <cstdio>
#include <cstdlib>

#include "platform/app_settings.h"
#include "cli.h"
#include "label_data.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/fileio.h"
#include "platform/strutil.h"
#include "vbscript/convert.h"
#include "vbscript/errors.h"
#include "vbscript/vbscript.h"

namespace {

bool IsValidUtf8(const std::string& s)
{
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = (unsigned char)s[i];
        const size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (n == 0 || i + n > s.size() || (n == 2 && c < 0xC2)) return false;
        for (size_t k = 1; k < n; ++k)
            if (((unsigned char)s[i + k] & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

// A script file is UTF-8 when it reads as UTF-8, otherwise text in the
// system's code page; scripts work on the code page's bytes.
std::string ScriptText(const std::vector<std::uint8_t>& bytes)
{
    std::string s(bytes.begin(), bytes.end());
    if (s.size() >= 3 && s.compare(0, 3, "\xEF\xBB\xBF") == 0) s.erase(0, 3);
    return IsValidUtf8(s) ? Utf8ToAnsi(s) : s;
}

// The argument of --call: a whole number is passed as a number, anything
// else as text by the rule of typed label data (label_data.h). False with
// the message when the text is refused.
bool CallArgument(const std::string& text, vbs::Value& value, std::string& error)
{
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (!text.empty() && *end == '\0' && v >= -2147483647L - 1 && v <= 2147483647L) {
        value = vbs::Value::Long(std::int32_t(v));
        return true;
    }
    std::string ansi;
    if (!LabelTextFromArgument("the argument of --call", text, ansi, error)) return false;
    value = vbs::Value::String(ansi);
    return true;
}

int ScriptFailed(const vbs::ScriptError& e)
{
    std::string text = e.line > 0 ? vbs::ErrorLocationText(e) : std::string();
    if (!e.description.empty()) text += (text.empty() ? "" : ": ") + e.description;
    return CliFail(AnsiToUtf8(text), 1);
}

int RunScript(const CliArgs& args)
{
    CliOptions opt(args, {"--call", "--now"}, {});
    if (!opt.ok()) return CliUsage(opt.error());
    const auto& pos = opt.Positional();
    if (pos.empty() || pos.size() > (opt.Has("--call") ? 2u : 1u)) return CliUsage("give one script file, and one argument at most with --call");
    if (opt.Has("--now")) {
        const auto now = ParseLocalTime(opt.Get("--now"));
        if (!now) return CliFail("--now needs a time as \"YYYY-MM-DD HH:MM:SS\", not \"" + opt.Get("--now") + "\"", 2);
        SetClockOverride(&*now);
    }
    // Refused before the script runs a statement.
    std::vector<vbs::Value> callArgs;
    if (pos.size() == 2) {
        std::string refused;
        if (!CallArgument(pos[1], callArgs.emplace_back(), refused)) return CliFail(refused, kRefusedDataStatus);
    }
    std::vector<std::uint8_t> bytes;
    std::string reason;
    if (!ReadFileToBytes(pos[0], bytes, &reason)) return CliFail(StrFormat("cannot open %s: %s", pos[0].c_str(), reason.c_str()), 2);

    vbs::Engine engine;
    engine.SetLimits(ScriptLimitsSetting());
    engine.SetClock([] {
        const CLocalTime t = CurrentLocalTime();
        return vbs::DateTime{t.year, t.month, t.day, t.hour, t.minute, t.second};
    });
    engine.SetWideConversion([](std::string_view s) { return AnsiToUtf16(s); },
                             [](std::u16string_view w) { return Utf16ToAnsi(w); });
    if (!engine.AddCode(ScriptText(bytes))) return ScriptFailed(engine.LastError());
    if (!opt.Has("--call")) return 0;

    vbs::Value result;
    if (!engine.Call(Utf8ToAnsi(opt.Get("--call")), callArgs, &result)) return ScriptFailed(engine.LastError());
    std::string text;
    if (result.IsArray()) {
        text = "(array)";
    } else {
        try {
            text = vbs::ToText(result);
        } catch (const vbs::ScriptException& e) {
            return ScriptFailed(vbs::ScriptError{e.number, e.description, 0, 0});
        }
    }
    text = AnsiToUtf8(text) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

}  // namespace

KV_CLI_COMMAND("script",
               "script FILE.vbs [--call NAME [ARG]] [--now TIME]\n"
               "                           run a label script: its top-level statements, then the function\n"
               "                           NAME (with ARG) whose result is printed",
               RunScript)
