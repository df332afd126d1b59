#pragma once
// The output channel of a command-language job. Drivers write strings and
// byte blocks; where they go is the port's kind: a raw job on a spooler
// printer (one job per document), a file, or memory that is sent afterwards
// through a printer's own port (CPortChannel).
//
// Nothing counts as printed that did not leave: Close of a spooler port
// waits until the spooler reports every job completed (within a time
// limit), and a file port reports a file that could not be written.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

class CDeviceLine;
class CSpoolerJob;

// The message shown when a port cannot be opened or a transfer times out or
// finds no port.
inline constexpr const char kPrinterFailedMessage[] = "Printer Failed. Please check the printer and printer driver!";

// How the file port asks for the output file's name when the setting
// "SetOutFileOnPrint" is 1. The application implements it.
class IPrintFileDialog {
public:
    virtual ~IPrintFileDialog() = default;
    // name holds the last name on entry; false when the user cancels.
    virtual bool AskOutputFile(const std::string& title, const std::string& filter, const std::string& defaultExtension,
                               std::string& name) = 0;
};
// Puts the dialog in place (null: none, and printing to a file that asks
// for its name is cancelled). Returns the previous one.
IPrintFileDialog* SetPrintFileDialog(IPrintFileDialog* dialog);

class CPrintPort {
public:
    enum Kind : int { KIND_FILE = 0, KIND_SPOOLER = 1, KIND_MEMORY = 3 };
    enum OpenResult : int { OPEN_OK = 0, OPEN_FAILED = 1, OPEN_CANCELLED = 2 };
    // How long Close waits for the spooler's jobs to complete.
    static constexpr int kSpoolerTimeLimitMs = 120000;

    // A file port.
    CPrintPort();
    // A memory port appending to memory.
    explicit CPrintPort(std::vector<std::uint8_t>* memory);
    // A spooler port for the printer (a file port when the name is empty);
    // the job title names its documents ("Korvane" when empty).
    CPrintPort(const std::string& printer, const std::string& title);
    // A port still open is closed; a spooler job not yet ended is cancelled.
    ~CPrintPort();
    CPrintPort(const CPrintPort&) = delete;
    CPrintPort& operator=(const CPrintPort&) = delete;

    // 0 opened, 1 failed (LastError says why), 2 the user cancelled.
    int Open();
    BOOL Write(const void* data, size_t length, size_t* written = nullptr);
    // Writes the text up to its terminating zero.
    BOOL WriteString(const char* text);
    // Ends the spooler document and starts the next one, "%s_%d" with the
    // title and the document's number.
    BOOL NewDocument();
    BOOL IsOpen() const { return m_bOpen; }
    // Ends the port: the spooler's jobs completed, the file written out.
    // FALSE when bytes did not leave, with the reason in LastError().
    BOOL Close();

    // The file port's file, as the command line gives it; when empty the
    // settings decide ("OutFileName", else OutFile.txt on the desktop).
    void SetOutputFile(const std::string& path) { m_strOutputFile = path; }
    // The file the port writes (after Open).
    const std::string& OutputFile() const { return m_strFile; }
    void SetTimeLimit(int ms) { m_nTimeLimitMs = ms; }
    // Polled while Close waits; true stops the wait and cancels the jobs.
    void SetCancelTest(std::function<bool()> cancelled) { m_cancelled = std::move(cancelled); }
    const std::string& LastError() const { return m_strError; }
    // Bytes written since Open.
    std::uint64_t BytesWritten() const { return m_nBytes; }
    // The spooler job ids of the port's documents.
    const std::vector<int>& JobIds() const { return m_jobIds; }

    std::string m_strTarget;  // printer name, or empty
    std::string m_strTitle;
    int m_nKind = KIND_FILE;

private:
    bool StartDocument(const std::string& name);
    bool EndDocument();
    BOOL Fail(const std::string& text);
    std::string PrinterText() const;

    bool m_bOpen = false;
    int m_nDocuments = 0;  // documents started after the first
    std::uint64_t m_nBytes = 0;
    std::unique_ptr<CSpoolerJob> m_job;
    std::vector<int> m_jobIds;
    std::unique_ptr<CDeviceLine> m_file;
    std::vector<std::uint8_t>* m_memory = nullptr;
    std::string m_strOutputFile;
    std::string m_strFile;
    std::string m_strPort;  // the spooler printer's device, for messages
    int m_nTimeLimitMs = kSpoolerTimeLimitMs;
    std::function<bool()> m_cancelled;
    std::string m_strError;
};
