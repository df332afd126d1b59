#include "platform/port_address.h"

#include <arpa/inet.h>
#include <cctype>

#include "platform/strutil.h"

namespace {

const int kBaudRates[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

bool Fail(std::string* error, const std::string& message)
{
    if (error) *error = message;
    return false;
}

// A decimal number of digits only (no sign, no blanks); false when empty
// or too long to matter.
bool ReadDigits(std::string_view s, int& value)
{
    if (s.empty() || s.size() > 9) return false;
    value = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

bool IsHostName(std::string_view host)
{
    if (host.empty() || host.size() > 253) return false;
    for (const std::string& label : SplitString(host, '.')) {
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-') return false;
        for (char c : label)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') return false;
    }
    return true;
}

bool IsIpv4(std::string_view host)
{
    in_addr a{};
    return inet_pton(AF_INET, std::string(host).c_str(), &a) == 1;
}

bool ParseTcp(std::string_view rest, PortAddress& p, std::string* error)
{
    std::string_view host = rest;
    std::string_view port;
    if (!rest.empty() && rest.front() == '[') {
        const size_t close = rest.find(']');
        if (close == std::string_view::npos) return Fail(error, "an IPv6 address in [ ] has no closing bracket");
        host = rest.substr(1, close - 1);
        const std::string_view after = rest.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':') return Fail(error, "unexpected text after the IPv6 address");
            port = after.substr(1);
            if (port.empty()) return Fail(error, "the TCP port after the colon is missing");
        }
        in6_addr a{};
        if (inet_pton(AF_INET6, std::string(host).c_str(), &a) != 1)
            return Fail(error, "\"" + std::string(host) + "\" is not an IPv6 address");
    } else {
        const size_t colon = rest.rfind(':');
        if (colon != std::string_view::npos) {
            host = rest.substr(0, colon);
            port = rest.substr(colon + 1);
            if (port.empty()) return Fail(error, "the TCP port after the colon is missing");
        }
        if (host.empty()) return Fail(error, "the host of a tcp: port is missing (tcp:HOST[:PORT])");
        bool numeric = true;
        for (char c : host)
            if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.') numeric = false;
        if (numeric ? !IsIpv4(host) : !IsHostName(host))
            return Fail(error, "\"" + std::string(host) + "\" is neither an IPv4 address nor a host name");
    }
    int number = kDefaultTcpPort;
    if (!port.empty() && (!ReadDigits(port, number) || number < 1 || number > 65535))
        return Fail(error, "the TCP port \"" + std::string(port) + "\" is not a number from 1 to 65535");
    p.kind = PortKind::Tcp;
    p.host = std::string(host);
    p.tcpPort = number;
    return true;
}

// "/dev/usb/lpN" or "/dev/lpN": the device with its number N.
bool ParseLineDevice(std::string_view rest, std::string_view stem, PortKind kind, PortAddress& p, std::string* error)
{
    int n = 0;
    if (!StartsWith(rest, stem) || !ReadDigits(rest.substr(stem.size()), n))
        return Fail(error, "the device must be written " + std::string(stem) + "N (N a number), not \"" +
                               std::string(rest) + "\"");
    p.kind = kind;
    p.path = std::string(rest);
    p.number = n;
    return true;
}

bool ReadWord(std::string_view item, std::initializer_list<std::initializer_list<const char*>> choices, int& value)
{
    const std::string lower = ToLowerAscii(Trim(item));
    int code = 0;
    for (const auto& names : choices) {
        for (const char* name : names)
            if (lower == name) {
                value = code;
                return true;
            }
        ++code;
    }
    return false;
}

bool ParseSerial(std::string_view rest, PortAddress& p, std::string* error)
{
    std::string_view device = rest;
    std::string_view settings;
    const size_t colon = rest.find(':');
    if (colon != std::string_view::npos) {
        device = rest.substr(0, colon);
        settings = rest.substr(colon + 1);
        if (settings.empty()) return Fail(error, "the serial settings after the colon are missing");
    }
    if (device.size() < 2 || device.front() != '/')
        return Fail(error, "a serial port needs the device's full path (serial:/dev/ttyS0)");
    SerialLine line;
    if (!settings.empty()) {
        const std::vector<std::string> items = SplitString(settings, ',');
        if (items.size() > 5)
            return Fail(error, "a serial line has at most five settings: BAUD,DATABITS,PARITY,STOPBITS,HANDSHAKE");
        if (items.size() > 0 && (!ReadDigits(Trim(items[0]), line.baud) || !IsSupportedBaudRate(line.baud)))
            return Fail(error, "the baud rate \"" + items[0] +
                                   "\" is not one of 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200");
        if (items.size() > 1 &&
            (!ReadDigits(Trim(items[1]), line.dataBits) || (line.dataBits != 7 && line.dataBits != 8)))
            return Fail(error, "data bits must be 7 or 8, not \"" + items[1] + "\"");
        if (items.size() > 2 && !ReadWord(items[2],
                                          {{"n", "none"}, {"o", "odd"}, {"e", "even"}, {"m", "mark"}, {"s", "space"}},
                                          line.parity))
            return Fail(error, "the parity must be N, O, E, M or S, not \"" + items[2] + "\"");
        if (items.size() > 3 && !ReadWord(items[3], {{"1"}, {"1.5"}, {"2"}}, line.stopBits))
            return Fail(error, "stop bits must be 1, 1.5 or 2, not \"" + items[3] + "\"");
        if (items.size() > 4 &&
            !ReadWord(items[4], {{"n", "none"}, {"h", "hardware", "rtscts"}, {"x", "xonxoff", "xon/xoff"}},
                      line.handshake))
            return Fail(error, "the handshake must be N (none), H (hardware) or X (XON/XOFF), not \"" + items[4] +
                                   "\"");
    }
    p.kind = PortKind::Serial;
    p.path = std::string(device);
    p.line = line;
    return true;
}

}  // namespace

