// The main frame as the system treats it: the title after "Close Port" on a radio that
// never answered, a frame closed while minimised, and the end of the session (log-off,
// shut-down) saving what a close saves.
#include <windows.h>

#include "core/text/version_info.h"
#include "resources/ui/ui_resource_ids.h"
#include "sim/sim_serial_device.h"
#include "tests/ui/frame_fixture.h"
#include "ui/frame/page_list.h"
#include "ui/framework/shutdown_block.h"

namespace {

std::wstring StoredString(ISettingsStore& store, const wchar_t* name)
{
    std::wstring value;
    store.ReadString(L"", name, value);
    return value;
}

DWORD StoredDword(ISettingsStore& store, const wchar_t* subKey, const wchar_t* name)
{
    DWORD value = 0xFFFFFFFF;
    store.ReadDword(subKey, name, value);
    return value;
}

TEST_F(FrameTest, ClosePortOnARadioThatNeverAnsweredSaysThePortIsClosed)
{
    // The radio on "SIM" never answers: the port opens, nothing else changes.
    CLoopClock clock;
    CSimOptions options;
    options.baudModel = BaudModel::Instant;
    std::string error;
    ASSERT_TRUE(options.faults.Add("silent=0", error)) << error;
    CSimulator quiet(options, clock);
    RegisterSimulatedRadio(L"SIM", quiet);
    Store().WriteString(L"", L"Port", L"SIM");
    Start(true);
    ASSERT_TRUE(PumpUntil([&] { return Model().IsPortOpen(); })) << Frame().GetWindowText();
    const std::wstring searching = GetAppTitle() + L" on SIM at ";  // the speed search moves the rate
    EXPECT_EQ(searching, Frame().GetWindowText().substr(0, searching.size()));

    ASSERT_TRUE(Frame().TabView().SetActivePage(kPortPageIndex));
    HWND closePort = ::GetDlgItem(Frame().TabView().GetActivePage(), IDC_CLOSE_PORT);
    ASSERT_NE(nullptr, closePort);
    ::SendMessageW(closePort, BM_CLICK, 0, 0);
    EXPECT_FALSE(Model().IsPortOpen());
    EXPECT_EQ(GetAppTitle() + L" on SIM closed", Frame().GetWindowText());
    Close();  // before the radio goes
}

TEST_F(FrameTest, AFrameClosedWhileMinimisedOpensNormalAtItsNormalPlace)
{
    Start(true);
    const SIZE min = Frame().MinTrackSize();
    const RECT normal = {50, 40, 50 + min.cx + 30, 40 + min.cy + 20};
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    ASSERT_TRUE(::GetWindowPlacement(Frame(), &placement));
    placement.rcNormalPosition = normal;
    placement.showCmd = SW_SHOWNORMAL;
    ASSERT_TRUE(::SetWindowPlacement(Frame(), &placement));
    Frame().ShowWindow(SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(Frame()));
    Close();
    EXPECT_EQ(DWORD(SW_SHOWNORMAL), StoredDword(Store(), L"Window", L"showCmd"));

    Start(true);
    EXPECT_FALSE(::IsIconic(Frame()));
    EXPECT_FALSE(::IsZoomed(Frame()));
    const RECT r = Frame().GetWindowRect();
    EXPECT_EQ(normal.left, r.left);
    EXPECT_EQ(normal.top, r.top);
    EXPECT_EQ(normal.right, r.right);
    EXPECT_EQ(normal.bottom, r.bottom);
    Close();

    // A minimised placement stored earlier opens normal too.
    ASSERT_EQ(0u, Store().WriteDword(L"Window", L"showCmd", SW_SHOWMINIMIZED));
    Start(true);
    EXPECT_FALSE(::IsIconic(Frame()));
}

TEST_F(FrameTest, TheEndOfTheSessionSavesWhatACloseSavesAndKeepsTheFrameRunning)
{
    Store().WriteString(L"", L"Port", L"COM3");
    Start(true, L"SIM");  // as --simulate runs: the port given is not the user's choice
    ASSERT_TRUE(WaitForRadio());
    ASSERT_TRUE(Frame().TabView().SetActivePage(kConfigurationPageIndex));
    Model().m_trace.Set(1);
    EXPECT_EQ(L"", CShutdownBlock::HeldReason(Frame()));

    EXPECT_EQ(TRUE, Frame().SendMessage(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF)) << "nothing runs";
    EXPECT_EQ(DWORD(kConfigurationPageIndex), StoredDword(Store(), L"", L"ActivePage"));
    EXPECT_EQ(1u, StoredDword(Store(), L"", L"Trace"));
    EXPECT_EQ(L"COM3", StoredString(Store(), L"Port"));
    EXPECT_EQ(DWORD(SW_SHOWNORMAL), StoredDword(Store(), L"Window", L"showCmd"));
    // Another program may refuse: this one runs on as it was.
    EXPECT_TRUE(Frame().IsWindow());
    EXPECT_EQ(L"SIM", Model().m_port.Get());
    EXPECT_TRUE(Model().IsPortOpen());

    // The session ends: the process may go without a close, so the end saves too.
    ASSERT_TRUE(Frame().TabView().SetActivePage(kFirmwarePageIndex));
    Frame().SendMessage(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(DWORD(kFirmwarePageIndex), StoredDword(Store(), L"", L"ActivePage"));
    EXPECT_EQ(L"COM3", StoredString(Store(), L"Port"));
}

}  // namespace
