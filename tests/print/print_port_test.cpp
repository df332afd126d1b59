// The print port: raw jobs on a CUPS scheduler of the test's own whose
// queues send to TCP listeners on 127.0.0.1 (the bytes arrive unchanged, a
// late listener still gets them, a device that refuses is a failure), the
// documents' names, print files (default name, replacing, unwritable
// folder, full disk), memory, and strings cut at a zero byte.
#include <gtest/gtest.h>

#include <cups/cups.h>
#include <filesystem>
#include <thread>

#include "platform/settings_store.h"
#include "print/print_port.h"
#include "support/cupsd.h"
#include "support/kvtest.h"
#include "support/loopback.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Job(size_t n, int seed = 0)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = std::uint8_t((i * 13 + seed + i / 256) & 0xFF);
    return b;
}

// The titles and states of the scheduler's jobs, by job id.
std::map<int, std::pair<std::string, ipp_jstate_t>> Jobs(const std::string& printer)
{
    std::map<int, std::pair<std::string, ipp_jstate_t>> out;
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, printer.c_str(), 0, CUPS_WHICHJOBS_ALL);
    for (int i = 0; i < n; ++i) out[jobs[i].id] = {jobs[i].title ? jobs[i].title : "", jobs[i].state};
    cupsFreeJobs(n, jobs);
    return out;
}

class SpoolerPort : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(cupsd.ok()) << cupsd.error(); }
    void RawQueue(const std::string& name, const std::string& uri, const std::vector<std::string>& options = {})
    {
        ASSERT_TRUE(cupsd.AddQueue(name, uri, "raw", options)) << cupsd.lastOutput();
    }
    kvtest::PrivateCupsd cupsd;
};

TEST_F(SpoolerPort, RawJobsArriveUnchangedOneJobPerDocument)
{
    kvtest::LoopbackListener printer;
    RawQueue("labels", "socket://127.0.0.1:" + std::to_string(printer.port()));
    const Bytes first = Job(70000, 1), second = Job(3000, 2), third = Job(1, 3);
    CPrintPort port("labels", "");
    ASSERT_EQ(port.Open(), 0) << port.LastError();
    ASSERT_TRUE(port.Write(first.data(), first.size()));
    ASSERT_TRUE(port.NewDocument()) << port.LastError();
    ASSERT_TRUE(port.Write(second.data(), second.size()));
    ASSERT_TRUE(port.NewDocument()) << port.LastError();
    ASSERT_TRUE(port.Write(third.data(), third.size()));
    ASSERT_TRUE(port.Close()) << port.LastError();
    Bytes all = first;
    all.insert(all.end(), second.begin(), second.end());
    all.insert(all.end(), third.begin(), third.end());
    EXPECT_EQ(printer.Received(3), all);
    ASSERT_EQ(port.JobIds().size(), 3u);
    const auto jobs = Jobs("labels");
    const char* titles[] = {"Korvane", "Korvane_2", "Korvane_3"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(jobs.at(port.JobIds()[i]).first, titles[i]);
        EXPECT_EQ(jobs.at(port.JobIds()[i]).second, IPP_JSTATE_COMPLETED);
    }

    // A document that got no bytes is no job: there is nothing to leave.
    CPrintPort titled("labels", "Shipping");
    ASSERT_EQ(titled.Open(), 0);
    ASSERT_TRUE(titled.WriteString("^XA^FDabc^FS^XZ"));
    ASSERT_TRUE(titled.NewDocument());
    ASSERT_TRUE(titled.WriteString("^XA^FDdef^FS^XZ"));
    ASSERT_TRUE(titled.NewDocument());
    ASSERT_TRUE(titled.Close()) << titled.LastError();
    ASSERT_EQ(titled.JobIds().size(), 2u);
    EXPECT_EQ(Jobs("labels").at(titled.JobIds()[0]).first, "Shipping");
    EXPECT_EQ(Jobs("labels").at(titled.JobIds()[1]).first, "Shipping_2");
    EXPECT_EQ(Jobs("labels").size(), 5u);
}

