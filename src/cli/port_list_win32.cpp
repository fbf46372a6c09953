// The serial device map: HKLM "HARDWARE\DEVICEMAP\SERIALCOMM", read with the buffers
// the Port page uses (a value name of 256 characters, data of 32 bytes): the first value
// that does not fit ends the list, as it does there.
#include <windows.h>

#include <algorithm>

#include "cli/port_list.h"

std::vector<CPortEntry> ListSerialPorts() {
    std::vector<CPortEntry> ports;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return ports;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        BYTE data[32];
        DWORD nameLength = 256;
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
        std::wstring text(reinterpret_cast<const wchar_t*>(data), dataSize / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        if (IsListedSerialCommValue(std::wstring(name, nameLength), type, text)) ports.push_back({text, std::wstring()});
    }
    RegCloseKey(key);
    std::sort(ports.begin(), ports.end(), [](const CPortEntry& a, const CPortEntry& b) { return NaturalLess(a.name, b.name); });
    return ports;
}

std::vector<CPortEntry> ListSerialPortsUnder(const std::string&) { return ListSerialPorts(); }
