// korvane print, the main job: its command line (refusals with status 2,
// the document left alone), the shipping example to PDF and PNG pages read
// back with poppler's tools, the serial numbers and the counter saved only
// after a run that succeeded, failures with status 1, graphics printing
// to a CUPS queue of a scheduler of the test's own whose printer is a
// loopback listener, a printer language tried at a resolution through the
// print file (read by the test ZPL printer), and a data file for one run.
#include <gtest/gtest.h>

#include <QImage>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include "data/data_source.h"
#include "data/variable.h"
#include "drivers/printer_languages.h"
#include "model/document.h"
#include "model/drawtext.h"
#include "platform/strutil.h"
#include "print/print_options.h"
#include "support/cupsd.h"
#include "support/db_fixtures.h"
#include "support/kvtest.h"
#include "support/loopback.h"
#include "support/zpl_interpreter.h"

namespace {

using Env = std::vector<std::pair<std::string, std::string>>;

std::string Shell(const std::string& command)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    return out;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> out;
    for (const std::string& l : SplitString(text, '\n'))
        if (!l.empty()) out.push_back(l);
    return out;
}

class PrintCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc = dir.file("shipping.kvd");
        ASSERT_EQ(Run({"example", "shipping", doc}).status, 0);
    }
    kvtest::RunResult Run(const std::vector<std::string>& args)
    {
        return kvtest::RunKorvane(args, {{"KORVANE_SETTINGS", dir.file("settings.ini")}});
    }
    // The document as stored.
    std::unique_ptr<CKVDoc> Stored()
    {
        auto d = std::make_unique<CKVDoc>();
        const std::vector<std::uint8_t> bytes = kvtest::ReadFileBytes(doc);
        EXPECT_TRUE(d->LoadFromBytes(bytes.data(), bytes.size(), nullptr));
        return d;
    }
    std::string Parcel()
    {
        const auto d = Stored();
        const CVariable* v = d->FindVariable("Parcel");
        return v ? v->m_strData : std::string();
    }
    kvtest::TempDir dir;
    std::string doc;
};

TEST_F(PrintCli, BadCommandLinesAreRefusedAndTheDocumentLeftAlone)
{
    const std::string pdf = dir.file("out.pdf");
    std::ofstream(dir.file("notes.kvd")) << "not a label\n";
    // A command language the program has no driver for yet, if any is left.
    std::string unbuilt;
    for (const PrinterLanguageRow& row : PrinterLanguageRows())
        if (row.commands && row.plain && !row.make) unbuilt = row.name;
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    std::vector<Case> cases = {
        {{"print"}, "usage"},
        {{"print", doc, "--bogus"}, "unknown option"},
        {{"print", doc, "--printer", "P", "--language", "zpl"}, "exclude each other"},
        {{"print", doc, "--dpi", "300", "--pdf", pdf}, "--dpi goes with --language"},
        {{"print", doc, "--quantity", "0", "--pdf", pdf}, "--quantity must be between"},
        {{"print", doc, "--copies", "two", "--pdf", pdf}, "needs an integer"},
        {{"print", doc, "--png", dir.file("p%s.png")}, "\"%d\""},
        {{"print", doc, "--start-label", "2", "--pdf", pdf}, "beyond the 1 labels of a page"},
        {{"print", doc, "--now", "yesterday", "--pdf", pdf}, "--now needs a time"},
        {{"print", doc, "--pdf", pdf, "--output", dir.file("o.prn")}, "--output"},
        {{"print", dir.file("none.kvd"), "--pdf", pdf}, "cannot read"},
        {{"print", dir.file("notes.kvd"), "--pdf", pdf}, "not a label document"},
        {{"print", doc, "--printer", "No Such Printer"}, "no printer named"},
        {{"print", doc, "--language", "klingon", "--output", dir.file("o.prn")}, "unknown printer language"},
        {{"print", doc, "--data", dir.file("none.csv"), "--pdf", pdf}, "none.csv"},
    };
    if (!unbuilt.empty())
        cases.push_back({{"print", doc, "--language", unbuilt, "--output", dir.file("o.prn")}, "not supported yet"});
    const std::vector<std::uint8_t> before = kvtest::ReadFileBytes(doc);
    for (const Case& c : cases) {
        const auto r = Run(c.args);
        const std::string line = JoinStrings(c.args, " ");
        EXPECT_EQ(r.status, 2) << line << "\n" << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << line << "\n" << r.err;
    }
    EXPECT_EQ(kvtest::ReadFileBytes(doc), before);
    EXPECT_FALSE(std::filesystem::exists(pdf));
    EXPECT_FALSE(std::filesystem::exists(dir.file("o.prn")));
}

