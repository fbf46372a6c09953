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
#include "program_run.h"
#include "resources/ui/ui_resource_ids.h"

namespace {

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
    CProgramRun run(UnixToWindowsPath(ZR8UTILITY_EXE), arguments);
    ASSERT_TRUE(run.Started()) << "could not start " << ZR8UTILITY_EXE << ", error " << run.StartError();

    HWND box = run.WaitForTop(L"#32770", L"ZR8 Status", 30000);
    ASSERT_NE(nullptr, box) << "no status box";
    EXPECT_EQ(L"ZR8 MCU version 01.23 on " + port + L" at 9600 bit/s", ReadWindowText(GetDlgItem(box, 0xFFFF)));

    HWND frame = GetWindow(box, GW_OWNER);
    ASSERT_NE(nullptr, frame);
    HWND combo = FindControl(frame, IDC_PORT_LIST);
    ASSERT_NE(nullptr, combo) << "the Port page is not there";
    EXPECT_TRUE(Contains(ComboItems(combo), port));
    EXPECT_EQ(port, ReadWindowText(combo)) << "the port in use is the one selected";

    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    for (int i = 0; i < 100 && IsWindow(box); ++i)
        Sleep(50);
    EXPECT_FALSE(IsWindow(box));
    PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(1, run.WaitForExit());
}

TEST(PortPageProgram, SimulatedRadioIsFoundAndShown)
{
    WriteProgramSettings(0, {{L"Port", L""}});
    ExpectRadioFound(L"--simulate", L"SIM");
    DeleteProgramSettings();
}

TEST(PortPageProgram, RadioOnAComPortIsFoundAndShown)
{
    const char* com = std::getenv("ZR8_TEST_COM_PORT");
    if (com == nullptr || *com == '\0')
        GTEST_SKIP() << "ZR8_TEST_COM_PORT is not set (ctest sets it with the COM port fixture)";
    std::wstring port(com, com + std::char_traits<char>::length(com));
    WriteProgramSettings(0, {{L"Port", port}});
    ExpectRadioFound(L"", port);
    DeleteProgramSettings();
}

}  // namespace
