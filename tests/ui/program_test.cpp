// End to end: the real ZR8Utility.exe, started with --simulate in this Wine prefix, finds
// the simulated radio and names it in its title; a close request ends it with exit code 1
// after the settings and the placement were saved.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t kAppKey[] = L"Software\\Orvandel\\ZR8 Utility";

std::wstring ProgramPath()
{
    // ZR8_TEST_PROGRAM names another copy (a Windows path), as the installer test does.
    wchar_t other[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"ZR8_TEST_PROGRAM", other, MAX_PATH) > 0)
        return other;
    // A Unix path of the build tree, seen through Wine's Z: drive.
    std::string path = ZR8UTILITY_EXE;
    return L"Z:" + std::wstring(path.begin(), path.end());
}

void SetDword(const wchar_t* subKey, const wchar_t* name, DWORD value)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, subKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr));
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
}

bool ReadDword(const std::wstring& subKey, const wchar_t* name, DWORD& value)
{
    DWORD size = sizeof(value);
    return RegGetValueW(HKEY_CURRENT_USER, subKey.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
           ERROR_SUCCESS;
}

struct FindFrame {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchFrame(HWND window, LPARAM data)
{
    auto* find = reinterpret_cast<FindFrame*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (pid == find->processId && std::wstring(name) == L"ZR8UtilityMainFrame") {
        find->found = window;
        return FALSE;
    }
    return TRUE;
}

std::wstring TitleOf(HWND window)
{
    wchar_t title[256] = {};
    // The program's thread answers WM_GETTEXT; time-boxed in case it hangs.
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(title), SMTO_ABORTIFHUNG, 2000, &copied);
    return title;
}

TEST(ProgramEndToEnd, SimulatedRadioShowsInTitleAndCloseSavesAndExitsWithOne)
{
    // The Command Tester page at start: no status box on the Port page to answer.
    SetDword(kAppKey, L"ActivePage", 3);
    std::wstring command = L"\"" + ProgramPath() + L"\" --simulate";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        << "error " << GetLastError() << " starting " << std::string(ZR8UTILITY_EXE);

    FindFrame find = {process.dwProcessId, nullptr};
    std::wstring title;
    const std::wstring expected = L"Orvandel ZR8 Utility Version 1.23.11.8 - S/N 12345 on SIM at 9600 bit/s";
    for (int i = 0; i < 300 && title != expected; ++i) {
        Sleep(100);
        if (find.found == nullptr)
            EnumWindows(&MatchFrame, reinterpret_cast<LPARAM>(&find));
        if (find.found != nullptr)
            title = TitleOf(find.found);
    }
    EXPECT_NE(nullptr, find.found) << "no main window";
    EXPECT_EQ(expected, title);

    if (find.found != nullptr)
        PostMessageW(find.found, WM_CLOSE, 0, 0);
    const DWORD waited = WaitForSingleObject(process.hProcess, 30000);
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 99);
    EXPECT_EQ(WAIT_OBJECT_0, waited) << "the program did not end after WM_CLOSE";
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(1u, exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    DWORD value = 0;
    EXPECT_TRUE(ReadDword(kAppKey, L"ActivePage", value));
    EXPECT_EQ(3u, value);
    for (const wchar_t* name : {L"flags", L"showCmd", L"minPosX", L"minPosY", L"maxPosX", L"maxPosY", L"left", L"top",
                                L"right", L"bottom"})
        EXPECT_TRUE(ReadDword(std::wstring(kAppKey) + L"\\Window", name, value)) << "Window value missing";
}

}  // namespace
