// A COM port's identity through SetupAPI: a device of the Ports class registered for the
// test (and removed after it) with an FTDI hardware id, its friendly name, the port name
// and the FTDI driver's latency value in its device key.
#include <windows.h>
#include <setupapi.h>

#include <gtest/gtest.h>

#include "cli/adapter_checks.h"
#include "cli/port_identity.h"

namespace {

const GUID kPortsClass = {0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

class CRegisteredPort {
public:
    CRegisteredPort(const wchar_t* port, const std::wstring& hardwareId, const std::wstring& friendlyName, DWORD latency)
        : m_set(SetupDiCreateDeviceInfoList(&kPortsClass, nullptr)) {
        m_info.cbSize = sizeof m_info;
        if (m_set == INVALID_HANDLE_VALUE ||
            !SetupDiCreateDeviceInfoW(m_set, L"PORTS", &kPortsClass, nullptr, nullptr, DICD_GENERATE_ID, &m_info) ||
            !SetupDiRegisterDeviceInfo(m_set, &m_info, 0, nullptr, nullptr, nullptr))
            return;
        m_registered = true;
        const std::wstring ids = hardwareId + L'\0';  // a list of strings, ended by an empty one
        SetProperty(SPDRP_HARDWAREID, ids.c_str(), (ids.size() + 1) * sizeof(wchar_t));
        SetProperty(SPDRP_FRIENDLYNAME, friendlyName.c_str(), (friendlyName.size() + 1) * sizeof(wchar_t));
        HKEY key = SetupDiCreateDevRegKeyW(m_set, &m_info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
        if (key == INVALID_HANDLE_VALUE) return;
        RegSetValueExW(key, L"PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>(port),
                       static_cast<DWORD>((wcslen(port) + 1) * sizeof(wchar_t)));
        RegSetValueExW(key, L"LatencyTimer", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&latency), sizeof latency);
        RegCloseKey(key);
        m_keyWritten = true;
    }
    ~CRegisteredPort() {
        if (m_registered) SetupDiRemoveDevice(m_set, &m_info);
        if (m_set != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(m_set);
    }
    bool Ready() const { return m_registered && m_keyWritten; }

private:
    void SetProperty(DWORD property, const wchar_t* value, size_t bytes) {
        SetupDiSetDeviceRegistryPropertyW(m_set, &m_info, property, reinterpret_cast<const BYTE*>(value),
                                          static_cast<DWORD>(bytes));
    }

    HDEVINFO m_set;
    SP_DEVINFO_DATA m_info{};
    bool m_registered = false;
    bool m_keyWritten = false;
};

TEST(PortIdentityWin32, FtdiPortWithItsLatencyValue) {
    CRegisteredPort device(L"COM231", L"FTDIBUS\\VID_0403+PID_6001+A10KA\\0000", L"USB Serial Port (COM231)", 16);
    ASSERT_TRUE(device.Ready()) << GetLastError();
    const CPortIdentity identity = IdentifyPort(L"com231");
    EXPECT_EQ(identity.friendlyName, L"USB Serial Port (COM231)");
    EXPECT_EQ(identity.hardwareId, L"FTDIBUS\\VID_0403+PID_6001+A10KA\\0000");
    EXPECT_EQ(identity.vendorId, L"0403");
    EXPECT_EQ(identity.productId, L"6001");
    EXPECT_EQ(identity.maker, L"FTDI");
    EXPECT_EQ(identity.chip, L"FT232R");
    EXPECT_EQ(identity.latencyMs, 16);
    CAdapterFinding finding;
    ASSERT_TRUE(LatencyFinding(L"COM231", identity, finding));
    EXPECT_EQ(finding.fix, L"Device Manager, Ports (COM & LPT), USB Serial Port (COM231), Properties, Port Settings, "
                           L"Advanced, Latency Timer (msec): 1");
}

TEST(PortIdentityWin32, OtherDriversHaveNoLatencyValueAndUnknownPortsNothing) {
    CRegisteredPort device(L"COM232", L"USB\\VID_10C4&PID_EA60\\0001", L"Silicon Labs CP210x USB to UART Bridge (COM232)", 16);
    ASSERT_TRUE(device.Ready()) << GetLastError();
    const CPortIdentity identity = IdentifyPort(L"COM232");
    EXPECT_EQ(identity.vendorId, L"10c4");
    EXPECT_EQ(identity.chip, L"CP210x");
    EXPECT_EQ(identity.latencyMs, -1);  // the value is the FTDI driver's, and only its own
    EXPECT_FALSE(IdentifyPort(L"COM233").Known());
}

}  // namespace
