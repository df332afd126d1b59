#pragma once
// A network printer stand-in on 127.0.0.1: a listener on a free port that
// takes every byte, takes none (stalls), or closes after some bytes; it can
// also hold its port without listening, so connections are refused until
// Listen(). Every wait is bounded.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace kvtest {

class LoopbackListener {
public:
    enum class Mode {
        Accept,      // reads every connection to its end, then closes it
        Stall,       // accepts and never reads
        CloseAfter,  // reads closeAfter bytes of a connection, then closes it with the rest unread
    };

    // receiveBuffer > 0 makes the accepted connections' receive buffer that
    // small (the stall is then quick to reach).
    explicit LoopbackListener(Mode mode = Mode::Accept, size_t closeAfter = 0, bool listenNow = true,
                              int receiveBuffer = 0);
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    int port() const { return m_port; }
    bool ok() const { return m_fd >= 0; }
    // Starts taking connections.
    void Listen();
    // Waits until `connections` connections have ended (at most timeoutMs)
    // and returns every byte received so far.
    std::vector<std::uint8_t> Received(int connections = 1, int timeoutMs = 20000);
    int FinishedConnections() const;

private:
    void Run();

    Mode m_mode;
    size_t m_closeAfter;
    int m_receiveBuffer;
    int m_fd = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::uint8_t> m_bytes;
    int m_finished = 0;
    std::vector<int> m_held;  // stalled connections, closed at the end
};

}  // namespace kvtest
