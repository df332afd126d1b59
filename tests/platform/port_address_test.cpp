// Port texts of the program's own printers: what each form means, and the
// texts that are refused.
#include <gtest/gtest.h>

#include "platform/port_address.h"

namespace {

TEST(PortAddress, FormsAndTheirValues)
{
    struct Case {
        const char* text;
        PortAddress expected;
        const char* formatted;
    };
    auto tcp = [](const char* host, int port) {
        PortAddress p;
        p.kind = PortKind::Tcp;
        p.host = host;
        p.tcpPort = port;
        return p;
    };
    auto device = [](PortKind kind, const char* path, int n) {
        PortAddress p;
        p.kind = kind;
        p.path = path;
        p.number = n;
        return p;
    };
    auto serial = [](const char* path, SerialLine line) {
        PortAddress p;
        p.kind = PortKind::Serial;
        p.path = path;
        p.line = line;
        return p;
    };
    PortAddress file;
    file.path = "/tmp/out dir/labels.zpl";
    const Case cases[] = {
        {"tcp:192.168.1.100", tcp("192.168.1.100", 9100), "tcp:192.168.1.100:9100"},
        {"tcp:127.0.0.1:9101", tcp("127.0.0.1", 9101), "tcp:127.0.0.1:9101"},
        {"TCP:printer-3.example.com:65535", tcp("printer-3.example.com", 65535), "tcp:printer-3.example.com:65535"},
        {"tcp:[::1]:9100", tcp("::1", 9100), "tcp:[::1]:9100"},
        {"tcp:[fe80::1]", tcp("fe80::1", 9100), "tcp:[fe80::1]:9100"},
        {"usb:/dev/usb/lp0", device(PortKind::Usb, "/dev/usb/lp0", 0), "usb:/dev/usb/lp0"},
        {"parallel:/dev/lp12", device(PortKind::Parallel, "/dev/lp12", 12), "parallel:/dev/lp12"},
        {"serial:/dev/ttyS0", serial("/dev/ttyS0", {}), "serial:/dev/ttyS0:9600,8,N,1,N"},
        {"serial:/dev/ttyUSB1:115200,7,E,2,H", serial("/dev/ttyUSB1", {115200, 7, 2, 2, 1}),
         "serial:/dev/ttyUSB1:115200,7,E,2,H"},
        {"serial:/dev/pts/4:1200,8,odd,1.5,xon/xoff", serial("/dev/pts/4", {1200, 8, 1, 1, 2}),
         "serial:/dev/pts/4:1200,8,O,1.5,X"},
        {"serial:/dev/ttyS1:19200", serial("/dev/ttyS1", {19200, 8, 0, 0, 0}), "serial:/dev/ttyS1:19200,8,N,1,N"},
        {"serial:/dev/ttyS1:4800,8,s,1,n", serial("/dev/ttyS1", {4800, 8, 4, 0, 0}), "serial:/dev/ttyS1:4800,8,S,1,N"},
        {"serial:/dev/ttyS1:4800, 8, M, 2, none", serial("/dev/ttyS1", {4800, 8, 3, 2, 0}),
         "serial:/dev/ttyS1:4800,8,M,2,N"},
        {"file:/tmp/out dir/labels.zpl", file, "file:/tmp/out dir/labels.zpl"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        PortAddress p;
        std::string error;
        ASSERT_TRUE(ParsePortAddress(c.text, p, &error)) << error;
        EXPECT_EQ(p, c.expected);
        EXPECT_EQ(FormatPortAddress(p), c.formatted);
        PortAddress again;
        ASSERT_TRUE(ParsePortAddress(FormatPortAddress(p), again, nullptr));
        EXPECT_EQ(again, p);
    }
}

TEST(PortAddress, BadTextsAreRefusedWithAReason)
{
    const struct {
        const char* text;
        const char* reasonPart;
    } cases[] = {
        {"", "not a port"},
        {"192.168.1.5", "not a port"},
        {"lpt:/dev/lp0", "unknown port kind"},
        {"tcp:", "host"},
        {"tcp::9100", "host"},
        {"tcp:10.0.0.5:", "port after the colon"},
        {"tcp:10.0.0.5:0", "1 to 65535"},
        {"tcp:10.0.0.5:65536", "1 to 65535"},
        {"tcp:10.0.0.5:91x0", "1 to 65535"},
        {"tcp:10.0.0.256", "neither an IPv4"},
        {"tcp:printer_1", "neither an IPv4"},
        {"tcp:-printer", "neither an IPv4"},
        {"tcp:[::1", "closing bracket"},
        {"tcp:[nothing]:9100", "not an IPv6"},
        {"usb:/dev/lp0", "/dev/usb/lpN"},
        {"usb:/dev/usb/lp", "/dev/usb/lpN"},
        {"usb:/tmp/usb/lp0", "/dev/usb/lpN"},
        {"parallel:/dev/lpx", "/dev/lpN"},
        {"serial:ttyS0", "full path"},
        {"serial:/dev/ttyS0:", "settings after the colon"},
        {"serial:/dev/ttyS0:9601", "baud rate"},
        {"serial:/dev/ttyS0:9600,9", "data bits"},
        {"serial:/dev/ttyS0:9600,8,Q", "parity"},
        {"serial:/dev/ttyS0:9600,8,N,3", "stop bits"},
        {"serial:/dev/ttyS0:9600,8,N,1,Z", "handshake"},
        {"serial:/dev/ttyS0:9600,8,N,1,N,1", "at most five"},
        {"file:", "file name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        PortAddress p;
        p.host = "kept";
        std::string error;
        EXPECT_FALSE(ParsePortAddress(c.text, p, &error));
        EXPECT_NE(error.find(c.reasonPart), std::string::npos) << error;
        EXPECT_EQ(p.host, "kept");
    }
}

}  // namespace
