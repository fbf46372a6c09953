// What the file-server copy hears from the Internet functions: the status callback and
// the request worker post these to the copy dialog.
#pragma once

#include <windows.h>

#include <wininet.h>

constexpr UINT WM_APP_FTP_HANDLE_CREATED = WM_APP + 30;   // 0x801E lParam: the new handle
constexpr UINT WM_APP_FTP_REQUEST_COMPLETE = WM_APP + 31; // 0x801F wParam: error, lParam: result
constexpr UINT WM_APP_FTP_STATUS = WM_APP + 32;           // 0x8020 wParam: status code
constexpr UINT WM_APP_FTP_HANDLE_CLOSING = WM_APP + 33;   // 0x8021 wParam: status code, lParam: the handle

// The context value of every call of one copy: the dialog, its state, and a signature
// that tells the callback the call is one of the copy's.
struct CFtpCallbackContext {
    static constexpr DWORD kSignature = 0xDCCE192C;
    HWND dialog = nullptr;
    volatile LONG state = 0;  // the dialog's FtpState, written by the dialog's thread only
    DWORD signature = kSignature;
};

// The status callback: checks the signature, ignores calls while the state is 0 (idle)
// or 7 (closed), and only posts to the dialog.
void CALLBACK FtpStatusCallback(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID info, DWORD infoLength);
