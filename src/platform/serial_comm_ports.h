// The system's device map of serial ports: HKEY_LOCAL_MACHINE
// "HARDWARE\DEVICEMAP\SERIALCOMM", one value per port (value name: the driver's device,
// data: the port name). The Port page and "zr8 ports" on Windows offer what it lists.
#pragma once

#include <string>
#include <vector>

#include "platform/win_types.h"

// The device map's key under HKEY_LOCAL_MACHINE.
constexpr const wchar_t* kSerialCommKey = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";
// A device-map entry of this name (any letter case) is never offered.
constexpr const wchar_t* kHiddenSerialCommValue = L"winachsf0";
// Buffers of the enumeration: a value name of up to 255 characters, port-name data of up
// to 32 bytes (15 characters and the terminator).
constexpr DWORD kSerialCommNameChars = 256;
constexpr DWORD kSerialCommDataBytes = 32;

// Equal but for the case of the letters A to Z (port names, device-map names).
bool SameIgnoringLetterCase(const std::wstring& a, const std::wstring& b);

// A value is offered when it is a REG_SZ with a non-empty port name and its name is not
// "winachsf0".
bool IsListedSerialCommValue(const std::wstring& valueName, DWORD type, const std::wstring& portName);

#ifdef _WIN32
// The port names of the key, in the key's order. Values are read one by one until a
// read fails (no more values, or a name or port name too long for the buffers: that
// ends the list there); IsListedSerialCommValue picks the entries. A key that cannot be
// opened gives an empty list.
std::vector<std::wstring> EnumerateSerialPorts(HKEY root = HKEY_LOCAL_MACHINE, const wchar_t* subkey = kSerialCommKey);
#endif
