// Telling the user: message boxes and log lines. Formats and texts are CTextRefs (a
// string-table identifier or a string); the formats are the program's Windows-style wide
// formats. Everything here runs on the user-interface thread.
#pragma once

#include <cstdarg>
#include <string>

#include "core/text/string_ids.h"
#include "core/text/text_ref.h"
#include "platform/win_types.h"

// A modal message box; returns the button pressed (IDOK, IDCANCEL, IDYES, IDNO). A
// caption of 0 leaves the system's default title.
int ShowMessage(HWND owner, UINT type, CTextRef text, CTextRef caption);

// Formats the message, sends it as a log line from the window, then shows it in an error
// box (MB_ICONERROR) with the caption. The line is logged before the box appears, so it
// is in the log even if the user never reads the box.
int ShowError(HWND window, CTextRef caption, CTextRef format, ...);
int ShowErrorV(HWND window, CTextRef caption, CTextRef format, va_list args);
// The same with a box type of the caller's choice (MB_ICONWARNING | MB_YESNO, ...).
int ShowErrorEx(HWND window, UINT type, CTextRef caption, CTextRef format, ...);
int ShowErrorExV(HWND window, UINT type, CTextRef caption, CTextRef format, va_list args);

// Formats the line and sends it (WM_APP_STATUS_TEXT, synchronously) to the top of the
// window's chain of parents and owners: the main frame, which routes it to the log.
// Without a window the line goes nowhere.
void LogLine(HWND window, CTextRef format, ...);
void LogLineV(HWND window, CTextRef format, va_list args);
// Sends a line that is already text (not a format).
void LogText(HWND window, const std::wstring& text);

// The window at the top of the chain: parents, and the owners of dialogs and other
// pop-ups, so that a line from a dialog's control reaches the frame that owns the dialog.
HWND FindLogWindow(HWND window);
