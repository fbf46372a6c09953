// End to end: the real ZR8Utility.exe finds the radio and the Port page tells so in its
// status box; once with the simulated radio (--simulate) and once with zr8sim on a COM
// port of this prefix (mapped by com_port_fixture.sh, which also lists it in the system's
// device map). The test reads the program's windows from outside, as a user sees them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "combo_items.h"
#include "resources/ui/ui_resource_ids.h"

namespace {

const wchar_t kSettingsKey[] = L"Software\\Orvandel\\ZR8 Utility";

std::wstring WindowsPath(const char* unixPath)
{
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p != '\0'; ++p)
        path += (*p == '/') ? L'\\' : static_cast<wchar_t>(*p);
    return path;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[512] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The program's settings in this prefix: only the port and the start page.
void WriteSettings(const std::wstring& port)
{
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    DWORD page = 0;
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"ActivePage", REG_DWORD, &page, sizeof(page));
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"Port", REG_SZ, port.c_str(),
                    static_cast<DWORD>((port.size() + 1) * sizeof(wchar_t)));
}

// One run of the program; ended by force if the test leaves it running.
class CProgramRun {
public:
    explicit CProgramRun(const std::wstring& arguments)
    {
        std::wstring command = L"\"" + WindowsPath(ZR8UTILITY_EXE) + L"\" " + arguments;
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

    // A top-level window of the program with this class and caption, waited for.
    HWND WaitForWindow(const wchar_t* className, const wchar_t* caption, DWORD timeoutMs = 30000) const
    {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < timeoutMs) {
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
                    if (pid != s->pid || !IsWindowVisible(window) || ClassOf(window) != s->className ||
                        WindowText(window) != s->caption)
                        return TRUE;
                    s->found = window;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&search));
            if (search.found != nullptr)
                return search.found;
            if (WaitForSingleObject(m_process.hProcess, 100) != WAIT_TIMEOUT)
                return nullptr;  // the program ended
        }
        return nullptr;
    }

    // Waits for the end; the exit code, or -1 when the program did not end.
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

bool Contains(const std::vector<std::wstring>& list, const std::wstring& item)
{
    for (const std::wstring& entry : list)
        if (entry == item)
            return true;
    return false;
}

// Starts the program, waits for the Port page's status box, checks its text and the
// page's list, answers the box and closes the program as the user would.
void ExpectRadioFound(const std::wstring& arguments, const std::wstring& port)
{
    CProgramRun run(arguments);
    ASSERT_TRUE(run.Started()) << "could not start " << ZR8UTILITY_EXE << ", error " << GetLastError();

    HWND box = run.WaitForWindow(L"#32770", L"ZR8 Status");
    ASSERT_NE(nullptr, box) << "no status box";
    EXPECT_EQ(L"ZR8 MCU version 01.23 on " + port + L" at 9600 bit/s", WindowText(GetDlgItem(box, 0xFFFF)));

    HWND frame = GetWindow(box, GW_OWNER);
    ASSERT_NE(nullptr, frame);
    HWND combo = FindControl(frame, IDC_PORT_LIST);
    ASSERT_NE(nullptr, combo) << "the Port page is not there";
    EXPECT_TRUE(Contains(ComboItems(combo), port));
    EXPECT_EQ(port, WindowText(combo)) << "the port in use is the one selected";

    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    for (int i = 0; i < 100 && IsWindow(box); ++i)
        Sleep(50);
    EXPECT_FALSE(IsWindow(box));
    PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(1, run.WaitForExit());
}

TEST(PortPageProgram, SimulatedRadioIsFoundAndShown)
{
    WriteSettings(L"");
    ExpectRadioFound(L"--simulate", L"SIM");
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

TEST(PortPageProgram, RadioOnAComPortIsFoundAndShown)
{
    const char* com = std::getenv("ZR8_TEST_COM_PORT");
    if (com == nullptr || *com == '\0')
        GTEST_SKIP() << "ZR8_TEST_COM_PORT is not set (ctest sets it with the COM port fixture)";
    std::wstring port(com, com + std::char_traits<char>::length(com));
    WriteSettings(port);
    ExpectRadioFound(L"", port);
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

}  // namespace
