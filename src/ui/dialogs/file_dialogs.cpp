#include "ui/dialogs/file_dialogs.h"

#include <cwchar>
#include <utility>

#include "config/config_format.h"

namespace FileDialogs {
namespace {

Handler& InstalledHandler()
{
    static Handler handler;
    return handler;
}

// The explorer-style dialog asks for a hook with these flags; it leaves everything to
// the dialog's own processing.
UINT_PTR CALLBACK PassThroughHook(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

CFileChoice Run(Kind kind, OPENFILENAMEW& request)
{
    BOOL confirmed = FALSE;
    DWORD extendedError = 0;
    if (const Handler& handler = InstalledHandler()) {
        confirmed = handler(kind, request, extendedError);
    } else {
        confirmed = kind == Kind::SaveAs ? ::GetSaveFileNameW(&request) : ::GetOpenFileNameW(&request);
        if (!confirmed)
            extendedError = ::CommDlgExtendedError();
    }
    CFileChoice choice;
    choice.confirmed = confirmed != FALSE;
    choice.extendedError = confirmed ? 0 : extendedError;
    if (choice.confirmed) {
        request.lpstrFile[request.nMaxFile - 1] = L'\0';
        choice.path = request.lpstrFile;
    }
    return choice;
}

void Prepare(OPENFILENAMEW& request, HWND owner, const std::wstring& filter, wchar_t* file, DWORD flags)
{
    request.lStructSize = sizeof(request);
    request.hwndOwner = owner;
    request.hInstance = ::GetModuleHandleW(nullptr);
    request.lpstrFilter = filter.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = file;
    request.nMaxFile = kFileBufferChars;
    request.lpstrDefExt = ConfigFormat::kExtension;
    request.Flags = flags;
    request.lpfnHook = &PassThroughHook;
}

}  // namespace

Handler SetHandler(Handler handler)
{
    return std::exchange(InstalledHandler(), std::move(handler));
}

CFileChoice SaveAs(HWND owner, const std::wstring& initialPath, const std::wstring& filter)
{
    wchar_t file[kFileBufferChars] = {};
    // A longer proposal is cut to the buffer; the dialog then refuses it as an invalid
    // name and the caller offers the default folder.
    wcsncpy(file, initialPath.c_str(), kFileBufferChars - 1);
    OPENFILENAMEW request = {};
    Prepare(request, owner, filter, file, kSaveAsFlags);
    return Run(Kind::SaveAs, request);
}

CFileChoice Open(HWND owner, const std::wstring& folder, const std::wstring& filter)
{
    wchar_t file[kFileBufferChars] = {};
    wchar_t title[kFileTitleChars] = {};
    OPENFILENAMEW request = {};
    Prepare(request, owner, filter, file, kOpenFlags);
    request.lpstrFileTitle = title;
    request.nMaxFileTitle = kFileTitleChars;
    request.lpstrInitialDir = folder.c_str();
    return Run(Kind::Open, request);
}

}  // namespace FileDialogs
