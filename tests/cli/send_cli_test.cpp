// korvane send: a file of printer-language bytes to a CUPS queue of a
// scheduler of the test's own, to own printers on TCP and serial ports and
// files, and to the print file; status 0 only when every byte left.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

#include "support/cupsd.h"
#include "support/kvtest.h"
#include "support/loopback.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Env = std::vector<std::pair<std::string, std::string>>;

Bytes Job(size_t n)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = std::uint8_t((i * 31 + i / 256) & 0xFF);
    return b;
}

class SendCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        job = dir.file("label.zpl");
        kvtest::WriteFileBytes(job, bytes);
    }
    kvtest::RunResult Run(const std::vector<std::string>& args)
    {
        return kvtest::RunKorvane(args, {{"KORVANE_SETTINGS", dir.file("settings.ini")}});
    }
    void AddOwn(const std::string& name, const std::string& port)
    {
        const auto r = Run({"printers", "add", name, "--language", "zpl", "--dpi", "203", "--port", port});
        ASSERT_EQ(r.status, 0) << r.err;
    }
    kvtest::TempDir dir;
    Bytes bytes = Job(50000);
    std::string job;
};

TEST_F(SendCli, CupsQueueGetsTheBytesUnchanged)
{
    kvtest::PrivateCupsd cupsd;
    ASSERT_TRUE(cupsd.ok()) << cupsd.error();
    kvtest::LoopbackListener printer;
    ASSERT_TRUE(cupsd.AddQueue("zpl", "socket://127.0.0.1:" + std::to_string(printer.port()),
                               "drv:///sample.drv/zebra.ppd"))
        << cupsd.lastOutput();
    const auto r = Run({"send", job, "--printer", "zpl"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");  // no progress when stderr is not a terminal
    EXPECT_EQ(printer.Received(), bytes);

    // A queue whose device refuses: not success, and the message names printer and port.
    kvtest::LoopbackListener refusing(kvtest::LoopbackListener::Mode::Accept, 0, false);
    const std::string uri = "socket://127.0.0.1:" + std::to_string(refusing.port());
    ASSERT_TRUE(cupsd.AddQueue("dead", uri, "raw")) << cupsd.lastOutput();
    const auto failed = Run({"send", job, "--printer", "dead", "--timeout", "2"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find("printer \"dead\" on " + uri), std::string::npos) << failed.err;
    EXPECT_NE(failed.err.find("did not complete"), std::string::npos) << failed.err;
}

TEST_F(SendCli, OwnPortsTcpSerialAndFile)
{
    kvtest::LoopbackListener printer;
    kvtest::LoopbackListener refusing(kvtest::LoopbackListener::Mode::Accept, 0, false);
    kvtest::LoopbackListener stalling(kvtest::LoopbackListener::Mode::Stall, 0, true, 4096);
    AddOwn("Dock", "tcp:127.0.0.1:" + std::to_string(printer.port()));
    AddOwn("Refusing", "tcp:127.0.0.1:" + std::to_string(refusing.port()));
    AddOwn("Stalling", "tcp:127.0.0.1:" + std::to_string(stalling.port()));
    AddOwn("Archive", "file:" + dir.file("archive.prn"));

    auto r = Run({"send", job, "--printer", "Dock"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(printer.Received(), bytes);

    r = Run({"send", job, "--printer", "Archive"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(kvtest::ReadFileBytes(dir.file("archive.prn")), bytes);

    r = Run({"send", job, "--printer", "Refusing"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Printer \"Refusing\" on tcp:127.0.0.1:" + std::to_string(refusing.port())),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("refused"), std::string::npos) << r.err;

    const std::string big = dir.file("big.zpl");
    kvtest::WriteFileBytes(big, Job(3000000));
    r = Run({"send", big, "--printer", "Stalling", "--timeout", "0.5"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Printer Failed. Please check the printer and printer driver!"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("(error 1460)"), std::string::npos) << r.err;

    // A pseudo-terminal as the serial printer.
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    AddOwn("Bench", std::string("serial:") + ptsname(master) + ":38400,8,N,1,X");
    Bytes got;
    std::thread reader([&] {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        std::uint8_t buf[4096];
        while (got.size() < bytes.size() && std::chrono::steady_clock::now() < end) {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0) continue;
            const ssize_t n = read(master, buf, sizeof buf);
            if (n <= 0) break;
            got.insert(got.end(), buf, buf + n);
        }
    });
    r = Run({"send", job, "--printer", "Bench"});
    reader.join();
    close(master);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(got, bytes);
}

TEST_F(SendCli, ProgressOnATerminal)
{
    kvtest::LoopbackListener printer;
    AddOwn("Dock", "tcp:127.0.0.1:" + std::to_string(printer.port()));
    // korvane with its output on a pseudo-terminal.
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, slave, 1);
    posix_spawn_file_actions_adddup2(&actions, slave, 2);
    const std::string settings = "KORVANE_SETTINGS=" + dir.file("settings.ini");
    std::vector<std::string> envText;
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("KORVANE_SETTINGS=", 0) != 0) envText.push_back(*e);
    envText.push_back(settings);
    std::vector<char*> env;
    for (std::string& e : envText) env.push_back(e.data());
    env.push_back(nullptr);
    std::string exe = KV_KORVANE_EXE, cmd = "send", printerOpt = "--printer", name = "Dock";
    char* argv[] = {exe.data(), cmd.data(), job.data(), printerOpt.data(), name.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv, env.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(slave);
    std::string shown;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int status = -1;
    while (std::chrono::steady_clock::now() < end) {
        pollfd p{master, POLLIN, 0};
        if (poll(&p, 1, 20) > 0) {
            char buf[512];
            const ssize_t n = read(master, buf, sizeof buf);
            if (n > 0) shown.append(buf, size_t(n));
        }
        if (waitpid(pid, &status, WNOHANG) == pid) break;
    }
    if (status == -1) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    for (pollfd p{master, POLLIN, 0}; poll(&p, 1, 50) > 0;) {
        char buf[512];
        const ssize_t n = read(master, buf, sizeof buf);
        if (n <= 0) break;
        shown.append(buf, size_t(n));
    }
    close(master);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << shown;
    EXPECT_NE(shown.find("sending to Dock: 100 %"), std::string::npos) << shown;
    EXPECT_EQ(printer.Received(), bytes);
}

TEST_F(SendCli, PrintFileAndRefusals)
{
    const std::string out = dir.file("out.prn");
    auto r = Run({"send", job, "--output", out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(kvtest::ReadFileBytes(out), bytes);
    r = Run({"send", job, "--to-file", "--output", "/dev/full"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;

    const std::vector<std::vector<std::string>> refused = {
        {"send", job},
        {"send", job, "--printer", "nobody"},
        {"send", dir.file("missing.zpl"), "--printer", "nobody"},
        {"send", job, "--printer", "x", "--output", out},
        {"send", job, "--printer", "x", "--timeout", "soon"},
    };
    for (const auto& args : refused) {
        r = Run(args);
        EXPECT_EQ(r.status, 2) << args.back() << " " << r.err;
        EXPECT_NE(r.err.find("korvane:"), std::string::npos);
    }
}

}  // namespace
