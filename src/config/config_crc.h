// The configuration file's integrity value: the reflected CRC-32 (polynomial 0xEDB88320)
// of every line's characters (low eight bits each, without the line end), integrity lines
// left out, all lines of the file run together. The integrity line carries the complement
// of that CRC: for the lines "a" and "bc" alone the CRC is 0x352441C2 and the line reads
// CRC32 = 0xCADBBE3D.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/win_types.h"

class CConfigCrc {
public:
    void AddLine(std::string_view bytes);
    void AddLine(std::wstring_view text);  // the low eight bits of each character
    DWORD Crc() const { return m_value; }  // the ordinary CRC-32 so far
    DWORD IntegrityValue() const { return ~m_value; }

private:
    DWORD m_value = 0;
};
