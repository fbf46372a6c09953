#include "platform/mapped_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/code_pages.h"

namespace {

DWORD FileErrorFromErrno(int error) {
    switch (error) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case ENAMETOOLONG: return ERROR_INVALID_NAME;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EMFILE:
    case ENFILE: return 4;  // ERROR_TOO_MANY_OPEN_FILES
    default: return ERROR_GEN_FAILURE;
    }
}

DWORD Fail(DWORD code) {
    SetLastError(code);
    return code;
}

}  // namespace

DWORD CMappedFile::Open(const std::wstring& path) {
    Close();
    const std::string native = CodePages::ToNativePath(path);
    if (native.empty()) return Fail(ERROR_PATH_NOT_FOUND);
    const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return Fail(FileErrorFromErrno(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const DWORD code = FileErrorFromErrno(errno);
        ::close(fd);
        return Fail(code);
    }
    // A folder opens for reading here but not on Windows; devices and pipes cannot be mapped.
    if (S_ISDIR(info.st_mode)) {
        ::close(fd);
        return Fail(ERROR_ACCESS_DENIED);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return Fail(ERROR_FILE_INVALID);
    }
    if (info.st_size == 0) {
        ::close(fd);
        return Fail(ERROR_FILE_INVALID);
    }
    void* view = ::mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    const int mapError = errno;
    ::close(fd);  // the mapping keeps the file
    if (view == MAP_FAILED) return Fail(FileErrorFromErrno(mapError));
    m_view = static_cast<const uint8_t*>(view);
    m_size = static_cast<size_t>(info.st_size);
    SetLastError(0);
    return 0;
}

void CMappedFile::Close() {
    if (m_view) ::munmap(const_cast<uint8_t*>(m_view), m_size);
    m_view = nullptr;
    m_size = 0;
}
