// Port names that reach a serial port over the network: "rfc2217://HOST:PORT" (Telnet
// with COM Port Control: the server sets the line's rate and framing as the program
// asks) and "socket://HOST:PORT" (a raw TCP connection to a port set up at the server).
// The scheme is compared without regard to case; HOST may be a name, an IPv4 address or
// an IPv6 address in brackets ("[::1]"); a trailing "/" or "?..." is ignored.
#pragma once

#include <cstdint>
#include <string>

struct CNetworkPortName {
    bool telnet = false;  // rfc2217:// rather than socket://
    std::string host;     // UTF-8, without the brackets of an IPv6 address
    uint16_t port = 0;
};

// Whether the name starts with one of the network schemes (so it is no OS port, even
// when the rest is malformed).
bool IsNetworkPortName(const std::wstring& name);

// False when the name is not a well-formed network port name.
bool ParseNetworkPortName(const std::wstring& name, CNetworkPortName& out);