bool IsSupportedBaudRate(int baud)
{
    for (int b : kBaudRates)
        if (b == baud) return true;
    return false;
}

bool ParsePortAddress(std::string_view text, PortAddress& out, std::string* error)
{
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return Fail(error, "\"" + std::string(text) +
                               "\" is not a port: write tcp:HOST[:PORT], usb:/dev/usb/lpN, parallel:/dev/lpN, "
                               "serial:DEVICE[:BAUD,DATABITS,PARITY,STOPBITS,HANDSHAKE] or file:PATH");
    const std::string kind = ToLowerAscii(text.substr(0, colon));
    const std::string_view rest = text.substr(colon + 1);
    PortAddress p;
    bool ok = false;
    if (kind == "tcp")
        ok = ParseTcp(rest, p, error);
    else if (kind == "usb")
        ok = ParseLineDevice(rest, "/dev/usb/lp", PortKind::Usb, p, error);
    else if (kind == "parallel")
        ok = ParseLineDevice(rest, "/dev/lp", PortKind::Parallel, p, error);
    else if (kind == "serial")
        ok = ParseSerial(rest, p, error);
    else if (kind == "file") {
        ok = !rest.empty();
        if (ok) {
            p.kind = PortKind::File;
            p.path = std::string(rest);
        } else {
            Fail(error, "the file name of a file: port is missing");
        }
    } else {
        return Fail(error, "unknown port kind \"" + std::string(text.substr(0, colon)) +
                               "\" (tcp, usb, parallel, serial or file)");
    }
    if (ok) out = p;
    return ok;
}

std::string FormatPortAddress(const PortAddress& p)
{
    switch (p.kind) {
    case PortKind::Tcp:
        if (p.host.find(':') != std::string::npos) return StrFormat("tcp:[%s]:%d", p.host.c_str(), p.tcpPort);
        return StrFormat("tcp:%s:%d", p.host.c_str(), p.tcpPort);
    case PortKind::Usb: return "usb:" + p.path;
    case PortKind::Parallel: return "parallel:" + p.path;
    case PortKind::Serial: {
        static const char* const parity[] = {"N", "O", "E", "M", "S"};
        static const char* const stop[] = {"1", "1.5", "2"};
        static const char* const handshake[] = {"N", "H", "X"};
        const SerialLine& l = p.line;
        return StrFormat("serial:%s:%d,%d,%s,%s,%s", p.path.c_str(), l.baud, l.dataBits,
                         parity[l.parity >= 0 && l.parity <= 4 ? l.parity : 0],
                         stop[l.stopBits >= 0 && l.stopBits <= 2 ? l.stopBits : 0],
                         handshake[l.handshake >= 0 && l.handshake <= 2 ? l.handshake : 0]);
    }
    case PortKind::File: return "file:" + p.path;
    }
    return std::string();
}
