#include "platform/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "platform/code_pages.h"
#include "platform/errno_codes.h"

namespace AtomicFile {

namespace {

std::atomic<BeforeReplaceHook> g_beforeReplace{nullptr};

// A file descriptor closed when it goes out of scope.
class CFd {
public:
    explicit CFd(int fd) : m_fd(fd) {}
    ~CFd() { Close(); }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    int Get() const { return m_fd; }
    int Close()
    {
        int rc = 0;
        if (m_fd >= 0)
            rc = ::close(m_fd);
        m_fd = -1;
        return rc;
    }

private:
    int m_fd;
};

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

DWORD WriteFully(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return WinErrorFromErrno(errno);
        }
        done += size_t(n);
    }
    return 0;
}

}  // namespace

void SetBeforeReplaceHook(BeforeReplaceHook hook)
{
    g_beforeReplace = hook;
}

DWORD ReadAll(const std::wstring& path, std::string& bytes)
{
    const std::string native = CodePages::ToNativePath(path);
    CFd fd(::open(native.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0)
        return errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : WinErrorFromErrno(errno);
    struct stat info;
    if (::fstat(fd.Get(), &info) == 0 && S_ISDIR(info.st_mode))
        return ERROR_ACCESS_DENIED;
    bytes.clear();
    char buffer[8192];
    for (;;) {
        ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return WinErrorFromErrno(errno);
        }
        if (n == 0)
            return 0;
        bytes.append(buffer, size_t(n));
    }
}

DWORD WriteAll(const std::wstring& path, const std::string& bytes)
{
    static std::atomic<unsigned> counter{0};
    const std::string target = CodePages::ToNativePath(path);
    if (target.empty() || target.back() == '/')
        return ERROR_INVALID_NAME;

    // O_EXCL with a name of our own (not mkstemp) so that the new file gets the usual
    // permissions through the umask, as any file the user saves.
    std::string temp;
    int raw = -1;
    for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
        temp = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (raw < 0 && errno != EEXIST)
            return errno == ENOENT ? ERROR_PATH_NOT_FOUND : WinErrorFromErrno(errno);
    }
    if (raw < 0)
        return ERROR_ALREADY_EXISTS;

    CFd fd(raw);
    DWORD rc = WriteFully(fd.Get(), bytes);
    if (rc == 0 && ::fsync(fd.Get()) != 0)
        rc = WinErrorFromErrno(errno);
    if (fd.Close() != 0 && rc == 0)
        rc = WinErrorFromErrno(errno);
    if (rc == 0) {
        if (BeforeReplaceHook hook = g_beforeReplace)
            hook(CodePages::FromUtf8(temp));
    }
    if (rc == 0 && ::rename(temp.c_str(), target.c_str()) != 0)
        rc = WinErrorFromErrno(errno);
    if (rc != 0) {
        ::unlink(temp.c_str());
        return rc;
    }
    // The rename itself reaches the disk with the folder's entry.
    CFd folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0)
        ::fsync(folder.Get());
    return 0;
}

}  // namespace AtomicFile
