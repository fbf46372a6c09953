// CFtpRequestWorker: the copy's Internet calls as blocking calls on one thread of its
// own. Each request is queued and reported as the asynchronous mode reports it: the
// queuing call returns FALSE with ERROR_IO_PENDING, and WM_APP_FTP_REQUEST_COMPLETE
// (wParam the error, lParam the result: the new handle, or TRUE) reaches the dialog when
// the call has ended. Wine's asynchronous FTP does not report its completions as Windows
// does (docs/file_server.md); blocking calls on this thread behave the same on both.
//
// The server's reply to a failing call can only be asked for on the thread that made the
// call: the worker records it there, before the completion is posted. The status
// callback's context is shared with the worker, so that a call still running on a thread
// left behind (Stop) never reaches memory the dialog has freed.
#pragma once

#include <windows.h>

#include <wininet.h>

#include <functional>
#include <memory>
#include <string>

#include "ui/ftp/ftp_messages.h"

// The last error of a failed Internet call; a failure that left 0 is reported as
// ERROR_INTERNET_INTERNAL_ERROR (12004), never as success.
DWORD LastInternetError();

// What the server answered to the call that failed last (InternetGetLastResponseInfo).
struct CServerReply {
    DWORD code = 0;
    std::wstring text;
};

class CFtpRequestWorker {
public:
    CFtpRequestWorker(HWND dialog, std::shared_ptr<CFtpCallbackContext> context);
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
    // The reply recorded with the last failed request, read after its completion.
    CServerReply LastReply() const;

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
