// F1 and the Help buttons in every page and dialog of the program: each opens its own
// topic of the help file. The windows are opened the way the user opens them (a page's
// tab, a button of a page, a menu command of the main frame), against the simulated
// radio; F1 is pressed in a control of the window (the system's F1 message, which the
// control's default procedure turns into WM_HELP for its parent), or the Help button of
// a sheet is clicked. A recording stand-in takes the place of the HTML Help control.
#include <windows.h>

#include <commdlg.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/code_pages.h"
#include "resources/ui/ui_resource_ids.h"
#include "tests/case_name.h"
#include "tests/ui/frame_fixture.h"
#include "tests/ui/modal_watcher.h"
#include "ui/dialogs/file_dialogs.h"
#include "ui/frame/page_list.h"
#include "ui/help/help_file.h"
#include "ui/help/html_help_control.h"

namespace {

// What the system sends a window for a press of F1 (the keyboard's help key).
constexpr UINT kKeyF1Message = 0x004D;

struct CHelpCall {
    HWND owner;
    HWND ownerRoot;  // its top-level window at the time of the call
    std::wstring file;
    UINT command;
};
std::vector<CHelpCall> g_calls;

HWND WINAPI RecordingHelp(HWND owner, const wchar_t* file, UINT command, DWORD_PTR)
{
    g_calls.push_back({owner, ::GetAncestor(owner, GA_ROOT), file != nullptr ? file : L"", command});
    return owner;
}

void PressF1(HWND control) { ::SendMessageW(control, kKeyF1Message, 0, 0); }

void ClickHelpButton(HWND sheet)
{
    ::SendMessageW(sheet, WM_COMMAND, MAKEWPARAM(IDHELP, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(sheet, IDHELP)));
}

// A control of the window to press F1 in: the one with the focus when it is inside the
// window, else the window's first control.
HWND ControlIn(HWND window)
{
    HWND focus = ::GetFocus();
    if (focus != nullptr && focus != window && ::IsChild(window, focus))
        return focus;
    HWND first = ::GetWindow(window, GW_CHILD);
    return first != nullptr ? first : window;
}

// The firmware folder of a test, removed afterwards.
class CFolder {
public:
    CFolder()
    {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        m_path = std::wstring(temp) + L"zr8-help-" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~CFolder()
    {
        for (const std::wstring& name : m_files)
            ::DeleteFileW((m_path + L"\\" + name).c_str());
        ::RemoveDirectoryW(m_path.c_str());
    }
    CFolder(const CFolder&) = delete;
    CFolder& operator=(const CFolder&) = delete;
    void Write(const std::wstring& name, const std::string& content)
    {
        std::ofstream out((m_path + L"\\" + name).c_str(), std::ios::binary);
        out << content;
        m_files.push_back(name);
    }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
    std::vector<std::wstring> m_files;
};

class WindowHelpTest;
struct HelpCase {
    const char* name;
    const wchar_t* topic;                      // what the window opens
    std::function<void(WindowHelpTest&)> run;  // opens the window and asks it for help
};

class WindowHelpTest : public FrameTest, public ::testing::WithParamInterface<HelpCase> {
public:
    using FrameTest::Frame;
    using FrameTest::PumpUntil;
    using FrameTest::Store;

    void SetUp() override
    {
        FrameTest::SetUp();
        g_calls.clear();
        SetHelpFileForTesting(L"C:\\zr8\\ZR8Utility.chm");
        TheHtmlHelpControl().ReplaceForTesting(&RecordingHelp);
        m_previousFileDialogs = FileDialogs::SetHandler(
            [this](FileDialogs::Kind, OPENFILENAMEW& request, DWORD& extendedError) {
                // The save and restore dialogs ask for their file first: F1 in the dialog
                // meanwhile, then the choice is cancelled, which ends the dialog.
                m_asked = request.hwndOwner;
                PressF1(ControlIn(request.hwndOwner));
                extendedError = 0;
                return FALSE;
            });
        Start(true, L"SIM");
        ASSERT_TRUE(WaitForRadio());
        Model().m_firmwareFolder.Set(m_folder.Path());
    }
    void TearDown() override
    {
        FileDialogs::SetHandler(m_previousFileDialogs);
        TheHtmlHelpControl().ReplaceForTesting(nullptr);
        SetHelpFileForTesting(L"");
        FrameTest::TearDown();
    }

