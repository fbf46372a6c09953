#include "ui/pages/serial_port_list.h"

#include <algorithm>

std::vector<std::wstring> ListSerialPorts(const std::vector<std::wstring>& extraPorts, HKEY root,
                                          const wchar_t* subkey)
{
    std::vector<std::wstring> ports = EnumerateSerialPorts(root, subkey);
    for (const std::wstring& extra : extraPorts) {
        if (!extra.empty())
            ports.push_back(extra);
    }
    // The order of a sorted combo box: case-insensitive, as lstrcmpi compares.
    std::stable_sort(ports.begin(), ports.end(), [](const std::wstring& a, const std::wstring& b) {
        return lstrcmpiW(a.c_str(), b.c_str()) < 0;
    });
    return ports;
}
