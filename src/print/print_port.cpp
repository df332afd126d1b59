#include "print/print_port.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "platform/device_line.h"
#include "platform/settings_store.h"
#include "platform/spooler_job.h"
#include "platform/strutil.h"

namespace {

IPrintFileDialog* g_fileDialog = nullptr;
// The name chosen in the dialog, offered again next time (not saved).
std::string g_lastChosenFile;

constexpr const char kSettings[] = "Settings";
// A regular file never makes a writer wait; the limit only bounds a file
// name that is a device or a pipe.
constexpr int kFileTimeLimitMs = 20000;

}  // namespace

IPrintFileDialog* SetPrintFileDialog(IPrintFileDialog* dialog)
{
    IPrintFileDialog* old = g_fileDialog;
    g_fileDialog = dialog;
    return old;
}

CPrintPort::CPrintPort() : m_nKind(KIND_FILE) {}

CPrintPort::CPrintPort(std::vector<std::uint8_t>* memory) : m_nKind(KIND_MEMORY), m_memory(memory) {}

CPrintPort::CPrintPort(const std::string& printer, const std::string& title)
    : m_strTarget(printer), m_strTitle(title), m_nKind(printer.empty() ? KIND_FILE : KIND_SPOOLER)
{
}

CPrintPort::~CPrintPort()
{
    if (m_job) m_job->Cancel();
}

BOOL CPrintPort::Fail(const std::string& text)
{
    m_strError = text;
    return FALSE;
}

std::string CPrintPort::PrinterText() const
{
    if (m_nKind == KIND_FILE) return "file " + m_strFile;
    return "printer \"" + m_strTarget + "\"" + (m_strPort.empty() ? "" : " on " + m_strPort);
}

bool CPrintPort::StartDocument(const std::string& name)
{
    m_job = std::make_unique<CSpoolerJob>();
    std::string error;
    if (!m_job->Start(m_strTarget, name, &error)) {
        m_job.reset();
        m_strError = PrinterText() + ": " + error;
        return false;
    }
    m_jobIds.push_back(m_job->Id());
    return true;
}

bool CPrintPort::EndDocument()
{
    if (!m_job) return true;
    std::string error;
    const bool ok = m_job->End(&error);
    if (m_job->Id() == 0 && !m_jobIds.empty()) m_jobIds.pop_back();  // an empty document: no job
    m_job.reset();
    if (!ok) m_strError = PrinterText() + ": " + error;
    return ok;
}

int CPrintPort::Open()
{
    m_strError.clear();
    m_nBytes = 0;
    switch (m_nKind) {
    case KIND_SPOOLER:
        m_strPort = SpoolerPortName(m_strTarget);
        m_nDocuments = 0;
        m_jobIds.clear();
        if (!StartDocument(m_strTitle.empty() ? "Korvane" : m_strTitle)) return OPEN_FAILED;
        m_bOpen = true;
        return OPEN_OK;
    case KIND_MEMORY: m_bOpen = true; return OPEN_OK;
    default: break;
    }

    CSettingsStore& settings = CSettingsStore::Instance();
    std::string name = m_strOutputFile;
    if (name.empty() && settings.GetInt(kSettings, "SetOutFileOnPrint", 0) == 1) {
        name = g_lastChosenFile;
        if (!g_fileDialog ||
            !g_fileDialog->AskOutputFile("Printing To File...", "Text File(*.txt)|*.txt|All Files(*.*)|*.*||", ".txt",
                                         name) ||
            name.empty())
            return OPEN_CANCELLED;
        g_lastChosenFile = name;
    }
    if (name.empty()) name = settings.GetString(kSettings, "OutFileName", "");
    if (name.empty()) name = UserDesktopFolder() + "/OutFile.txt";
    m_strFile = name;
    PortAddress file;
    file.kind = PortKind::File;
    file.path = name;
    m_file = std::make_unique<CDeviceLine>();
    if (m_file->Open(file, kFileTimeLimitMs) != syserr::kSuccess) {
        m_strError = m_file->ErrorText();
        m_file.reset();
        return OPEN_FAILED;
    }
    m_bOpen = true;
    return OPEN_OK;
}

BOOL CPrintPort::Write(const void* data, size_t length, size_t* written)
{
    if (written) *written = 0;
    if (!m_bOpen) return Fail("the port is not open");
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    switch (m_nKind) {
    case KIND_MEMORY: m_memory->insert(m_memory->end(), bytes, bytes + length); break;
    case KIND_SPOOLER: {
        std::string error;
        if (!m_job) return Fail(PrinterText() + ": no document is open");
        if (!m_job->Write(bytes, length, &error)) return Fail(PrinterText() + ": " + error);
        break;
    }
    default:
        if (m_file->Write(bytes, length, kFileTimeLimitMs) != syserr::kSuccess)
            return Fail("cannot write " + m_strFile + ": " + m_file->ErrorText());
        break;
    }
    if (written) *written = length;
    m_nBytes += length;
    return TRUE;
}

BOOL CPrintPort::WriteString(const char* text) { return Write(text, text ? std::strlen(text) : 0, nullptr); }

BOOL CPrintPort::NewDocument()
{
    if (m_nKind != KIND_SPOOLER || !m_bOpen) return TRUE;
    if (!EndDocument()) {
        m_bOpen = false;
        return FALSE;
    }
    ++m_nDocuments;
    const std::string name = StrFormat("%s_%d", m_strTitle.empty() ? "Korvane" : m_strTitle.c_str(), m_nDocuments + 1);
    if (!StartDocument(name)) {
        m_bOpen = false;
        return FALSE;
    }
    return TRUE;
}

BOOL CPrintPort::Close()
{
    if (!m_bOpen) return m_strError.empty() ? TRUE : FALSE;
    m_bOpen = false;
    switch (m_nKind) {
    case KIND_MEMORY: return TRUE;
    case KIND_SPOOLER: {
        if (!EndDocument()) return FALSE;
        // Each job must reach the completed state; all of them within the limit.
        const auto start = std::chrono::steady_clock::now();
        for (size_t i = 0; i < m_jobIds.size(); ++i) {
            const int id = m_jobIds[i];
            const int spent = int(
                std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
            std::string detail;
            const SpoolerJobResult r =
                WaitForSpoolerJob(m_strTarget, id, std::max(0, m_nTimeLimitMs - spent), &detail, m_cancelled);
            if (r != SpoolerJobResult::Completed) {
                // The documents after it would print a job the user is told failed.
                for (size_t j = i + 1; j < m_jobIds.size(); ++j) CancelSpoolerJob(m_strTarget, m_jobIds[j]);
                return Fail(PrinterText() + StrFormat(", job %d: ", id) + detail);
            }
        }
        return TRUE;
    }
    default: {
        const int rc = m_file->Finish(kFileTimeLimitMs);
        const std::string error = m_file->ErrorText();
        m_file.reset();
        if (rc != syserr::kSuccess) return Fail("cannot write " + m_strFile + ": " + error);
        return TRUE;
    }
    }
}
