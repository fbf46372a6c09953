// The Port page driven by messages: its list and selection rules, the buttons, and the
// status boxes of the contacts it starts against the simulated radio.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "core/model/contact_state_machine.h"
#include "port_page_fixture.h"

namespace {

using Ports = std::vector<std::wstring>;

CPortPageFixture::Setup WithPort(const std::wstring& port, Ports map = {L"COM3", L"COM10"})
{
    CPortPageFixture::Setup setup;
    setup.savedPort = port;
    setup.deviceMap = std::move(map);
    return setup;
}

const wchar_t kFoundText[] = L"ZR8 MCU version 01.23 on SIM at 9600 bit/s";

TEST(PortPage, ShowsTheSortedListTheLabelAndTheTips)
{
    CPortPageFixture page(WithPort(L"COM10", {L"COM3", L"COM10", L"COM1"}));
    ASSERT_TRUE(page.Ready());
    EXPECT_EQ((Ports{L"COM1", L"COM10", L"COM3", L"SIM"}), page.ListedPorts());
    EXPECT_EQ(L"COM10", page.SelectedPort());
    EXPECT_EQ(L"Serial port connected to ZR8:", CWindow(GetDlgItem(page.PageWindow(), IDC_PORT_LABEL)).GetWindowText());
    EXPECT_EQ(GetDlgItem(page.PageWindow(), IDC_TEST_COMMUNICATIONS), page.Page().OnQueryInitialFocus());

    HWND tip = page.Page().ToolTip();
    ASSERT_NE(nullptr, tip);
    EXPECT_NE(0, GetWindowLongW(tip, GWL_STYLE) & TTS_BALLOON);
    EXPECT_EQ(2, SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    const struct {
        int control;
        const wchar_t* text;
    } tips[] = {{IDC_TEST_COMMUNICATIONS, L"Reopen port and determine speed"},
                {IDC_CLOSE_PORT, L"Stop polling and close the serial port"}};
    for (const auto& t : tips) {
        wchar_t text[128] = {};
        TTTOOLINFOW info = {};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.hwnd = page.PageWindow();
        info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(page.PageWindow(), t.control));
        info.lpszText = text;
        SendMessageW(tip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&info));
        EXPECT_STREQ(t.text, text);
    }
}

TEST(PortPage, SavedPortIsKeptOnlyWhenListed)
{
    struct Case {
        const wchar_t* saved;
        const wchar_t* setting;  // after the page has started
        const wchar_t* selected;
    };
    const Case cases[] = {
        {L"COM3", L"COM3", L"COM3"},
        {L"com3", L"com3", L"COM3"},  // letter case aside
        {L"COM7", L"", L""},          // gone: forgotten, so no contact is tried on it
        {L"COM1", L"", L""},          // only "COM10" begins like it: still gone
        {L"", L"", L""},
    };
    for (const Case& c : cases) {
        CPortPageFixture page(WithPort(c.saved));
        ASSERT_TRUE(page.Ready());
        EXPECT_EQ(std::wstring(c.setting), page.Model().m_port.Get()) << "saved " << c.saved;
        EXPECT_EQ(std::wstring(c.selected), page.SelectedPort()) << "saved " << c.saved;
    }
}

TEST(PortPage, DroppingTheListReadsTheDeviceMapAgainAndKeepsTheChoice)
{
    CPortPageFixture page(WithPort(L""));
    ASSERT_TRUE(page.Ready());
    page.Choose(L"COM3");
    ASSERT_TRUE(page.RunUntilContactIdle());
    RegSetKeyValueW(HKEY_CURRENT_USER, (L"Software\\ZR8 Tests\\PortPage-" + std::to_wstring(GetCurrentProcessId())).c_str(),
                    L"\\Device\\Serial9", REG_SZ, L"COM2", 10);
    SendMessageW(page.PageWindow(), WM_COMMAND, MAKEWPARAM(IDC_PORT_LIST, CBN_DROPDOWN),
                 reinterpret_cast<LPARAM>(page.Page().ComboBox()));
    EXPECT_EQ((Ports{L"COM10", L"COM2", L"COM3", L"SIM"}), page.ListedPorts());
    EXPECT_EQ(L"COM3", page.SelectedPort());
}

