#include "platform/device_line.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "platform/strutil.h"

namespace {

using Clock = std::chrono::steady_clock;

// Waits are cut into slices so a cancel request is seen quickly.
constexpr int kSliceMs = 50;
// A printer's TCP gets this long to close its end after the last byte.
constexpr int kCloseGraceMs = 1000;
// Bytes in flight on a TCP connection: enough for any printer, small enough
// that a printer that stops taking data is noticed.
constexpr int kSendBuffer = 64 * 1024;

class Deadline {
public:
    explicit Deadline(int ms) : m_end(Clock::now() + std::chrono::milliseconds(ms < 0 ? 0 : ms)) {}
    int Left() const
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_end - Clock::now()).count();
        return left > 0 ? int(left) : 0;
    }
    int Slice() const { return std::min(Left(), kSliceMs); }
    bool Passed() const { return Clock::now() >= m_end; }

private:
    Clock::time_point m_end;
};

std::string Seconds(int ms) { return ms % 1000 ? StrFormat("%.1f s", ms / 1000.0) : StrFormat("%d s", ms / 1000); }

speed_t BaudConstant(int baud)
{
    switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B9600;
    }
}

int SocketError(int fd)
{
    int err = 0;
    socklen_t len = sizeof err;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) return errno;
    return err;
}

}  // namespace

int SystemErrorFromErrno(int err)
{
    switch (err) {
    case 0: return syserr::kSuccess;
    case ENOENT: return syserr::kFileNotFound;
    case EACCES:
    case EPERM:
    case EROFS: return syserr::kAccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return syserr::kDiskFull;
    case EBUSY: return syserr::kBusy;
    case EIO: return syserr::kIoDevice;
    case ENODEV:
    case ENXIO: return syserr::kDeviceNotConnected;
    case ECONNRESET:
    case EPIPE:
    case ENOTCONN: return syserr::kConnectionReset;
    case ETIMEDOUT: return syserr::kTimedOut;
    case ECONNREFUSED: return syserr::kConnectionRefused;
    case EHOSTUNREACH:
    case ENETUNREACH: return syserr::kHostUnreachable;
    default: return syserr::kGenFailure;
    }
}

CDeviceLine::~CDeviceLine() { Close(); }

int CDeviceLine::Fail(int code, const std::string& text)
{
    m_error = text;
    return code;
}

int CDeviceLine::FailErrno(int err, const std::string& what)
{
    return Fail(SystemErrorFromErrno(err), what + ": " + std::strerror(err));
}

int CDeviceLine::Open(const PortAddress& port, int timeoutMs, bool noBuffering, const CancelTest& cancelled)
{
    Close();
    m_error.clear();
    m_kind = port.kind;
    const int sync = noBuffering ? O_SYNC : 0;
    switch (port.kind) {
    case PortKind::Tcp: return OpenTcp(port, timeoutMs, cancelled);
    case PortKind::File:
        m_fd = open(port.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (m_fd < 0) return FailErrno(errno, "cannot create " + port.path);
        return syserr::kSuccess;
    case PortKind::Usb:
    case PortKind::Parallel:
        m_fd = open(port.path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | sync);
        if (m_fd < 0)
            return Fail(syserr::kInvalidHandle, "cannot open " + port.path + ": " + std::strerror(errno));
        return syserr::kSuccess;
    case PortKind::Serial: {
        m_fd = open(port.path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | sync);
        if (m_fd < 0)
            return Fail(syserr::kInvalidHandle, "cannot open " + port.path + ": " + std::strerror(errno));
        if (!isatty(m_fd)) {
            Close();
            return Fail(syserr::kInvalidHandle, port.path + " is not a serial line");
        }
        ioctl(m_fd, TIOCEXCL);  // no second program on the line while we print
        const int rc = SetSerialLine(port.line);
        if (rc != syserr::kSuccess) Close();
        return rc;
    }
    }
    return Fail(syserr::kInvalidHandle, "unknown port");
}

int CDeviceLine::SetSerialLine(const SerialLine& line)
{
    termios t{};
    if (tcgetattr(m_fd, &t) != 0) return FailErrno(errno, "cannot read the line settings");
    cfmakeraw(&t);
    t.c_cflag &= ~tcflag_t(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= CREAD | CLOCAL | (line.dataBits == 7 ? CS7 : CS8);
    t.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY | INPCK | ISTRIP);
    switch (line.parity) {
    case 1: t.c_cflag |= PARENB | PARODD; break;
    case 2: t.c_cflag |= PARENB; break;
    case 3: t.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case 4: t.c_cflag |= PARENB | CMSPAR; break;
    default: break;
    }
    if (line.parity != 0) t.c_iflag |= INPCK;
    // termios knows one and two stop bits; one and a half is sent as two.
    if (line.stopBits != 0) t.c_cflag |= CSTOPB;
    if (line.handshake == 1) t.c_cflag |= CRTSCTS;
    if (line.handshake == 2) t.c_iflag |= IXON | IXOFF;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    const speed_t speed = BaudConstant(line.baud);
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    if (tcsetattr(m_fd, TCSANOW, &t) != 0) return FailErrno(errno, "cannot set the line settings");
    return syserr::kSuccess;
}

int CDeviceLine::OpenTcp(const PortAddress& port, int timeoutMs, const CancelTest& cancelled)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port.tcpPort);
    const int gai = getaddrinfo(port.host.c_str(), service.c_str(), &hints, &found);
    if (gai != 0) return Fail(syserr::kHostNotFound, "cannot find host " + port.host + ": " + gai_strerror(gai));
    const Deadline deadline(timeoutMs);
    int code = syserr::kHostNotFound;
    for (addrinfo* a = found; a; a = a->ai_next) {
        m_fd = socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (m_fd < 0) {
            code = FailErrno(errno, "cannot make a socket");
            continue;
        }
        const int size = kSendBuffer;
        setsockopt(m_fd, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
        int err = 0;
        if (connect(m_fd, a->ai_addr, a->ai_addrlen) != 0) {
            err = errno;
            if (err == EINPROGRESS) {
                err = ETIMEDOUT;
                while (!deadline.Passed()) {
                    if (cancelled && cancelled()) {
                        freeaddrinfo(found);
                        Close();
                        return Fail(syserr::kCancelled, "cancelled");
                    }
                    pollfd p{m_fd, POLLOUT, 0};
                    if (poll(&p, 1, deadline.Slice()) > 0) {
                        err = SocketError(m_fd);
                        break;
                    }
                }
            }
        }
        if (err == 0) {
            freeaddrinfo(found);
            return syserr::kSuccess;
        }
        Close();
        code = err == ETIMEDOUT ? Fail(syserr::kTimeout, "no connection within " + Seconds(timeoutMs))
                                : FailErrno(err, "cannot connect");
        if (deadline.Passed()) break;
    }
    freeaddrinfo(found);
    return code;
}

