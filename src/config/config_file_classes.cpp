#include "config/config_file_classes.h"

#include <algorithm>
#include <cstring>

#include "core/text/error_text.h"
#include "core/text/report.h"
#include "platform/atomic_file.h"
#include "platform/code_pages.h"
#include "platform/folders.h"

void CFileRead::Close() {
    m_open = false;
    m_bytes.clear();
    m_readPosition = 0;
}

DWORD CFileRead::GetSize() {
    if (!m_open) {
        SetLastError(ERROR_INVALID_HANDLE);
        return kInvalidSize;
    }
    if (m_bytes.size() >= kInvalidSize) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return kInvalidSize;
    }
    return static_cast<DWORD>(m_bytes.size());
}

void CFileRead2::ReportFailure(const wchar_t* operation, DWORD code) {
    ShowError(m_owner, m_captionId, IDS_FAILED_ON, operation, m_path.c_str(), unsigned(code),
              GetErrorText(code).c_str());
    SetLastError(code);
}

DWORD CFileRead2::GetSize() {
    const DWORD size = CFileRead::GetSize();
    if (size == kInvalidSize) ReportFailure(L"GetFileSize", GetLastError());
    return size;
}

bool CFileRead2::Open(const std::wstring& path, DWORD access, DWORD sharing, DWORD creation, DWORD flags) {
    Close();
    m_path = path;
    DWORD rc = 0;
    if (creation == OPEN_EXISTING) {
        rc = AtomicFile::ReadAll(path, m_bytes);
    } else if (path.empty()) {
        rc = ERROR_PATH_NOT_FOUND;
    } else if (Folders::FolderExists(path)) {
        rc = ERROR_ACCESS_DENIED;
    } else {
        const size_t cut = path.find_last_of(Folders::Separator() == L'\\' ? L"\\/" : L"/");
        const std::wstring folder = cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
        if (!folder.empty() && !Folders::FolderExists(folder)) rc = ERROR_PATH_NOT_FOUND;
    }
    if (rc != 0) {
        m_bytes.clear();
        ReportFailure(L"CreateFile", rc);
        return false;
    }
    m_open = true;
    SetLastError(0);
    return true;
}

bool CFileRead2::Read(void* buffer, DWORD size, DWORD& bytesRead) {
    bytesRead = 0;
    if (!m_open) {
        ReportFailure(L"ReadFile", ERROR_INVALID_HANDLE);
        return false;
    }
    const size_t n = std::min<size_t>(size, m_bytes.size() - m_readPosition);
    if (n) std::memcpy(buffer, m_bytes.data() + m_readPosition, n);
    m_readPosition += n;
    bytesRead = static_cast<DWORD>(n);
    return true;
}

bool CFileRead3::Load(const std::wstring& path) {
    m_buffer.reset();
    m_bufferSize = 0;
    m_next = 0;
    if (!Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN))
        return false;
    const DWORD size = GetSize();
    if (size == kInvalidSize) {
        const DWORD code = GetLastError();
        Close();
        SetLastError(code);
        return false;
    }
    std::unique_ptr<char[]> buffer(new char[size ? size : 1]);
    DWORD got = 0;
    const bool ok = Read(buffer.get(), size, got);
    const DWORD code = GetLastError();
    Close();
    if (!ok) {
        SetLastError(code);
        return false;
    }
    m_buffer = std::move(buffer);
    m_bufferSize = got;
    SetLastError(0);
    return true;
}

bool CFileRead3::NextChar(wchar_t& c, DWORD& error) {
    error = 0;
    if (!m_buffer) {
        error = ERROR_INVALID_HANDLE;
        return false;
    }
    if (m_next >= m_bufferSize) return false;
    c = static_cast<wchar_t>(static_cast<unsigned char>(m_buffer[m_next++]));
    return true;
}

std::string_view CFileRead3::Contents() const {
    return m_buffer ? std::string_view(m_buffer.get(), m_bufferSize) : std::string_view();
}

bool CFileWrite2::Write(const void* data, DWORD count) {
    if (!m_open) {
        ReportFailure(L"WriteFile", ERROR_INVALID_HANDLE);
        return false;
    }
    m_bytes.append(static_cast<const char*>(data), count);
    return true;
}

bool CFileWrite2::WriteLine(const std::wstring& text) { return WriteText(text) && Write("\r\n", 2); }

bool CFileWrite2::WriteText(const std::wstring& text) {
    const std::string bytes = CodePages::ToAnsi(text);
    return Write(bytes.data(), static_cast<DWORD>(bytes.size()));
}

bool CFileWrite2::Commit() {
    if (!m_open) {
        ReportFailure(L"WriteFile", ERROR_INVALID_HANDLE);
        return false;
    }
    const DWORD rc = AtomicFile::WriteAll(m_path, m_bytes);
    Close();
    if (rc != 0) {
        ReportFailure(L"WriteFile", rc);
        return false;
    }
    SetLastError(0);
    return true;
}
