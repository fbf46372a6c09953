// The Firmware page in the main frame: its texts and tooltips, the folder controls, the
// versions and the send button's enabling, the log lines, and the page's layout.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/model/contact_state_machine.h"
#include "core/model/event_subscriber.h"
#include "core/text/app_messages.h"
#include "platform/code_pages.h"
#include "platform/message_window.h"
#include "resources/ui/ui_resource_ids.h"
#include "tests/ui/firmware_window_fixture.h"

namespace {

const std::vector<std::wstring> kNoFilesLines = {
    L"Firmware folder does not contain required firmware files",
    L"Click \"Copy New Files from Orvandel\"",
    L"or navigate to a folder containing firmware files",
};

std::vector<std::wstring> ToolTexts(HWND toolTip)
{
    std::vector<std::wstring> texts;
    const int count = static_cast<int>(::SendMessageW(toolTip, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        TTTOOLINFOW info = {};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.lpszText = text;
        if (::SendMessageW(toolTip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info)))
            texts.push_back(text);
    }
    return texts;
}

RECT ChildRect(HWND page, int id)
{
    RECT rect = {};
    ::GetWindowRect(::GetDlgItem(page, id), &rect);
    ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST_F(FirmwareWindowTest, TextsTooltipsAndButtonsAtStart)
{
    WriteFirmware(117);
    Start(QuickRadio(), Folder().WidePath());
    EXPECT_EQ(L"Installed in ZR8", ControlText(IDC_INSTALLED_LABEL));
    EXPECT_EQ(L"Send Firmware to ZR8", ControlText(IDC_SEND_FIRMWARE));
    EXPECT_EQ(L"01.23", ControlText(IDC_INSTALLED_VERSION));
    EXPECT_EQ(Folder().WidePath(), ControlText(IDC_FOLDER_EDIT));
    EXPECT_EQ(static_cast<LRESULT>(CFirmwarePage::kFolderTextLimit),
              ::SendDlgItemMessageW(PageWindow(), IDC_FOLDER_EDIT, EM_GETLIMITTEXT, 0, 0));
    for (int id : {IDC_FOLDER_DEFAULT, IDC_FOLDER_BROWSE, IDC_COPY_NEW_FILES, IDC_CHECK_VERSION, IDC_SEND_FIRMWARE})
        EXPECT_TRUE(IsEnabled(id)) << "control " << id;

    const std::vector<std::wstring> tips = ToolTexts(Page().ToolTip());
    EXPECT_EQ((std::vector<std::wstring>{L"Choose \"%APPDATA%\\Orvandel\\ZR8 Firmware\" folder",
                                         L"Browse to another folder", L"Get new firmware from Orvandel file server",
                                         L"Compare versions installed in ZR8 with available versions in firmware folder"}),
              tips);

    // The version and system lines come first, each after a time stamp.
    const std::vector<std::wstring> lines = ActivityLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(std::wstring::npos, lines[0].find(L"ZR8 Utility Version "));
    EXPECT_NE(std::wstring::npos, lines[1].find(L"OS Version "));
    EXPECT_EQ(L':', lines[0][2]);
}

TEST_F(FirmwareWindowTest, TheNewestOfTwoVersionsIsAvailable)
{
    WriteFirmware(116);
    const std::wstring newest = WriteFirmware(117);
    Start(QuickRadio(), Folder().WidePath());
    EXPECT_EQ(L"01.17", ControlText(IDC_AVAILABLE_VERSION));
    EXPECT_EQ(newest, Page().Files().m_firmwarePath);
    EXPECT_TRUE(IsEnabled(IDC_SEND_FIRMWARE));
    EXPECT_EQ(0u, CountEndingWith(ActivityLines(), kNoFilesLines[0]));
}

// Folders without a firmware file, whatever the reason, show "Missing", say what to do
// and keep the send button off.
struct NoFirmwareCase {
    const char* name;
    std::function<std::wstring(CScratchFolder&)> folder;
};

class FirmwareNoFiles : public FirmwareWindowTest, public ::testing::WithParamInterface<NoFirmwareCase> {};

TEST_P(FirmwareNoFiles, ShowsMissingLogsWhatToDoAndDisablesSend)
{
    Start(QuickRadio(), GetParam().folder(Folder()));
    EXPECT_EQ(L"Missing", ControlText(IDC_AVAILABLE_VERSION));
    EXPECT_FALSE(IsEnabled(IDC_SEND_FIRMWARE));
    const std::vector<std::wstring> lines = ActivityLines();
    EXPECT_GE(CountEndingWith(lines, kNoFilesLines[0]), 1u);
    EXPECT_TRUE(HasLine(lines, kNoFilesLines[1]));
    EXPECT_TRUE(HasLine(lines, kNoFilesLines[2]));
    EXPECT_TRUE(m_boxes.empty());
    // Pressed all the same (its message sent by hand): the error box, nothing sent.
    Page().SendFirmware();
    ASSERT_EQ(1u, m_boxes.size());
    EXPECT_EQ(L"Error", m_boxes[0].caption);
    EXPECT_EQ(kNoFilesLines[0] + L"\r\n" + kNoFilesLines[1] + L"\r\n" + kNoFilesLines[2], m_boxes[0].text);
    EXPECT_EQ(0u, Radio().Radio().FirmwareLoads());
}

INSTANTIATE_TEST_SUITE_P(
    Folders, FirmwareNoFiles,
    ::testing::Values(NoFirmwareCase{"EmptyFolder", [](CScratchFolder& f) { return f.WidePath(); }},
                      NoFirmwareCase{"MissingFolder", [](CScratchFolder& f) { return f.WidePath() + L"\\nowhere"; }},
                      NoFirmwareCase{"AFileForAFolder",
                                     [](CScratchFolder& f) { return f.Write("zr8_0117.hex.txt", "text"); }},
                      NoFirmwareCase{"OnlyNotes", [](CScratchFolder& f) {
                                         f.Write("zr8fwnotes.rtf", "{\\rtf1}");
                                         return f.WidePath();
                                     }},
                      NoFirmwareCase{"PathTooLong",
                                     [](CScratchFolder& f) { return f.WidePath() + L"\\" + std::wstring(300, L'x'); }}),
    [](const ::testing::TestParamInfo<NoFirmwareCase>& info) { return std::string(info.param.name); });

TEST_F(FirmwareWindowTest, DefaultTwiceChangesTheSettingOnceAndCreatesNothingNew)
{
    Start(QuickRadio(), Folder().WidePath());
    int notifications = 0;
    CMessageWindow listener;
    ASSERT_TRUE(listener.Create([&](UINT message, WPARAM, LPARAM) -> LRESULT {
        if (message == WM_APP_FIRMWARE_FOLDER)
            ++notifications;
        return 0;
    }));
    CEventSubscriber subscription;
    subscription.Subscribe(listener.Handle(), Model().m_firmwareFolder);

    Click(IDC_FOLDER_DEFAULT);
    const std::wstring folder = Model().m_firmwareFolder.Get();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(Folder().WidePath(), folder);
    EXPECT_EQ(L"ZR8 Firmware", std::filesystem::path(folder).filename().wstring());
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(folder, ControlText(IDC_FOLDER_EDIT));
    EXPECT_EQ(1, notifications);

    std::vector<std::wstring> before;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(folder).parent_path()))
        before.push_back(entry.path().wstring());
    Click(IDC_FOLDER_DEFAULT);
    std::vector<std::wstring> after;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(folder).parent_path()))
        after.push_back(entry.path().wstring());
    EXPECT_EQ(folder, Model().m_firmwareFolder.Get());
    EXPECT_EQ(1, notifications) << "the second press changed the setting again";
    EXPECT_EQ(before, after);
    subscription.UnsubscribeAll();
}

