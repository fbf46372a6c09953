// The loader dialog as the system treats it while a load runs: the main window minimised
// and restored (the dialog hidden with SW_PARENTCLOSING and shown again), and log-off
// asked for (held with a reason, let through once the load has ended).
#include <string>

#include "resources/ui/ui_resource_ids.h"
#include "tests/ui/firmware_window_fixture.h"
#include "ui/frame/page_list.h"
#include "ui/framework/shutdown_block.h"

namespace {

constexpr int kBarEnd = 63488 / 32;

std::vector<uint8_t> ImageOf(uint16_t version)
{
    CFirmwareGenOptions firmware;
    firmware.version = version;
    return MakeFirmwareImage(firmware);
}

TEST_F(FirmwareWindowTest, TheLoadGoesOnWhileTheMainWindowIsMinimised)
{
    WriteFirmware(117);
    Start(QuickRadio(), Folder().WidePath());
    bool hidden = false;
    bool shownAgain = false;
    HWND loader = nullptr;  // the fixture finds only a visible dialog
    int hiddenAt = -1;
    const LoaderRun run = Send([&](HWND dialog, LoaderRun& seen) {
        if (!hidden) {
            if (dialog == nullptr || seen.positions.empty() || seen.positions.back() < kBarEnd / 4)
                return false;
            loader = dialog;
            ::SendMessageW(loader, WM_SHOWWINDOW, FALSE, SW_PARENTCLOSING);
            hidden = !::IsWindowVisible(loader);
            hiddenAt = ProgressPosition(loader);
            return false;
        }
        if (!::IsWindow(loader) || ProgressPosition(loader) < hiddenAt + kBarEnd / 4)
            return false;
        ::SendMessageW(loader, WM_SHOWWINDOW, TRUE, SW_PARENTOPENING);
        shownAgain = ::IsWindowVisible(loader) != FALSE;
        return true;
    });
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(shownAgain);
    EXPECT_EQ(1u, CountEndingWith(ActivityLines(), L"MCU firmware load is complete"));
    EXPECT_EQ(kBarEnd, run.positions.back());
    EXPECT_EQ(ImageOf(117), Radio().Radio().Flash().Bytes());
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(FirmwareWindowTest, LogOffIsHeldWithAReasonWhileTheLoadRunsAndLetThroughAfter)
{
    WriteFirmware(117);
    Start(QuickRadio(), Folder().WidePath());
    HWND frame = nullptr;
    LRESULT answerDuringLoad = -1;
    std::wstring reasonDuringLoad;
    Send([&](HWND dialog, LoaderRun& seen) {
        if (dialog == nullptr || seen.positions.empty() || seen.positions.back() < kBarEnd / 4)
            return false;
        frame = ::GetAncestor(dialog, GA_ROOTOWNER);
        answerDuringLoad = ::SendMessageW(frame, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        reasonDuringLoad = CShutdownBlock::HeldReason(frame);
        return true;
    });
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(FALSE, answerDuringLoad);
    EXPECT_EQ(L"Sending firmware to the ZR8. Stopping now may leave the radio unusable until the firmware is sent "
              L"again.",
              reasonDuringLoad);
    EXPECT_EQ(ImageOf(117), Radio().Radio().Flash().Bytes()) << "the question did not stop the load";

    EXPECT_EQ(L"", CShutdownBlock::HeldReason(frame)) << "released when the load ended";
    EXPECT_EQ(TRUE, ::SendMessageW(frame, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    DWORD page = 0;
    ASSERT_EQ(0u, Model().SettingsStore().ReadDword(L"", L"ActivePage", page));
    EXPECT_EQ(DWORD(kFirmwarePageIndex), page) << "the settings were written";
    DWORD showCmd = 0;
    EXPECT_EQ(0u, Model().SettingsStore().ReadDword(L"Window", L"showCmd", showCmd)) << "and the placement";
}

}  // namespace
