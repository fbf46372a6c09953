// The port's messages, in the program's standard formats.
#pragma once

#include <string>

#include "platform/win_types.h"

// "COM Port Error" box and log line: "<call> failed on "<port>"\r\nError 0x...: <text>".
void ShowPortError(HWND window, const wchar_t* callName, const std::wstring& portName, DWORD code);
// Log line "ClearCommError dwErrors 0x%04X".
void LogLineErrors(HWND window, DWORD errors);
// Log line in the "failed on" format, without a box.
void LogPortFailure(HWND window, const wchar_t* callName, const std::wstring& portName, DWORD code);