int CDeviceLine::Write(const std::uint8_t* data, size_t n, int timeoutMs, const CancelTest& cancelled)
{
    if (m_fd < 0) return Fail(syserr::kInvalidHandle, "the port is not open");
    const Deadline deadline(timeoutMs);
    size_t done = 0;
    while (done < n) {
        if (cancelled && cancelled()) return Fail(syserr::kCancelled, "cancelled");
        ssize_t w = m_kind == PortKind::Tcp ? send(m_fd, data + done, n - done, MSG_NOSIGNAL)
                                             : write(m_fd, data + done, n - done);
        if (w > 0) {
            done += size_t(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && m_kind == PortKind::Tcp && (errno == EPIPE || errno == ECONNRESET))
            return FailErrno(errno, "the printer dropped the connection");
        if (w < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return FailErrno(errno, "write failed");
        if (w == 0 && m_kind == PortKind::File) return Fail(syserr::kDiskFull, "the file takes no more bytes");
        if (deadline.Passed())
            return Fail(syserr::kTimeout, StrFormat("the printer took %zu of %zu bytes in ", done, n) + Seconds(timeoutMs));
        pollfd p{m_fd, POLLOUT, 0};
        const int ready = poll(&p, 1, deadline.Slice());
        // Devices without poll support report ready at once: give them a moment.
        if (ready > 0 && (p.revents & POLLOUT)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return syserr::kSuccess;
}

int CDeviceLine::Finish(int timeoutMs, const CancelTest& cancelled)
{
    if (m_fd < 0) return Fail(syserr::kInvalidHandle, "the port is not open");
    const Deadline deadline(timeoutMs);
    switch (m_kind) {
    case PortKind::File: {
        if (fsync(m_fd) != 0 && errno != EINVAL && errno != EROFS) return FailErrno(errno, "cannot write the file");
        const int fd = m_fd;
        m_fd = -1;
        if (close(fd) != 0) return FailErrno(errno, "cannot write the file");
        return syserr::kSuccess;
    }
    case PortKind::Serial: {
        int queued = 0;
        while (ioctl(m_fd, TIOCOUTQ, &queued) == 0 && queued > 0) {
            if (cancelled && cancelled()) return Fail(syserr::kCancelled, "cancelled");
            if (deadline.Passed())
                return Fail(syserr::kTimeout, StrFormat("%d bytes still wait on the line after ", queued) +
                                                  Seconds(timeoutMs));
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return syserr::kSuccess;
    }
    case PortKind::Usb:
    case PortKind::Parallel: return syserr::kSuccess;
    case PortKind::Tcp: break;
    }

    // TCP: every byte acknowledged by the printer, then our end closed; a
    // printer that resets the connection rather than closing it dropped bytes.
    int unacked = 0;
    while (true) {
        if (const int err = SocketError(m_fd)) return FailErrno(err, "the printer dropped the connection");
        if (ioctl(m_fd, SIOCOUTQ, &unacked) != 0) return FailErrno(errno, "cannot see the connection's queue");
        if (unacked == 0) break;
        if (cancelled && cancelled()) return Fail(syserr::kCancelled, "cancelled");
        if (deadline.Passed())
            return Fail(syserr::kTimeout,
                        StrFormat("the printer did not take the last %d bytes in ", unacked) + Seconds(timeoutMs));
        pollfd p{m_fd, POLLIN, 0};
        poll(&p, 1, 10);
        if (p.revents & (POLLERR | POLLHUP)) {
            if (const int err = SocketError(m_fd)) return FailErrno(err, "the printer dropped the connection");
        }
    }
    if (shutdown(m_fd, SHUT_WR) != 0) return FailErrno(errno, "the printer dropped the connection");
    const Deadline grace(std::min(kCloseGraceMs, deadline.Left()));
    char sink[512];
    while (!grace.Passed()) {
        pollfd p{m_fd, POLLIN, 0};
        if (poll(&p, 1, grace.Slice()) <= 0) continue;
        const ssize_t r = recv(m_fd, sink, sizeof sink, 0);
        if (r == 0) break;  // closed in order
        if (r < 0 && errno != EAGAIN && errno != EINTR) return FailErrno(errno, "the printer dropped the connection");
    }
    return syserr::kSuccess;
}

void CDeviceLine::Close()
{
    if (m_fd >= 0) close(m_fd);
    m_fd = -1;
}