TEST_F(PrintCli, ShippingExampleToPdfAndPngPagesWithTheSerialSavedForTheNextRun)
{
    const std::string pdf = dir.file("labels.pdf"), png = dir.file("label-%d.png");
    auto r = Run({"print", doc, "--quantity", "5", "--pdf", pdf, "--png", png});
    ASSERT_EQ(r.status, 0) << r.err;
    // Not a terminal: no progress, one line at the end saying where the files are.
    EXPECT_EQ(Lines(r.err),
              std::vector<std::string>{"korvane: printed 5 labels on 5 pages to " + pdf + " and " +
                                       dir.file("label-1.png") + " ... " + dir.file("label-5.png")});
    EXPECT_TRUE(r.out.empty()) << r.out;

    const std::string info = Shell("pdfinfo '" + pdf + "'");
    EXPECT_NE(info.find("Pages:           5"), std::string::npos) << info;
    EXPECT_NE(info.find("Page size:       283 x 434 pts"), std::string::npos) << info;  // 100 x 153 mm
    for (int p = 1; p <= 5; ++p) {
        const std::string text = Shell(StrFormat("pdftotext -f %d -l %d '%s' -", p, p, pdf.c_str()));
        EXPECT_NE(text.find(StrFormat("KV%d", 1234567889 + p)), std::string::npos) << "page " << p << ":\n" << text;
        EXPECT_NE(text.find("HANDLE WITH CARE"), std::string::npos) << "page " << p;
        const QImage page(QString::fromStdString(dir.file(StrFormat("label-%d.png", p))));
        EXPECT_FALSE(page.isNull()) << "page " << p;
    }
    // The serial counts on from the next number; the counter holds the labels.
    EXPECT_EQ(Parcel(), "1234567895");
    EXPECT_EQ(PrintedLabelsCounter(Stored()->m_format), 5);

    // The next run starts there; --quiet still ends with the one line.
    r = Run({"print", doc, "--quantity", "2", "--pdf", pdf, "--quiet"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
    const std::string text = Shell("pdftotext '" + pdf + "' -");
    EXPECT_NE(text.find("KV1234567895"), std::string::npos) << text;
    EXPECT_NE(text.find("KV1234567896"), std::string::npos) << text;
    EXPECT_EQ(Parcel(), "1234567897");
    EXPECT_EQ(PrintedLabelsCounter(Stored()->m_format), 7);
}

TEST_F(PrintCli, FailuresSayWhyAndCountNothing)
{
    const std::vector<std::uint8_t> before = kvtest::ReadFileBytes(doc);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"print", doc, "--pdf", dir.file("missing/labels.pdf")},
          std::vector<std::string>{"print", doc, "--png", dir.file("missing/label-%d.png")}}) {
        const auto r = Run(args);
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("nothing was counted"), std::string::npos) << r.err;
        EXPECT_EQ(kvtest::ReadFileBytes(doc), before);
    }
}

TEST_F(PrintCli, LabelsOfAGraphicsPrinterReachACupsQueueAsPagesOfTheLabelPaper)
{
    kvtest::PrivateCupsd cupsd;
    ASSERT_TRUE(cupsd.ok()) << cupsd.error();
    kvtest::LoopbackListener printer;
    ASSERT_TRUE(cupsd.AddQueue("labels", "socket://127.0.0.1:" + std::to_string(printer.port()), "raw"))
        << cupsd.lastOutput();
    const std::vector<std::uint8_t> before = kvtest::ReadFileBytes(doc);
    const auto r = Run({"print", doc, "--printer", "labels", "--quantity", "2", "--timeout", "60"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.err), std::vector<std::string>{"korvane: printed 2 labels on 2 pages to printer \"labels\""});
    const std::vector<std::uint8_t> job = printer.Received(1, 30000);
    ASSERT_GT(job.size(), 4u);
    EXPECT_EQ(std::string(job.begin(), job.begin() + 4), "%PDF");
    kvtest::WriteFileBytes(dir.file("job.pdf"), job);
    const std::string info = Shell("pdfinfo '" + dir.file("job.pdf") + "'");
    EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
    EXPECT_NE(info.find("Page size:       283 x 434 pts"), std::string::npos) << info;
    EXPECT_NE(Shell("pdftotext '" + dir.file("job.pdf") + "' -").find("KV1234567891"), std::string::npos);
    EXPECT_NE(kvtest::ReadFileBytes(doc), before);  // the serial moved on
    EXPECT_EQ(Parcel(), "1234567892");
}

