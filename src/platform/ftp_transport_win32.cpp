// The file server over the Internet functions, blocking calls (zr8.exe). The desktop
// program's copy dialog makes the same calls on a worker thread (src/ui/ftp).
#include "platform/ftp_transport.h"

#include <wininet.h>

#include <cstring>
#include <vector>

#include "platform/code_pages.h"

namespace {

constexpr DWORD kBlockSize = 8192;
constexpr DWORD kConnectionAborted = 12030;

class CHandle {
public:
    ~CHandle() { Reset(); }
    void Reset(HINTERNET handle = nullptr)
    {
        if (m_handle != nullptr)
            ::InternetCloseHandle(m_handle);
        m_handle = handle;
    }
    HINTERNET Get() const { return m_handle; }

private:
    HINTERNET m_handle = nullptr;
};

class CWinInetFtpTransport : public IFtpTransport {
public:
    explicit CWinInetFtpTransport(const std::wstring& agent) : m_agent(agent) {}
    ~CWinInetFtpTransport() override
    {
        m_connection.Reset();
        m_session.Reset();
    }

    DWORD Connect(const std::wstring& host, uint16_t port) override
    {
        m_session.Reset(::InternetOpenW(m_agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
        if (m_session.Get() == nullptr)
            return Failed();
        m_connection.Reset(::InternetConnectW(m_session.Get(), host.c_str(), port, nullptr, nullptr,
                                              INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, 0));
        return m_connection.Get() ? 0 : Failed();
    }

    DWORD ChangeDirectory(const std::wstring& path) override
    {
        return ::FtpSetCurrentDirectoryW(m_connection.Get(), path.c_str()) ? 0 : Failed();
    }

    DWORD List(std::vector<CServerEntry>& entries) override
    {
        WIN32_FIND_DATAA entry{};
        CHandle find;
        // A null pattern lists every entry (Wine refuses an empty pattern string).
        find.Reset(::FtpFindFirstFileA(m_connection.Get(), nullptr, &entry,
                                       INTERNET_FLAG_RELOAD | INTERNET_FLAG_NEED_FILE, 0));
        if (find.Get() == nullptr) {
            const DWORD error = Failed();
            return error == ERROR_NO_MORE_FILES ? 0 : error;
        }
        for (;;) {
            CServerEntry listed;
            listed.name = CodePages::FromAnsi(entry.cFileName);
            listed.isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            listed.cut = std::strlen(entry.cFileName) >= MAX_PATH - 1;
            listed.size = (uint64_t(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
            entries.push_back(listed);
            ZeroMemory(&entry, sizeof entry);
            if (!::InternetFindNextFileA(find.Get(), &entry)) {
                const DWORD error = Failed();
                return error == ERROR_NO_MORE_FILES ? 0 : error;
            }
        }
    }

    DWORD Fetch(const std::wstring& name, const std::wstring& localPath, uint64_t listedSize,
                const FetchProgress& progress) override
    {
        CHandle file;
        file.Reset(::FtpOpenFileW(m_connection.Get(), name.c_str(), GENERIC_READ,
                                  FTP_TRANSFER_TYPE_BINARY | INTERNET_FLAG_RELOAD, 0));
        if (file.Get() == nullptr)
            return Failed();
        HANDLE out = ::CreateFileW(localPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out == INVALID_HANDLE_VALUE)
            return ::GetLastError();
        std::vector<char> block(kBlockSize);
        uint64_t received = 0;
        DWORD error = 0;
        for (;;) {
            if (progress && !progress(received, listedSize)) {
                error = ERROR_CANCELLED;
                break;
            }
            DWORD got = 0;
            if (!::InternetReadFile(file.Get(), block.data(), kBlockSize, &got)) {
                error = Failed();
                break;
            }
            if (got == 0)
                break;
            DWORD written = 0;
            if (!::WriteFile(out, block.data(), got, &written, nullptr) || written != got) {
                error = ::GetLastError() ? ::GetLastError() : ERROR_WRITE_FAULT;
                break;
            }
            received += got;
        }
        if (!::CloseHandle(out) && error == 0)
            error = ::GetLastError();
        if (error == 0 && listedSize != 0 && received != listedSize)
            error = kConnectionAborted;
        return error;
    }

    DWORD LastResponseCode() const override { return m_responseCode; }
    std::wstring LastResponseText() const override { return m_responseText; }

private:
    // The failure's code, and for 12003 the server's reply that explains it.
    DWORD Failed()
    {
        const DWORD error = ::GetLastError();
        if (error == 12003) {
            DWORD length = 0;
            ::InternetGetLastResponseInfoW(&m_responseCode, nullptr, &length);
            std::wstring text(length + 1, L'\0');
            length = DWORD(text.size());
            if (::InternetGetLastResponseInfoW(&m_responseCode, &text[0], &length))
                m_responseText = text.c_str();
        }
        ::SetLastError(error);
        return error;
    }

    std::wstring m_agent;
    CHandle m_session;
    CHandle m_connection;
    DWORD m_responseCode = 0;
    std::wstring m_responseText;
};

}  // namespace

std::unique_ptr<IFtpTransport> CreateWinInetFtpTransport(const std::wstring& agent)
{
    return std::make_unique<CWinInetFtpTransport>(agent);
}
