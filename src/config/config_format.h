// The configuration file's fixed facts: which EEPROM bytes it carries and in which
// lines, which of them may go back into the radio, and the keys of its value lines.
#pragma once

#include <string>

#include "platform/win_types.h"

namespace ConfigFormat {

constexpr DWORD kConfigAreaSize = 0x400;  // EEPROM 0x000-0x3FF
constexpr DWORD kImageSize = 0x8400;      // the whole EEPROM address space
constexpr DWORD kBytesPerLine = 32;
constexpr const wchar_t* kExtension = L"ZR8Config";
constexpr const wchar_t* kMemoryKeyword = L"MEM2";
constexpr const wchar_t* kIntegrityKeyword = L"CRC32";

struct CRange {
    DWORD start;
    DWORD length;
    DWORD End() const { return start + length; }
};

// What a save reads and writes, in file order.
constexpr CRange kReadRanges[] = {{0x000, 0x100}, {0x100, 0x100}, {0x200, 0x100}, {0x300, 0x100}};
constexpr int kReadRangeCount = 4;
// What a restore may write: 0x0C0-0x0C1 and 0x0FB-0x0FF belong to the radio alone.
constexpr CRange kRestorableRanges[] = {
    {0x000, 0xC0}, {0x0C2, 0x39}, {0x100, 0x100}, {0x200, 0x100}, {0x300, 0x100}};

bool IsRestorable(DWORD address);

// "ZR8 Utility Version", "ZR8 Firmware Version", "ZR8 Serial Number"
std::wstring UtilityVersionKey();
std::wstring FirmwareVersionKey();
std::wstring SerialNumberKey();

}  // namespace ConfigFormat
