// Transfers to printers the program drives itself, with real parts: TCP
// listeners on 127.0.0.1 that take everything, refuse, stall or close
// halfway; pseudo-terminals standing in for serial printers (the other side
// sees the line settings); devices that cannot be opened or vanish; the port
// settings a label keeps.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "model/labelformat.h"
#include "platform/device_line.h"
#include "print/port_channel.h"
#include "support/loopback.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Every byte value, over and over (zeros included).
Bytes Job(size_t n)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = std::uint8_t((i * 7 + i / 256) & 0xFF);
    return b;
}

PortAddress Tcp(int port)
{
    PortAddress a;
    a.kind = PortKind::Tcp;
    a.host = "127.0.0.1";
    a.tcpPort = port;
    return a;
}

class RecordProgress : public IPortProgress {
public:
    void OnProgress(int percent) override { percents.push_back(percent); }
    bool IsCancelled() override { return cancelAfter >= 0 && int(percents.size()) > cancelAfter; }
    std::vector<int> percents;
    int cancelAfter = -1;
};

// A pseudo-terminal pair: the channel writes to the slave as to a serial
// device; the master reads what arrives.
class Pty {
public:
    Pty()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) return;
        m_slave = ptsname(m_master);
    }
    ~Pty()
    {
        if (m_reader.joinable()) m_reader.join();
        CloseMaster();
    }
    bool ok() const { return !m_slave.empty(); }
    const std::string& slave() const { return m_slave; }
    int master() const { return m_master; }
    void CloseMaster()
    {
        if (m_master >= 0) close(m_master);
        m_master = -1;
    }
    // Reads up to limit bytes (bounded in time), then, when closeAfter, closes the master.
    void StartReading(size_t limit, bool closeAfter = false)
    {
        m_reader = std::thread([this, limit, closeAfter] {
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            std::uint8_t buf[4096];
            while (received.size() < limit && std::chrono::steady_clock::now() < end) {
                pollfd p{m_master, POLLIN, 0};
                if (poll(&p, 1, 20) <= 0) continue;
                const ssize_t r = read(m_master, buf, std::min(sizeof buf, limit - received.size()));
                if (r <= 0) break;
                received.insert(received.end(), buf, buf + r);
            }
            if (closeAfter) CloseMaster();
        });
    }
    void Wait()
    {
        if (m_reader.joinable()) m_reader.join();
    }
    Bytes received;

private:
    int m_master = -1;
    std::string m_slave;
    std::thread m_reader;
};

TEST(PortChannel, TcpPrinterGetsEveryByteWithProgress)
{
    kvtest::LoopbackListener printer;
    ASSERT_TRUE(printer.ok());
    const Bytes job = Job(100000);
    CPortChannel channel;
    RecordProgress progress;
    channel.SetProgress(&progress);
    channel.SetPrinterName("Dock");
    EXPECT_EQ(channel.Send(job, Tcp(printer.port())), 0) << channel.Message();
    EXPECT_EQ(printer.Received(), job);
    EXPECT_EQ(channel.Message(), "");
    // One report per block of 2,048 bytes, rising to 100.
    ASSERT_EQ(progress.percents.size(), (job.size() + 2047) / 2048);
    EXPECT_TRUE(std::is_sorted(progress.percents.begin(), progress.percents.end()));
    EXPECT_EQ(progress.percents.front(), 2);
    EXPECT_EQ(progress.percents.back(), 100);
}