TEST_F(FirmwareWindowTest, TheFolderTypedIsStoredTrimmedWhenTheEditLosesTheFocus)
{
    Start(QuickRadio(), Folder().WidePath() + L"\\nowhere");
    EXPECT_EQ(L"Missing", ControlText(IDC_AVAILABLE_VERSION));
    WriteFirmware(117);
    HWND edit = ::GetDlgItem(PageWindow(), IDC_FOLDER_EDIT);
    ::SetFocus(edit);
    ::SetWindowTextW(edit, (L"  \t" + Folder().WidePath() + L"  ").c_str());
    ::SetFocus(::GetDlgItem(PageWindow(), IDC_CHECK_VERSION));
    EXPECT_EQ(Folder().WidePath(), Model().m_firmwareFolder.Get());
    EXPECT_EQ(Folder().WidePath(), ControlText(IDC_FOLDER_EDIT));
    EXPECT_EQ(L"01.17", ControlText(IDC_AVAILABLE_VERSION));
    EXPECT_TRUE(IsEnabled(IDC_SEND_FIRMWARE));
}

TEST_F(FirmwareWindowTest, CheckVersionNowRescansAndReadsTheRadioAgain)
{
    Start(QuickRadio(), Folder().WidePath());
    EXPECT_EQ(L"Missing", ControlText(IDC_AVAILABLE_VERSION));
    WriteFirmware(118);
    Model().ResetDeviceInfo();
    EXPECT_EQ(L"??.??", ControlText(IDC_INSTALLED_VERSION));
    Click(IDC_CHECK_VERSION);
    EXPECT_EQ(L"01.18", ControlText(IDC_AVAILABLE_VERSION));
    EXPECT_FALSE(Model().ContactMachine().IsIdle()) << "contact was not started";
    ASSERT_TRUE(WaitForRadio());
    EXPECT_EQ(L"01.23", ControlText(IDC_INSTALLED_VERSION));
}

