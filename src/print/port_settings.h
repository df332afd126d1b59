#pragma once
// The port settings of a printer the program drives through a port of its
// own, as a label keeps them in its property 301: nine integers written in
// decimal and separated by ",". Port id: the kind in the high 16 bits
// (0 parallel, 1 serial, 2 network, 3 USB, 4 a spooler printer whose name
// property 302 holds), the port number - 1 in the low 16 bits.
#include <string>
#include <string_view>

#include "platform/port_address.h"
#include "platform/types.h"

class CLabelFormat;

enum PortSettingsKind : int {
    PORT_PARALLEL = 0,
    PORT_SERIAL = 1,
    PORT_NETWORK = 2,
    PORT_USB = 3,
    PORT_SPOOLER = 4,
};

struct CPortSettings {
    int m_nPortId = 0;
    int m_nBaudRate = 0;  // 0 means 9600
    int m_nDataBits = 0;  // 7 or 8; 0 means 8
    int m_nParity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
    int m_nStopBits = 0;  // 0 one, 1 one and a half, 2 two
    int m_nHandshake = 0; // 0 none, 1 hardware, 2 XON/XOFF
    DWORD m_dwAddress = 0;  // IPv4 address, first octet in the highest byte
    int m_nTcpPort = 0;     // the eighth value: the network port, 0 meaning 9100
    int m_nFlags = 0;       // bit 0: write through, without system buffering

    bool operator==(const CPortSettings&) const = default;

    int Kind() const { return int(unsigned(m_nPortId) >> 16); }
    int Number() const { return (m_nPortId & 0xFFFF) + 1; }

    // Field by field; missing or malformed fields read as 0.
    static CPortSettings Parse(std::string_view text);
    std::string Format() const;

    // "LPT%d", "COM%d", "IP_%d.%d.%d.%d", "USB%04d"; "" for other kinds.
    std::string PortName() const;

    // The own-printer port text as settings: parallel and USB devices by
    // their number, serial lines /dev/ttySN by theirs, network printers by
    // an IPv4 address; false with a reason for what they cannot hold.
    static bool FromAddress(const PortAddress& address, CPortSettings& out, std::string* error);
    // The device the settings name: LPTn /dev/lp(n-1), COMn /dev/ttyS(n-1),
    // USBn /dev/usb/lp(n-1), a network address on its port; false for a
    // spooler printer and unknown kinds.
    bool ToAddress(PortAddress& out, std::string* error) const;
};

// The port settings a label keeps (property 301) and, for kind 4, the
// spooler printer's name (property 302).
CPortSettings GetLabelPortSettings(const CLabelFormat& format, std::string* spoolerPrinter = nullptr);
void SetLabelPortSettings(CLabelFormat& format, const CPortSettings& settings,
                          const std::string& spoolerPrinter = std::string());
