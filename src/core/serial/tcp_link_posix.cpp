// The network device's TCP connection off Windows: a non-blocking socket, poll, and
// self-pipes for the signals.
#ifndef _WIN32

#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include "core/serial/tcp_link.h"

namespace {

DWORD ErrorFromErrno(int error)
{
    switch (error) {
    case ECONNREFUSED: return NetError::Refused;
    case ETIMEDOUT: return NetError::TimedOut;
    case ENETUNREACH:
    case EHOSTUNREACH: return NetError::HostUnreachable;
    case EPIPE:
    case ECONNRESET:
    case ECONNABORTED:
    case ENOTCONN: return ERROR_ACCESS_DENIED;
    case ENOMEM:
    case ENOBUFS: return ERROR_NOT_ENOUGH_MEMORY;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    default: return ERROR_GEN_FAILURE;
    }
}

class CPipe {
public:
    ~CPipe() { Close(); }
    DWORD Create()
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
            return ErrorFromErrno(errno);
        Close();
        m_read = fds[0];
        m_write = fds[1];
        return 0;
    }
    void Close()
    {
        for (int* fd : {&m_read, &m_write}) {
            if (*fd >= 0)
                ::close(*fd);
            *fd = -1;
        }
    }
    void Signal()
    {
        const char one = 1;
        while (::write(m_write, &one, 1) < 0 && errno == EINTR) {
        }
    }
    void Reset()
    {
        char buffer[64];
        while (::read(m_read, buffer, sizeof buffer) > 0) {
        }
    }
    int ReadFd() const { return m_read; }

private:
    int m_read = -1;
    int m_write = -1;
};

class CPosixTcpLink final : public CTcpLink {
public:
    ~CPosixTcpLink() override { Disconnect(); }

    DWORD CreateSignals() override
    {
        DWORD code = m_stop.Create();
        return code ? code : m_handled.Create();
    }
    void CloseSignals() override
    {
        m_stop.Close();
        m_handled.Close();
    }

    DWORD Connect(const std::string& host, uint16_t port, DWORD timeoutMs) override
    {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        const std::string service = std::to_string(port);
        const int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
        if (rc != 0)
            return rc == EAI_MEMORY ? ERROR_NOT_ENOUGH_MEMORY : NetError::HostNotFound;
        DWORD code = NetError::HostNotFound;
        for (addrinfo* address = found; address; address = address->ai_next) {
            code = ConnectTo(*address, timeoutMs);
            if (code == 0)
                break;
        }
        ::freeaddrinfo(found);
        return code;
    }

    bool Connected() const override { return m_fd >= 0; }
    void Disconnect() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    DWORD Send(const uint8_t* data, size_t length, size_t& sent) override
    {
        sent = 0;
        for (;;) {
            const ssize_t n = ::send(m_fd, data, length, MSG_NOSIGNAL);
            if (n >= 0) {
                sent = static_cast<size_t>(n);
                return 0;
            }
            if (errno == EINTR)
                continue;
            return errno == EAGAIN ? 0 : ErrorFromErrno(errno);
        }
    }

    DWORD Receive(uint8_t* buffer, size_t length, size_t& got) override
    {
        got = 0;
        for (;;) {
            const ssize_t n = ::recv(m_fd, buffer, length, 0);
            if (n > 0) {
                got = static_cast<size_t>(n);
                // Acknowledge at once: a server that sends an answer in two small
                // segments (Nagle's rule on its side) would otherwise hold the second
                // until our delayed acknowledgement, up to 40 ms, on every packet.
                const int one = 1;
                (void)::setsockopt(m_fd, IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
                return 0;
            }
            if (n == 0)
                return ERROR_ACCESS_DENIED;  // the server closed the connection
            if (errno == EINTR)
                continue;
            return errno == EAGAIN ? 0 : ErrorFromErrno(errno);
        }
    }

    bool Pending(size_t& bytes) override
    {
        int waiting = 0;
        if (::ioctl(m_fd, FIONREAD, &waiting) != 0 || waiting < 0)
            return false;
        bytes = static_cast<size_t>(waiting);
        return true;
    }

    Wake Wait(bool readable, bool writable, bool handled, int timeoutMs) override
    {
        short events = 0;
        if (readable)
            events |= POLLIN | POLLRDHUP;
        if (writable)
            events |= POLLOUT;
        // Left out when not asked for: a closed socket would wake every wait at once.
        pollfd fds[3] = {{m_stop.ReadFd(), POLLIN, 0}, {events ? m_fd : -1, events, 0}, {m_handled.ReadFd(), POLLIN, 0}};
        const nfds_t count = handled ? 3 : 2;
        int rc;
        do {
            rc = ::poll(fds, count, timeoutMs);
        } while (rc < 0 && errno == EINTR);
        if (rc < 0)
            return Wake::Failed;
        if (fds[0].revents)
            return Wake::Stop;
        if (fds[1].revents & (POLLERR | POLLNVAL))
            return Wake::Failed;
        if (handled && (fds[2].revents & POLLIN)) {
            m_handled.Reset();
            return Wake::Handled;
        }
        if (fds[1].revents) {
            size_t left = 0;
            // Readable with nothing to read is the end of the stream.
            if (readable && (fds[1].revents & (POLLIN | POLLRDHUP | POLLHUP)) && Pending(left) && left == 0)
                return Wake::Closed;
            return Wake::Ready;
        }
        return Wake::Timeout;
    }

    void SignalStop() override { m_stop.Signal(); }
    void ResetStop() override { m_stop.Reset(); }
    void SignalHandled() override { m_handled.Signal(); }

private:
    DWORD ConnectTo(const addrinfo& address, DWORD timeoutMs)
    {
        const int fd = ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                                address.ai_protocol);
        if (fd < 0)
            return ErrorFromErrno(errno);
        if (::connect(fd, address.ai_addr, address.ai_addrlen) != 0 && errno != EINPROGRESS) {
            const DWORD code = ErrorFromErrno(errno);
            ::close(fd);
            return code;
        }
        pollfd pending = {fd, POLLOUT, 0};
        int rc;
        do {
            rc = ::poll(&pending, 1, static_cast<int>(timeoutMs));
        } while (rc < 0 && errno == EINTR);
        int error = 0;
        socklen_t size = sizeof error;
        if (rc == 0)
            error = ETIMEDOUT;
        else if (rc < 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
            error = errno;
        if (error) {
            ::close(fd);
            return ErrorFromErrno(error);
        }
        // Commands and firmware packets are small and each waits for its answer.
        const int one = 1;
        (void)::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        Disconnect();
        m_fd = fd;
        return 0;
    }

    int m_fd = -1;
    CPipe m_stop;
    CPipe m_handled;
};

}  // namespace

std::unique_ptr<CTcpLink> CTcpLink::Create()
{
    return std::make_unique<CPosixTcpLink>();
}

#endif  // !_WIN32
