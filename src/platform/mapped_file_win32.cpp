#include "platform/mapped_file.h"

DWORD CMappedFile::Open(const std::wstring& path) {
    Close();
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return ::GetLastError();
    m_file = file;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size)) {
        const DWORD code = ::GetLastError();
        Close();
        ::SetLastError(code);
        return code;
    }
    if (size.QuadPart == 0) {
        // CreateFileMapping refuses an empty file with this code; say so without asking it.
        Close();
        ::SetLastError(ERROR_FILE_INVALID);
        return ERROR_FILE_INVALID;
    }
    HANDLE mapping = ::CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping) {
        const DWORD code = ::GetLastError();
        Close();
        ::SetLastError(code);
        return code;
    }
    m_mapping = mapping;
    void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (!view) {
        const DWORD code = ::GetLastError();
        Close();
        ::SetLastError(code);
        return code;
    }
    m_view = static_cast<const uint8_t*>(view);
    m_size = static_cast<size_t>(size.QuadPart);
    ::SetLastError(0);
    return 0;
}

void CMappedFile::Close() {
    if (m_view) ::UnmapViewOfFile(m_view);
    if (m_mapping) ::CloseHandle(static_cast<HANDLE>(m_mapping));
    if (m_file) ::CloseHandle(static_cast<HANDLE>(m_file));
    m_view = nullptr;
    m_size = 0;
    m_mapping = nullptr;
    m_file = nullptr;
}
