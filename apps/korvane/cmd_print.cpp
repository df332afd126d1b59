// korvane print FILE [--printer NAME | --language CODE|NAME [--dpi N]]
//   [--output FILE] [--pdf FILE] [--png PATTERN] [--quantity N] [--copies N]
//   [--repeat N] [--start-label N] [--start-record N] [--data FILE [--table NAME]]
//   [--now "YYYY-MM-DD HH:MM:SS"] [--timeout SECONDS] [--scripts] [--yes] [--quiet]
// The main job: prints a label document. Status 0 only when every page and
// byte reached its target; 2 for a bad command line or document (and for a
// printer language that has no driver yet: nothing is sent); 1 for a print
// failure, with the printer's message. Progress goes to standard error when
// it is a terminal, one summary line at the end. The document is written
// (atomically) only when a successful run changed what it keeps: serial
// numbers stepped on, the printed-labels counter, the tracked start label,
// the page number start.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

#include "cli.h"
#include "label_data.h"
#include "drivers/own_printers.h"
#include "drivers/printer_languages.h"
#include "drivers/printer_list.h"
#include "model/document.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/fileio.h"
#include "platform/message.h"
#include "platform/spooler.h"
#include "platform/strutil.h"
#include "print/page_targets.h"
#include "print/print_options.h"
#include "print/print_run.h"
#include "print/printdriver.h"
#include "data/variable.h"

namespace {

constexpr int kBad = 2;      // a bad command line or document
constexpr int kFailed = 1;   // the printer, port or file failed
constexpr int kMinDpi = 72;  // the resolutions own printers take
constexpr int kMaxDpi = 2400;

constexpr char kPrintUsage[] =
    "print FILE [--printer NAME | --language CODE|NAME [--dpi N]] [--output FILE] [--pdf FILE] [--png PATTERN]\n"
    "        [--quantity N] [--copies N] [--repeat N] [--start-label N] [--start-record N]\n"
    "        [--data FILE [--table NAME]] [--now \"YYYY-MM-DD HH:MM:SS\"] [--timeout SECONDS] [--scripts]\n"
    "        [--yes] [--quiet]";

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) { g_interrupted = 1; }

int Bad(const std::string& message) { return CliFail("print: " + message, kBad); }

// Labels done of the total and labels per second on the terminal, at most
// ten times a second; nothing when standard error is not a terminal.
class ProgressLine : public IPrintProgress {
public:
    explicit ProgressLine(bool quiet) : m_shown(!quiet && isatty(STDERR_FILENO)) {}
    void OnProgress(int done, int total, int) override
    {
        if (!m_shown) return;
        const auto now = Clock::now();
        if (m_drawn && done < total && now - m_last < std::chrono::milliseconds(100)) return;
        m_last = now;
        const double seconds = std::chrono::duration<double>(now - m_start).count();
        std::fprintf(stderr, "\rprinting: %d of %d labels, %.0f labels/s   ", done, total,
                     seconds > 0 ? done / seconds : 0.0);
        std::fflush(stderr);
        m_drawn = true;
    }
    bool IsCancelled() override { return g_interrupted != 0; }
    // Ends the progress line before the summary.
    void Finish()
    {
        if (m_drawn) std::fprintf(stderr, "\n");
        m_drawn = false;
    }

private:
    using Clock = std::chrono::steady_clock;
    bool m_shown;
    bool m_drawn = false;
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_last;
};

// Keeps the messages shown while it lives, to be told only when wanted.
class HeldMessages : public IMessageSink {
public:
    explicit HeldMessages(bool answerYes) : m_yes(answerYes), m_previous(SetMessageSink(this)) {}
    ~HeldMessages() override { SetMessageSink(m_previous); }
    int Show(const std::string& text, unsigned style, const std::string&) override
    {
        texts.push_back(ReplaceAll(ReplaceAll(AnsiToUtf8(text), "\r", ""), "\n", " "));
        const unsigned buttons = style & MSG_BUTTONMASK;
        return m_yes && (buttons == MSG_YESNO || buttons == MSG_YESNOCANCEL) ? ID_YES : DefaultAnswer(style);
    }
    std::vector<std::string> texts;

private:
    bool m_yes;
    IMessageSink* m_previous;
};

