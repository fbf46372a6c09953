// The small file classes of the configuration file. CFileRead holds one open file;
// CFileRead2 adds the owner window, the caption of its error boxes and the path, and
// reports every failure itself ("%s failed on \"%s\"\r\nError 0x%08X: %s"); CFileRead3
// loads a whole file and hands it out one character at a time; CFileWrite2 writes.
//
// The portable core has no raw file handles: an open file for reading is its contents,
// taken in one read when it is opened, and a file open for writing collects its bytes
// and puts them in place only on Commit, through a temporary file in the same folder
// that then replaces the target. A write that fails or is never committed leaves a file
// already standing at the path exactly as it was.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/text/text_ref.h"
#include "platform/win_types.h"

#ifndef GENERIC_READ
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000u
#endif

class CFileRead {
public:
    static constexpr DWORD kInvalidSize = 0xFFFFFFFFu;

    CFileRead() = default;
    virtual ~CFileRead() { Close(); }
    CFileRead(const CFileRead&) = delete;
    CFileRead& operator=(const CFileRead&) = delete;

    // The file's size, or 0xFFFFFFFF (last error ERROR_INVALID_HANDLE) when not open.
    virtual DWORD GetSize();
    virtual bool IsOpen() const { return m_open; }
    void Close();

protected:
    bool m_open = false;
    std::string m_bytes;  // reading: the contents; writing: what waits for Commit
    size_t m_readPosition = 0;
};

class CFileRead2 : public CFileRead {
public:
    // caption: the string of the error boxes (13534 for reading, 13566 for writing).
    CFileRead2(HWND owner, UINT captionId) : m_owner(owner), m_captionId(captionId) {}

    DWORD GetSize() override;  // reports a failure
    bool IsOpen() const override { return CFileRead::IsOpen(); }
    virtual const std::wstring& GetPath() const { return m_path; }

    // Stores the path, then opens. Reading (OPEN_EXISTING) takes the contents at once;
    // writing (CREATE_ALWAYS) only checks that the file can be made there. Reports a
    // failure and returns false with the error as the last error.
    bool Open(const std::wstring& path, DWORD access, DWORD sharing, DWORD creation, DWORD flags);
    bool Read(void* buffer, DWORD size, DWORD& bytesRead);

    HWND Owner() const { return m_owner; }

protected:
    // "CreateFile failed on ..." in an error box with the caption, and in the log; the
    // code stays the last error.
    void ReportFailure(const wchar_t* operation, DWORD code);

    HWND m_owner;
    UINT m_captionId;
    std::wstring m_path;
};

class CFileRead3 : public CFileRead2 {
public:
    CFileRead3(HWND owner, UINT captionId) : CFileRead2(owner, captionId) {}
    ~CFileRead3() override = default;

    // Opens for reading, reads the whole file into one buffer, closes. False (reported,
    // last error set) on a failure.
    bool Load(const std::wstring& path);
    // The next character (one per byte), false at the end. Without a buffer it fails
    // with ERROR_INVALID_HANDLE as the error.
    bool NextChar(wchar_t& c, DWORD& error);

    virtual DWORD BufferSize() const { return m_buffer ? static_cast<DWORD>(m_bufferSize) : 0; }
    virtual bool HasBuffer() const { return m_buffer != nullptr; }
    const std::wstring& GetPath() const override { return CFileRead2::GetPath(); }
    // The loaded bytes, for readers that take them whole.
    std::string_view Contents() const;

private:
    std::unique_ptr<char[]> m_buffer;
    size_t m_bufferSize = 0;
    size_t m_next = 0;
};

class CFileWrite2 : public CFileRead2 {
public:
    CFileWrite2(HWND owner, UINT captionId) : CFileRead2(owner, captionId) {}

    // A short write counts as a failure with ERROR_WRITE_FAULT (29); reports failures.
    virtual bool Write(const void* data, DWORD count);
    virtual bool WriteLine(const std::wstring& text);  // the text, then "\r\n"
    // The text in the thread's ANSI code page.
    virtual bool WriteText(const std::wstring& text);

    // Puts the written bytes in place of the file at the path; reports a failure
    // ("WriteFile"). The file is closed afterwards either way.
    virtual bool Commit();
};
