// A blocking FTP conversation with the file server, as "zr8 fetch-firmware" holds it
// (libcurl on Linux, in src/cli; the Internet functions on Windows, here). Every call returns 0 or an error code in the Internet functions'
// terms, so the lines read the same as the copy dialog's: 12029 no connection, 12007
// unknown host, 12002 timed out, 12030 connection ended abnormally, 12003 a refusal the
// server explained (LastResponse), 1223 cancelled.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win_types.h"

struct CServerEntry {
    std::wstring name;  // as listed, from the ANSI code page
    bool isFolder = false;
    bool cut = false;   // the name filled the listing's buffer and may be cut short
    uint64_t size = 0;  // as listed; 0 when the listing gives none
};

// Bytes so far and the size the server announced (0 when unknown); false cancels.
using FetchProgress = std::function<bool(uint64_t received, uint64_t total)>;

class IFtpTransport {
public:
    virtual ~IFtpTransport() = default;
    // Connects and logs in anonymously, passive mode.
    virtual DWORD Connect(const std::wstring& host, uint16_t port) = 0;  // port 0: 21
    virtual DWORD ChangeDirectory(const std::wstring& path) = 0;
    virtual DWORD List(std::vector<CServerEntry>& entries) = 0;
    // Binary transfer of the file of the current directory into localPath (created or
    // replaced). On failure localPath may hold part of the file; the caller removes it.
    // With a listed size (not 0), a transfer that ends short of it fails with 12030.
    virtual DWORD Fetch(const std::wstring& name, const std::wstring& localPath, uint64_t listedSize,
                        const FetchProgress& progress) = 0;
    // The server's last reply: its number and text (for 12003).
    virtual DWORD LastResponseCode() const = 0;
    virtual std::wstring LastResponseText() const = 0;
};

#ifdef _WIN32
// Blocking calls of the Internet functions (wininet.dll), anonymous and passive.
std::unique_ptr<IFtpTransport> CreateWinInetFtpTransport(const std::wstring& agent);
#endif
