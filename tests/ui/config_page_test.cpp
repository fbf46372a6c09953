// The Configuration page driven by messages: its buttons follow the firmware status,
// its tips, and the box it always shows after a restore.
#include <windows.h>

#include <commctrl.h>

#include "config_windows_fixture.h"
#include "core/model/contact_state_machine.h"
#include "core/text/error_codes.h"

namespace {

const int kButtons[] = {IDC_SAVE_CONFIGURATION, IDC_RESTORE_CONFIGURATION, IDC_EDIT_BANNER};

using ConfigPageTest = ConfigWindowsTest;

bool AllButtonsEnabled(HWND page, bool enabled)
{
    for (int id : kButtons)
        if ((IsWindowEnabled(GetDlgItem(page, id)) != FALSE) != enabled)
            return false;
    return true;
}

TEST_F(ConfigPageTest, ButtonsAreDisabledUntilTheRadioRunsItsFirmware)
{
    Start(false);
    EXPECT_TRUE(AllButtonsEnabled(PageWindow(), false)) << "not contacted";
    ASSERT_TRUE(Contact());
    EXPECT_TRUE(AllButtonsEnabled(PageWindow(), true));
    Model().ClosePort();
    EXPECT_TRUE(AllButtonsEnabled(PageWindow(), false)) << "port closed";
}

TEST_F(ConfigPageTest, ButtonsStayDisabledWithTheRadioInItsBootLoader)
{
    radio.startInBootLoader = true;
    Start(false);
    Contact();
    EXPECT_EQ(FirmwareStatusBootLoader, Model().m_firmwareStatus.Get());
    EXPECT_TRUE(AllButtonsEnabled(PageWindow(), false));
}

TEST_F(ConfigPageTest, SaveAndRestoreHaveTheirTips)
{
    Start();
    HWND tip = Page().ToolTip();
    ASSERT_NE(nullptr, tip);
    EXPECT_EQ(2, SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    const struct {
        int control;
        const wchar_t* text;
    } tips[] = {{IDC_SAVE_CONFIGURATION, L"Save configuration in a computer file"},
                {IDC_RESTORE_CONFIGURATION, L"Restore a previously saved configuration"}};
    for (const auto& t : tips) {
        wchar_t text[128] = {};
        TTTOOLINFOW info = {};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.hwnd = PageWindow();
        info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(PageWindow(), t.control));
        info.lpszText = text;
        SendMessageW(tip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&info));
        EXPECT_STREQ(t.text, text);
    }
}

TEST_F(ConfigPageTest, RestoreCancelledAtTheFileChoiceStillSaysTurnPowerOffAndOn)
{
    Start();
    Click(IDC_RESTORE_CONFIGURATION);  // no file answer: the open dialog is cancelled
    ASSERT_EQ(1u, fileRequests.size());
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Turn power off and back on.", boxes[0].text);
    EXPECT_EQ(L"Critical Operation in Progress", boxes[0].caption);
    EXPECT_EQ(UINT(MB_ICONWARNING), boxes[0].type);
    EXPECT_EQ(0u, CountWrites("EW"));
}

TEST_F(ConfigPageTest, PowerLossDuringARestoreDisablesTheButtons)
{
    AddFault("power-loss=2");
    Start();
    // A file of the radio's own configuration, saved first through the page.
    const std::wstring path = TempPath(L"own.ZR8Config");
    fileAnswers.push_back(Choose(path));
    Click(IDC_SAVE_CONFIGURATION);
    ASSERT_TRUE(Logged(L"Configuration was saved"));

    fileAnswers.push_back(Choose(path));
    bool closeBeforeBox = false;
    onBox = [&](const ShownBox& box) {
        if (box.caption == L"Restore Configuration Error")
            closeBeforeBox = ButtonText(FindDialog(L"Restore Configuration"), IDCANCEL) == L"Close";
        return IDOK;
    };
    Script({{[] { return FindDialog(L"Restore Configuration") != nullptr &&
                         ButtonText(FindDialog(L"Restore Configuration"), IDCANCEL) == L"Close"; },
             [] { PostMessageW(FindDialog(L"Restore Configuration"), WM_COMMAND, IDCANCEL, 0); }}});
    Click(IDC_RESTORE_CONFIGURATION);
    ASSERT_TRUE(ScriptDone());
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ(L"Restore Configuration Error", boxes[0].caption);
    EXPECT_NE(std::wstring::npos, boxes[0].text.find(L"No response to Write EEPROM block")) << boxes[0].text;
    EXPECT_TRUE(closeBeforeBox) << "button 2 reads Close before the error box";
    EXPECT_EQ(L"Turn power off and back on.", boxes[1].text);
    EXPECT_TRUE(Logged(L"Failed to restore configuration"));
    EXPECT_EQ(FirmwareStatusNone, Model().m_firmwareStatus.Get());
    EXPECT_TRUE(AllButtonsEnabled(PageWindow(), false));
}

}  // namespace
