#pragma once
// A line to a printer the program drives itself: a serial line (with its
// speed, size, parity, stop bits and flow control set through termios), a
// parallel or USB printer device, a TCP connection, or a file. Every wait is
// bounded by the caller's time limit and can be cut short by a cancel test.
//
// Results are system error codes in the numbering the print engine reports
// (0 success; the constants below); ErrorText() says what happened in words.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/port_address.h"

namespace syserr {
inline constexpr int kSuccess = 0;
inline constexpr int kFileNotFound = 2;
inline constexpr int kAccessDenied = 5;
inline constexpr int kInvalidHandle = 6;  // the port could not be opened or is not a port
inline constexpr int kGenFailure = 31;
inline constexpr int kDiskFull = 112;
inline constexpr int kBusy = 170;
inline constexpr int kIoDevice = 1117;
inline constexpr int kDeviceNotConnected = 1167;
inline constexpr int kCancelled = 1223;
inline constexpr int kTimeout = 1460;
inline constexpr int kConnectionReset = 10054;
inline constexpr int kTimedOut = 10060;
inline constexpr int kConnectionRefused = 10061;
inline constexpr int kHostUnreachable = 10065;
inline constexpr int kHostNotFound = 11001;
}  // namespace syserr

// The code of an errno value (kGenFailure for those without one of their own).
int SystemErrorFromErrno(int err);

class CDeviceLine {
public:
    // Returns true to stop waiting (the user cancelled).
    using CancelTest = std::function<bool()>;

    CDeviceLine() = default;
    ~CDeviceLine();
    CDeviceLine(const CDeviceLine&) = delete;
    CDeviceLine& operator=(const CDeviceLine&) = delete;

    // Opens the port: connects (tcp), sets the line (serial), creates or
    // truncates the file. noBuffering asks devices to write through.
    int Open(const PortAddress& port, int timeoutMs, bool noBuffering = false, const CancelTest& cancelled = {});
    // Writes all n bytes within the time limit.
    int Write(const std::uint8_t* data, size_t n, int timeoutMs, const CancelTest& cancelled = {});
    // Waits until every byte written has left: the serial output queue is
    // empty, the printer's TCP has acknowledged every byte (and, when it
    // closes its end, did so without a reset), the file is on the disk.
    int Finish(int timeoutMs, const CancelTest& cancelled = {});
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    const std::string& ErrorText() const { return m_error; }

private:
    int Fail(int code, const std::string& text);
    int FailErrno(int err, const std::string& what);
    int OpenTcp(const PortAddress& port, int timeoutMs, const CancelTest& cancelled);
    int SetSerialLine(const SerialLine& line);

    int m_fd = -1;
    PortKind m_kind = PortKind::File;
    std::string m_error;
};