// The enabling table: a file and the ZR8 or no device identified: on; another device: off.
TEST_F(FirmwareWindowTest, SendIsOffForAnotherDeviceAndRefusesIt)
{
    WriteFirmware(117);
    Start(QuickRadio(), Folder().WidePath());
    EXPECT_TRUE(IsEnabled(IDC_SEND_FIRMWARE));
    Model().m_device.Set(DeviceNone);
    Model().m_firmwareStatus.Set(FirmwareStatusNone);
    EXPECT_TRUE(IsEnabled(IDC_SEND_FIRMWARE)) << "not identified counts as the ZR8";
    Model().m_device.Set(DeviceT6);
    Model().m_firmwareStatus.Set(FirmwareStatusApplication);
    EXPECT_FALSE(IsEnabled(IDC_SEND_FIRMWARE));

    ::EnableWindow(::GetDlgItem(PageWindow(), IDC_SEND_FIRMWARE), TRUE);
    Page().SendFirmware();
    EXPECT_FALSE(IsEnabled(IDC_SEND_FIRMWARE));
    EXPECT_EQ(1u, CountEndingWith(ActivityLines(), L"Unexpected device 1"));
    EXPECT_EQ(0u, Radio().Radio().FirmwareLoads());
}

TEST_F(FirmwareWindowTest, LogLinesReachTheActivityLogOnlyWhileThePageIsShown)
{
    Start(QuickRadio(), Folder().WidePath());
    ::SendMessageW(PageWindow(), WM_APP_PAGE_TEXT, 0, reinterpret_cast<LPARAM>(L"first line"));
    EXPECT_EQ(1u, CountEndingWith(ActivityLines(), L" first line"));
    // Hidden, the page hears no value changes and the frame drops the lines.
    HWND frame = ::GetAncestor(PageWindow(), GA_ROOT);
    ::SendMessageW(::GetParent(PageWindow()), PSM_SETCURSEL, 0, 0);
    ::SendMessageW(frame, WM_APP_STATUS_TEXT, 0, reinterpret_cast<LPARAM>(L"dropped line"));
    WriteFirmware(117);
    Model().m_firmwareFolder.Set(Folder().WidePath() + L"\\");
    EXPECT_EQ(L"Missing", ControlText(IDC_AVAILABLE_VERSION)) << "a hidden page scanned";
    ::SendMessageW(::GetParent(PageWindow()), PSM_SETCURSEL, 1, 0);
    EXPECT_EQ(0u, CountEndingWith(ActivityLines(), L"dropped line"));
    EXPECT_EQ(L"01.17", ControlText(IDC_AVAILABLE_VERSION)) << "shown again, the page scans";
}

TEST_F(FirmwareWindowTest, TheGroupsAndTheLogFollowThePageSize)
{
    Start(QuickRadio(), Folder().WidePath());
    HWND page = PageWindow();
    const RECT folderGroup = ChildRect(page, IDC_FOLDER_GROUP);
    const RECT versionGroup = ChildRect(page, IDC_VERSION_GROUP);
    const RECT log = ChildRect(page, IDC_OUTPUT_WINDOW);
    const RECT browse = ChildRect(page, IDC_FOLDER_BROWSE);
    HWND frame = ::GetAncestor(page, GA_ROOT);
    RECT outer = {};
    ::GetWindowRect(frame, &outer);
    ::SetWindowPos(frame, nullptr, 0, 0, outer.right - outer.left + 200, outer.bottom - outer.top + 150,
                   SWP_NOMOVE | SWP_NOZORDER);
    PumpUntil([] { return false; }, 200);
    RECT client = {};
    ::GetClientRect(page, &client);
    EXPECT_EQ(folderGroup.right - folderGroup.left + 200, ChildRect(page, IDC_FOLDER_GROUP).right -
                                                              ChildRect(page, IDC_FOLDER_GROUP).left);
    EXPECT_EQ(versionGroup.right + 200, ChildRect(page, IDC_VERSION_GROUP).right);
    EXPECT_EQ(browse.left + 200, ChildRect(page, IDC_FOLDER_BROWSE).left);
    EXPECT_EQ(log.right + 200, ChildRect(page, IDC_OUTPUT_WINDOW).right);
    EXPECT_EQ(log.bottom + 150, ChildRect(page, IDC_OUTPUT_WINDOW).bottom);
    EXPECT_LE(ChildRect(page, IDC_OUTPUT_WINDOW).right, client.right);
    EXPECT_LE(ChildRect(page, IDC_OUTPUT_WINDOW).bottom, client.bottom);
}

