// The network device's TCP connection on Windows: a socket tied to an event with
// WSAEventSelect, waited on together with the stop and handled events.
#ifdef _WIN32

#include <winsock2.h>
#include <ws2tcpip.h>

#include "core/serial/tcp_link.h"

namespace {

DWORD ConnectError(int error)
{
    switch (error) {
    case WSAECONNRESET:
    case WSAECONNABORTED:
    case WSAENOTCONN:
    case WSAESHUTDOWN: return ERROR_ACCESS_DENIED;
    case WSAENETUNREACH: return NetError::HostUnreachable;
    default: return static_cast<DWORD>(error);
    }
}

bool StartWinsock()
{
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

class CWin32TcpLink final : public CTcpLink {
public:
    ~CWin32TcpLink() override
    {
        Disconnect();
        CloseSignals();
    }

    DWORD CreateSignals() override
    {
        if (!StartWinsock())
            return ERROR_GEN_FAILURE;
        m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_handled = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        m_socketEvent = WSACreateEvent();
        if (!m_stop || !m_handled || m_socketEvent == WSA_INVALID_EVENT)
            return GetLastError() ? GetLastError() : ERROR_GEN_FAILURE;
        return 0;
    }

    void CloseSignals() override
    {
        if (m_stop)
            ::CloseHandle(m_stop);
        if (m_handled)
            ::CloseHandle(m_handled);
        if (m_socketEvent != WSA_INVALID_EVENT)
            WSACloseEvent(m_socketEvent);
        m_stop = m_handled = nullptr;
        m_socketEvent = WSA_INVALID_EVENT;
    }

    DWORD Connect(const std::string& host, uint16_t port, DWORD timeoutMs) override
    {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_protocol = IPPROTO_TCP;
        addrinfo* found = nullptr;
        const std::string service = std::to_string(port);
        if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0)
            return NetError::HostNotFound;
        DWORD code = NetError::HostNotFound;
        for (addrinfo* address = found; address; address = address->ai_next) {
            code = ConnectTo(*address, timeoutMs);
            if (code == 0)
                break;
        }
        freeaddrinfo(found);
        return code;
    }

    bool Connected() const override { return m_socket != INVALID_SOCKET; }

    void Disconnect() override
    {
        if (m_socket != INVALID_SOCKET)
            closesocket(m_socket);
        m_socket = INVALID_SOCKET;
        m_closed = false;
    }

    DWORD Send(const uint8_t* data, size_t length, size_t& sent) override
    {
        sent = 0;
        const int n = send(m_socket, reinterpret_cast<const char*>(data), static_cast<int>(length), 0);
        if (n >= 0) {
            sent = static_cast<size_t>(n);
            return 0;
        }
        const int error = WSAGetLastError();
        return error == WSAEWOULDBLOCK ? 0 : ConnectError(error);
    }

    DWORD Receive(uint8_t* buffer, size_t length, size_t& got) override
    {
        got = 0;
        const int n = recv(m_socket, reinterpret_cast<char*>(buffer), static_cast<int>(length), 0);
        if (n > 0) {
            got = static_cast<size_t>(n);
            return 0;
        }
        if (n == 0)
            return ERROR_ACCESS_DENIED;  // the server closed the connection
        const int error = WSAGetLastError();
        return error == WSAEWOULDBLOCK ? 0 : ConnectError(error);
    }

    bool Pending(size_t& bytes) override
    {
        u_long waiting = 0;
        if (ioctlsocket(m_socket, FIONREAD, &waiting) != 0)
            return false;
        bytes = waiting;
        return true;
    }

    Wake Wait(bool readable, bool writable, bool handled, int timeoutMs) override
    {
        HANDLE handles[3] = {m_stop, nullptr, nullptr};
        DWORD count = 1;
        const int socketIndex = (readable || writable) ? static_cast<int>(count) : -1;
        if (socketIndex >= 0)
            handles[count++] = m_socketEvent;
        const int handledIndex = handled ? static_cast<int>(count) : -1;
        if (handled)
            handles[count++] = m_handled;
        if (readable && m_closed)
            return PendingOrClosed();
        const DWORD which =
            WaitForMultipleObjects(count, handles, FALSE, timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
        if (which == WAIT_TIMEOUT)
            return Wake::Timeout;
        if (which == WAIT_OBJECT_0)
            return Wake::Stop;
        if (handledIndex >= 0 && which == WAIT_OBJECT_0 + static_cast<DWORD>(handledIndex))
            return Wake::Handled;
        if (socketIndex < 0 || which != WAIT_OBJECT_0 + static_cast<DWORD>(socketIndex))
            return Wake::Failed;
        WSANETWORKEVENTS events{};
        if (WSAEnumNetworkEvents(m_socket, m_socketEvent, &events) != 0)
            return Wake::Failed;
        if (events.lNetworkEvents & FD_CLOSE)
            m_closed = true;
        // FD_READ and FD_CLOSE are told once: a closed connection stays closed for the
        // waits that follow, and the reader drains what it left.
        if (readable && m_closed)
            return PendingOrClosed();
        return Wake::Ready;
    }

    void SignalStop() override { SetEvent(m_stop); }
    void ResetStop() override { ResetEvent(m_stop); }
    void SignalHandled() override { SetEvent(m_handled); }

private:
    Wake PendingOrClosed()
    {
        size_t left = 0;
        return Pending(left) && left > 0 ? Wake::Ready : Wake::Closed;
    }

    DWORD ConnectTo(const addrinfo& address, DWORD timeoutMs)
    {
        SOCKET s = socket(address.ai_family, address.ai_socktype, address.ai_protocol);
        if (s == INVALID_SOCKET)
            return ConnectError(WSAGetLastError());
        u_long nonBlocking = 1;
        ioctlsocket(s, FIONBIO, &nonBlocking);
        int error = 0;
        if (connect(s, address.ai_addr, static_cast<int>(address.ai_addrlen)) != 0) {
            error = WSAGetLastError();
            if (error == WSAEWOULDBLOCK) {
                fd_set writable, failed;
                FD_ZERO(&writable);
                FD_ZERO(&failed);
                FD_SET(s, &writable);
                FD_SET(s, &failed);
                timeval limit{static_cast<long>(timeoutMs / 1000), static_cast<long>(timeoutMs % 1000) * 1000};
                const int rc = select(0, nullptr, &writable, &failed, &limit);
                if (rc == 0) {
                    error = WSAETIMEDOUT;
                } else if (rc < 0) {
                    error = WSAGetLastError();
                } else {
                    int soError = 0;
                    int size = sizeof soError;
                    getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &size);
                    error = FD_ISSET(s, &failed) && soError == 0 ? WSAECONNREFUSED : soError;
                }
            }
        }
        if (error == 0 && WSAEventSelect(s, m_socketEvent, FD_READ | FD_WRITE | FD_CLOSE) != 0)
            error = WSAGetLastError();
        if (error) {
            closesocket(s);
            return ConnectError(error);
        }
        const BOOL one = TRUE;
        setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
        Disconnect();
        m_socket = s;
        return 0;
    }

    SOCKET m_socket = INVALID_SOCKET;
    HANDLE m_stop = nullptr;
    HANDLE m_handled = nullptr;
    WSAEVENT m_socketEvent = WSA_INVALID_EVENT;
    bool m_closed = false;
};

}  // namespace

std::unique_ptr<CTcpLink> CTcpLink::Create()
{
    return std::make_unique<CWin32TcpLink>();
}

#endif  // _WIN32
