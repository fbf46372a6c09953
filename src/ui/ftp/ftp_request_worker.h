// CFtpRequestWorker: the copy's Internet calls as blocking calls on one thread of its
// own. Each request is queued and reported as the asynchronous mode reports it: the
// queuing call returns FALSE with ERROR_IO_PENDING, and WM_APP_FTP_REQUEST_COMPLETE
// (wParam the error, lParam the result: the new handle, or TRUE) reaches the dialog when
// the call has ended. Wine's asynchronous FTP does not report its completions as Windows
// does (docs/file_server.md); blocking calls on this thread behave the same on both.
#pragma once

#include <windows.h>

#include <wininet.h>

#include <functional>
#include <memory>
#include <string>

class CFtpRequestWorker {
public:
    explicit CFtpRequestWorker(HWND dialog);
    ~CFtpRequestWorker();  // Stop with a short wait
    CFtpRequestWorker(const CFtpRequestWorker&) = delete;
    CFtpRequestWorker& operator=(const CFtpRequestWorker&) = delete;

    BOOL Connect(HINTERNET session, const std::wstring& host, INTERNET_PORT port, DWORD_PTR context);
    BOOL SetCurrentDirectory(HINTERNET connection, const std::wstring& path);
    // The entry found is in Entry() once the completion has arrived.
    BOOL FindFirstFile(HINTERNET connection, DWORD_PTR context);
    BOOL FindNextFile(HINTERNET find);
    // Binary transfer into localPath, block by block; a cancel stops it between blocks
    // with ERROR_CANCELLED. The file stays deletable while it is written. With a listed
    // size (not 0), a transfer that ends short fails with 12030: a server that drops the
    // connection looks like the end of the file to the reading calls.
    BOOL GetFile(HINTERNET connection, const std::wstring& name, const std::wstring& localPath, DWORD_PTR context,
                 ULONGLONG listedSize);

    // Read on the dialog's thread after the completion of a find request only.
    const WIN32_FIND_DATAA& Entry() const;

    void Cancel();
    // Cancels, and waits at most waitMs for the thread to end; after that the thread
    // finishes its call alone and ends without touching anything of the dialog.
    void Stop(DWORD waitMs);

    struct CShared;

private:
    // Queues the job (which returns the error and the result); FALSE with 997.
    BOOL Queue(std::function<DWORD(CShared&, LPARAM&)> job);
    std::shared_ptr<CShared> m_shared;
};
