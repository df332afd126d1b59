#pragma once
// The transfer of a finished job to a printer the program drives through a
// port of its own: serial lines, parallel and USB printer devices, network
// printers by TCP, files. The bytes go in blocks of up to 2,048 bytes, each
// within a time limit, with progress in percent and a cancel between blocks.
//
// Results: 0 success, 1460 time-out, 6 invalid port (it cannot be opened),
// 1223 cancelled, other system error codes (refused or reset connection,
// vanished device, full disk...). After a failure Message() names the
// printer and the port and says what happened.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/port_address.h"
#include "print/port_settings.h"

// Progress of a transfer; the application shows it (a "Printing" window,
// a terminal line).
class IPortProgress {
public:
    virtual ~IPortProgress() = default;
    // Percent of the bytes read for sending so far, 0 to 100.
    virtual void OnProgress(int percent) = 0;
    // Asked between blocks and while waiting; true stops the transfer.
    virtual bool IsCancelled() { return false; }
};

class CPortChannel {
public:
    static constexpr size_t kBlockSize = 2048;
    static constexpr int kBlockTimeLimitMs = 20000;

    // Through the port a label's port settings name.
    int Send(const std::vector<std::uint8_t>& memory, const CPortSettings& settings);
    // Through an own printer's port.
    int Send(const std::vector<std::uint8_t>& memory, const PortAddress& port);

    void SetProgress(IPortProgress* progress) { m_progress = progress; }
    // The time each block (and the connection, and the last bytes' leaving)
    // may take.
    void SetTimeLimit(int ms) { m_nTimeLimitMs = ms; }
    // The printer's name for the messages.
    void SetPrinterName(const std::string& name) { m_strPrinter = name; }

    // After a failure: the message for the user ("Printer Failed..." first
    // for a time-out or an invalid port), naming printer and port. Empty
    // after success and after a cancel.
    const std::string& Message() const { return m_strMessage; }
    // What happened, in words ("cancelled" after a cancel).
    const std::string& Detail() const { return m_strDetail; }

private:
    int Transfer(const std::vector<std::uint8_t>& memory, const PortAddress& port, const std::string& portText,
                 bool noBuffering);
    int Result(int code, const std::string& portText, const std::string& detail);

    IPortProgress* m_progress = nullptr;
    int m_nTimeLimitMs = kBlockTimeLimitMs;
    std::string m_strPrinter;
    std::string m_strMessage;
    std::string m_strDetail;
};