TEST_F(SpoolerPort, ListenerThatStartsLateStillGetsTheJob)
{
    kvtest::LoopbackListener printer(kvtest::LoopbackListener::Mode::Accept, 0, false);
    RawQueue("late", "socket://127.0.0.1:" + std::to_string(printer.port()));
    const Bytes job = Job(20000);
    CPrintPort port("late", "late job");
    ASSERT_EQ(port.Open(), 0) << port.LastError();
    ASSERT_TRUE(port.Write(job.data(), job.size()));
    std::thread later([&] {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        printer.Listen();
    });
    const bool closed = port.Close();
    later.join();
    EXPECT_TRUE(closed) << port.LastError();
    EXPECT_EQ(printer.Received(), job);
}

TEST_F(SpoolerPort, DeviceThatRefusesIsAFailure)
{
    // A printer that refuses connections: the backend retries until the time
    // limit. A device that cannot be opened: the backend fails and, by the
    // queue's error policy, the job is aborted or the printer stopped.
    kvtest::LoopbackListener refusing(kvtest::LoopbackListener::Mode::Accept, 0, false);
    const struct {
        const char* queue;
        std::string uri;
        const char* policy;
        const char* words;
        ipp_jstate_t state;  // the job's state afterwards: never pending, never to print later
    } cases[] = {
        {"refusing", "socket://127.0.0.1:" + std::to_string(refusing.port()), "retry-job",
         "did not complete within 3.0 s", IPP_JSTATE_CANCELED},
        {"aborting", "serial:/dev/kvtest-no-such-line", "abort-job", "the job was aborted", IPP_JSTATE_ABORTED},
        {"stopping", "serial:/dev/kvtest-no-such-line", "stop-printer", "the printer is stopped",
         IPP_JSTATE_CANCELED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.queue);
        RawQueue(c.queue, c.uri, {std::string("printer-error-policy=") + c.policy});
        CPrintPort port(c.queue, "");
        port.SetTimeLimit(3000);
        ASSERT_EQ(port.Open(), 0) << port.LastError();
        ASSERT_TRUE(port.WriteString("^XA^XZ"));
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(port.Close());
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
        const std::string& e = port.LastError();
        EXPECT_NE(e.find("printer \"" + std::string(c.queue) + "\" on " + c.uri), std::string::npos) << e;
        EXPECT_NE(e.find(c.words), std::string::npos) << e;
        const auto jobs = Jobs(c.queue);
        ASSERT_EQ(jobs.size(), 1u);
        EXPECT_EQ(jobs.begin()->second.second, c.state);
    }
    EXPECT_EQ(refusing.FinishedConnections(), 0);
}

TEST_F(SpoolerPort, UnknownPrinterDoesNotOpen)
{
    CPrintPort port("nosuchqueue", "");
    EXPECT_EQ(port.Open(), 1);
    EXPECT_NE(port.LastError().find("nosuchqueue"), std::string::npos) << port.LastError();
    EXPECT_FALSE(port.Write("x", 1));
}

class FileDialogStub : public IPrintFileDialog {
public:
    bool AskOutputFile(const std::string& title, const std::string& filter, const std::string& ext,
                       std::string& name) override
    {
        asked.push_back(title + "|" + filter + "|" + ext + "|" + name);
        if (answer.empty()) return false;
        name = answer;
        return true;
    }
    std::vector<std::string> asked;
    std::string answer;
};

