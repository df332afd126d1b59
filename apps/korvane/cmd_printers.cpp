// korvane printers [--json]: the printer catalogue, CUPS queues and the
// printers kept in the settings.
// korvane printers add NAME --language CODE|NAME --dpi N [--port PORT]
// korvane printers remove NAME
#include <cstdio>

#include "cli.h"
#include "drivers/own_printers.h"
#include "drivers/printer_languages.h"
#include "drivers/printer_list.h"
#include "json.h"
#include "platform/codepage.h"
#include "platform/port_address.h"
#include "platform/spooler.h"
#include "platform/strutil.h"

namespace {

constexpr int kRefused = 2;
constexpr int kMinDpi = 72;
constexpr int kMaxDpi = 2400;

const char kLanguageChoices[] = "zpl, epl, dpl, tspl, tpcl, ipl, sbpl, ezpl or a language code";

void BuildCatalog()
{
    CPrinterList& list = CPrinterList::Instance();
    ISpooler& spooler = GetSpooler();
    list.Build(spooler, ReadOwnPrinters());
    if (!list.SpoolerError().empty())
        std::fprintf(stderr, "korvane: CUPS cannot be asked for its printers: %s\n",
                     AnsiToUtf8(list.SpoolerError()).c_str());
    for (CPrinterEntry& e : list.Entries()) e.BuildPaperList(spooler);
    for (const std::string& name : list.LeftOut())
        std::fprintf(stderr,
                     "korvane: CUPS queue \"%s\" is left out: it reports no resolution or its papers cannot be "
                     "read (korvane printers add \"%s\" --language CODE --dpi N gives it a resolution)\n",
                     AnsiToUtf8(name).c_str(), AnsiToUtf8(name).c_str());
}

std::string LanguageTitle(int code)
{
    const PrinterLanguageRow* row = FindPrinterLanguage(code);
    return row ? row->title : "unknown";
}

void PrintJson(const CPrinterList& list)
{
    const CPrinterEntry& def = list.GetDefaultPrinter();
    JsonWriter j;
    j.BeginArray();
    for (const CPrinterEntry& e : list.Entries()) {
        j.BeginObject();
        j.String("name", e.m_strName);
        j.String("driver", e.m_strDriver);
        j.Int("language", e.m_nLanguage);
        j.String("language_name", PrinterLanguageName(e.m_nLanguage));
        j.BeginArray("dpi");
        j.Int(nullptr, e.m_nHDpi);
        j.Int(nullptr, e.m_nVDpi);
        j.EndArray();
        j.String("brand", e.m_strBrand);
        j.Int("family", e.m_nFamily);
        j.Int("model", e.m_nModel);
        j.BeginArray("speed");
        j.Int(nullptr, e.m_nMinSpeed);
        j.Int(nullptr, e.m_nMaxSpeed);
        j.EndArray();
        j.String("port", e.m_strPort);
        j.Bool("own_port", e.m_bOwnPort);
        j.Bool("default", &e == &def);
        j.BeginArray("papers");
        for (const CPaperEntry& p : e.m_papers) j.String(nullptr, p.m_strName);
        j.EndArray();
        j.EndObject();
    }
    j.EndArray();
    std::printf("%s\n", j.str().c_str());
}

void PrintText(const CPrinterList& list)
{
    const CPrinterEntry& def = list.GetDefaultPrinter();
    for (const CPrinterEntry& e : list.Entries()) {
        std::printf("%s%s\n", QuoteText(e.m_strName).c_str(), &e == &def ? " (default)" : "");
        if (!e.m_bOwnPort) std::printf("  driver:   %s\n", QuoteText(e.m_strDriver).c_str());
        std::printf("  language: %d %s (%s)\n", e.m_nLanguage, PrinterLanguageName(e.m_nLanguage).c_str(),
                    LanguageTitle(e.m_nLanguage).c_str());
        std::printf("  dpi:      %d x %d\n", e.m_nHDpi, e.m_nVDpi);
        std::printf("  brand:    %s, family %d, model %d, speed %d to %d\n",
                    e.m_strBrand.empty() ? "-" : QuoteText(e.m_strBrand).c_str(), e.m_nFamily, e.m_nModel,
                    e.m_nMinSpeed, e.m_nMaxSpeed);
        std::printf("  port:     %s (%s)\n", QuoteText(e.m_strPort).c_str(),
                    e.m_bOwnPort ? "own port" : "CUPS");
        std::string papers;
        for (const CPaperEntry& p : e.m_papers) papers += (papers.empty() ? "" : ", ") + QuoteText(p.m_strName);
        std::printf("  papers:   %s\n", papers.c_str());
    }
}

bool QueueExists(const std::string& name)
{
    std::vector<SpoolerPrinter> printers;
    if (!GetSpooler().EnumPrinters(printers, nullptr)) return false;
    for (const SpoolerPrinter& p : printers)
        if (p.name == name) return true;
    return false;
}

int AddPrinter(const CliArgs& args)
{
    CliOptions opt(args, {"--language", "--dpi", "--port"}, {});
    if (!opt.ok()) return CliFail("printers add: " + opt.error(), kRefused);
    if (opt.Positional().size() != 1)
        return CliFail("usage: korvane printers add NAME --language CODE|NAME --dpi N --port PORT", kRefused);
    const std::string name = Utf8ToAnsi(opt.Positional()[0]);
    if (Trim(name).empty()) return CliFail("printers add: the printer needs a name", kRefused);
    for (unsigned char c : name)
        if (c < 0x20) return CliFail("printers add: a printer name holds no control characters", kRefused);
    if (name == kPlaceholderPrinterName) return CliFail("printers add: that name is kept for the placeholder", kRefused);

    COwnPrinterRecord record;
    record.name = name;
    if (opt.Has("--language")) {
        record.language = ParsePrinterLanguage(opt.Get("--language"));
        if (record.language < 0)
            return CliFail("printers add: unknown printer language \"" + opt.Get("--language") + "\" (" +
                               kLanguageChoices + ")",
                           kRefused);
    }
    if (opt.Has("--dpi")) {
        const std::string text = Trim(opt.Get("--dpi"));
        const bool digits = !text.empty() && text.size() <= 5 && text.find_first_not_of("0123456789") == std::string::npos;
        record.dpi = digits ? AtoI(text) : 0;
        if (record.dpi < kMinDpi || record.dpi > kMaxDpi)
            return CliFail(StrFormat("printers add: the resolution \"%s\" is not a whole number of dots per inch "
                                     "from %d to %d",
                                     opt.Get("--dpi").c_str(), kMinDpi, kMaxDpi),
                           kRefused);
    }
    if (opt.Has("--port")) {
        PortAddress port;
        std::string error;
        record.port = opt.Get("--port");
        if (!ParsePortAddress(record.port, port, &error)) return CliFail("printers add: bad port: " + error, kRefused);
        if (record.language < 0)
            return CliFail(std::string("printers add: a printer on a port of its own needs --language (") +
                               kLanguageChoices + ")",
                           kRefused);
        const PrinterLanguageRow* row = FindPrinterLanguage(record.language);
        if (!row || !row->commands)
            return CliFail("printers add: a printer on a port of its own needs a command language, not \"" +
                               opt.Get("--language") + "\"",
                           kRefused);
        if (record.dpi == 0) record.dpi = 203;
        if (QueueExists(name))
            return CliFail("printers add: a CUPS queue is named \"" + opt.Positional()[0] +
                               "\"; give the printer another name, or leave out --port to set the queue's "
                               "language and resolution",
                           kRefused);
    } else {
        if (record.language < 0 && record.dpi == 0)
            return CliFail("printers add: give --language and --dpi (and --port for a printer on a port of its own)",
                           kRefused);
        if (!QueueExists(name))
            return CliFail("printers add: no --port given and there is no CUPS queue named \"" +
                               opt.Positional()[0] + "\"",
                           kRefused);
    }

    std::vector<COwnPrinterRecord> records = ReadOwnPrinters();
    bool replaced = false;
    for (COwnPrinterRecord& r : records)
        if (r.name == name) {
            r = record;
            replaced = true;
        }
    if (!replaced) records.push_back(record);
    std::string error;
    if (!WriteOwnPrinters(records, &error)) return CliFail("printers add: " + error);
    std::printf("%s %s\n", replaced ? "updated" : "added", QuoteText(name).c_str());
    return 0;
}

int RemovePrinter(const CliArgs& args)
{
    CliOptions opt(args, {}, {});
    if (!opt.ok()) return CliFail("printers remove: " + opt.error(), kRefused);
    if (opt.Positional().size() != 1) return CliFail("usage: korvane printers remove NAME", kRefused);
    const std::string name = Utf8ToAnsi(opt.Positional()[0]);
    std::vector<COwnPrinterRecord> records = ReadOwnPrinters();
    std::vector<COwnPrinterRecord> kept;
    for (const COwnPrinterRecord& r : records)
        if (r.name != name) kept.push_back(r);
    if (kept.size() == records.size())
        return CliFail("printers remove: no printer named \"" + opt.Positional()[0] +
                           "\" is kept in the settings (CUPS queues are removed with lpadmin -x)",
                       kRefused);
    std::string error;
    if (!WriteOwnPrinters(kept, &error)) return CliFail("printers remove: " + error);
    std::printf("removed %s\n", QuoteText(name).c_str());
    return 0;
}

int RunPrinters(const CliArgs& args)
{
    if (!args.empty() && args[0] == "add") return AddPrinter(CliArgs(args.begin() + 1, args.end()));
    if (!args.empty() && args[0] == "remove") return RemovePrinter(CliArgs(args.begin() + 1, args.end()));
    CliOptions opt(args, {}, {"--json"});
    if (!opt.ok()) return CliUsage(opt.error());
    if (!opt.Positional().empty())
        return CliUsage("printers takes no argument but add NAME ... or remove NAME");
    BuildCatalog();
    if (opt.Has("--json"))
        PrintJson(CPrinterList::Instance());
    else
        PrintText(CPrinterList::Instance());
    return 0;
}

}  // namespace

KV_CLI_COMMAND("printers",
               "printers [--json]                                    the printer catalogue\n"
               "  printers add NAME --language CODE|NAME --dpi N --port PORT   keep an own printer (no --port:\n"
               "                                                       set a CUPS queue's language and dpi)\n"
               "  printers remove NAME",
               RunPrinters)
