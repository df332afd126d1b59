#include "support/loopback.h"

#include <algorithm>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kvtest {

LoopbackListener::LoopbackListener(Mode mode, size_t closeAfter, bool listenNow, int receiveBuffer)
    : m_mode(mode), m_closeAfter(closeAfter), m_receiveBuffer(receiveBuffer)
{
    m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0) return;
    const int one = 1;
    setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (receiveBuffer > 0) setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        close(m_fd);
        m_fd = -1;
        return;
    }
    m_port = ntohs(a.sin_port);
    if (listenNow) Listen();
}

LoopbackListener::~LoopbackListener()
{
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    for (int fd : m_held) close(fd);
    if (m_fd >= 0) close(m_fd);
}

void LoopbackListener::Listen()
{
    if (m_fd < 0 || m_thread.joinable()) return;
    if (listen(m_fd, 8) != 0) return;
    m_thread = std::thread([this] { Run(); });
}

void LoopbackListener::Run()
{
    while (!m_stop) {
        pollfd p{m_fd, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0) continue;
        const int c = accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0) continue;
        if (m_mode == Mode::Stall) {
            m_held.push_back(c);
            continue;
        }
        size_t taken = 0;
        std::uint8_t buf[4096];
        while (!m_stop) {
            size_t want = sizeof buf;
            if (m_mode == Mode::CloseAfter) {
                if (taken >= m_closeAfter) break;
                want = std::min(want, m_closeAfter - taken);
            }
            pollfd q{c, POLLIN, 0};
            if (poll(&q, 1, 20) <= 0) continue;
            const ssize_t r = recv(c, buf, want, 0);
            if (r <= 0) break;
            taken += size_t(r);
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bytes.insert(m_bytes.end(), buf, buf + r);
        }
        close(c);
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_finished;
        m_changed.notify_all();
    }
}

std::vector<std::uint8_t> LoopbackListener::Received(int connections, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_finished >= connections; });
    return m_bytes;
}

int LoopbackListener::FinishedConnections() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_finished;
}

}  // namespace kvtest
