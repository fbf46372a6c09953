#include "ui/ftp/ftp_messages.h"

void CALLBACK FtpStatusCallback(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID info, DWORD infoLength)
{
    const auto* copy = reinterpret_cast<const CFtpCallbackContext*>(context);
    if (copy == nullptr || copy->signature != CFtpCallbackContext::kSignature)
        return;
    const LONG state = copy->state;
    if (state == 0 || state == 7)
        return;
    switch (status) {
    case INTERNET_STATUS_HANDLE_CREATED:
        if (info != nullptr && infoLength >= sizeof(HINTERNET))
            ::PostMessageW(copy->dialog, WM_APP_FTP_HANDLE_CREATED, 0,
                           reinterpret_cast<LPARAM>(*static_cast<HINTERNET*>(info)));
        break;
    case INTERNET_STATUS_REQUEST_COMPLETE:
        if (info != nullptr) {
            const auto* result = static_cast<const INTERNET_ASYNC_RESULT*>(info);
            ::PostMessageW(copy->dialog, WM_APP_FTP_REQUEST_COMPLETE, result->dwError,
                           static_cast<LPARAM>(result->dwResult));
        }
        break;
    case INTERNET_STATUS_CONNECTED_TO_SERVER:
    case INTERNET_STATUS_CLOSING_CONNECTION:
    case INTERNET_STATUS_CONNECTION_CLOSED:
        ::PostMessageW(copy->dialog, WM_APP_FTP_STATUS, status, 0);
        break;
    case INTERNET_STATUS_HANDLE_CLOSING:
        ::PostMessageW(copy->dialog, WM_APP_FTP_HANDLE_CLOSING, status, reinterpret_cast<LPARAM>(handle));
        break;
    default:
        break;
    }
}
