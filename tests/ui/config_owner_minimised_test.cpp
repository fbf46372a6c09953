// The save and restore dialogs and the banner editor while the main window is minimised
// and restored: the system hides the owned pop-ups with WM_SHOWWINDOW (FALSE,
// SW_PARENTCLOSING) and shows them again with (TRUE, SW_PARENTOPENING). The exchange with
// the radio goes on meanwhile and ends as usual. While a save or a restore runs, log-off
// is held with a reason; the reason goes when the run ends.
#include <windows.h>

#include <commctrl.h>

#include <filesystem>

#include "config_test_support.h"
#include "config_windows_fixture.h"
#include "ui/dialogs/config_restore_dlg.h"
#include "ui/dialogs/config_save_dlg.h"
#include "ui/dialogs/power_on_banner_sheet.h"
#include "ui/framework/shutdown_block.h"

namespace {

// What the steps saw of the dialog while its owner was minimised and restored.
struct CMinimiseSeen {
    HWND dialog = nullptr;
    HWND topLevel = nullptr;  // the window the reason is held for
    int hiddenAt = -1;
    bool hidden = false;
    bool shownAgain = false;
    std::wstring reasonWhileRunning;
};

class OwnerMinimisedTest : public ConfigWindowsTest {
protected:
    // The dialog with that caption, once its progress bar has moved: minimised, then,
    // after the bar has moved on by two more blocks while hidden, restored.
    std::vector<Step> MinimiseAndRestore(const wchar_t* caption, CMinimiseSeen& seen)
    {
        return {
            {[caption, &seen] {
                 if (seen.dialog == nullptr)
                     seen.dialog = FindDialog(caption);
                 return seen.dialog != nullptr && ProgressPosition(seen.dialog) > 0;
             },
             [&seen] {
                 seen.topLevel = GetAncestor(seen.dialog, GA_ROOTOWNER);
                 seen.reasonWhileRunning = CShutdownBlock::HeldReason(seen.topLevel);
                 seen.hiddenAt = ProgressPosition(seen.dialog);
                 SendMessageW(seen.dialog, WM_SHOWWINDOW, FALSE, SW_PARENTCLOSING);
                 seen.hidden = !IsWindowVisible(seen.dialog);
             }},
            {[&seen] { return ProgressPosition(seen.dialog) >= seen.hiddenAt + 2; },
             [&seen] {
                 SendMessageW(seen.dialog, WM_SHOWWINDOW, TRUE, SW_PARENTOPENING);
                 seen.shownAgain = IsWindowVisible(seen.dialog) != FALSE;
             }},
        };
    }
};

TEST_F(OwnerMinimisedTest, TheSaveGoesOnWhileHiddenAndWritesItsFile)
{
    AddFault("late=20");
    Start();
    const std::wstring path = TempPath(L"minimised.ZR8Config");
    fileAnswers.push_back(Choose(path));
    CMinimiseSeen seen;
    Script(MinimiseAndRestore(L"Save Configuration", seen));
    CConfigSaveDlg dialog(Model());
    EXPECT_EQ(1, dialog.DoModal(Host()));
    ASSERT_TRUE(ScriptDone());
    EXPECT_TRUE(seen.hidden);
    EXPECT_TRUE(seen.shownAgain);
    EXPECT_TRUE(Logged(L"Configuration was saved"));
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(16u, CountWrites("ER")) << "the whole area was read";
    EXPECT_EQ(L"Saving the ZR8's configuration. Stopping now leaves no file and may leave the radio unusable until it "
              L"is switched off and on.",
              seen.reasonWhileRunning);
    EXPECT_EQ(Host(), seen.topLevel);
    EXPECT_EQ(L"", CShutdownBlock::HeldReason(seen.topLevel)) << "released at the end";
    EXPECT_TRUE(boxes.empty());
}

TEST_F(OwnerMinimisedTest, TheRestoreGoesOnWhileHiddenAndEndsWithThePowerBox)
{
    AddFault("late=20");
    Start();
    const std::wstring path = TempPath(L"minimised.ZR8Config");
    WriteWholeFile(path, StandardFileText(PatternImage(), 12345));
    fileAnswers.push_back(Choose(path));
    CMinimiseSeen seen;
    Script(MinimiseAndRestore(L"Restore Configuration", seen));
    Click(IDC_RESTORE_CONFIGURATION);
    ASSERT_TRUE(ScriptDone());
    EXPECT_TRUE(seen.hidden);
    EXPECT_TRUE(seen.shownAgain);
    EXPECT_TRUE(Logged(L"Configuration was restored"));
    EXPECT_EQ(PatternImage()[0x3FF], Eeprom().At(0x3FF)) << "written to the end";
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Turn power off and back on.", boxes[0].text);
    EXPECT_NE(std::wstring::npos, seen.reasonWhileRunning.find(L"Restoring the ZR8's configuration.")) << seen.reasonWhileRunning;
    EXPECT_EQ(L"", CShutdownBlock::HeldReason(seen.topLevel));
}

TEST_F(OwnerMinimisedTest, TheBannerIsReadWhileTheSheetIsHidden)
{
    AddFault("late=200");
    Start();
    const std::string banner = "HELLO RADIO 1234";
    Eeprom().Fill(0x3F0, std::vector<uint8_t>(banner.begin(), banner.end()));
    CPowerOnBannerSheet sheet(Model());
    bool hidden = false;
    std::wstring shown;
    Script({{[&] { return sheet.Page().m_hWnd != nullptr && CountWrites("ER03F0") >= 1; },
             [&] {
                 HWND window = GetParent(sheet.Page().m_hWnd);
                 SendMessageW(window, WM_SHOWWINDOW, FALSE, SW_PARENTCLOSING);
                 hidden = !IsWindowVisible(window);
             }},
            {[&] { return sheet.Page().Machine().IsIdle(); },
             [&] {
                 HWND window = GetParent(sheet.Page().m_hWnd);
                 SendMessageW(window, WM_SHOWWINDOW, TRUE, SW_PARENTOPENING);
                 wchar_t text[64] = {};
                 GetWindowTextW(GetDlgItem(sheet.Page().m_hWnd, IDC_BANNER_EDIT), text, 64);
                 shown = text;
                 PostMessageW(window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
             }}});
    sheet.DoModal(Host());
    ASSERT_TRUE(ScriptDone());
    EXPECT_TRUE(hidden);
    EXPECT_EQ(L"HELLO RADIO 1234", shown);
    EXPECT_EQ(0u, sheet.Page().Machine().Result());
    EXPECT_EQ(1u, CountWrites("ER03F0")) << "read once, not again when shown";
}

}  // namespace