TEST(PortChannel, TcpFailuresAreClearAndNeverSuccess)
{
    const struct {
        const char* name;
        kvtest::LoopbackListener::Mode mode;
        size_t closeAfter;
        bool listens;
        int code;
        const char* words;
        bool printerFailed;  // the message starts with the printer-failed text
    } cases[] = {
        {"refused", kvtest::LoopbackListener::Mode::Accept, 0, false, 10061, "refused", false},
        {"stalled", kvtest::LoopbackListener::Mode::Stall, 0, true, 1460, "the printer took", true},
        {"closed halfway", kvtest::LoopbackListener::Mode::CloseAfter, 300000, true, 10054, "dropped the connection", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        kvtest::LoopbackListener printer(c.mode, c.closeAfter, c.listens, 4096);
        ASSERT_TRUE(printer.ok());
        CPortChannel channel;
        channel.SetPrinterName("Dock");
        channel.SetTimeLimit(500);
        const auto start = std::chrono::steady_clock::now();
        const int rc = channel.Send(Job(2000000), Tcp(printer.port()));
        EXPECT_EQ(rc, c.code) << channel.Message();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        const std::string& m = channel.Message();
        EXPECT_NE(m.find("Printer \"Dock\" on tcp:127.0.0.1:" + std::to_string(printer.port())), std::string::npos) << m;
        EXPECT_NE(m.find(c.words), std::string::npos) << m;
        EXPECT_EQ(m.rfind("Printer Failed. Please check the printer and printer driver!", 0) == 0, c.printerFailed) << m;
    }
}

TEST(PortChannel, CancelStopsBetweenBlocks)
{
    kvtest::LoopbackListener printer;
    RecordProgress progress;
    progress.cancelAfter = 3;
    CPortChannel channel;
    channel.SetProgress(&progress);
    EXPECT_EQ(channel.Send(Job(100000), Tcp(printer.port())), 1223);
    EXPECT_EQ(channel.Message(), "");
    EXPECT_EQ(channel.Detail(), "cancelled after 6144 of 100000 bytes");
    EXPECT_EQ(progress.percents.size(), 4u);
    EXPECT_EQ(printer.Received().size(), 3u * 2048);
}

// A Linux pseudo-terminal keeps the speed, the parity kind and checking,
// the stop bits and both kinds of flow control of the line, but always
// reports 8 data bits without the parity-enable bit; those two are not seen.
TEST(PortChannel, SerialLineSettingsReachTheOtherSide)
{
    const struct {
        SerialLine line;
        speed_t speed;
        bool parity, odd, mark, twoStop, rtscts, xonxoff;
    } cases[] = {
        {{9600, 8, 0, 0, 0}, B9600, false, false, false, false, false, false},
        {{19200, 7, 2, 2, 1}, B19200, true, false, false, true, true, false},
        {{115200, 8, 1, 0, 2}, B115200, true, true, false, false, false, true},
        {{1200, 7, 3, 1, 0}, B1200, true, true, true, true, false, false},
        {{57600, 8, 4, 0, 1}, B57600, true, false, true, false, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.baud);
        Pty pty;
        ASSERT_TRUE(pty.ok());
        const Bytes job = Job(10000);
        pty.StartReading(job.size());
        PortAddress port;
        port.kind = PortKind::Serial;
        port.path = pty.slave();
        port.line = c.line;
        CPortChannel channel;
        EXPECT_EQ(channel.Send(job, port), 0) << channel.Message();
        pty.Wait();
        EXPECT_EQ(pty.received, job);
        termios t{};
        ASSERT_EQ(tcgetattr(pty.master(), &t), 0);
        EXPECT_EQ(cfgetospeed(&t), c.speed);
        EXPECT_EQ((t.c_cflag & PARODD) != 0, c.odd);
        EXPECT_EQ((t.c_cflag & CMSPAR) != 0, c.mark);
        EXPECT_EQ((t.c_iflag & INPCK) != 0, c.parity);
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.twoStop);
        EXPECT_EQ((t.c_cflag & CRTSCTS) != 0, c.rtscts);
        EXPECT_EQ((t.c_iflag & (IXON | IXOFF)) == (IXON | IXOFF), c.xonxoff);
        EXPECT_EQ(t.c_iflag & (IXON | IXOFF), c.xonxoff ? (IXON | IXOFF) : 0u);
    }
}

TEST(PortChannel, SerialPrinterThatStopsTakingOrVanishes)
{
    PortAddress port;
    port.kind = PortKind::Serial;
    // Nobody reads: the line's buffers fill and the block times out.
    {
        Pty pty;
        ASSERT_TRUE(pty.ok());
        port.path = pty.slave();
        CPortChannel channel;
        channel.SetTimeLimit(300);
        EXPECT_EQ(channel.Send(Job(1000000), port), 1460);
        EXPECT_NE(channel.Message().find("Printer Failed."), std::string::npos);
    }
    // The device goes away after 8 KB.
    {
        Pty pty;
        ASSERT_TRUE(pty.ok());
        port.path = pty.slave();
        pty.StartReading(8192, true);
        CPortChannel channel;
        channel.SetPrinterName("Bench");
        const int rc = channel.Send(Job(1000000), port);
        EXPECT_NE(rc, 0);
        EXPECT_NE(rc, 1460);
        EXPECT_NE(channel.Message().find("Printer \"Bench\" on serial:" + pty.slave()), std::string::npos)
            << channel.Message();
        EXPECT_NE(channel.Message().find("of 1000000 bytes"), std::string::npos) << channel.Message();
    }
}

TEST(PortChannel, PortsThatCannotBeOpenedAreInvalid)
{
    const char* ports[] = {"serial:/nonexistent/ttyS0", "usb:/dev/usb/lp97", "parallel:/dev/lp97"};
    for (const char* text : ports) {
        SCOPED_TRACE(text);
        PortAddress port;
        ASSERT_TRUE(ParsePortAddress(text, port, nullptr));
        CPortChannel channel;
        channel.SetPrinterName("P");
        EXPECT_EQ(channel.Send(Job(10), port), 6);
        EXPECT_EQ(channel.Message().rfind("Printer Failed. Please check the printer and printer driver!\n", 0), 0u)
            << channel.Message();
        EXPECT_NE(channel.Message().find(text), std::string::npos);
    }
    // A file that is not a terminal is no serial line.
    PortAddress notSerial;
    notSerial.kind = PortKind::Serial;
    notSerial.path = "/dev/null";
    CPortChannel channel;
    EXPECT_EQ(channel.Send(Job(10), notSerial), 6);
    EXPECT_NE(channel.Message().find("not a serial line"), std::string::npos);
}

