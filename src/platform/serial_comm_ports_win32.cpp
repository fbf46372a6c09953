#include "platform/serial_comm_ports.h"

#include <algorithm>

namespace {

// Closes the key on every path.
class CRegKey {
public:
    CRegKey() = default;
    ~CRegKey()
    {
        if (m_key != nullptr)
            RegCloseKey(m_key);
    }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;

    bool OpenForValues(HKEY root, const wchar_t* subkey)
    {
        return RegOpenKeyExW(root, subkey, 0, KEY_QUERY_VALUE, &m_key) == ERROR_SUCCESS;
    }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

// The port name of a value's data, which need not carry its terminator: everything up
// to the first null within the bytes that were read.
std::wstring PortNameOf(const wchar_t* data, DWORD bytes)
{
    size_t chars = bytes / sizeof(wchar_t);
    const wchar_t* end = std::find(data, data + chars, L'\0');
    return std::wstring(data, end);
}

}  // namespace

std::vector<std::wstring> EnumerateSerialPorts(HKEY root, const wchar_t* subkey)
{
    std::vector<std::wstring> ports;
    CRegKey key;
    if (!key.OpenForValues(root, subkey))
        return ports;

    for (DWORD index = 0;; ++index) {
        wchar_t name[kSerialCommNameChars] = {};
        wchar_t data[kSerialCommDataBytes / sizeof(wchar_t)] = {};
        DWORD nameChars = kSerialCommNameChars;
        DWORD dataBytes = kSerialCommDataBytes;
        DWORD type = REG_NONE;
        LONG status = RegEnumValueW(key.Get(), index, name, &nameChars, nullptr, &type,
                                    reinterpret_cast<BYTE*>(data), &dataBytes);
        if (status != ERROR_SUCCESS)
            break;
        std::wstring port = PortNameOf(data, dataBytes);
        if (IsListedSerialCommValue(std::wstring(name, nameChars), type, port))
            ports.push_back(port);
    }
    return ports;
}
