// A real port server on 127.0.0.1 in front of a serial device (zr8sim's pseudo-terminal)
// for one test: Debian's ser2net with a telnet(rfc2217) or a raw accepter, or the
// tests' own server on pyserial's RFC 2217 port manager (rfc2217_test_server.py).
// Stopped (SIGTERM) when the object goes.
#pragma once

#include <string>

#include "../platform/temp_folder.h"

enum class PortServerKind { Ser2NetTelnet, Ser2NetRaw, Pyserial };

class CPortServerProcess {
public:
    CPortServerProcess(PortServerKind kind, std::string device);
    ~CPortServerProcess();
    CPortServerProcess(const CPortServerProcess&) = delete;
    CPortServerProcess& operator=(const CPortServerProcess&) = delete;

    // Starts the server (again on the same port after Kill); false when it does not
    // accept connections within 10 s.
    bool Start();
    void Kill();  // SIGKILL: the connection drops as a crashed server drops it

    int Port() const { return m_port; }
    // The port name zr8 is given: rfc2217://127.0.0.1:N or socket://127.0.0.1:N.
    std::string Url() const;
    std::string Log() const;

private:
    bool StartSer2Net();
    bool StartPyserial();

    PortServerKind m_kind;
    std::string m_device;
    CTempFolder m_folder;
    int m_pid = -1;
    int m_port = 0;
};
