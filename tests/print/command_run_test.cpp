// A command-language run end to end on the recording driver: the bytes go
// to the print file or to a CUPS queue of a scheduler of the test's own;
// a port that fails (a file that cannot be made, a printer that never
// takes the job) leaves the serial numbers and the printed-labels counter
// as they were, and a run that succeeds moves both.
#include <gtest/gtest.h>

#include "data/variable.h"
#include "model/document.h"
#include "model/drawtext.h"
#include "print/print_options.h"
#include "print/print_run.h"
#include "recording_driver.h"
#include "support/cupsd.h"
#include "support/kvtest.h"
#include "support/loopback.h"

namespace {

// A label in a command language with a serial number in a printer font,
// printed by the recording driver.
struct SerialDoc {
    CKVDoc doc;
    CRecordingDriver* driver = nullptr;
    CVariable* serial = nullptr;
    explicit SerialDoc(const std::string& printer = std::string())
    {
        EXPECT_TRUE(doc.OnNewDocument());
        CLabelFormat& f = doc.m_format;
        f.m_strPrinter = printer;
        f.m_nLanguage = 1;
        f.SetProperty(LFP_WINDOWS_DRIVER, "");
        f.m_nHDpi = f.m_nVDpi = 203;
        f.m_nColumns = f.m_nRows = 1;
        f.m_dwOptions = LFO_CHANGE_SERIAL;
        doc.ReloadPrinterFonts();
        auto d = std::make_shared<CRecordingDriver>(&doc);
        driver = d.get();
        doc.m_driver = d;
        auto* text = new CDrawText(CRect(100, 100, 3000, 500));
        text->m_strFontName = "Zebra Font A";
        doc.AddObject(text);
        serial = new CVariable(VK_SERIAL);
        serial->m_strData = "0001";
        doc.AddVariable(serial);
        text->AddVariable(serial);
    }
};

TEST(CommandRun, AFailingPortCountsAndAdvancesNothing)
{
    kvtest::TempDir dir;
    kvtest::PrivateCupsd cupsd;
    ASSERT_TRUE(cupsd.ok()) << cupsd.error();
    // A printer that never answers.
    kvtest::LoopbackListener silent(kvtest::LoopbackListener::Mode::Accept, 0, false);
    ASSERT_TRUE(cupsd.AddQueue("silent", "socket://127.0.0.1:" + std::to_string(silent.port()), "raw"))
        << cupsd.lastOutput();
    struct Case {
        const char* what;
        std::string printer;
        bool toFile;
        std::string file;
        std::string says;
    };
    for (const Case& c : std::vector<Case>{{"a print file in a folder that does not exist", "", true,
                                            dir.file("none/labels.prn"), "Printer Failed"},
                                           {"a queue whose printer never takes the job", "silent", false, "",
                                            "did not complete"}}) {
        SerialDoc d(c.printer);
        CPrintRequest request;
        request.printer = c.printer;
        request.toFile = c.toFile;
        request.outputFile = c.file;
        request.quantity = 3;
        request.timeLimitMs = 2000;
        const CPrintOutcome out = RunPrint(d.doc, request, nullptr);
        EXPECT_EQ(out.status, CPrintOutcome::Failed) << c.what;
        EXPECT_NE(out.error.find(c.says), std::string::npos) << c.what << ": " << out.error;
        EXPECT_EQ(d.serial->m_strData, "0001") << c.what;
        EXPECT_EQ(PrintedLabelsCounter(d.doc.m_format), 0) << c.what;
        EXPECT_FALSE(out.ChangesDocument()) << c.what;
    }
}

TEST(CommandRun, ASuccessfulRunWritesThePortAndMovesSerialAndCounter)
{
    kvtest::TempDir dir;
    kvtest::PrivateCupsd cupsd;
    ASSERT_TRUE(cupsd.ok()) << cupsd.error();
    kvtest::LoopbackListener printer;
    ASSERT_TRUE(cupsd.AddQueue("labels", "socket://127.0.0.1:" + std::to_string(printer.port()), "raw"))
        << cupsd.lastOutput();
    for (const bool toFile : {true, false}) {
        SerialDoc d("labels");
        CPrintRequest request;
        request.printer = "labels";
        request.toFile = toFile;
        request.outputFile = dir.file("labels.prn");
        request.quantity = 3;
        request.timeLimitMs = 30000;
        const CPrintOutcome out = RunPrint(d.doc, request, nullptr);
        ASSERT_EQ(out.status, CPrintOutcome::Printed) << out.error;
        const std::string sent = toFile ? kvtest::ReadFileText(dir.file("labels.prn"))
                                        : [&] {
                                              const std::vector<std::uint8_t> b = printer.Received(1, 30000);
                                              return std::string(b.begin(), b.end());
                                          }();
        // The printer counts the serial: the setup, one format of three, the job's end.
        EXPECT_EQ(sent, "setup\nformat 0/0.0 across=1 quantity=3 replicates=1 pass=1\ntext " +
                            StrFormat("%d,%d", UnitsToDots(100, 203), UnitsToDots(100, 203)) + " 0001\nend\n");
        EXPECT_EQ(out.bytes, sent.size());
        EXPECT_EQ(out.where, toFile ? dir.file("labels.prn") : std::string("printer \"labels\""));
        EXPECT_EQ(d.serial->m_strData, "0004");
        EXPECT_EQ(PrintedLabelsCounter(d.doc.m_format), 3);
    }
}

}  // namespace
