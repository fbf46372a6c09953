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

#include "program_run.h"
#include "resources/ui/ui_resource_ids.h"
#include "sim/firmware_gen.h"

namespace {

const wchar_t kFrameClass[] = L"ZR8UtilityMainFrame";

std::wstring Widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
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

// The Firmware page first, the port and the folder of the test's file.
void WriteSettings(const std::wstring& port, const std::wstring& folder)
{
    WriteProgramSettings(1, {{L"Port", port}, {L"FirmwareFolder", folder}});
}

// Waits for the radio, presses send, sees the dialog come and go, then reads the page.
void ExpectLoad(const std::wstring& arguments, const std::wstring& before, const std::wstring& after)
{
    CProgramRun run(UnixToWindowsPath(ZR8UTILITY_EXE), arguments);
    ASSERT_TRUE(run.Started()) << "could not start the program, error " << run.StartError();
    HWND frame = nullptr;
    ASSERT_TRUE(run.WaitFor([&] { return (frame = run.FindTop(kFrameClass, nullptr)) != nullptr; }, 30000));
    HWND installed = nullptr, send = nullptr, log = nullptr;
    ASSERT_TRUE(run.WaitFor(
        [&] {
            installed = FindControl(frame, IDC_INSTALLED_VERSION);
            send = FindControl(frame, IDC_SEND_FIRMWARE);
            log = FindControl(frame, IDC_OUTPUT_WINDOW);
            return installed != nullptr && send != nullptr && IsWindowEnabled(send) &&
                   ReadWindowText(installed) == before;
        },
        30000))
        << "installed version " << std::string(ReadWindowText(installed).begin(), ReadWindowText(installed).end());

    PostMessageW(GetParent(send), WM_COMMAND, MAKEWPARAM(IDC_SEND_FIRMWARE, BN_CLICKED), reinterpret_cast<LPARAM>(send));
    HWND dialog = nullptr;
    ASSERT_TRUE(run.WaitFor([&] { return (dialog = run.FindTop(L"#32770", L"Sending ZR8 Firmware")) != nullptr; },
                            20000))
        << "no loader dialog";
    EXPECT_TRUE(run.WaitFor([&] { return !IsWindow(dialog); }, 180000)) << "the loader dialog did not close";
    EXPECT_TRUE(run.WaitFor([&] { return ReadWindowText(installed) == after; }, 10000));
    const std::wstring activity = ReadWindowText(log);
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
    DeleteProgramSettings();
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
    DeleteProgramSettings();
    std::filesystem::remove_all(folder);
}

TEST(FirmwareProgram, UnreadableSimulatorOptionsAreRefusedWithAMessage)
{
    CProgramRun run(UnixToWindowsPath(ZR8UTILITY_EXE), L"--simulate \"--baud-model sideways\"");
    ASSERT_TRUE(run.Started());
    HWND box = nullptr;
    ASSERT_TRUE(run.WaitFor([&] { return (box = run.FindTop(L"#32770", L"ZR8 Utility")) != nullptr; }, 30000));
    EXPECT_NE(std::wstring::npos, ReadWindowText(GetDlgItem(box, 0xFFFF)).find(L"--simulate: "));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(3, run.WaitForExit());
    EXPECT_EQ(nullptr, run.FindTop(kFrameClass, nullptr));
}

}  // namespace