// A positive integer option within [low, high]; false with the message.
bool ReadCount(CliOptions& opt, const char* name, int low, int high, int& value, std::string& error)
{
    if (!opt.Has(name)) return true;
    value = opt.GetInt(name, 0);
    if (!opt.ok()) {
        error = opt.error();
        return false;
    }
    if (value < low || value > high) {
        error = StrFormat("%s must be between %d and %d", name, low, high);
        return false;
    }
    return true;
}

std::string Plural(long long n, const char* one, const char* many)
{
    return StrFormat("%lld %s", n, n == 1 ? one : many);
}

int RunPrintCommand(const CliArgs& args)
{
    CliOptions opt(args,
                   {"--printer", "--language", "--dpi", "--output", "--pdf", "--png", "--quantity", "--copies",
                    "--repeat", "--start-label", "--start-record", "--now", "--data", "--table", "--timeout"},
                   {"--yes", "--quiet", "--scripts"});
    if (!opt.ok()) return Bad(opt.error());
    if (opt.Positional().size() != 1) return CliFail(std::string("usage: korvane ") + kPrintUsage, kBad);
    const std::string path = opt.Positional()[0];

    // ---- the command line ----
    if (opt.Has("--printer") && opt.Has("--language")) return Bad("--printer and --language exclude each other");
    if (opt.Has("--dpi") && !opt.Has("--language")) return Bad("--dpi goes with --language");
    if (opt.Has("--table") && !opt.Has("--data")) return Bad("--table goes with --data");
    std::string error;
    int quantity = 0, copies = 0, repeat = 1, startLabel = 0, startRecord = 0, dpi = 203;
    if (!ReadCount(opt, "--quantity", 1, 10000000, quantity, error) ||
        !ReadCount(opt, "--copies", 1, 100000, copies, error) || !ReadCount(opt, "--repeat", 1, 10000, repeat, error) ||
        !ReadCount(opt, "--start-label", 1, 1000000, startLabel, error) ||
        !ReadCount(opt, "--start-record", 1, 2000000000, startRecord, error) ||
        !ReadCount(opt, "--dpi", kMinDpi, kMaxDpi, dpi, error))
        return Bad(error);
    int timeoutMs = 0;
    if (opt.Has("--timeout")) {
        const double seconds = AtoF(opt.Get("--timeout"));
        if (!(seconds > 0) || seconds > 86400) return Bad("--timeout needs a number of seconds, not \"" + opt.Get("--timeout") + "\"");
        timeoutMs = int(seconds * 1000 + 0.5);
    }
    int language = -1;
    if (opt.Has("--language")) {
        language = ParsePrinterLanguage(opt.Get("--language"));
        const PrinterLanguageRow* row = FindPrinterLanguage(language);
        if (language < 0 || !row || !row->commands)
            return Bad("unknown printer language \"" + opt.Get("--language") +
                       "\" (zpl, epl, dpl, tspl, tpcl, ipl, sbpl, ezpl or a language code)");
    }
    if (opt.Has("--png") && !CPngPageTarget::CheckPattern(opt.Get("--png"), &error)) return Bad(error);
    for (const char* name : {"--output", "--pdf", "--png"})
        if (opt.Has(name) && opt.Get(name).empty()) return Bad(std::string(name) + " needs a file name");
    std::string printerName;
    if (opt.Has("--printer") && !LabelTextFromArgument("--printer", opt.Get("--printer"), printerName, error))
        return Bad(error);
    if (opt.Has("--now")) {
        const auto now = ParseLocalTime(opt.Get("--now"));
        if (!now) return Bad("--now needs a time as \"YYYY-MM-DD HH:MM:SS\", not \"" + opt.Get("--now") + "\"");
        SetClockOverride(&*now);
    }
    const bool toFiles = opt.Has("--pdf") || opt.Has("--png");
    if (toFiles && opt.Has("--output")) return Bad("--output goes to the printer's port; --pdf and --png print files themselves");

    // ---- the document and its printer ----
    std::vector<std::uint8_t> original;
    if (!ReadFileToBytes(path, original, &error)) return Bad("cannot read " + path + ": " + error);
    // Messages of the catalogue and of the document's opening are told only
    // when a printer is to be used; files print without one.
    auto held = std::make_unique<HeldMessages>(opt.Has("--yes"));
    CPrinterList& printers = CPrinterList::Instance();
    printers.Build(GetSpooler(), ReadOwnPrinters());
    CKVDoc doc;
    if (!doc.OpenDocument(path, &error, false)) return Bad(ReplaceAll(AnsiToUtf8(error), "\n", " "));
    if (!opt.Has("--printer") && !opt.Has("--language") && !toFiles)
        for (const std::string& t : held->texts) std::fprintf(stderr, "korvane: %s\n", t.c_str());
    held.reset();

    if (opt.Has("--printer")) {
        const CPrinterEntry* entry = printers.FindPrinter(printerName);
        if (!entry || printers.RunsWithoutPrinter())
            return Bad("no printer named \"" + opt.Get("--printer") + "\" (korvane printers lists them)");
        doc.ApplyPrinterEntry(*entry);
    } else if (language >= 0) {
        // A printer of that language and resolution for this run only,
        // writing to the print file; the settings are not touched.
        CPrinterEntry entry;
        entry.m_strName = StrFormat("%s at %d dpi (this run)", PrinterLanguageName(language).c_str(), dpi);
        entry.m_nLanguage = language;
        entry.m_nHDpi = entry.m_nVDpi = dpi;
        entry.m_bOwnPort = true;
        printers.Entries().push_back(entry);
        doc.m_format.SetProperty(LFP_WINDOWS_DRIVER, "");
        doc.ApplyPrinterEntry(printers.Entries().back());
    }
    const CPrinterEntry* printer = printers.FindPrinter(doc.m_format.m_strPrinter);
    const bool graphics = toFiles || doc.m_format.IsWindowsDriverMode();
    if (!toFiles && !opt.Has("--output") && language < 0 && (!printer || printers.RunsWithoutPrinter()))
        return Bad("no printer to print to: the label's printer \"" + AnsiToUtf8(doc.m_format.m_strPrinter) +
                   "\" is not installed (give --printer, --pdf or --png)");
    if (graphics && !toFiles && !opt.Has("--output") && printer && printer->m_bOwnPort)
        return Bad("\"" + AnsiToUtf8(printer->m_strName) +
                   "\" is a printer of the program's own port; it prints its command language, not graphics");

    // ---- the data ----
    CKVDoc::DataSourceOverride before;
    if (opt.Has("--data")) {
        if (!doc.ReplaceDataSourceForRun(opt.Get("--data"), opt.Get("--table"), &before, &error)) return Bad(error);
    } else if (!doc.OpenDataSourceQuietly(FALSE, &error) && doc.GetRecordCount() == -2) {
        return Bad(error);
    }
    if (doc.GetRecordCount() == -1) {
        for (const CVariable* v : doc.m_variables)
            if (v->m_nKind == VK_DATABASE)
                return Bad(StrFormat("%s: the label uses the field \"%s\" but has no data source", path.c_str(),
                                     AnsiToUtf8(v->FieldName()).c_str()));
    }
    const std::vector<std::string> missing = doc.MissingDataFields();
    if (!missing.empty()) return Bad(path + ": " + JoinStrings(missing, "; "));
    // As the print dialog has it: "Auto Set Database Record Quantity" makes
    // the quantity the source's record count.
    if (quantity == 0 && doc.GetRecordCount() > 0 && CCopyField::Parse(doc.m_format.GetProperty(LFP_COPY_FIELD)).autoQuantity)
        quantity = doc.GetRecordCount();
    if (startRecord > 0 && doc.GetRecordCount() >= 0 && startRecord > doc.GetRecordCount())
        return Bad(StrFormat("--start-record %d is beyond the %d records of the data", startRecord, doc.GetRecordCount()));
    const int slots = std::max(1, doc.m_format.m_nRows * doc.m_format.m_nColumns);
    if (startLabel > slots) return Bad(StrFormat("--start-label %d is beyond the %d labels of a page", startLabel, slots));

    // ---- the run ----
    CPrintRequest request;
    request.printer = doc.m_format.m_strPrinter;
    request.toFile = opt.Has("--output") || language >= 0;
    request.outputFile = opt.Get("--output");
    request.pdfPath = opt.Get("--pdf");
    request.pngPattern = opt.Get("--png");
    request.quantity = quantity;
    request.copies = copies;
    request.repeat = repeat;
    if (startLabel > 0)
        request.startLabel = startLabel - 1;
    else if (AutoTrackStartLabel(doc.m_format) && TrackedStartLabel(doc.m_format) >= 0)
        request.startLabel = TrackedStartLabel(doc.m_format);
    request.startRecord = startRecord;
    request.answerYes = opt.Has("--yes");
    request.forceScripts = opt.Has("--scripts");
    request.timeLimitMs = timeoutMs;

    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    ProgressLine progress(opt.Has("--quiet"));
    HeldMessages questions(opt.Has("--yes"));
    const CPrintOutcome outcome = RunPrint(doc, request, &progress);
    progress.Finish();
    const std::string told = JoinStrings(questions.texts, " ");

    switch (outcome.status) {
    case CPrintOutcome::Unsupported: return Bad(outcome.error + "; nothing was sent (--pdf and --png print it as graphics)");
    case CPrintOutcome::Stopped:
        return Bad((told.empty() ? std::string("printing stopped") : told) +
                   (opt.Has("--yes") ? "" : " (--yes answers Yes)") + "; nothing was printed");
    case CPrintOutcome::Cancelled:
        // What a port received before the cancel stays there: say how much.
        if (!outcome.graphics && outcome.bytes > 0)
            return CliFail(StrFormat("print: cancelled after %llu bytes to %s; nothing was counted or advanced",
                                     (unsigned long long)outcome.bytes, AnsiToUtf8(outcome.where).c_str()),
                           kFailed);
        return CliFail("print: cancelled; nothing was counted or advanced", kFailed);
    case CPrintOutcome::Failed:
        return CliFail("print: " + ReplaceAll(AnsiToUtf8(outcome.error), "\n", " ") +
                           (told.empty() ? "" : " (" + told + ")") + "; nothing was counted or advanced",
                       kFailed);
    case CPrintOutcome::Nothing:
        std::fprintf(stderr, "korvane: nothing to print: the job has no labels\n");
        return 0;
    case CPrintOutcome::Printed: break;
    }

    if (opt.Has("--data")) doc.RestoreDataSource(before);
    if (outcome.ChangesDocument() && !SaveRunChanges(path, original, outcome, !opt.Has("--data"), &error))
        return CliFail("print: the labels were printed, but " + error, kFailed);

    std::string summary = Plural(outcome.labels, "label", "labels");
    if (outcome.graphics)
        summary += " on " + Plural(outcome.pages, "page", "pages");
    else
        summary += ", " + Plural((long long)outcome.bytes, "byte", "bytes");
    const std::string where = AnsiToUtf8(outcome.where);
    summary += " to " + (where.empty() ? std::string("the printer") : where);
    std::fprintf(stderr, "korvane: printed %s\n", summary.c_str());
    return 0;
}

}  // namespace

KV_CLI_COMMAND("print", kPrintUsage, RunPrintCommand)
