// Hexadecimal text as the radio's EEPROM blocks and the configuration file carry it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"

// The byte two characters spell (0-9, A-F, a-f). Any other character: false, last error
// 0xE200000B (Unexpected hex character).
bool HexPairToByte(wchar_t high, wchar_t low, BYTE& value);

// Exactly `count` bytes from digit pairs, white space between pairs skipped. The two
// digits of a pair must be adjacent. Fails (false, last error set, `bytes` untouched) on
// a character that is not a hex digit, including white space inside a pair (0xE200000B),
// and on fewer or more pairs than `count` (ERROR_INVALID_DATA).
bool ParseHexBytes(std::wstring_view text, size_t count, std::vector<BYTE>& bytes);

// True when every character is a hexadecimal digit; true for the empty text.
bool IsAllHexDigits(std::wstring_view text);

// Two upper-case digits per byte, most significant nibble first, no separators.
std::wstring BytesToHex(const BYTE* data, size_t count);
inline std::wstring BytesToHex(const std::vector<BYTE>& data) { return BytesToHex(data.data(), data.size()); }
