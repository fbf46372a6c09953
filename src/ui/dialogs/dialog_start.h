// The configuration dialogs begin their work once they are on the screen: showing the
// dialog posts WM_APP_DIALOG_START to it, and it then asks for the file (the file dialog
// opens over the dialog, not before it). A dialog acts on the first of these only.
#pragma once

#include <windows.h>

constexpr UINT WM_APP_DIALOG_START = WM_APP + 0x120;

inline void PostDialogStart(HWND dialog)
{
    ::PostMessageW(dialog, WM_APP_DIALOG_START, 0, 0);
}
