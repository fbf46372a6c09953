// The serial ports the Port page offers: the system's device map of serial ports
// (HKEY_LOCAL_MACHINE "HARDWARE\DEVICEMAP\SERIALCOMM"), read with the page's rules.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The device map's key under HKEY_LOCAL_MACHINE.
constexpr const wchar_t* kSerialCommKey = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";
// A device-map entry of this name (any letter case) is never offered.
constexpr const wchar_t* kHiddenSerialCommValue = L"winachsf0";
// Buffers of the enumeration: a value name of up to 255 characters, port-name data of up
// to 32 bytes (15 characters and the terminator).
constexpr DWORD kSerialCommNameChars = 256;
constexpr DWORD kSerialCommDataBytes = 32;

// The port names of the key, in the key's order. Values are read one by one until a
// read fails (no more values, or a name or port name too long for the buffers: that
// ends the list there); an entry is kept when it is a REG_SZ with non-empty data and its
// name is not "winachsf0". A key that cannot be opened gives an empty list.
std::vector<std::wstring> EnumerateSerialPorts(HKEY root = HKEY_LOCAL_MACHINE, const wchar_t* subkey = kSerialCommKey);

// Equal but for the case of the letters A to Z (port names, device-map names).
bool SameIgnoringLetterCase(const std::wstring& a, const std::wstring& b);

// The device map's ports and the extra names (the simulated radio's "SIM"), ordered as
// the page's sorted list shows them: without regard to letter case.
std::vector<std::wstring> ListSerialPorts(const std::vector<std::wstring>& extraPorts,
                                          HKEY root = HKEY_LOCAL_MACHINE, const wchar_t* subkey = kSerialCommKey);