TEST_F(PrintCli, AQueueThatDoesNotPrintFailsTheRun)
{
    kvtest::PrivateCupsd cupsd;
    ASSERT_TRUE(cupsd.ok()) << cupsd.error();
    // A printer that never answers: the job cannot complete in time.
    kvtest::LoopbackListener printer(kvtest::LoopbackListener::Mode::Accept, 0, false);
    ASSERT_TRUE(cupsd.AddQueue("offline", "socket://127.0.0.1:" + std::to_string(printer.port()), "raw"))
        << cupsd.lastOutput();
    const std::vector<std::uint8_t> before = kvtest::ReadFileBytes(doc);
    const auto r = Run({"print", doc, "--printer", "offline", "--timeout", "3"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("offline"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("nothing was counted"), std::string::npos) << r.err;
    EXPECT_EQ(kvtest::ReadFileBytes(doc), before);
}

TEST_F(PrintCli, ALanguageAndResolutionPrintTheCommandStreamWithoutTouchingTheSettings)
{
    // The one-off printer's resolution sets the label's length in dots
    // (153 mm with its gap).
    const struct {
        const char* dpi;
        const char* length;
    } cases[] = {{"203", "1223"}, {"300", "1807"}};
    std::string parcel = "1234567890";
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.dpi) + " dpi");
        const std::string out = dir.file(std::string("labels-") + c.dpi + ".zpl");
        const std::string printerBefore = Stored()->m_format.m_strPrinter;
        const bool hadSettings = std::filesystem::exists(dir.file("settings.ini"));
        const std::vector<std::uint8_t> settingsBefore =
            hadSettings ? kvtest::ReadFileBytes(dir.file("settings.ini")) : std::vector<std::uint8_t>();
        const auto r = Run({"print", doc, "--language", "zpl", "--dpi", c.dpi, "--quantity", "3", "--output", out});
        ASSERT_EQ(r.status, 0) << r.err;
        const std::vector<std::uint8_t> job = kvtest::ReadFileBytes(out);
        EXPECT_EQ(Lines(r.err), std::vector<std::string>{StrFormat("korvane: printed 3 labels, %zu bytes to %s",
                                                                   job.size(), out.c_str())});
        kvtest::ZplPrinter printer;
        std::string error;
        ASSERT_TRUE(printer.Run(std::string(job.begin(), job.end()), &error)) << error;
        EXPECT_EQ(printer.setup["LL"], c.length);
        // Each label carries its own parcel number in its Code 128.
        std::vector<std::string> tracked;
        for (const kvtest::ZplFormat* f : printer.LabelFormats())
            for (const kvtest::ZplField& field : f->fields)
                if (field.kind == kvtest::ZplField::Barcode && field.command == "BC")
                    for (int k = 0; k < f->quantity; ++k)
                        tracked.push_back(ReplaceAll(ReplaceAll(kvtest::ZplCode128ToCaret(
                                                    kvtest::ZplCountSerial(field.data, field.serial ? k : 0)),
                                                    "^B", ""), "^C", ""));
        std::vector<std::string> expected;
        for (int k = 0; k < 3; ++k) expected.push_back("KV" + std::to_string(std::stoll(parcel) + k));
        EXPECT_EQ(tracked, expected);
        parcel = std::to_string(std::stoll(parcel) + 3);
        EXPECT_EQ(Parcel(), parcel);
        // The document keeps its printer; no printer was added to the settings.
        EXPECT_EQ(Stored()->m_format.m_strPrinter, printerBefore);
        ASSERT_EQ(std::filesystem::exists(dir.file("settings.ini")), hadSettings);
        if (hadSettings) EXPECT_EQ(kvtest::ReadFileBytes(dir.file("settings.ini")), settingsBefore);
        const auto listed = Run({"printers"});
        EXPECT_EQ(listed.out.find("this run"), std::string::npos) << listed.out;
    }
}