    HWND ShowPage(int index)
    {
        EXPECT_TRUE(Frame().TabView().SetActivePage(index));
        return Frame().TabView().GetActivePage();
    }
    void ClickPageButton(int index, int button)
    {
        HWND page = ShowPage(index);
        ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(page, button)));
    }
    // A modal window opened by the command: F1 (or the action given) inside it, once it
    // shows; then it is closed.
    void InModal(const std::wstring& title, const std::function<void()>& open,
                 const std::function<void(HWND)>& ask = [](HWND window) { PressF1(ControlIn(window)); })
    {
        CModalWatcher watcher;
        watcher.Expect(title, [&](HWND window) {
            m_asked = window;
            ask(window);
        });
        open();
        EXPECT_TRUE(watcher.AllSeen()) << "no window \"" << CodePages::ToUtf8(title) << "\" showed";
    }

    // Runs the loop (inside the dialog's own) until the dialog's button reads "Close":
    // the dialog's run has ended, it stays open.
    void WaitForCloseButton(HWND dialog)
    {
        EXPECT_TRUE(PumpUntil([dialog] {
            wchar_t text[32] = {};
            ::GetDlgItemTextW(dialog, IDCANCEL, text, 32);
            return std::wstring(text) == L"Close";
        }));
    }

    CFolder m_folder;
    HWND m_asked = nullptr;  // the window asked for help

private:
    FileDialogs::Handler m_previousFileDialogs;
};

