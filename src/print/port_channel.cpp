#include "print/port_channel.h"

#include <algorithm>

#include "platform/device_line.h"
#include "print/print_port.h"

int CPortChannel::Result(int code, const std::string& portText, const std::string& detail)
{
    m_strDetail = detail;
    m_strMessage.clear();
    if (code == syserr::kSuccess || code == syserr::kCancelled) return code;
    const std::string where =
        (m_strPrinter.empty() ? std::string("The printer") : "Printer \"" + m_strPrinter + "\"") + " on " + portText;
    m_strMessage = where + ": " + detail;
    if (code == syserr::kTimeout || code == syserr::kInvalidHandle)
        m_strMessage = std::string(kPrinterFailedMessage) + "\n" + m_strMessage;
    return code;
}

int CPortChannel::Send(const std::vector<std::uint8_t>& memory, const CPortSettings& settings)
{
    PortAddress port;
    std::string error;
    const std::string name = settings.PortName();
    if (!settings.ToAddress(port, &error))
        return Result(syserr::kInvalidHandle, name.empty() ? "no port" : name, error);
    const std::string text = name + " (" + FormatPortAddress(port) + ")";
    return Transfer(memory, port, text, (settings.m_nFlags & 1) != 0);
}

int CPortChannel::Send(const std::vector<std::uint8_t>& memory, const PortAddress& port)
{
    return Transfer(memory, port, FormatPortAddress(port), false);
}

int CPortChannel::Transfer(const std::vector<std::uint8_t>& memory, const PortAddress& port,
                           const std::string& portText, bool noBuffering)
{
    const CDeviceLine::CancelTest cancelled = [this] { return m_progress && m_progress->IsCancelled(); };
    CDeviceLine line;
    int rc = line.Open(port, m_nTimeLimitMs, noBuffering, cancelled);
    if (rc != syserr::kSuccess) return Result(rc, portText, line.ErrorText());
    if (memory.empty()) {
        rc = line.Finish(m_nTimeLimitMs, cancelled);
        return Result(rc, portText, line.ErrorText());
    }
    const size_t total = memory.size();
    size_t sent = 0;
    while (sent < total) {
        if (cancelled()) return Result(syserr::kCancelled, portText, "cancelled");
        const size_t n = std::min(kBlockSize, total - sent);
        if (m_progress) m_progress->OnProgress(int(((unsigned long long)(sent + n) * 100 + total / 2) / total));
        rc = line.Write(memory.data() + sent, n, m_nTimeLimitMs, cancelled);
        if (rc != syserr::kSuccess) {
            std::string detail = line.ErrorText();
            if (sent > 0) detail += " after " + std::to_string(sent) + " of " + std::to_string(total) + " bytes";
            return Result(rc, portText, detail);
        }
        sent += n;
    }
    rc = line.Finish(m_nTimeLimitMs, cancelled);
    return Result(rc, portText, line.ErrorText());
}