TEST(PortPage, TestingWithoutAPortAsksForOne)
{
    CPortPageFixture page(WithPort(L""));
    ASSERT_TRUE(page.Ready());
    page.Click(IDC_TEST_COMMUNICATIONS);
    ASSERT_EQ(1u, page.Boxes().size());
    EXPECT_EQ(L"Please choose a serial port on the Port page", page.Boxes()[0].text);
    EXPECT_EQ(L"Select a serial port", page.Boxes()[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), page.Boxes()[0].type);
    EXPECT_TRUE(SendMessageW(page.Page().ComboBox(), CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_TRUE(page.Model().ContactMachine().IsIdle());
}

TEST(PortPage, ChoosingThePortFindsTheRadioAndTellsWhatItFound)
{
    struct Case {
        bool bootLoader;
        const wchar_t* text;
        UINT type;
    };
    const Case cases[] = {
        {false, kFoundText, MB_ICONINFORMATION},
        {true, L"ZR8 waiting for firmware load on SIM at 9600 bit/s", MB_ICONWARNING},
    };
    for (const Case& c : cases) {
        CPortPageFixture::Setup setup = WithPort(L"");
        setup.radio.startInBootLoader = c.bootLoader;
        CPortPageFixture page(setup);
        ASSERT_TRUE(page.Ready());
        page.Choose(L"SIM");
        ASSERT_TRUE(page.RunUntil([&] { return !page.Boxes().empty(); })) << "no status box";
        EXPECT_EQ(L"SIM", page.Model().m_port.Get());
        EXPECT_EQ(std::wstring(c.text), page.Boxes()[0].text);
        EXPECT_EQ(L"ZR8 Status", page.Boxes()[0].caption);
        EXPECT_EQ(c.type, page.Boxes()[0].type);
    }
}

TEST(PortPage, ChoosingTheSamePortAgainDoesNotRestartContact)
{
    for (const wchar_t* saved : {L"SIM", L"sim"}) {
        CPortPageFixture page(WithPort(saved));
        ASSERT_TRUE(page.Ready());
        page.Click(IDC_TEST_COMMUNICATIONS);
        ASSERT_TRUE(page.RunUntil([&] { return !page.Boxes().empty(); }));
        page.ForgetSeen();

        page.Choose(L"SIM");
        page.RunFor(300);
        EXPECT_EQ(std::wstring(saved), page.Model().m_port.Get());
        EXPECT_TRUE(page.Model().IsPortOpen());
        EXPECT_TRUE(page.Model().ContactMachine().IsIdle());
        EXPECT_TRUE(page.PortOpenSeen().empty()) << "the port was closed and opened again";
        EXPECT_TRUE(page.FirmwareStatusSeen().empty());
        EXPECT_TRUE(page.Boxes().empty());
    }
}

TEST(PortPage, ChoosingAnotherPortRestartsContact)
{
    CPortPageFixture page(WithPort(L"SIM"));
    ASSERT_TRUE(page.Ready());
    page.Click(IDC_TEST_COMMUNICATIONS);
    ASSERT_TRUE(page.RunUntil([&] { return !page.Boxes().empty(); }));
    page.ForgetSeen();

    page.Choose(L"COM3");  // not a port of this system: the open fails
    ASSERT_TRUE(page.RunUntilContactIdle());
    EXPECT_EQ(L"COM3", page.Model().m_port.Get());
    EXPECT_FALSE(page.Model().IsPortOpen());
    ASSERT_FALSE(page.FirmwareStatusSeen().empty());
    EXPECT_EQ(FirmwareStatusNone, page.FirmwareStatusSeen().back());
}

TEST(PortPage, TestCommunicationsClosesThePortFirst)
{
    CPortPageFixture page(WithPort(L"SIM"));
    ASSERT_TRUE(page.Ready());
    page.Click(IDC_TEST_COMMUNICATIONS);
    ASSERT_TRUE(page.RunUntil([&] { return !page.Boxes().empty(); }));
    ASSERT_EQ(FirmwareStatusApplication, page.Model().m_firmwareStatus.Get());
    page.ForgetSeen();

    page.Click(IDC_TEST_COMMUNICATIONS);
    ASSERT_TRUE(page.RunUntil([&] { return !page.Boxes().empty(); })) << "the same finding is told again";
    EXPECT_EQ((std::vector<int>{FirmwareStatusNone, FirmwareStatusApplication}), page.FirmwareStatusSeen());
    ASSERT_GE(page.PortOpenSeen().size(), 2u);
    EXPECT_EQ(-1, page.PortOpenSeen().front());
    EXPECT_EQ(0, page.PortOpenSeen().back());
    EXPECT_EQ(kFoundText, page.Boxes()[0].text);
}

TEST(PortPage, ClosePortStopsContactAndTellsNothing)
{
    CPortPageFixture page(WithPort(L"SIM"));
    ASSERT_TRUE(page.Ready());
    page.Click(IDC_TEST_COMMUNICATIONS);
    ASSERT_TRUE(page.RunUntil([&] { return !page.Boxes().empty(); }));
    page.ForgetSeen();

    page.Click(IDC_CLOSE_PORT);
    page.RunFor(200);
    EXPECT_FALSE(page.Model().IsPortOpen());
    EXPECT_EQ(FirmwareStatusNone, page.Model().m_firmwareStatus.Get());
    EXPECT_EQ(0xFFFF, page.Model().m_serialNumber.Get());
    EXPECT_TRUE(page.Boxes().empty());
}

TEST(PortPage, ShowingThePageWithAnOpenPortAndNoStatusStartsContact)
{
    CPortPageFixture::Setup setup = WithPort(L"SIM");
    setup.openBeforeShow = true;
    CPortPageFixture page(setup);
    ASSERT_TRUE(page.Ready());
    ASSERT_TRUE(page.RunUntil([&] { return !page.Boxes().empty(); })) << "no contact started";
    EXPECT_EQ(kFoundText, page.Boxes()[0].text);
}

TEST(PortPage, HiddenPageTellsNothing)
{
    CPortPageFixture page(WithPort(L"SIM"));
    ASSERT_TRUE(page.Ready());
    ShowWindow(page.PageWindow(), SW_HIDE);
    page.Model().ContactMachine().StartOpenPort();
    ASSERT_TRUE(page.RunUntil([&] { return page.Model().m_firmwareStatus.Get() == FirmwareStatusApplication; }));
    page.RunFor(100);
    EXPECT_TRUE(page.Boxes().empty());

    ShowWindow(page.PageWindow(), SW_SHOW);
    page.Click(IDC_TEST_COMMUNICATIONS);
    EXPECT_TRUE(page.RunUntil([&] { return !page.Boxes().empty(); })) << "shown again, it tells again";
}

TEST(PortPage, RadioStatusWithAnOpenPortAndNoStatusIsNotResponding)
{
    CPortPageFixture page(WithPort(L"SIM"));
    ASSERT_TRUE(page.Ready());
    page.Page().ShowRadioStatus();
    EXPECT_TRUE(page.Boxes().empty()) << "the port is closed: nothing to tell";

    ShowWindow(page.PageWindow(), SW_HIDE);  // no contact of its own meanwhile
    ASSERT_EQ(0u, page.Model().OpenSerialPort(L"SIM"));
    page.Page().ShowRadioStatus();
    ASSERT_EQ(1u, page.Boxes().size());
    EXPECT_EQ(L"ZR8 is not responding", page.Boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), page.Boxes()[0].type);
}

}  // namespace
