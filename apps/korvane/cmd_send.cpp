// korvane send FILE --printer NAME [--title TEXT] [--timeout SECONDS]
// korvane send FILE --to-file [--output PATH]
// Sends a file of printer-language bytes unchanged: to a CUPS queue as one
// raw job (waiting until CUPS reports it completed), through the port of a
// printer kept in the settings, or to the print file. Status 0 only when
// every byte left.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <unistd.h>

#include "cli.h"
#include "drivers/own_printers.h"
#include "drivers/printer_list.h"
#include "platform/codepage.h"
#include "platform/fileio.h"
#include "platform/spooler.h"
#include "platform/strutil.h"
#include "print/port_channel.h"
#include "print/print_port.h"

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) { g_interrupted = 1; }

// Percent on the terminal, nothing when stderr is not one.
class TerminalProgress : public IPortProgress {
public:
    explicit TerminalProgress(std::string target) : m_target(std::move(target)), m_shown(isatty(STDERR_FILENO)) {}
    ~TerminalProgress() override
    {
        if (m_shown && m_last >= 0) std::fprintf(stderr, "\n");
    }
    void OnProgress(int percent) override
    {
        if (!m_shown || percent == m_last) return;
        m_last = percent;
        std::fprintf(stderr, "\rsending to %s: %d %%", m_target.c_str(), percent);
        std::fflush(stderr);
    }
    bool IsCancelled() override { return g_interrupted != 0; }

private:
    std::string m_target;
    bool m_shown;
    int m_last = -1;
};

// The command line gives the print file's name; there is nobody to ask.
class NoFileDialog : public IPrintFileDialog {
public:
    bool AskOutputFile(const std::string&, const std::string&, const std::string&, std::string&) override
    {
        return false;
    }
};

int SendToSpooler(const CPrinterEntry& printer, const std::vector<std::uint8_t>& bytes, const std::string& title,
                  int timeoutMs, TerminalProgress& progress)
{
    CPrintPort port(printer.m_strName, title);
    if (timeoutMs > 0) port.SetTimeLimit(timeoutMs);
    port.SetCancelTest([&progress] { return progress.IsCancelled(); });
    if (port.Open() != CPrintPort::OPEN_OK)
        return CliFail(std::string(kPrinterFailedMessage) + " " + AnsiToUtf8(port.LastError()));
    for (size_t sent = 0; sent < bytes.size();) {
        if (progress.IsCancelled()) return CliFail("cancelled; the job is taken back");
        const size_t n = std::min(CPortChannel::kBlockSize, bytes.size() - sent);
        progress.OnProgress(int(((unsigned long long)(sent + n) * 100 + bytes.size() / 2) / bytes.size()));
        if (!port.Write(bytes.data() + sent, n)) return CliFail(AnsiToUtf8(port.LastError()));
        sent += n;
    }
    if (!port.Close()) return CliFail(AnsiToUtf8(port.LastError()));
    return 0;
}

int SendToFile(const std::string& output, const std::vector<std::uint8_t>& bytes)
{
    NoFileDialog dialog;
    IPrintFileDialog* previous = SetPrintFileDialog(&dialog);
    CPrintPort port;
    port.SetOutputFile(output);
    const int opened = port.Open();
    SetPrintFileDialog(previous);
    if (opened == CPrintPort::OPEN_CANCELLED)
        return CliFail("send: printing to a file asks for its name (SetOutFileOnPrint); give it with --output", 2);
    if (opened != CPrintPort::OPEN_OK)
        return CliFail(std::string(kPrinterFailedMessage) + " " + AnsiToUtf8(port.LastError()));
    if (!port.Write(bytes.data(), bytes.size()) || !port.Close()) return CliFail(AnsiToUtf8(port.LastError()));
    std::printf("%s\n", port.OutputFile().c_str());
    return 0;
}

int RunSend(const CliArgs& args)
{
    CliOptions opt(args, {"--printer", "--title", "--timeout", "--output"}, {"--to-file"});
    if (!opt.ok()) return CliFail("send: " + opt.error(), 2);
    const char* usage =
        "usage: korvane send FILE --printer NAME [--title TEXT] [--timeout SECONDS] | korvane send FILE --to-file "
        "[--output PATH]";
    if (opt.Positional().size() != 1) return CliFail(usage, 2);
    const bool toFile = opt.Has("--to-file") || opt.Has("--output");
    if (toFile == opt.Has("--printer")) return CliFail(usage, 2);
    int timeoutMs = 0;
    if (opt.Has("--timeout")) {
        const double seconds = AtoF(opt.Get("--timeout"));
        if (!(seconds > 0) || seconds > 86400)
            return CliFail("send: --timeout needs a number of seconds, not \"" + opt.Get("--timeout") + "\"", 2);
        timeoutMs = int(seconds * 1000 + 0.5);
    }

    const std::string file = opt.Positional()[0];
    std::vector<std::uint8_t> bytes;
    std::string reason;
    if (!ReadFileToBytes(file, bytes, &reason)) return CliFail("send: cannot read " + file + ": " + reason, 2);
    if (toFile) return SendToFile(opt.Get("--output"), bytes);

    const std::string name = Utf8ToAnsi(opt.Get("--printer"));
    CPrinterList& list = CPrinterList::Instance();
    list.Build(GetSpooler(), ReadOwnPrinters());
    const CPrinterEntry* printer = list.FindPrinter(name);
    if (!printer || list.RunsWithoutPrinter())
        return CliFail("send: no printer named \"" + opt.Get("--printer") + "\" (korvane printers lists them)", 2);

    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    TerminalProgress progress(opt.Get("--printer"));
    if (!printer->m_bOwnPort) {
        std::string title = opt.Get("--title");
        if (!opt.Has("--title")) {
            const size_t slash = file.find_last_of('/');
            title = slash == std::string::npos ? file : file.substr(slash + 1);
        }
        return SendToSpooler(*printer, bytes, Utf8ToAnsi(title), timeoutMs, progress);
    }

    PortAddress port;
    std::string error;
    if (!ParsePortAddress(printer->m_strPort, port, &error))
        return CliFail("send: the port of \"" + opt.Get("--printer") + "\" in the settings is bad: " + error);
    CPortChannel channel;
    channel.SetPrinterName(printer->m_strName);
    channel.SetProgress(&progress);
    if (timeoutMs > 0) channel.SetTimeLimit(timeoutMs);
    const int rc = channel.Send(bytes, port);
    if (rc == 0) return 0;
    if (rc == 1223) return CliFail("send: cancelled");
    return CliFail(ReplaceAll(AnsiToUtf8(channel.Message()), "\n", " ") + StrFormat(" (error %d)", rc));
}

}  // namespace

KV_CLI_COMMAND("send",
               "send FILE --printer NAME [--title TEXT] [--timeout SECONDS]   printer-language bytes, unchanged\n"
               "  send FILE --to-file [--output PATH]                          to the print file",
               RunSend)
