// Texts for trace lines and logs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Printable characters (blank, letters, digits, punctuation: 0x20-0x7E) stay; every other
// character becomes \x and two upper-case hex digits of its low byte, so a carriage
// return reads \x0D. Received text carries one character per byte, so a byte the radio
// sent above 0x7E shows as its value.
std::wstring EscapeForDisplay(std::wstring_view text);
std::wstring EscapeChar(wchar_t c);

// The pieces between single spaces, in order: two adjacent spaces give an empty piece;
// a trailing remainder is added only when it is not empty.
std::vector<std::wstring> SplitOnSpaces(std::wstring_view text);

// The local time as "hh:mm:ss " (with the trailing space), for log lines.
std::wstring TimeStamp();
std::wstring FormatTimeStamp(unsigned hours, unsigned minutes, unsigned seconds);