TEST_F(PrintCli, ADataFileForTheRunPrintsItsRecordsAndLeavesTheLabelsSourceAlone)
{
    kvtest::UseTestOdbcConfig();
    // A label printing a Database field of its own CSV file.
    std::ofstream(dir.file("own.csv")) << "Code\nown\n";
    std::string label = dir.file("parts.kvd");
    {
        CKVDoc d;
        ASSERT_TRUE(d.OnNewDocument());
        ASSERT_TRUE(d.ApplyPaperDefinition("Roll 60x30=1,60,30,1,2,3,0,0,0,0,0,0,0"));
        auto* t = new CDrawText(CRect(300, 300, 5500, 1500));
        t->m_nFontHeight = 1400;
        d.AddObject(t);
        auto* v = new CVariable(VK_DATABASE);
        v->m_strName = "Code";
        v->m_strField = "Code\n0";
        d.AddVariable(v);
        t->AddVariable(v);
        CDataSourceSettings source;
        source.kind = DSK_TEXT;
        source.textPath = dir.file("own.csv");
        source.textOptions = "0\n0\n2\n,\n";
        d.SetDataSourceSettings(source);
        std::string error;
        ASSERT_TRUE(d.SaveDocument(label, &error)) << error;
    }
    // The run's data: a table of a SQLite file that is not its first.
    ASSERT_TRUE(kvtest::ExecSql(kvtest::SqliteConnect(dir.file("parts.db")),
                                {"CREATE TABLE aaa (z TEXT)", "CREATE TABLE parts (Name TEXT, Code TEXT, Qty TEXT)",
                                 "INSERT INTO parts VALUES ('bolt', 'P-100', '2')",
                                 "INSERT INTO parts VALUES ('nut', 'P-200', '1')",
                                 "INSERT INTO parts VALUES ('washer', 'P-300', '3')"}));
    const std::string pdf = dir.file("parts.pdf");
    // The label's quantity is 1 unless the command line or "Auto Set
    // Database Record Quantity" says otherwise; the printed-labels counter
    // counts distinct labels (L), not copies.
    CCopyField autoQuantity;
    autoQuantity.autoQuantity = true;
    // Each record's copies from its field, found by name in the run's table.
    CCopyField perRecord;
    perRecord.enabled = true;
    perRecord.field = "Qty";
    const struct {
        std::vector<std::string> extra;
        std::string copyField;           // property 258 of the label
        std::vector<std::string> codes;  // page by page
        long counted;
    } cases[] = {
        {{}, "", {"P-100"}, 1},
        {{}, autoQuantity.Format(), {"P-100", "P-200", "P-300"}, 3},
        {{"--quantity", "3"}, "", {"P-100", "P-200", "P-300"}, 3},
        {{"--quantity", "10", "--start-record", "2"}, "", {"P-200", "P-300"}, 2},
        {{"--start-record", "2"}, autoQuantity.Format(), {"P-200", "P-300"}, 2},
        {{"--copies", "2", "--start-record", "3"}, "", {"P-300", "P-300"}, 1},
        {{"--quantity", "3"}, perRecord.Format(), {"P-100", "P-100", "P-200", "P-300", "P-300", "P-300"}, 3},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"print", label, "--data", dir.file("parts.db"), "--table", "parts", "--pdf", pdf};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const std::string line = JoinStrings(args, " ") + " (258: " + c.copyField + ")";
        {
            CKVDoc d;
            std::string error;
            ASSERT_TRUE(d.OpenDocument(label, &error, false)) << error;
            d.m_format.SetProperty(LFP_COPY_FIELD, c.copyField);
            ASSERT_TRUE(d.SaveDocument(label, &error)) << error;
        }
        const std::vector<std::uint8_t> before = kvtest::ReadFileBytes(label);
        const auto r = Run(args);
        ASSERT_EQ(r.status, 0) << line << "\n" << r.err;
        std::vector<std::string> codes;
        for (int p = 1;; ++p) {
            const std::string text = Shell(StrFormat("pdftotext -f %d -l %d '%s' - 2>/dev/null", p, p, pdf.c_str()));
            const std::vector<std::string> words = Lines(ReplaceAll(text, "\f", ""));
            if (words.empty()) break;
            codes.insert(codes.end(), words.begin(), words.end());
        }
        EXPECT_EQ(codes, c.codes) << line;
        // What the label keeps of its source, and its first record, are as they were.
        const std::vector<std::uint8_t> now = kvtest::ReadFileBytes(label);
        CKVDoc stored, after;
        ASSERT_TRUE(stored.LoadFromBytes(before.data(), before.size(), nullptr));
        ASSERT_TRUE(after.LoadFromBytes(now.data(), now.size(), nullptr));
        EXPECT_EQ(after.GetDataSourceSettings(), stored.GetDataSourceSettings()) << line;
        EXPECT_EQ(after.m_format.m_nStartRecord, stored.m_format.m_nStartRecord) << line;
        ASSERT_NE(after.FindVariable("Code"), nullptr);
        EXPECT_EQ(after.FindVariable("Code")->m_strField, "Code\n0") << line;
        EXPECT_EQ(PrintedLabelsCounter(after.m_format), PrintedLabelsCounter(stored.m_format) + c.counted) << line;
    }
}