TEST(PortChannel, FilesAndFullDisks)
{
    const std::string dir = testing::TempDir();
    PortAddress file;
    file.kind = PortKind::File;
    file.path = dir + "/kv-port-channel.out";
    CPortChannel channel;
    ASSERT_EQ(channel.Send(Job(5000), file), 0) << channel.Message();
    ASSERT_EQ(channel.Send(Job(10), file), 0) << channel.Message();
    FILE* f = std::fopen(file.path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::fseek(f, 0, SEEK_END);
    EXPECT_EQ(std::ftell(f), 10);  // replaced, not appended
    std::fclose(f);
    std::remove(file.path.c_str());

    file.path = "/dev/full";
    EXPECT_EQ(channel.Send(Job(5000), file), 112);
    EXPECT_NE(channel.Message().find("No space left on device"), std::string::npos) << channel.Message();
    file.path = "/sys/kv-port-channel.out";
    EXPECT_EQ(channel.Send(Job(10), file), 5);
    EXPECT_NE(channel.Message().find("/sys/kv-port-channel.out"), std::string::npos);
}

TEST(PortSettings, NamesTextAndDevices)
{
    const struct {
        const char* text;
        const char* name;
        const char* port;  // the device or address it opens, "" when none
    } cases[] = {
        {"65538,0,0,0,0,0,0,0,0", "COM3", "serial:/dev/ttyS2:9600,8,N,1,N"},
        {"65536,19200,7,2,2,2,0,0,0", "COM1", "serial:/dev/ttyS0:19200,7,E,2,X"},
        {"0", "LPT1", "parallel:/dev/lp0"},
        {"196608,0,0,0,0,0,0,0,1", "USB0001", "usb:/dev/usb/lp0"},
        {"131072,0,0,0,0,0,-1062731420", "IP_192.168.1.100", "tcp:192.168.1.100:9100"},
        {"131072,0,0,0,0,0,2130706433,9101", "IP_127.0.0.1", "tcp:127.0.0.1:9101"},
        {"262144", "", ""},
        {"", "LPT1", "parallel:/dev/lp0"},
        {"x,y", "LPT1", "parallel:/dev/lp0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const CPortSettings s = CPortSettings::Parse(c.text);
        EXPECT_EQ(s.PortName(), c.name);
        PortAddress a;
        EXPECT_EQ(s.ToAddress(a, nullptr), *c.port != 0);
        if (*c.port) EXPECT_EQ(FormatPortAddress(a), c.port);
        EXPECT_EQ(CPortSettings::Parse(s.Format()), s);
    }
    EXPECT_EQ(CPortSettings::Parse("131072,0,0,0,0,0,-1062731420").m_dwAddress, 0xC0A80164u);

    // The own printers' ports as settings, and back.
    const char* own[] = {"parallel:/dev/lp2", "usb:/dev/usb/lp3", "serial:/dev/ttyS1:4800,7,O,2,H",
                         "tcp:10.1.2.3:9100", "tcp:10.1.2.3:6101"};
    for (const char* text : own) {
        SCOPED_TRACE(text);
        PortAddress a, back;
        ASSERT_TRUE(ParsePortAddress(text, a, nullptr));
        CPortSettings s;
        ASSERT_TRUE(CPortSettings::FromAddress(a, s, nullptr));
        ASSERT_TRUE(s.ToAddress(back, nullptr));
        EXPECT_EQ(back, a);
    }
    EXPECT_EQ(CPortSettings::Parse("196610").PortName(), "USB0003");
    const char* none[] = {"serial:/dev/ttyUSB0", "tcp:printer.example", "file:/tmp/x"};
    for (const char* text : none) {
        PortAddress a;
        ASSERT_TRUE(ParsePortAddress(text, a, nullptr));
        CPortSettings s;
        std::string error;
        EXPECT_FALSE(CPortSettings::FromAddress(a, s, &error)) << text;
        EXPECT_FALSE(error.empty());
    }

    // Kept by a label, read back and sent through.
    kvtest::LoopbackListener printer;
    CPortSettings kept;
    kept.m_nPortId = PORT_NETWORK << 16;
    kept.m_dwAddress = 0x7F000001;
    kept.m_nTcpPort = printer.port();
    CLabelFormat format;
    SetLabelPortSettings(format, kept);
    EXPECT_EQ(format.GetProperty(301), "131072,0,0,0,0,0,2130706433," + std::to_string(printer.port()) + ",0");
    const CPortSettings s = GetLabelPortSettings(format);
    EXPECT_EQ(s, kept);
    CPortChannel channel;
    EXPECT_EQ(channel.Send(Job(3000), s), 0) << channel.Message();
    EXPECT_EQ(printer.Received(), Job(3000));
    CPortSettings spooler;
    spooler.m_nPortId = PORT_SPOOLER << 16;
    SetLabelPortSettings(format, spooler, "Office");
    std::string name;
    EXPECT_EQ(GetLabelPortSettings(format, &name).Kind(), PORT_SPOOLER);
    EXPECT_EQ(name, "Office");
    EXPECT_EQ(channel.Send(Job(3), spooler), 6);
}

}  // namespace
