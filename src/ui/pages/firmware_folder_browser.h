// The shell's folder browser for the firmware folder.
#pragma once

#include <string>

#include "platform/win_types.h"

// Shows the folder browser owned by the window, with the title, file-system folders only
// and the current folder selected when it opens. True with the chosen folder's path when
// the user confirms; false, chosen untouched, when the user cancels.
bool BrowseForFirmwareFolder(HWND owner, const std::wstring& title, const std::wstring& current,
                             std::wstring& chosen);