// Runs korvane with its standard streams on a pseudo-terminal: what the
// terminal showed (line ends as sent) and the exit status; -1 when it did
// not end within a minute. With interruptOn, the program gets an interrupt
// (Ctrl+C) once the terminal has shown that text.
kvtest::RunResult RunOnTerminal(const std::vector<std::string>& args, const std::string& settings,
                                const std::string& interruptOn = std::string())
{
    std::vector<std::string> env = {"KORVANE_SETTINGS=" + settings, "QT_QPA_PLATFORM=offscreen", "LANG=C.UTF-8",
                                    "PATH=/usr/bin:/bin"};
    std::vector<char*> envp, argv;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string exe = KV_KORVANE_EXE;
    std::vector<std::string> all = args;
    argv.push_back(exe.data());
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    kvtest::RunResult r;
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid < 0) return r;
    if (pid == 0) {
        execve(exe.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool interrupted = false;
    for (;;) {
        pollfd p = {master, POLLIN, 0};
        if (std::chrono::steady_clock::now() > deadline) break;
        if (poll(&p, 1, 1000) <= 0) continue;
        char buffer[4096];
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0) break;  // the program ended: the terminal hangs up
        r.err.append(buffer, size_t(n));
        if (!interrupted && !interruptOn.empty() && r.err.find(interruptOn) != std::string::npos) {
            kill(pid, SIGINT);
            interrupted = true;
        }
    }
    int status = 0;
    if (std::chrono::steady_clock::now() > deadline) kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    close(master);
    r.status = WIFEXITED(status) && std::chrono::steady_clock::now() <= deadline ? WEXITSTATUS(status) : -1;
    return r;
}

TEST_F(PrintCli, ProgressShowsOnATerminalUnlessQuiet)
{
    const std::string pdf = dir.file("labels.pdf");
    for (const bool quiet : {false, true}) {
        SCOPED_TRACE(quiet ? "--quiet" : "progress");
        std::vector<std::string> args = {"print", doc, "--quantity", "3", "--pdf", pdf};
        if (quiet) args.push_back("--quiet");
        const auto r = RunOnTerminal(args, dir.file("settings.ini"));
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string shown = ReplaceAll(r.err, "\r\n", "\n");
        // The progress line is redrawn in place and ends with every label done.
        EXPECT_EQ(shown.find("printing: 3 of 3 labels, ") != std::string::npos, !quiet) << shown;
        EXPECT_EQ(shown.find(" labels/s") != std::string::npos, !quiet) << shown;
        const std::vector<std::string> lines = Lines(shown);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), "korvane: printed 3 labels on 3 pages to " + pdf) << shown;
    }
}

