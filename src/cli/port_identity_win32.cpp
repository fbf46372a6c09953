// A COM port's identity from SetupAPI: the device of the Ports class whose "PortName" is
// the port, with its friendly name, hardware id, maker and service, the USB ids in the
// hardware id ("FTDIBUS\VID_0403+PID_6001+A10KA\0000", "USB\VID_10C4&PID_EA60\0001"), and
// for the FTDI driver its "LatencyTimer" value. Where SetupAPI knows no such device (Wine
// lists none for the COM ports it maps), nothing is known and nothing is shown.
#include <windows.h>
#include <setupapi.h>

#include <cwctype>

#include "cli/port_identity.h"
#include "platform/code_pages.h"

namespace {

// GUID_DEVCLASS_PORTS: "Ports (COM & LPT)".
const GUID kPortsClass = {0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

class CDeviceList {
public:
    CDeviceList() : m_set(SetupDiGetClassDevsW(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT)) {}
    ~CDeviceList() {
        if (m_set != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(m_set);
    }
    CDeviceList(const CDeviceList&) = delete;
    CDeviceList& operator=(const CDeviceList&) = delete;
    HDEVINFO Get() const { return m_set; }

private:
    HDEVINFO m_set;
};

class CDeviceKey {
public:
    CDeviceKey(HDEVINFO set, SP_DEVINFO_DATA& device)
        : m_key(SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ)) {}
    ~CDeviceKey() {
        if (Valid()) RegCloseKey(m_key);
    }
    CDeviceKey(const CDeviceKey&) = delete;
    CDeviceKey& operator=(const CDeviceKey&) = delete;
    bool Valid() const { return m_key != INVALID_HANDLE_VALUE && m_key != nullptr; }

    std::wstring String(const wchar_t* name) const {
        wchar_t buffer[256] = {};
        DWORD type = 0, bytes = sizeof buffer - sizeof(wchar_t);
        if (RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) != ERROR_SUCCESS ||
            type != REG_SZ)
            return std::wstring();
        return std::wstring(buffer);
    }
    bool Dword(const wchar_t* name, DWORD& value) const {
        DWORD type = 0, bytes = sizeof value;
        return RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) == ERROR_SUCCESS &&
               type == REG_DWORD;
    }

private:
    HKEY m_key;
};

// A text property; for a list (the hardware ids) its first entry.
std::wstring Property(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t buffer[512] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(set, &device, property, &type, reinterpret_cast<BYTE*>(buffer),
                                           sizeof buffer - 2 * sizeof(wchar_t), nullptr))
        return std::wstring();
    return DeviceString(CodePages::ToUtf8(buffer));
}

// "VID_0403" in "FTDIBUS\VID_0403+PID_6001+A10KA\0000": the four digits after the tag.
std::wstring IdAfter(const std::wstring& hardwareId, const wchar_t* tag) {
    std::wstring upper;
    for (wchar_t c : hardwareId) upper += static_cast<wchar_t>(std::towupper(c));
    const size_t at = upper.find(tag);
    if (at == std::wstring::npos) return std::wstring();
    return UsbIdText(CodePages::ToUtf8(upper.substr(at + wcslen(tag), 4)));
}

}  // namespace

CPortIdentity IdentifyPort(const std::wstring& port) {
    CPortIdentity identity;
    CDeviceList list;
    if (list.Get() == INVALID_HANDLE_VALUE) return identity;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(list.Get(), i, &device); ++i) {
        CDeviceKey key(list.Get(), device);
        if (!key.Valid() || _wcsicmp(key.String(L"PortName").c_str(), port.c_str()) != 0) continue;
        identity.friendlyName = Property(list.Get(), device, SPDRP_FRIENDLYNAME);
        identity.hardwareId = Property(list.Get(), device, SPDRP_HARDWAREID);
        identity.manufacturer = Property(list.Get(), device, SPDRP_MFG);
        identity.driver = Property(list.Get(), device, SPDRP_SERVICE);
        identity.vendorId = IdAfter(identity.hardwareId, L"VID_");
        identity.productId = IdAfter(identity.hardwareId, L"PID_");
        DWORD latency = 0;
        if (_wcsnicmp(identity.hardwareId.c_str(), L"FTDIBUS\\", 8) == 0 && key.Dword(L"LatencyTimer", latency) &&
            latency <= 255)
            identity.latencyMs = static_cast<int>(latency);
        NameAdapter(identity);
        break;
    }
    return identity;
}
