// The Port page's list of serial ports: the device-map rules over a real registry key of
// the test prefix, written the way the system writes SERIALCOMM.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/pages/serial_port_list.h"

namespace {

struct Value {
    std::wstring name;
    DWORD type;
    std::wstring data;  // REG_SZ data is written with its terminator
};

class CDeviceMapFixture {
public:
    CDeviceMapFixture()
    {
        m_path = L"Software\\ZR8 Tests\\SERIALCOMM-" + std::to_wstring(GetCurrentProcessId());
        RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
    }
    ~CDeviceMapFixture() { RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str()); }

    // Values are written in the order given; the names are chosen so that the order of
    // creation and the order of names agree (Wine enumerates by name, Windows by creation).
    bool Write(const std::vector<Value>& values)
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return false;
        bool ok = true;
        for (const Value& v : values) {
            LONG status;
            if (v.type == REG_DWORD) {
                DWORD number = 3;
                status = RegSetValueExW(key, v.name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                        sizeof(number));
            } else {
                status = RegSetValueExW(key, v.name.c_str(), 0, v.type, reinterpret_cast<const BYTE*>(v.data.c_str()),
                                        static_cast<DWORD>((v.data.size() + 1) * sizeof(wchar_t)));
            }
            ok = ok && status == ERROR_SUCCESS;
        }
        RegCloseKey(key);
        return ok;
    }

    const wchar_t* Path() const { return m_path.c_str(); }

private:
    std::wstring m_path;
};

using Ports = std::vector<std::wstring>;

TEST(SerialPortList, DeviceMapRules)
{
    const std::wstring longValueName = L"\\Device\\" + std::wstring(300, L'x');
    struct Case {
        const char* what;
        std::vector<Value> values;
        Ports expected;
    };
    const Case cases[] = {
        {"plain entries in the key's order",
         {{L"\\Device\\Serial0", REG_SZ, L"COM3"}, {L"\\Device\\Serial1", REG_SZ, L"COM1"}},
         {L"COM3", L"COM1"}},
        {"winachsf0 is hidden, the same port under another name is not",
         {{L"\\Device\\Serial0", REG_SZ, L"COM9"}, {L"winachsf0", REG_SZ, L"COM9"}},
         {L"COM9"}},
        {"WINACHSF0 is hidden", {{L"WINACHSF0", REG_SZ, L"COM4"}, {L"Z", REG_SZ, L"COM5"}}, {L"COM5"}},
        {"WinAchSf0 is hidden", {{L"A", REG_SZ, L"COM5"}, {L"WinAchSf0", REG_SZ, L"COM4"}}, {L"COM5"}},
        {"a near name is listed", {{L"winachsf01", REG_SZ, L"COM4"}}, {L"COM4"}},
        {"a 15-character port name fits",
         {{L"\\Device\\Serial0", REG_SZ, L"COM123456789012"}, {L"\\Device\\Serial1", REG_SZ, L"COM2"}},
         {L"COM123456789012", L"COM2"}},
        {"a 16-character port name ends the list, earlier ports stay",
         {{L"\\Device\\Serial0", REG_SZ, L"COM3"},
          {L"\\Device\\Serial1", REG_SZ, L"COM1234567890123"},
          {L"\\Device\\Serial2", REG_SZ, L"COM4"}},
         {L"COM3"}},
        {"a value name too long for the buffer ends the list",
         {{L"\\Device\\Serial0", REG_SZ, L"COM3"}, {longValueName, REG_SZ, L"COM4"}, {L"\\Device\\z", REG_SZ, L"COM5"}},
         {L"COM3"}},
        {"other types and empty data are skipped, the rest is listed",
         {{L"\\Device\\Serial0", REG_DWORD, L""},
          {L"\\Device\\Serial1", REG_SZ, L""},
          {L"\\Device\\Serial2", REG_EXPAND_SZ, L"COM6"},
          {L"\\Device\\Serial3", REG_SZ, L"COM7"}},
         {L"COM7"}},
        {"an empty key", {}, {}},
    };
    CDeviceMapFixture map;
    for (const Case& c : cases) {
        ASSERT_TRUE(map.Write(c.values)) << c.what;
        EXPECT_EQ(c.expected, EnumerateSerialPorts(HKEY_CURRENT_USER, map.Path())) << c.what;
    }
}

TEST(SerialPortList, MissingKeyGivesNoPorts)
{
    EXPECT_TRUE(EnumerateSerialPorts(HKEY_CURRENT_USER, L"Software\\ZR8 Tests\\no such key").empty());
}

TEST(SerialPortList, SortedAsTheComboBoxSortsWithTheExtraPorts)
{
    CDeviceMapFixture map;
    ASSERT_TRUE(map.Write({{L"\\Device\\Serial0", REG_SZ, L"COM3"},
                           {L"\\Device\\Serial1", REG_SZ, L"COM10"},
                           {L"\\Device\\Serial2", REG_SZ, L"com2"}}));
    Ports listed = ListSerialPorts({L"SIM", L""}, HKEY_CURRENT_USER, map.Path());
    EXPECT_EQ((Ports{L"COM10", L"com2", L"COM3", L"SIM"}), listed);

    // The page's combo box sorts what it is given: the same order.
    HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", CBS_DROPDOWNLIST | CBS_SORT | WS_POPUP, 0, 0, 100, 200,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, combo);
    for (const wchar_t* name : {L"SIM", L"COM3", L"com2", L"COM10"})
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    Ports shown;
    for (int i = 0; i < static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0)); ++i) {
        wchar_t text[64] = {};
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        shown.push_back(text);
    }
    DestroyWindow(combo);
    EXPECT_EQ(listed, shown);
}

TEST(SerialPortList, LetterCaseRule)
{
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        bool same;
    };
    const Case cases[] = {
        {L"COM3", L"com3", true},   {L"COM3", L"COM3", true}, {L"COM3", L"COM4", false},
        {L"COM3", L"COM31", false}, {L"", L"", true},         {L"\u00C9COM", L"\u00E9COM", false},  // A-Z only
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.same, SameIgnoringLetterCase(c.a, c.b));
}

}  // namespace
