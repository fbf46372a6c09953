// The main frame at start and in use: start page, title, menu check marks and their
// persistence, and where port events and log lines go.
#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include "core/model/contact_state_machine.h"
#include "core/text/app_messages.h"
#include "core/text/version_info.h"
#include "resources/ui/ui_resource_ids.h"
#include "tests/ui/frame_fixture.h"
#include "ui/frame/frame_title.h"
#include "ui/frame/page_list.h"
#include "ui/pages/command_tester_page.h"
#include "ui/pages/firmware_page.h"

namespace {

struct StartPageCase {
    const wchar_t* port;
    int activePage;
    int expected;
};

TEST_F(FrameTest, StartPageFollowsActivePageOnlyWithAPort)
{
    const StartPageCase cases[] = {
        {L"", 3, kPortPageIndex},      // no port: always the Port page
        {L"", 1, kPortPageIndex},
        {L"SIM", 3, kCommandTesterPageIndex},
        {L"SIM", 1, kFirmwarePageIndex},
        {L"SIM", 7, kPortPageIndex},   // out of range
        {L"SIM", 4, kPortPageIndex},
        {L"SIM", -1, kPortPageIndex},
    };
    for (const StartPageCase& c : cases) {
        Store().WriteString(L"", L"Port", c.port);
        Store().WriteDword(L"", L"ActivePage", static_cast<DWORD>(c.activePage));
        Start(false);
        EXPECT_EQ(c.expected, Frame().TabView().GetActiveIndex()) << "port '" << c.port << "' ActivePage " << c.activePage;
        Close();
    }
}

TEST_F(FrameTest, ActivePageIsStoredAtClose)
{
    Store().WriteString(L"", L"Port", L"SIM");
    Start(false);
    ASSERT_TRUE(Frame().TabView().SetActivePage(kConfigurationPageIndex));
    Close();
    DWORD page = 0;
    ASSERT_EQ(0u, Store().ReadDword(L"", L"ActivePage", page));
    EXPECT_EQ(DWORD(kConfigurationPageIndex), page);
}

TEST(FrameTitle, PartsFollowSerialNumberAndPort)
{
    const std::wstring app = L"Orvandel ZR8 Utility Version 1.23.11.8";
    struct Case {
        unsigned serial;
        const wchar_t* port;
        bool open;
        DWORD speed;
        const wchar_t* suffix;
    } cases[] = {
        {65535, L"", false, 9600, L""},
        {65535, L"", true, 9600, L""},
        {12345, L"", false, 0, L" - S/N 12345"},
        {42, L"COM3", true, 9600, L" - S/N 00042 on COM3 at 9600 bit/s"},
        {65535, L"COM3", false, 9600, L" on COM3 closed"},
        {65534, L"SIM", true, 4800, L" - S/N 65534 on SIM at 4800 bit/s"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(app + c.suffix, BuildFrameTitle(app, c.serial, c.port, c.open, c.speed)) << c.serial << " " << c.port;
}

TEST_F(FrameTest, TitleIsTheAppTitleAloneWithoutPortOrSerialNumber)
{
    Start(false);
    ASSERT_FALSE(GetAppTitle().empty());
    EXPECT_EQ(GetAppTitle(), Frame().GetWindowText());
    EXPECT_EQ(L"Orvandel ZR8 Utility Version 1.23.11.8", Frame().GetWindowText());
}

TEST_F(FrameTest, TitleShowsSerialNumberAndPortOnceTheRadioIsFound)
{
    Store().WriteString(L"", L"Port", L"SIM");
    Start(false);
    ASSERT_TRUE(WaitForRadio()) << "status " << Model().m_firmwareStatus.Get();
    EXPECT_EQ(GetAppTitle() + L" - S/N 12345 on SIM at 9600 bit/s", Frame().GetWindowText());
    Model().ClosePort();
    EXPECT_EQ(GetAppTitle() + L" on SIM closed", Frame().GetWindowText());
}

TEST_F(FrameTest, TraceToggleChecksAtOnceAndSurvivesARestart)
{
    Start(false);
    EXPECT_FALSE(MenuItemChecked(Frame(), ID_VIEW_TRACE));
    Frame().SendMessage(WM_COMMAND, MAKEWPARAM(ID_VIEW_TRACE, 0), 0);
    EXPECT_TRUE(MenuItemChecked(Frame(), ID_VIEW_TRACE));
    EXPECT_EQ(1, Model().m_trace.Get());
    Close();

    Start(false);
    EXPECT_EQ(1, Model().m_trace.Get());
    EXPECT_TRUE(MenuItemChecked(Frame(), ID_VIEW_TRACE));
    Frame().SendMessage(WM_COMMAND, MAKEWPARAM(ID_VIEW_TRACE, 0), 0);
    EXPECT_FALSE(MenuItemChecked(Frame(), ID_VIEW_TRACE));
    Close();
    Start(false);
    EXPECT_FALSE(MenuItemChecked(Frame(), ID_VIEW_TRACE));
}

TEST_F(FrameTest, StatusBarAndVerboseLoggingToggle)
{
    Start(true);
    EXPECT_TRUE(MenuItemChecked(Frame(), ID_VIEW_STATUS_BAR));
    Frame().SendMessage(WM_COMMAND, MAKEWPARAM(ID_VIEW_STATUS_BAR, 0), 0);
    EXPECT_FALSE(::IsWindowVisible(Frame().m_hWndStatusBar));
    EXPECT_FALSE(MenuItemChecked(Frame(), ID_VIEW_STATUS_BAR));
    // The view takes the whole client area once the bar is hidden.
    const RECT client = Frame().GetClientRect();
    const RECT view = CWindow(Frame().TabView().m_hWnd).GetClientRect();
    EXPECT_EQ(client.bottom - client.top, view.bottom - view.top);

    EXPECT_FALSE(MenuItemChecked(Frame(), ID_VIEW_VERBOSE_LOGGING));
    Frame().SendMessage(WM_COMMAND, MAKEWPARAM(ID_VIEW_VERBOSE_LOGGING, 0), 0);
    EXPECT_TRUE(MenuItemChecked(Frame(), ID_VIEW_VERBOSE_LOGGING));
    EXPECT_EQ(1, Model().m_verboseLogging.Get());
}

TEST_F(FrameTest, StatusBarShowsTheHighlightedCommandsTextThenReadyAgain)
{
    Start(true);
    auto statusText = [this] {
        wchar_t text[256] = {};
        ::SendMessageW(Frame().m_hWndStatusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
        return std::wstring(text);
    };
    EXPECT_EQ(L"Ready", statusText());
    HMENU menu = ::GetMenu(Frame());
    const struct {
        UINT command;
        const wchar_t* text;
    } cases[] = {
        {ID_APP_EXIT, L"Quit the application"},  // up to the line feed
        {ID_APP_ABOUT, L"Display program information, version number and copyright"},
        {ID_VIEW_TRACE, L""},                    // no entry: nothing
    };
    for (const auto& c : cases) {
        Frame().SendMessage(WM_MENUSELECT, MAKEWPARAM(c.command, MF_STRING), reinterpret_cast<LPARAM>(menu));
        EXPECT_EQ(c.text, statusText()) << c.command;
    }
    Frame().SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);  // the menu closed
    EXPECT_EQ(L"Ready", statusText());
}

TEST_F(FrameTest, HelpItemsCarryTheModelName)
{
    Start(false);
    HMENU menu = ::GetMenu(Frame());
    const struct {
        UINT id;
        const wchar_t* text;
    } items[] = {{ID_HELP_CONTENTS, L"ZR8 Utility &Help"},
                 {ID_HELP_RELEASE_NOTES, L"ZR8 Firmware &Release Notes"},
                 {ID_APP_ABOUT, L"&About ZR8 Utility"}};
    for (const auto& item : items) {
        wchar_t text[128] = {};
        ::GetMenuStringW(menu, item.id, text, 128, MF_BYCOMMAND);
        EXPECT_STREQ(item.text, text);
    }
}

TEST_F(FrameTest, LogLinesReachTheActivityLogOnlyWhileTheFirmwarePageIsShown)
{
    Store().WriteString(L"", L"Port", L"SIM");
    Store().WriteDword(L"", L"ActivePage", kPortPageIndex);
    Start(true);
    ASSERT_TRUE(WaitForRadio());
    auto sendLine = [this](const wchar_t* text) {
        Frame().SendMessage(WM_APP_STATUS_TEXT, 0, reinterpret_cast<LPARAM>(text));
    };
    sendLine(L"line while Port is shown");
    ASSERT_TRUE(Frame().TabView().SetActivePage(kCommandTesterPageIndex));
    sendLine(L"line while Command Tester is shown");
    ASSERT_TRUE(Frame().TabView().SetActivePage(kFirmwarePageIndex));
    sendLine(L"line while Firmware is shown");
    Frame().SendMessage(WM_APP_MACHINE_DONE, 0, 0);

    auto* page = static_cast<CFirmwarePage*>(Frame().TabView().Page(kFirmwarePageIndex));
    const std::wstring log = page->ActivityLogText();
    EXPECT_EQ(std::wstring::npos, log.find(L"line while Port is shown")) << log;
    EXPECT_EQ(std::wstring::npos, log.find(L"line while Command Tester is shown")) << log;
    // "hh:mm:ss " then the line, on a line of its own.
    const size_t at = log.find(L"line while Firmware is shown");
    ASSERT_NE(std::wstring::npos, at) << log;
    ASSERT_GE(at, 10u);
    EXPECT_TRUE(log[at - 10] == L'\n' || log[at - 10] == L'\r') << log;
    EXPECT_EQ(L':', log[at - 7]);
    EXPECT_EQ(L':', log[at - 4]);
    EXPECT_EQ(L' ', log[at - 1]);
    EXPECT_NE(std::wstring::npos, log.find(L"Ready", at)) << "the machine-done line";
}

TEST_F(FrameTest, PortEventsGoToTheCurrentPageWhileNoMachineRuns)
{
    Store().WriteString(L"", L"Port", L"SIM");
    Store().WriteDword(L"", L"ActivePage", kCommandTesterPageIndex);
    Start(false);
    ASSERT_TRUE(WaitForRadio());
    auto* tester = static_cast<CCommandTesterPage*>(Frame().TabView().Page(kCommandTesterPageIndex));
    const unsigned before = tester->PortEventsSeen();
    Frame().SendMessage(WM_APP_PORT_EVENT, kEventRxChar, 0);
    EXPECT_EQ(before + 1, tester->PortEventsSeen());

    // While the contact machine runs, it gets them and the page does not.
    Model().ContactMachine().StartOpenPort();
    ASSERT_FALSE(Model().ContactMachine().IsIdle());
    Frame().SendMessage(WM_APP_PORT_EVENT, kEventRxChar, 0);
    EXPECT_EQ(before + 1, tester->PortEventsSeen());
    ASSERT_TRUE(WaitForRadio());
}

TEST_F(FrameTest, PortGivenForTheRunIsNotSavedOverTheUsersChoice)
{
    auto savedPort = [this] {
        std::wstring port;
        Store().ReadString(L"", L"Port", port);
        return port;
    };
    Store().WriteString(L"", L"Port", L"COM3");
    Start(false, L"SIM");
    EXPECT_EQ(L"SIM", Model().m_port.Get());
    ASSERT_TRUE(WaitForRadio());
    Close();
    EXPECT_EQ(L"COM3", savedPort());

    // A port the user chooses during such a run is saved as usual.
    Start(false, L"SIM");
    Model().m_port.Set(L"NOPORT");
    Close();
    EXPECT_EQ(L"NOPORT", savedPort());
}

TEST_F(FrameTest, ChangingThePortRestartsContact)
{
    Start(false);
    EXPECT_TRUE(Model().ContactMachine().IsIdle());  // no port: the first contact ended at once
    Model().m_port.Set(L"SIM");
    EXPECT_FALSE(Model().ContactMachine().IsIdle());
    ASSERT_TRUE(WaitForRadio());
    EXPECT_NE(std::wstring::npos, Frame().GetWindowText().find(L"S/N 12345"));
}

}  // namespace
