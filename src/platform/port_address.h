#pragma once
// Where the program's own printers are attached, written as one short text:
//   tcp:HOST[:PORT]            a network printer (port 9100 when none is given)
//   usb:/dev/usb/lpN           a USB printer device
//   parallel:/dev/lpN          a parallel port
//   serial:DEVICE[:BAUD,DATABITS,PARITY,STOPBITS,HANDSHAKE]
//   file:PATH                  a file the bytes are written to
// The serial line values use the codes the port settings of a label keep:
// parity 0 none, 1 odd, 2 even, 3 mark, 4 space; stop bits 0 one, 1 one and
// a half, 2 two; handshake 0 none, 1 hardware (RTS/CTS), 2 XON/XOFF.
#include <string>
#include <string_view>

enum class PortKind { Tcp, Usb, Parallel, Serial, File };

struct SerialLine {
    int baud = 9600;
    int dataBits = 8;
    int parity = 0;
    int stopBits = 0;
    int handshake = 0;
    bool operator==(const SerialLine&) const = default;
};

struct PortAddress {
    PortKind kind = PortKind::File;
    std::string host;   // tcp
    int tcpPort = 9100;  // tcp
    std::string path;   // device (usb, parallel, serial) or file
    int number = 0;     // N of /dev/usb/lpN and /dev/lpN
    SerialLine line;    // serial
    bool operator==(const PortAddress&) const = default;
};

inline constexpr int kDefaultTcpPort = 9100;

// Reads a port text; false with a message naming what is wrong (the text is
// not changed). Prefixes and the serial words are read without regard to case.
bool ParsePortAddress(std::string_view text, PortAddress& out, std::string* error);

// The text of a port in the form above, every serial value written out
// ("serial:/dev/ttyS0:9600,8,N,1,N").
std::string FormatPortAddress(const PortAddress& port);

// The baud rates a serial line may be set to.
bool IsSupportedBaudRate(int baud);