const HelpCase kCases[] = {
    {"PortPage", L"Port.htm", [](WindowHelpTest& t) { PressF1(ControlIn(t.m_asked = t.ShowPage(kPortPageIndex))); }},
    {"FirmwarePage", L"Firmware.htm",
     [](WindowHelpTest& t) { PressF1(ControlIn(t.m_asked = t.ShowPage(kFirmwarePageIndex))); }},
    {"ConfigurationPage", L"Configuration.htm",
     [](WindowHelpTest& t) { PressF1(ControlIn(t.m_asked = t.ShowPage(kConfigurationPageIndex))); }},
    {"CommandTesterPage", L"CommandTester.htm",
     [](WindowHelpTest& t) { PressF1(ControlIn(t.m_asked = t.ShowPage(kCommandTesterPageIndex))); }},
    {"MacroEditorF1", L"CommandTester.htm#MacroEditor",
     [](WindowHelpTest& t) {
         t.InModal(L"Edit Command Tester Macros", [&] { t.ClickPageButton(kCommandTesterPageIndex, IDC_EDIT_MACROS); });
     }},
    {"MacroEditorHelpButton", L"CommandTester.htm#MacroEditor",
     [](WindowHelpTest& t) {
         t.InModal(L"Edit Command Tester Macros", [&] { t.ClickPageButton(kCommandTesterPageIndex, IDC_EDIT_MACROS); },
                   ClickHelpButton);
     }},
    {"BannerEditorF1", L"Configuration.htm#PowerOnBanner",
     [](WindowHelpTest& t) {
         t.InModal(L"Edit Power On Banner", [&] { t.ClickPageButton(kConfigurationPageIndex, IDC_EDIT_BANNER); });
     }},
    {"BannerEditorHelpButton", L"Configuration.htm#PowerOnBanner",
     [](WindowHelpTest& t) {
         t.InModal(L"Edit Power On Banner", [&] { t.ClickPageButton(kConfigurationPageIndex, IDC_EDIT_BANNER); },
                   ClickHelpButton);
     }},
    {"SaveConfigurationDialog", L"ConfigurationProgress.htm#SaveDialog",
     [](WindowHelpTest& t) { t.ClickPageButton(kConfigurationPageIndex, IDC_SAVE_CONFIGURATION); }},
    {"RestoreConfigurationDialog", L"ConfigurationProgress.htm#RestoreDialog",
     [](WindowHelpTest& t) { t.ClickPageButton(kConfigurationPageIndex, IDC_RESTORE_CONFIGURATION); }},
    {"LoaderDialog", L"SendingFirmware.htm",
     [](WindowHelpTest& t) {
         // A damaged file: the load fails at once, before the radio is asked anything,
         // and the dialog stays open with its Close button.
         t.m_folder.Write(L"zr8_0118.hex", ":10080000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF8\r\n");
         t.InModal(L"Sending ZR8 Firmware", [&] { t.ClickPageButton(kFirmwarePageIndex, IDC_SEND_FIRMWARE); },
                   [&](HWND dialog) {
                       t.WaitForCloseButton(dialog);
                       PressF1(ControlIn(dialog));
                   });
     }},
    {"CopyDialog", L"CopyFiles.htm",
     [](WindowHelpTest& t) {
         // Nothing listens on port 1: the copy fails and the dialog stays open.
         t.Store().WriteString(L"", L"FileServer", L"127.0.0.1:1");
         t.InModal(L"Copy Files from Orvandel File Server",
                   [&] { t.ClickPageButton(kFirmwarePageIndex, IDC_COPY_NEW_FILES); },
                   [&](HWND dialog) {
                       t.WaitForCloseButton(dialog);
                       PressF1(ControlIn(dialog));
                   });
     }},
    {"AboutBox", L"MenusAndLog.htm#About",
     [](WindowHelpTest& t) { t.InModal(L"About Orvandel ZR8 Utility", [&] { t.Frame().SendMessage(WM_COMMAND, ID_APP_ABOUT); }); }},
    {"LicenceAgreement", L"MenusAndLog.htm#Licence",
     [](WindowHelpTest& t) {
         CModalWatcher watcher;
         watcher.Expect(L"About Orvandel ZR8 Utility", [&](HWND about) {
             watcher.Expect(L"Orvandel ZR8 Utility License Agreement", [&](HWND licence) {
                 t.m_asked = licence;
                 PressF1(ControlIn(licence));
             });
             ::SendMessageW(about, WM_COMMAND, IDC_VIEW_LICENSE, 0);
         });
         t.Frame().SendMessage(WM_COMMAND, ID_APP_ABOUT);
         EXPECT_TRUE(watcher.AllSeen());
     }},
    {"ReleaseNotes", L"MenusAndLog.htm#ReleaseNotes",
     [](WindowHelpTest& t) {
         t.m_folder.Write(L"zr8fwnotes.rtf", "{\\rtf1\\ansi Version 01.17\\par}");
         t.Frame().SendMessage(WM_COMMAND, ID_HELP_RELEASE_NOTES);
         t.m_asked = t.Frame().ReleaseNotesWindow();
         ASSERT_NE(nullptr, t.m_asked);
         PressF1(ControlIn(t.m_asked));
     }},
};

TEST_P(WindowHelpTest, OpensItsOwnTopic)
{
    GetParam().run(*this);
    ASSERT_NE(nullptr, m_asked) << "the window was not reached";
    ASSERT_EQ(1u, g_calls.size()) << "help requests";
    EXPECT_EQ(std::wstring(L"C:\\zr8\\ZR8Utility.chm::/") + GetParam().topic + L">$global_main", g_calls[0].file);
    EXPECT_EQ(kHelpDisplayTopic, g_calls[0].command);
    // The help window belongs to the window asked (a sheet's page is inside its sheet).
    EXPECT_TRUE(g_calls[0].owner == m_asked || g_calls[0].ownerRoot == m_asked)
        << "owner " << g_calls[0].owner << " in " << g_calls[0].ownerRoot << ", window " << m_asked;
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, WindowHelpTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<HelpCase>& info) { return CaseName(info.param.name); });

}  // namespace
