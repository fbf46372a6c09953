// The lines of a configuration file the reader understands, each parsed on its own.
#pragma once

#include <string_view>
#include <vector>

#include "platform/win_types.h"

namespace ConfigLine {

bool StartsWith(std::wstring_view line, std::wstring_view prefix);  // case-sensitive

// "CRC32 = 0x" (or "0X") and at least eight characters, of which the first eight are
// hexadecimal digits of either case, most significant first; the rest is ignored.
bool ParseIntegrity(std::wstring_view line, DWORD& value);

struct CMemoryLine {
    DWORD address = 0;
    std::vector<BYTE> bytes;
};
// "MEM2 hh ll nn data...": pieces between single spaces, each trimmed of white space;
// hh, ll and nn exactly two hex digits, data exactly 2 * nn hex digits; more pieces
// are ignored.
bool ParseMemory(std::wstring_view line, CMemoryLine& out);
// "MEM ppp.ooo = v": page, offset and value decimal, each 0 to 255; one byte at
// page * 256 + offset.
bool ParseDecimalMemory(std::wstring_view line, DWORD& address, BYTE& value);
// The decimal number after "<key> = " (leading white space allowed), in 16 bits (65536
// reads as 0); anything after its digits is ignored. False when the key is not followed
// by " = " and a number.
bool ParseSerialNumber(std::wstring_view line, std::wstring_view key, unsigned short& serialNumber);

}  // namespace ConfigLine