TEST_F(PrintCli, NowFixesTheClockOfTheLabels)
{
    // A label with a date one day ahead and the time of printing.
    const std::string label = dir.file("dated.kvd");
    {
        CKVDoc d;
        ASSERT_TRUE(d.OnNewDocument());
        ASSERT_TRUE(d.ApplyPaperDefinition("Roll 60x30=1,60,30,1,2,3,0,0,0,0,0,0,0"));
        auto* t = new CDrawText(CRect(300, 300, 5500, 1500));
        t->m_nFontHeight = 1200;
        d.AddObject(t);
        auto* date = new CVariable(VK_DATE);
        date->m_nOffset = 86400;
        d.AddVariable(date);
        t->AddVariable(date);
        auto* space = new CVariable(VK_FIXED);
        space->m_strData = " at ";
        d.AddVariable(space);
        t->AddVariable(space);
        auto* time = new CVariable(VK_TIME);
        d.AddVariable(time);
        t->AddVariable(time);
        std::string error;
        ASSERT_TRUE(d.SaveDocument(label, &error)) << error;
    }
    const std::string pdf = dir.file("dated.pdf");
    const auto r = Run({"print", label, "--pdf", pdf, "--now", "2007-01-31 23:59:30"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = Shell("pdftotext '" + pdf + "' -");
    EXPECT_NE(text.find("2007-02-01 at 23:59:30"), std::string::npos) << text;
}

// The words of each page of a PDF with the slot of a roll two labels
// across they sit in: "S1@1" is S1 in the second slot; pages in order.
std::vector<std::vector<std::string>> WordsBySlot(const std::string& pdf)
{
    std::vector<std::vector<std::string>> pages;
    double width = 0;
    const std::string xml = Shell("pdftotext -bbox '" + pdf + "' -");
    for (const std::string& line : SplitString(xml, '\n')) {
        auto attribute = [&](const char* name) {
            const size_t at = line.find(std::string(name) + "=\"");
            return at == std::string::npos ? -1.0 : std::atof(line.c_str() + at + std::strlen(name) + 2);
        };
        if (line.find("<page ") != std::string::npos) {
            pages.emplace_back();
            width = attribute("width");
        } else if (line.find("<word ") != std::string::npos && !pages.empty()) {
            const size_t open = line.find('>'), close = line.find("</word>");
            const double middle = (attribute("xMin") + attribute("xMax")) / 2;
            pages.back().push_back(line.substr(open + 1, close - open - 1) + "@" + (middle < width / 2 ? "0" : "1"));
        }
    }
    return pages;
}

TEST_F(PrintCli, StartLabelCopiesAndRepeatPlaceTheLabelsOfARun)
{
    // A roll two labels across: a page per row; each label shows its serial number.
    const std::string label = dir.file("pairs.kvd");
    auto write = [&] {
        CKVDoc d;
        ASSERT_TRUE(d.OnNewDocument());
        ASSERT_TRUE(d.ApplyPaperDefinition("Pairs=1,40,20,2,5,3,0,0,0,0,0,0,0"));
        d.m_format.m_dwOptions &= ~DWORD(LFO_CHANGE_SERIAL);
        auto* t = new CDrawText(CRect(300, 300, 3500, 1500));
        t->m_nFontHeight = 1200;
        d.AddObject(t);
        auto* prefix = new CVariable(VK_FIXED);
        prefix->m_strData = "S";
        d.AddVariable(prefix);
        t->AddVariable(prefix);
        auto* serial = new CVariable(VK_SERIAL);
        serial->m_strData = "1";
        d.AddVariable(serial);
        t->AddVariable(serial);
        std::string error;
        ASSERT_TRUE(d.SaveDocument(label, &error)) << error;
    };
    using Pages = std::vector<std::vector<std::string>>;
    const struct {
        std::vector<std::string> extra;
        Pages pages;
    } cases[] = {
        {{"--quantity", "3"}, {{"S1@0", "S2@1"}, {"S3@0"}}},
        {{"--quantity", "3", "--start-label", "2"}, {{"S1@1"}, {"S2@0", "S3@1"}}},
        {{"--quantity", "2", "--copies", "2"}, {{"S1@0", "S1@1"}, {"S2@0", "S2@1"}}},
        {{"--quantity", "3", "--repeat", "2"}, {{"S1@0", "S2@1"}, {"S3@0"}, {"S1@0", "S2@1"}, {"S3@0"}}},
    };
    const std::string pdf = dir.file("pairs.pdf");
    for (const auto& c : cases) {
        write();
        std::vector<std::string> args = {"print", label, "--pdf", pdf};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const std::string line = JoinStrings(args, " ");
        const auto r = Run(args);
        ASSERT_EQ(r.status, 0) << line << "\n" << r.err;
        EXPECT_EQ(WordsBySlot(pdf), c.pages) << line;
    }
}

TEST_F(PrintCli, ScriptsOfTheLabelRunWithTheJobWhenScriptingIsOn)
{
    // A Script variable showing the job's counters; the label script makes
    // the run three labels long.
    const std::string label = dir.file("scripted.kvd");
    {
        CKVDoc d;
        ASSERT_TRUE(d.OnNewDocument());
        ASSERT_TRUE(d.ApplyPaperDefinition("Roll 60x30=1,60,30,1,2,3,0,0,0,0,0,0,0"));
        d.m_format.m_nQuantity = 1;
        d.m_format.SetProperty(LFP_SCRIPT, "Function OnBeginPrint(State)\r\n  V_TOTALLABELS = 3\r\nEnd Function");
        auto* t = new CDrawText(CRect(300, 300, 5500, 1500));
        t->m_nFontHeight = 1200;
        d.AddObject(t);
        auto* script = new CVariable(VK_SCRIPT);
        script->SetProperty(VP_SCRIPT, "Function OnGetData()\r\n"
                                       "  OnGetData = \"N\" & V_LABELNO & \"P\" & V_PAGE & \"C\" & V_COPY\r\n"
                                       "End Function");
        d.AddVariable(script);
        t->AddVariable(script);
        std::string error;
        ASSERT_TRUE(d.SaveDocument(label, &error)) << error;
    }
    const std::string pdf = dir.file("scripted.pdf");
    auto pages = [&] {
        std::vector<std::string> texts;
        for (int p = 1;; ++p) {
            const std::string text = Shell(StrFormat("pdftotext -f %d -l %d '%s' - 2>/dev/null", p, p, pdf.c_str()));
            if (text.empty()) break;
            const std::vector<std::string> words = Lines(ReplaceAll(text, "\f", ""));
            texts.push_back(words.empty() ? "" : words[0]);
        }
        return texts;
    };
    // Scripting off (the default): the script gives nothing and the run keeps its one label.
    auto r = Run({"print", label, "--copies", "2", "--pdf", pdf});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(pages(), (std::vector<std::string>{"", ""}));

    // On, by --scripts with the setting off and then by the setting: every
    // printed label is drawn, so each label number shows once per copy.
    const std::vector<std::string> scripted = {"N1P1C2", "N1P2C2", "N2P3C2", "N2P4C2", "N3P5C2", "N3P6C2"};
    r = Run({"print", label, "--copies", "2", "--pdf", pdf, "--scripts"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(pages(), scripted);
    EXPECT_EQ(Lines(r.err).back(), "korvane: printed 6 labels on 6 pages to " + pdf);

    std::ofstream(dir.file("settings.ini")) << "[Settings]\nEnableScript=1\n";
    r = Run({"print", label, "--copies", "2", "--pdf", pdf});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(pages(), scripted);
    EXPECT_EQ(Lines(r.err).back(), "korvane: printed 6 labels on 6 pages to " + pdf);
}

TEST_F(PrintCli, AnInterruptCancelsTheRunAndCountsNothing)
{
    // Long runs, interrupted once their progress shows: a PDF is not left
    // behind; the print file keeps what its port received, and says so.
    const std::string pdf = dir.file("long.pdf"), zpl = dir.file("long.zpl");
    const struct {
        std::vector<std::string> target;
        bool fileLeft;
    } cases[] = {
        {{"--pdf", pdf}, false},
        {{"--language", "zpl", "--output", zpl}, true},
    };
    const std::vector<std::uint8_t> before = kvtest::ReadFileBytes(doc);
    for (const auto& c : cases) {
        std::vector<std::string> args = {"print", doc, "--quantity", "1000000"};
        args.insert(args.end(), c.target.begin(), c.target.end());
        const std::string line = JoinStrings(args, " ");
        const auto r = RunOnTerminal(args, dir.file("settings.ini"), " labels/s");
        EXPECT_EQ(r.status, 1) << line << "\n" << r.err;
        EXPECT_NE(r.err.find("cancelled"), std::string::npos) << line << "\n" << r.err;
        EXPECT_NE(r.err.find("nothing was counted or advanced"), std::string::npos) << line << "\n" << r.err;
        EXPECT_EQ(kvtest::ReadFileBytes(doc), before) << line;
        const std::string& file = c.target[c.target.size() - 1];
        ASSERT_EQ(std::filesystem::exists(file), c.fileLeft) << line;
        for (const auto& entry : std::filesystem::directory_iterator(dir.file("")))  // no temporary file either
            if (entry.path().filename().string().rfind("long.pdf", 0) == 0) ADD_FAILURE() << entry.path();
        if (c.fileLeft)
            EXPECT_NE(r.err.find(StrFormat("after %ju bytes to %s", std::uintmax_t(std::filesystem::file_size(file)),
                                           file.c_str())),
                      std::string::npos)
                << r.err;
    }
}

}  // namespace