TEST(FilePort, NamesFromCommandLineSettingsDialogOrDesktop)
{
    kvtest::TempDir home;
    CSettingsStore& settings = CSettingsStore::Instance();
    // The desktop: XDG's user folders name none here, so ~/Desktop.
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", home.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", home.file("config").c_str(), 1);
    std::filesystem::create_directory(home.file("Desktop"));
    auto write = [](CPrintPort& port, const std::string& text) {
        EXPECT_EQ(port.Open(), 0) << port.LastError();
        EXPECT_TRUE(port.WriteString(text.c_str()));
        EXPECT_TRUE(port.Close()) << port.LastError();
        return port.OutputFile();
    };
    {
        CPrintPort port;
        EXPECT_EQ(write(port, "first, the longer text"), home.file("Desktop/OutFile.txt"));
        CPrintPort again;
        write(again, "second");
        EXPECT_EQ(kvtest::ReadFileText(home.file("Desktop/OutFile.txt")), "second");
    }
    settings.WriteString("Settings", "OutFileName", home.file("named.prn"));
    {
        CPrintPort port;
        EXPECT_EQ(write(port, "named"), home.file("named.prn"));
        CPrintPort given;
        given.SetOutputFile(home.file("given.prn"));
        EXPECT_EQ(write(given, "given"), home.file("given.prn"));
        EXPECT_EQ(kvtest::ReadFileText(home.file("given.prn")), "given");
    }
    settings.WriteInt("Settings", "SetOutFileOnPrint", 1);
    {
        FileDialogStub dialog;
        IPrintFileDialog* previous = SetPrintFileDialog(&dialog);
        CPrintPort cancelled;
        EXPECT_EQ(cancelled.Open(), 2);
        dialog.answer = home.file("chosen.prn");
        CPrintPort port;
        EXPECT_EQ(write(port, "chosen"), home.file("chosen.prn"));
        CPrintPort remembered;
        dialog.answer.clear();
        EXPECT_EQ(remembered.Open(), 2);
        ASSERT_EQ(dialog.asked.size(), 3u);
        EXPECT_EQ(dialog.asked[0], "Printing To File...|Text File(*.txt)|*.txt|All Files(*.*)|*.*|||.txt|");
        EXPECT_EQ(dialog.asked[2], "Printing To File...|Text File(*.txt)|*.txt|All Files(*.*)|*.*|||.txt|" +
                                       home.file("chosen.prn"));
        SetPrintFileDialog(previous);
    }
    settings.Remove("Settings", "SetOutFileOnPrint");
    settings.Remove("Settings", "OutFileName");
    setenv("HOME", oldHome.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
}

TEST(FilePort, UnwritableFolderAndFullDiskFail)
{
    CPrintPort folder;
    folder.SetOutputFile("/sys/kv-print-port.prn");
    EXPECT_EQ(folder.Open(), 1);
    EXPECT_NE(folder.LastError().find("/sys/kv-print-port.prn"), std::string::npos) << folder.LastError();
    EXPECT_NE(folder.LastError().find("Permission denied"), std::string::npos) << folder.LastError();

    CPrintPort missing;
    missing.SetOutputFile("/nonexistent-kv-folder/x.prn");
    EXPECT_EQ(missing.Open(), 1);

    CPrintPort full;
    full.SetOutputFile("/dev/full");
    ASSERT_EQ(full.Open(), 0) << full.LastError();
    const Bytes job = Job(10000);
    EXPECT_FALSE(full.Write(job.data(), job.size()));
    EXPECT_NE(full.LastError().find("No space left on device"), std::string::npos) << full.LastError();
}

TEST(MemoryPort, CollectsBytesAndStringsStopAtZero)
{
    Bytes memory;
    CPrintPort port(&memory);
    EXPECT_EQ(port.m_nKind, CPrintPort::KIND_MEMORY);
    ASSERT_EQ(port.Open(), 0);
    const char withZero[] = "AB\0CD";
    EXPECT_TRUE(port.WriteString(withZero));
    size_t written = 0;
    EXPECT_TRUE(port.Write(withZero, sizeof withZero, &written));
    EXPECT_EQ(written, sizeof withZero);
    EXPECT_TRUE(port.Close());
    EXPECT_EQ(memory, (Bytes{'A', 'B', 'A', 'B', 0, 'C', 'D', 0}));
    EXPECT_EQ(CPrintPort("", "title").m_nKind, CPrintPort::KIND_FILE);
    EXPECT_EQ(CPrintPort("P", "").m_nKind, CPrintPort::KIND_SPOOLER);
}

}  // namespace
