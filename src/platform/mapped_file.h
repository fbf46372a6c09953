// A whole file mapped read-only into memory: shared read access, existing files only.
// The HEX reader walks the mapped bytes one character at a time, so nothing of the file
// is copied or buffered by lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/win_types.h"

#ifndef ERROR_FILE_INVALID
#define ERROR_FILE_INVALID 1006L
#endif

class CMappedFile {
public:
    CMappedFile() = default;
    ~CMappedFile() { Close(); }
    CMappedFile(const CMappedFile&) = delete;
    CMappedFile& operator=(const CMappedFile&) = delete;

    // 0 on success, else a Windows error code, also left as the last error: 2 for a
    // missing file, 5 for a folder or a file we may not read. An empty file cannot be
    // mapped and fails with ERROR_FILE_INVALID, on every platform.
    DWORD Open(const std::wstring& path);
    void Close();

    bool IsOpen() const { return m_view != nullptr; }
    const uint8_t* Data() const { return m_view; }
    size_t Size() const { return m_size; }

private:
    const uint8_t* m_view = nullptr;
    size_t m_size = 0;
    void* m_file = nullptr;     // Windows file handle; unused elsewhere
    void* m_mapping = nullptr;  // Windows mapping handle; unused elsewhere
};
