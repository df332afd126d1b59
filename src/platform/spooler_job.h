#pragma once
// Raw jobs on the spooler: the bytes reach the printer unchanged, one job
// per document. A job has left for the printer only when the spooler says it
// is completed; WaitForSpoolerJob waits for that within a time limit.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class CSpoolerJob {
public:
    CSpoolerJob() = default;
    // A job that was started but not ended is cancelled.
    ~CSpoolerJob();
    CSpoolerJob(const CSpoolerJob&) = delete;
    CSpoolerJob& operator=(const CSpoolerJob&) = delete;

    // Creates the job and starts its one raw document; false with the reason.
    bool Start(const std::string& printer, const std::string& title, std::string* error);
    bool Write(const void* data, size_t n, std::string* error);
    // Ends the document; the job is then the spooler's to send. A document
    // that got no bytes has nothing to send: its job is taken back and
    // Id() becomes 0.
    bool End(std::string* error);
    // Takes the job back (a job not started does nothing); purge also
    // removes it from the spooler's history.
    void Cancel(bool purge = false);
    int Id() const { return m_id; }
    bool IsStarted() const { return m_started; }

private:
    std::string m_printer;
    int m_id = 0;
    bool m_started = false;  // the document is being written
    size_t m_bytes = 0;
};

enum class SpoolerJobResult { Completed, Failed, TimedOut, Cancelled };

// Waits until the job is completed. A job that is stopped, cancelled or
// aborted, or whose printer stops, fails; a job that is not completed
// within the time limit, or that the user cancels (cancelled() true), is
// cancelled in the spooler so it does not print later. detail says why.
SpoolerJobResult WaitForSpoolerJob(const std::string& printer, int jobId, int timeoutMs, std::string* detail,
                                   const std::function<bool()>& cancelled = {});

// Takes a job back.
void CancelSpoolerJob(const std::string& printer, int jobId);
// The highest id among the printer's jobs (any state, any user); 0 when it has none.
int NewestSpoolerJob(const std::string& printer);
// The ids of the printer's jobs above afterId whose title is title (ANSI),
// oldest first: how a job that a toolkit submitted is found again.
std::vector<int> SpoolerJobsAfter(const std::string& printer, int afterId, const std::string& title);

// Where the spooler sends the printer's output (CUPS: its device URI); ""
// when the printer is unknown.
std::string SpoolerPortName(const std::string& printer);
