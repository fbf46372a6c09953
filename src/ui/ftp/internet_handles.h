// Thin owners of the Internet functions' handles: each closes its handle with
// InternetCloseHandle when it is destroyed, once. They hold what the copy dialog needs
// to know of a handle (context, server, pattern, the current entry of a listing) and
// make no calls of their own.
#pragma once

#include <windows.h>

#include <wininet.h>

#include <string>

class CInternetHandle {
public:
    CInternetHandle() = default;
    ~CInternetHandle() { Close(); }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;

    HINTERNET Handle() const { return m_handle; }
    // Takes the handle over (closing one held before).
    void Attach(HINTERNET handle)
    {
        Close();
        m_handle = handle;
    }
    void Close()
    {
        if (m_handle != nullptr)
            ::InternetCloseHandle(m_handle);
        m_handle = nullptr;
    }

private:
    HINTERNET m_handle = nullptr;
};

class CInternetSession {
public:
    explicit CInternetSession(DWORD_PTR context) : m_context(context) {}
    CInternetHandle m_handle;
    DWORD_PTR m_context;
};

class CInternetConnection {
public:
    CInternetConnection(CInternetSession* session, const std::wstring& serverName, INTERNET_PORT port,
                        DWORD_PTR context)
        : m_context(context), m_port(port), m_session(session), m_serverName(serverName)
    {
    }
    virtual ~CInternetConnection() = default;
    CInternetHandle m_handle;
    DWORD_PTR m_context;
    INTERNET_PORT m_port;  // 0: the service's own port
    CInternetSession* m_session;
    std::wstring m_serverName;
};

class CFtpConnection : public CInternetConnection {
public:
    using CInternetConnection::CInternetConnection;
};

class CFtpFileFind {
public:
    CFtpFileFind(CFtpConnection* connection, DWORD_PTR context, const std::wstring& pattern)
        : m_connection(connection), m_context(context), m_pattern(pattern)
    {
        ZeroMemory(&m_entry, sizeof m_entry);
    }
    CFtpConnection* m_connection;
    DWORD_PTR m_context;
    CInternetHandle m_find;
    bool m_found = false;        // the last find call delivered an entry
    std::wstring m_pattern;      // empty: every entry
    WIN32_FIND_DATAA m_entry;    // the current entry
};
