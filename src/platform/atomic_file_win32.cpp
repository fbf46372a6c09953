#include "platform/atomic_file.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

namespace AtomicFile {

namespace {

std::atomic<BeforeReplaceHook> g_beforeReplace{nullptr};

// A file handle closed when it goes out of scope.
class CFileHandle {
public:
    explicit CFileHandle(HANDLE h) : m_h(h) {}
    ~CFileHandle() { Close(); }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    HANDLE Get() const { return m_h; }
    bool Valid() const { return m_h != INVALID_HANDLE_VALUE; }
    BOOL Close()
    {
        BOOL ok = TRUE;
        if (Valid())
            ok = CloseHandle(m_h);
        m_h = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE m_h;
};

}  // namespace

void SetBeforeReplaceHook(BeforeReplaceHook hook)
{
    g_beforeReplace = hook;
}

DWORD ReadAll(const std::wstring& path, std::string& bytes)
{
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return GetLastError();
    bytes.clear();
    char buffer[8192];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file.Get(), buffer, sizeof buffer, &n, nullptr))
            return GetLastError();
        if (n == 0)
            return 0;
        bytes.append(buffer, n);
    }
}

DWORD WriteAll(const std::wstring& path, const std::string& bytes)
{
    static std::atomic<unsigned> counter{0};
    if (path.empty())
        return ERROR_INVALID_NAME;
    std::wstring temp;
    HANDLE raw = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && raw == INVALID_HANDLE_VALUE; ++attempt) {
        temp = path + L".tmp" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
        raw = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (raw == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            return GetLastError();
    }
    if (raw == INVALID_HANDLE_VALUE)
        return ERROR_ALREADY_EXISTS;

    CFileHandle file(raw);
    DWORD rc = 0;
    size_t done = 0;
    while (rc == 0 && done < bytes.size()) {
        DWORD chunk = DWORD(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes.data() + done, chunk, &written, nullptr))
            rc = GetLastError();
        done += written;
    }
    if (rc == 0 && !FlushFileBuffers(file.Get()))
        rc = GetLastError();
    if (!file.Close() && rc == 0)
        rc = GetLastError();
    if (rc == 0) {
        if (BeforeReplaceHook hook = g_beforeReplace)
            hook(temp);
    }
    if (rc == 0 && !MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        rc = GetLastError();
    if (rc != 0)
        DeleteFileW(temp.c_str());
    return rc;
}

}  // namespace AtomicFile
