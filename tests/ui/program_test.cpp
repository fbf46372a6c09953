// End to end: the real ZR8Utility.exe, started with --simulate in this Wine prefix, finds
// the simulated radio and names it in its title; a close request ends it with exit code 1
// after the settings and the placement were saved.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "program_run.h"

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

TEST(ProgramEndToEnd, SimulatedRadioShowsInTitleAndCloseSavesAndExitsWithOne)
{
    // The Command Tester page at start: no status box on the Port page to answer.
    SetDword(kAppKey, L"ActivePage", 3);
    CProgramRun run(ProgramPath(), L"--simulate");
    ASSERT_TRUE(run.Started()) << "error " << run.StartError() << " starting " << std::string(ZR8UTILITY_EXE);

    HWND frame = nullptr;
    std::wstring title;
    const std::wstring expected = L"Orvandel ZR8 Utility Version 1.23.11.8 - S/N 12345 on SIM at 9600 bit/s";
    run.WaitFor(
        [&] {
            if (frame == nullptr)
                frame = run.FindTop(L"ZR8UtilityMainFrame", nullptr);
            if (frame != nullptr)
                title = ReadWindowText(frame);
            return title == expected;
        },
        30000);
    EXPECT_NE(nullptr, frame) << "no main window";
    EXPECT_EQ(expected, title);

    if (frame != nullptr)
        PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(1, run.WaitForExit(30000)) << "the program did not end with exit code 1 after WM_CLOSE";

    DWORD value = 0;
    EXPECT_TRUE(ReadDword(kAppKey, L"ActivePage", value));
    EXPECT_EQ(3u, value);
    for (const wchar_t* name : {L"flags", L"showCmd", L"minPosX", L"minPosY", L"maxPosX", L"maxPosY", L"left", L"top",
                                L"right", L"bottom"})
        EXPECT_TRUE(ReadDword(std::wstring(kAppKey) + L"\\Window", name, value)) << "Window value missing";
}

}  // namespace
