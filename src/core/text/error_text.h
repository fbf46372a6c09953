// Turning an error code into text: Windows system errors, WinInet errors (12000-12175)
// and the program's own codes (facility 0x200, error_codes.h).
#pragma once

#include <string>

#include "platform/win_types.h"

// The text of the code without trailing line breaks; empty when there is none (never a
// failure). For 12003 the server's last response follows on a new line. Leaves the
// thread's last error as it found it, so a caller may report and then still read it.
std::wstring GetErrorText(DWORD code);

// Removes every trailing carriage return and line feed.
void StripTrailingLineBreaks(std::wstring& text);
