#pragma once
// A CUPS scheduler of the test's own: its configuration, socket, spool,
// state and logs in a temporary folder, never the machine's CUPS. While it
// runs, this process (libcups) and the programs it starts (korvane, lpadmin,
// lp, lpstat) talk to it through CUPS_SERVER; stopping it puts the previous
// server back. Every wait is bounded.
#include <string>
#include <sys/types.h>
#include <vector>

#include "support/kvtest.h"

namespace kvtest {

class PrivateCupsd {
public:
    // Starts the scheduler; ok() tells whether it answers.
    PrivateCupsd();
    ~PrivateCupsd();
    PrivateCupsd(const PrivateCupsd&) = delete;
    PrivateCupsd& operator=(const PrivateCupsd&) = delete;

    bool ok() const { return m_error.empty(); }
    // Why it did not start, with the end of its error log.
    const std::string& error() const { return m_error; }
    // The server name clients use (the socket's path).
    const std::string& server() const { return m_socket; }
    const std::string& dir() const { return m_dir.path(); }

    // Runs a CUPS tool (lpadmin, lp, lpstat, cancel...) against this
    // scheduler, at most timeoutMs.
    RunResult Tool(const std::vector<std::string>& argv, int timeoutMs = 20000) const;

    // lpadmin helpers; false with the tool's output in lastOutput().
    // model: "raw", or a driver such as "drv:///sample.drv/zebra.ppd".
    bool AddQueue(const std::string& name, const std::string& deviceUri, const std::string& model,
                  const std::vector<std::string>& options = {});
    bool SetDefault(const std::string& name);
    bool SetOptions(const std::string& name, const std::vector<std::string>& options);
    bool RemoveQueue(const std::string& name);
    const std::string& lastOutput() const { return m_lastOutput; }

    // Stops the scheduler by its process id (bounded; killed when it does
    // not end in time). Called by the destructor.
    void Stop();

private:
    bool Lpadmin(const std::vector<std::string>& args);
    bool WriteConfig();
    std::string LogTail() const;

    TempDir m_dir;
    std::string m_socket;
    std::string m_error;
    mutable std::string m_lastOutput;
    pid_t m_pid = -1;
    std::string m_previousServer;
    bool m_hadPreviousServer = false;
};

}  // namespace kvtest
