// The command job: the port for the printer, the printer's setup, the
// print-mode loop, the job's end, and for printers the program drives
// itself the transfer of the finished job through their own port.
#include <memory>

#include "model/document.h"
#include "model/printer_lookup.h"
#include "platform/port_address.h"
#include "platform/strutil.h"
#include "print/port_channel.h"
#include "print/port_settings.h"
#include "print/print_port.h"
#include "print/printdriver.h"

namespace {

// The transfer after the job asks the job's progress whether to stop.
class TransferCancel : public IPortProgress {
public:
    explicit TransferCancel(IPrintProgress* progress) : m_progress(progress) {}
    void OnProgress(int) override {}
    bool IsCancelled() override { return m_progress && m_progress->IsCancelled(); }

private:
    IPrintProgress* m_progress;
};

}  // namespace

BOOL CPrintDriver::PrintJob(const std::string& printer, BOOL toFile)
{
    m_strError.clear();
    m_strTarget.clear();
    m_nBytes = 0;
    m_bCancelled = false;
    if (!m_pFormat) return FALSE;
    const CPrinterInfo* entry = GetPrinterLookup().Find(printer);
    const std::string title = m_pDocument ? m_pDocument->GetTitle() : std::string();

    // The port: the file, the spooler queue, or memory for a printer of our own.
    std::vector<std::uint8_t> memory;
    std::unique_ptr<CPrintPort> port;
    bool transfer = false;
    std::string spoolerPrinter;
    const CPortSettings labelPort = GetLabelPortSettings(*m_pFormat, &spoolerPrinter);
    if (toFile) {
        port = std::make_unique<CPrintPort>();
        port->SetOutputFile(m_strOutputFile);
    } else if (entry && entry->m_bOwnPort) {
        // The catalogue's port text wins; a label that names a spooler
        // printer for its own port (kind 4) prints there.
        if (entry->m_strPort.empty() && labelPort.Kind() == PORT_SPOOLER) {
            port = std::make_unique<CPrintPort>(spoolerPrinter, title);
        } else {
            port = std::make_unique<CPrintPort>(&memory);
            transfer = true;
        }
    } else {
        port = std::make_unique<CPrintPort>(printer, title);
    }
    if (m_nTimeLimitMs > 0) port->SetTimeLimit(m_nTimeLimitMs);
    port->SetCancelTest([this] { return m_pProgress && m_pProgress->IsCancelled(); });

    const int opened = port->Open();
    if (opened == CPrintPort::OPEN_CANCELLED) {
        m_bCancelled = true;
        return FALSE;
    }
    if (opened != CPrintPort::OPEN_OK) {
        m_strError = std::string(kPrinterFailedMessage) + " " + port->LastError();
        return FALSE;
    }
    if (port->m_nKind == CPrintPort::KIND_FILE)
        m_strTarget = port->OutputFile();
    else if (port->m_nKind == CPrintPort::KIND_SPOOLER)
        m_strTarget = "printer \"" + port->m_strTarget + "\"";
    else
        m_strTarget = "printer \"" + printer + "\"" + (entry && !entry->m_strPort.empty() ? " on " + entry->m_strPort : "");

    // The printer settings of the job: the printer's own when the label asks
    // for them ("Printer Drive&r Default Setup"), else the label's.
    const std::vector<std::string> setup = SplitString(m_pFormat->GetProperty(LFP_OUTPUT_TARGET), ',');
    const bool printerDefaults = setup.size() > 4 && AtoI(setup[4]) != 0;
    m_jobDevMode = printerDefaults && entry ? entry->m_devMode : m_pFormat->m_devMode;

    const bool own = entry && entry->m_bOwnPort;
    LoadPrinterSettings(own ? TRUE : FALSE);
    SendSetup(port.get());
    const BOOL ok = PrintLabels(port.get());
    EndJob(port.get());
    m_jobDevMode.clear();

    // A write that failed leaves the spooler's job to be taken back rather
    // than printing part of the labels.
    if (!port->LastError().empty()) {
        m_strError = port->LastError();
        return FALSE;
    }
    if (m_bCancelled) {
        // The port's destructor takes a spooler job back, and memory for a
        // printer of our own is not sent; a file (or a device named as
        // one) keeps what was written before the cancel.
        if (port->m_nKind == CPrintPort::KIND_FILE) m_nBytes = port->BytesWritten();
        return TRUE;
    }
    if (!port->Close()) {
        m_strError = port->LastError();
        return FALSE;
    }
    m_nBytes = port->BytesWritten();
    if (!ok) {
        if (m_strError.empty()) m_strError = "the driver could not write the labels";
        return FALSE;
    }
    if (!transfer) return TRUE;

    CPortChannel channel;
    channel.SetPrinterName(printer);
    TransferCancel progress(m_pProgress);
    channel.SetProgress(&progress);
    if (m_nTimeLimitMs > 0) channel.SetTimeLimit(m_nTimeLimitMs);
    int rc;
    if (entry && !entry->m_strPort.empty()) {
        PortAddress address;
        std::string error;
        if (!ParsePortAddress(entry->m_strPort, address, &error)) {
            m_strError = std::string(kPrinterFailedMessage) + " " + printer + ": " + error;
            m_nBytes = 0;
            return FALSE;
        }
        rc = channel.Send(memory, address);
    } else {
        m_strTarget = "printer \"" + printer + "\" on " + labelPort.PortName();
        rc = channel.Send(memory, labelPort);
    }
    if (rc == 1223) {
        m_bCancelled = true;
        m_nBytes = 0;
        return TRUE;
    }
    if (rc != 0) {
        m_strError = ReplaceAll(channel.Message(), "\n", " ");
        if (m_strError.empty()) m_strError = channel.Detail();
        m_nBytes = 0;
        return FALSE;
    }
    return TRUE;
}
