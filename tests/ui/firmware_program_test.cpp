// End to end: the real ZR8Utility.exe loads firmware from its Firmware page, driven from
// outside as a user would: the send button is pressed, the loader dialog comes up and
// closes by itself, and the page then shows the version the radio reports. Once with the
// simulated radio of --simulate (with its options) and once with zr8sim on a COM port of
// this prefix (mapped by com_port_fixture.sh).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "resources/ui/ui_resource_ids.h"
#include "sim/firmware_gen.h"

namespace {

const wchar_t kSettingsKey[] = L"Software\\Orvandel\\ZR8 Utility";
const wchar_t kFrameClass[] = L"ZR8UtilityMainFrame";

std::wstring Widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::wstring WindowText(HWND window)
{
    static wchar_t text[65536];
    text[0] = L'\0';
    SendMessageTimeoutW(window, WM_GETTEXT, 65536, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

// A folder of the prefix's temporary folder with one firmware file of the version.
std::filesystem::path FirmwareFolder(uint16_t version)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path folder = std::filesystem::path(temp) / L"zr8-firmware-program-test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    CFirmwareGenOptions firmware;
    firmware.version = version;
    std::ofstream(folder / FirmwareFileName(version), std::ios::binary) << MakeFirmwareHex(firmware);
    return folder;
}

void WriteSettings(const std::wstring& port, const std::wstring& folder)
{
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    DWORD page = 1;  // the Firmware page
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"ActivePage", REG_DWORD, &page, sizeof(page));
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"Port", REG_SZ, port.c_str(),
                    static_cast<DWORD>((port.size() + 1) * sizeof(wchar_t)));
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"FirmwareFolder", REG_SZ, folder.c_str(),
                    static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
}

HWND FindControl(HWND top, int id)
{
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        top,
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (GetDlgCtrlID(window) != s->id)
                return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class CProgramRun {
public:
    explicit CProgramRun(const std::wstring& arguments)
    {
        std::wstring command = L"\"Z:" + Widen(ZR8UTILITY_EXE) + L"\" " + arguments;
        for (wchar_t& c : command)
            if (c == L'/')
                c = L'\\';
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_process))
            CloseHandle(m_process.hThread);
        else
            m_process.hProcess = nullptr;
    }
    ~CProgramRun()
    {
        if (m_process.hProcess == nullptr)
            return;
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_process.hProcess, 99);
            WaitForSingleObject(m_process.hProcess, 10000);
        }
        CloseHandle(m_process.hProcess);
    }
    CProgramRun(const CProgramRun&) = delete;
    CProgramRun& operator=(const CProgramRun&) = delete;

    bool Started() const { return m_process.hProcess != nullptr; }

    // A visible top-level window of the program of the class (and caption, unless null).
    HWND FindTop(const wchar_t* className, const wchar_t* caption) const
    {
        struct Search {
            DWORD pid;
            const wchar_t* className;
            const wchar_t* caption;
            HWND found;
        } search{m_process.dwProcessId, className, caption, nullptr};
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD pid = 0;
                GetWindowThreadProcessId(window, &pid);
                wchar_t name[64] = {};
                GetClassNameW(window, name, 64);
                if (pid != s->pid || !IsWindowVisible(window) || std::wstring(name) != s->className)
                    return TRUE;
                if (s->caption != nullptr && WindowText(window) != s->caption)
                    return TRUE;
                s->found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    // Polls until the condition holds; false after the time or when the program ended.
    bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs) const
    {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > timeoutMs || WaitForSingleObject(m_process.hProcess, 100) != WAIT_TIMEOUT)
                return done();
        }
        return true;
    }

    int WaitForExit(DWORD timeoutMs = 30000) const
    {
        if (WaitForSingleObject(m_process.hProcess, timeoutMs) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(m_process.hProcess, &code);
        return static_cast<int>(code);
    }

private:
    PROCESS_INFORMATION m_process{};
};

// Waits for the radio, presses send, sees the dialog come and go, then reads the page.
void ExpectLoad(const std::wstring& arguments, const std::wstring& before, const std::wstring& after)
{
    CProgramRun run(arguments);
    ASSERT_TRUE(run.Started()) << "could not start the program, error " << GetLastError();
    HWND frame = nullptr;
    ASSERT_TRUE(run.WaitFor([&] { return (frame = run.FindTop(kFrameClass, nullptr)) != nullptr; }, 30000));
    HWND installed = nullptr, send = nullptr, log = nullptr;
    ASSERT_TRUE(run.WaitFor(
        [&] {
            installed = FindControl(frame, IDC_INSTALLED_VERSION);
            send = FindControl(frame, IDC_SEND_FIRMWARE);
            log = FindControl(frame, IDC_OUTPUT_WINDOW);
            return installed != nullptr && send != nullptr && IsWindowEnabled(send) &&
                   WindowText(installed) == before;
        },
        30000))
        << "installed version " << std::string(WindowText(installed).begin(), WindowText(installed).end());

    PostMessageW(GetParent(send), WM_COMMAND, MAKEWPARAM(IDC_SEND_FIRMWARE, BN_CLICKED), reinterpret_cast<LPARAM>(send));
    HWND dialog = nullptr;
    ASSERT_TRUE(run.WaitFor([&] { return (dialog = run.FindTop(L"#32770", L"Sending ZR8 Firmware")) != nullptr; },
                            20000))
        << "no loader dialog";
    EXPECT_TRUE(run.WaitFor([&] { return !IsWindow(dialog); }, 180000)) << "the loader dialog did not close";
    EXPECT_TRUE(run.WaitFor([&] { return WindowText(installed) == after; }, 10000));
    const std::wstring activity = WindowText(log);
    EXPECT_NE(std::wstring::npos, activity.find(L"MCU firmware load is complete"));
    EXPECT_NE(std::wstring::npos, activity.find(L"Elapsed time: "));
    PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(1, run.WaitForExit());
}

TEST(FirmwareProgram, SimulatedRadioWithOptionsTakesTheNewFirmware)
{
    const std::filesystem::path folder = FirmwareFolder(117);
    WriteSettings(L"", folder.wstring());
    ExpectLoad(L"--simulate \"--baud-model instant --flash-ms 1 --serial 4242\"", L"01.23", L"01.17");
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    std::filesystem::remove_all(folder);
}

TEST(FirmwareProgram, RadioOnAComPortTakesTheFirmware)
{
    const char* com = std::getenv("ZR8_TEST_COM_PORT");
    if (com == nullptr || *com == '\0')
        GTEST_SKIP() << "ZR8_TEST_COM_PORT is not set (ctest sets it with the COM port fixture)";
    // The same version the radio runs: other tests of this radio expect it afterwards.
    const std::filesystem::path folder = FirmwareFolder(123);
    WriteSettings(Widen(com), folder.wstring());
    ExpectLoad(L"", L"01.23", L"01.23");
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    std::filesystem::remove_all(folder);
}

TEST(FirmwareProgram, UnreadableSimulatorOptionsAreRefusedWithAMessage)
{
    CProgramRun run(L"--simulate \"--baud-model sideways\"");
    ASSERT_TRUE(run.Started());
    HWND box = nullptr;
    ASSERT_TRUE(run.WaitFor([&] { return (box = run.FindTop(L"#32770", L"ZR8 Utility")) != nullptr; }, 30000));
    EXPECT_NE(std::wstring::npos, WindowText(GetDlgItem(box, 0xFFFF)).find(L"--simulate: "));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(3, run.WaitForExit());
    EXPECT_EQ(nullptr, run.FindTop(kFrameClass, nullptr));
}

}  // namespace
