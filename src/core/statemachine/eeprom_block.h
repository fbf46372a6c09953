// The radio's EEPROM block commands, independent of any state: how a range is cut into
// blocks, which blocks may be read or written, and the "ER"/"EW" texts with their
// checksums. A block carries at most 64 bytes and never crosses a 256-byte page.
#pragma once

#include <cstddef>
#include <string>

#include "platform/win_types.h"

namespace EepromBlock {

constexpr DWORD kMaxBlockLength = 64;
constexpr DWORD kPageSize = 256;
constexpr DWORD kAddressLimit = 0x8400;  // the EEPROM address space ends here

// The length of the next block at address with remaining bytes left: at most 64, cut
// at the end of the address's 256-byte page.
DWORD NextBlockLength(DWORD address, DWORD remaining);

// Reading: the block lies below 0x8400.
bool IsReadable(DWORD address, DWORD length);
// Writing: the block lies wholly inside one of the ranges the radio lets us write
// (0x000-0x0BF, 0x0C2-0x0FA, 0x100-0x1FF, 0x200-0x2FF, 0x300-0x3FF).
bool IsWritable(DWORD address, DWORD length);

// The two's complement, modulo 256, of the sum of the bytes.
BYTE Checksum(const BYTE* bytes, size_t count);

// "ER" address count checksum ";", e.g. ER010040BF; for 64 bytes at 0x0100.
std::wstring ReadCommand(DWORD address, DWORD length);
// "EW" address count data checksum ";".
std::wstring WriteCommand(DWORD address, DWORD length, const BYTE* data);

// Checks a read answer against the command that asked for blockLength bytes and, when
// it is valid, copies its data bytes to out (room for blockLength bytes). A character
// that is not a hexadecimal digit leaves 0xE200000B as the last error.
bool ParseReadResponse(const std::wstring& response, const std::wstring& command, DWORD blockLength,
                       BYTE* out);
// Checks the 11-character acknowledgement of a write command.
bool ParseWriteAcknowledgement(const std::wstring& response, const std::wstring& command);

}  // namespace EepromBlock
