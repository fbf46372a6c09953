// A real FTP server on 127.0.0.1 for one test: tests/firmware/ftp_test_server.py under
// Debian's python3 (pyftpdlib), anonymous and passive, on a free port, serving a folder
// of its own. Stopped when the object goes.
#pragma once

#include <string>
#include <vector>

#include "../platform/temp_folder.h"

struct CFtpServerOptions {
    std::vector<std::string> listing;  // forced listing order, names without files allowed
    int rate = 0;                      // bytes a second; 0: as fast as it goes
    int dropAfter = -1;                // bytes of a file before the server drops everything
};

class CFtpServerProcess {
public:
    CFtpServerProcess();
    ~CFtpServerProcess();
    CFtpServerProcess(const CFtpServerProcess&) = delete;
    CFtpServerProcess& operator=(const CFtpServerProcess&) = delete;

    // The folder the server shows; the firmware goes into Root() / "ZR8" / "firmware".
    const std::filesystem::path& Root() const { return m_root; }
    std::filesystem::path FirmwareDirectory() const { return m_root / "ZR8" / "firmware"; }
    // Starts the server; false when it did not announce its port within 10 s.
    bool Start(const CFtpServerOptions& options = {});
    int Port() const { return m_port; }
    std::string Address() const { return "127.0.0.1:" + std::to_string(m_port); }
    // What the server logged (connections, commands).
    std::string Log() const;

private:
    CTempFolder m_folder;
    std::filesystem::path m_root;
    int m_pid = -1;
    int m_port = 0;
};

// A port on 127.0.0.1 that nothing listens on (bound and released).
int FreePort();
