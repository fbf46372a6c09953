// One TCP connection for the network serial device, with the two signals its listener
// waits on beside the socket: stop (the port is closing) and handled (the notify window
// has handled the last event). The OS halves are tcp_link_posix.cpp (poll on the socket
// and two self-pipes) and tcp_link_win32.cpp (WSAEventSelect and two events).
// Failures are Windows error codes; a closed or reset connection is access denied, as a
// pulled adapter is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/win_types.h"

namespace NetError {
constexpr DWORD TimedOut = 10060;       // WSAETIMEDOUT: no answer to the connect
constexpr DWORD Refused = 10061;        // WSAECONNREFUSED
constexpr DWORD HostUnreachable = 10065;  // WSAEHOSTUNREACH (also "network unreachable")
constexpr DWORD HostNotFound = 11001;   // WSAHOST_NOT_FOUND
}  // namespace NetError

class CTcpLink {
public:
    // Closed: asked for readable, and the server has closed the connection with nothing
    // left to read.
    enum class Wake { Stop, Ready, Handled, Timeout, Closed, Failed };

    static std::unique_ptr<CTcpLink> Create();
    virtual ~CTcpLink() = default;

    virtual DWORD CreateSignals() = 0;
    virtual void CloseSignals() = 0;
    // Resolves the host and connects, giving up after timeoutMs.
    virtual DWORD Connect(const std::string& host, uint16_t port, DWORD timeoutMs) = 0;
    virtual bool Connected() const = 0;
    virtual void Disconnect() = 0;

    // Never wait: sent or got may be 0. A connection the server closed gives access denied.
    virtual DWORD Send(const uint8_t* data, size_t length, size_t& sent) = 0;
    virtual DWORD Receive(uint8_t* buffer, size_t length, size_t& got) = 0;
    // Bytes that a Receive would get now; false when that cannot be told (connection gone).
    virtual bool Pending(size_t& bytes) = 0;

    // Waits until the socket is readable (or closed) or writable, as asked, or a signal
    // (handled only when asked) or the time-out (-1: none).
    virtual Wake Wait(bool readable, bool writable, bool handled, int timeoutMs) = 0;
    virtual void SignalStop() = 0;
    virtual void ResetStop() = 0;
    virtual void SignalHandled() = 0;
};
