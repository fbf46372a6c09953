// The platform's save-as and open dialogs for the configuration files. The real program
// shows GetSaveFileNameW / GetOpenFileNameW; a test installs a handler that receives the
// very OPENFILENAMEW the program built (owner, filter, flags, the initial name in its
// 260-character buffer) and answers it: a path written into lpstrFile and TRUE, or FALSE
// with the extended error (0 for a cancel, FNERR_INVALIDFILENAME, ...).
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <string>

#include "config/config_operation.h"

namespace FileDialogs {

enum class Kind { SaveAs, Open };

constexpr DWORD kSaveAsFlags =
    OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;
constexpr DWORD kOpenFlags =
    OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;
constexpr DWORD kFileBufferChars = MAX_PATH;  // 260
constexpr DWORD kFileTitleChars = 256;

using Handler = std::function<BOOL(Kind kind, OPENFILENAMEW& request, DWORD& extendedError)>;

// Returns the previous handler; an empty handler restores the platform's dialogs.
Handler SetHandler(Handler handler);

// The save-as dialog proposing initialPath (cut to the buffer), with the filter list.
CFileChoice SaveAs(HWND owner, const std::wstring& initialPath, const std::wstring& filter);
// The open dialog in the folder, with the filter list.
CFileChoice Open(HWND owner, const std::wstring& folder, const std::wstring& filter);

}  // namespace FileDialogs
