#include "print/port_settings.h"

#include <arpa/inet.h>
#include <cstdlib>

#include "model/labelformat.h"
#include "platform/strutil.h"

CPortSettings CPortSettings::Parse(std::string_view text)
{
    CPortSettings s;
    const std::vector<std::string> items = SplitString(text, ',');
    auto at = [&](size_t i) { return i < items.size() ? AtoI(items[i]) : 0; };
    s.m_nPortId = at(0);
    s.m_nBaudRate = at(1);
    s.m_nDataBits = at(2);
    s.m_nParity = at(3);
    s.m_nStopBits = at(4);
    s.m_nHandshake = at(5);
    // The address is a 32-bit value; a stored negative number is its bits.
    s.m_dwAddress = items.size() > 6 ? DWORD(std::strtoll(items[6].c_str(), nullptr, 10)) : 0;
    s.m_nTcpPort = at(7);
    s.m_nFlags = at(8);
    return s;
}

std::string CPortSettings::Format() const
{
    return StrFormat("%d,%d,%d,%d,%d,%d,%d,%d,%d", m_nPortId, m_nBaudRate, m_nDataBits, m_nParity, m_nStopBits,
                     m_nHandshake, int(m_dwAddress), m_nTcpPort, m_nFlags);
}

std::string CPortSettings::PortName() const
{
    switch (Kind()) {
    case PORT_PARALLEL: return StrFormat("LPT%d", Number());
    case PORT_SERIAL: return StrFormat("COM%d", Number());
    case PORT_NETWORK:
        return StrFormat("IP_%u.%u.%u.%u", (m_dwAddress >> 24) & 0xFF, (m_dwAddress >> 16) & 0xFF,
                         (m_dwAddress >> 8) & 0xFF, m_dwAddress & 0xFF);
    case PORT_USB: return StrFormat("USB%04d", Number());
    default: return std::string();
    }
}

bool CPortSettings::FromAddress(const PortAddress& a, CPortSettings& out, std::string* error)
{
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    CPortSettings s;
    switch (a.kind) {
    case PortKind::Parallel:
    case PortKind::Usb:
        if (a.number < 0 || a.number > 0xFFFF) return fail("the device number is too large");
        s.m_nPortId = ((a.kind == PortKind::Usb ? PORT_USB : PORT_PARALLEL) << 16) | a.number;
        break;
    case PortKind::Serial: {
        const std::string stem = "/dev/ttyS";
        const std::string n = StartsWith(a.path, stem) ? a.path.substr(stem.size()) : std::string();
        if (n.empty() || n.size() > 4 || n.find_first_not_of("0123456789") != std::string::npos)
            return fail("only the serial lines /dev/ttySN have a COM number, not " + a.path);
        s.m_nPortId = (PORT_SERIAL << 16) | AtoI(n);
        s.m_nBaudRate = a.line.baud;
        s.m_nDataBits = a.line.dataBits;
        s.m_nParity = a.line.parity;
        s.m_nStopBits = a.line.stopBits;
        s.m_nHandshake = a.line.handshake;
        break;
    }
    case PortKind::Tcp: {
        in_addr addr{};
        if (inet_pton(AF_INET, a.host.c_str(), &addr) != 1)
            return fail("the port settings hold an IPv4 address, not " + a.host);
        s.m_nPortId = PORT_NETWORK << 16;
        s.m_dwAddress = ntohl(addr.s_addr);
        s.m_nTcpPort = a.tcpPort == kDefaultTcpPort ? 0 : a.tcpPort;
        break;
    }
    case PortKind::File: return fail("a file is not a printer port");
    }
    out = s;
    return true;
}

bool CPortSettings::ToAddress(PortAddress& out, std::string* error) const
{
    PortAddress a;
    const int n = Number() - 1;
    switch (Kind()) {
    case PORT_PARALLEL:
        a.kind = PortKind::Parallel;
        a.path = StrFormat("/dev/lp%d", n);
        a.number = n;
        break;
    case PORT_USB:
        a.kind = PortKind::Usb;
        a.path = StrFormat("/dev/usb/lp%d", n);
        a.number = n;
        break;
    case PORT_SERIAL:
        a.kind = PortKind::Serial;
        a.path = StrFormat("/dev/ttyS%d", n);
        a.line.baud = m_nBaudRate ? m_nBaudRate : 9600;
        a.line.dataBits = m_nDataBits == 7 ? 7 : 8;
        a.line.parity = m_nParity >= 0 && m_nParity <= 4 ? m_nParity : 0;
        a.line.stopBits = m_nStopBits >= 0 && m_nStopBits <= 2 ? m_nStopBits : 0;
        a.line.handshake = m_nHandshake >= 0 && m_nHandshake <= 2 ? m_nHandshake : 0;
        break;
    case PORT_NETWORK:
        a.kind = PortKind::Tcp;
        a.host = StrFormat("%u.%u.%u.%u", (m_dwAddress >> 24) & 0xFF, (m_dwAddress >> 16) & 0xFF,
                           (m_dwAddress >> 8) & 0xFF, m_dwAddress & 0xFF);
        a.tcpPort = m_nTcpPort > 0 && m_nTcpPort <= 65535 ? m_nTcpPort : kDefaultTcpPort;
        break;
    default:
        if (error) *error = Kind() == PORT_SPOOLER ? "the settings name a spooler printer" : "no port of that kind";
        return false;
    }
    out = a;
    return true;
}

CPortSettings GetLabelPortSettings(const CLabelFormat& format, std::string* spoolerPrinter)
{
    if (spoolerPrinter) *spoolerPrinter = format.GetProperty(LFP_PORT);
    return CPortSettings::Parse(format.GetProperty(LFP_PRINT_FILE));
}

void SetLabelPortSettings(CLabelFormat& format, const CPortSettings& settings, const std::string& spoolerPrinter)
{
    format.SetProperty(LFP_PRINT_FILE, settings.Format());
    if (settings.Kind() == PORT_SPOOLER || !spoolerPrinter.empty()) format.SetProperty(LFP_PORT, spoolerPrinter);
}