TEST(FirmwareElapsedTime, IsRoundedToTheNearestSecond)
{
    EXPECT_EQ(0u, RoundedSeconds(0));
    EXPECT_EQ(0u, RoundedSeconds(499));
    EXPECT_EQ(1u, RoundedSeconds(1499));
    EXPECT_EQ(2u, RoundedSeconds(1500));
    EXPECT_EQ(83u, RoundedSeconds(82600));
}

}  // namespace

namespace {

// The shell's folder browser while it is up: its title line and the item it has selected.
struct BrowserSeen {
    HWND window = nullptr;
    bool titleShown = false;
    std::wstring selected;
};

BrowserSeen ReadBrowser(const std::wstring& title)
{
    BrowserSeen seen;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            wchar_t name[32] = {};
            ::GetClassNameW(window, name, 32);
            if (std::wstring(name) != L"#32770" || !::IsWindowVisible(window))
                return TRUE;
            reinterpret_cast<BrowserSeen*>(data)->window = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&seen));
    if (seen.window == nullptr)
        return seen;
    struct Children {
        const std::wstring* title;
        BrowserSeen* seen;
    } children{&title, &seen};
    ::EnumChildWindows(
        seen.window,
        [](HWND child, LPARAM data) -> BOOL {
            auto* c = reinterpret_cast<Children*>(data);
            wchar_t name[32] = {};
            ::GetClassNameW(child, name, 32);
            if (std::wstring(name) == L"Static") {
                wchar_t text[256] = {};
                ::GetWindowTextW(child, text, 256);
                if (*c->title == text)
                    c->seen->titleShown = true;
            } else if (std::wstring(name) == WC_TREEVIEWW) {
                HTREEITEM item = TreeView_GetSelection(child);
                wchar_t text[MAX_PATH] = {};
                TVITEMW tv = {};
                tv.mask = TVIF_TEXT;
                tv.hItem = item;
                tv.pszText = text;
                tv.cchTextMax = MAX_PATH;
                if (item != nullptr && TreeView_GetItem(child, &tv))
                    c->seen->selected = text;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return seen;
}

// What the browser's timer does: the one action of a press.
std::function<void()> g_browserStep;
void CALLBACK BrowserTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_browserStep)
        g_browserStep();
}

}  // namespace

// The browser shows its title; cancelled, it changes nothing. (Which item the browser
// selects and a confirmed choice are left to the shell: Wine's browser does not report its
// selection to the test.)
TEST_F(FirmwareWindowTest, BrowseShowsItsTitleAndCancelChangesNothing)
{
    const std::filesystem::path first = Folder().Path() / "first";
    std::filesystem::create_directories(first);
    Start(QuickRadio(), first.wstring());
    const std::wstring title = L"Select folder containing ZR8 firmware files";
    BrowserSeen seen;
    const DWORD start = ::GetTickCount();
    g_browserStep = [&] {
        const BrowserSeen now = ReadBrowser(title);
        if (now.window == nullptr)
            return;
        seen = now;
        if (now.titleShown || ::GetTickCount() - start > 15000)
            ::PostMessageW(now.window, WM_COMMAND, IDCANCEL, 0);
    };
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &BrowserTick);
    Click(IDC_FOLDER_BROWSE);
    ::KillTimer(nullptr, timer);
    g_browserStep = nullptr;
    EXPECT_NE(nullptr, seen.window) << "no folder browser";
    EXPECT_TRUE(seen.titleShown) << "the title line is not shown";
    EXPECT_EQ(first.wstring(), Model().m_firmwareFolder.Get());
    EXPECT_EQ(first.wstring(), ControlText(IDC_FOLDER_EDIT));
}
