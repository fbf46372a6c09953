// The About box, the licence agreement and the firmware release notes, opened the way
// the user opens them (the main frame's Help menu) and read back from their controls.
#include <windows.h>

#include <richedit.h>

#include <fstream>

#include "core/text/version_info.h"
#include "resources/ui/ui_resource_ids.h"
#include "tests/ui/frame_fixture.h"
#include "tests/ui/modal_watcher.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/licence_dialog.h"

namespace {

const wchar_t kAboutTitle[] = L"About Orvandel ZR8 Utility";
const wchar_t kLicenceTitle[] = L"Orvandel ZR8 Utility License Agreement";
const wchar_t kNotesTitle[] = L"Firmware Release Notes";

std::wstring ControlText(HWND dialog, int id)
{
    HWND control = ::GetDlgItem(dialog, id);
    const int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(control, &text[0], length + 1)));
    return text;
}

POINT Centre(HWND window)
{
    RECT r = {};
    ::GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

RECT ControlRect(HWND dialog, int id)
{
    RECT r = {};
    ::GetWindowRect(::GetDlgItem(dialog, id), &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST_F(FrameTest, AboutShowsTheTitleAndTheVersionLinesOfTheResource)
{
    Start();
    CModalWatcher watcher;
    std::wstring title, text;
    bool hasIcon = false;
    POINT aboutCentre = {}, frameCentre = Centre(Frame());
    watcher.Expect(kAboutTitle, [&](HWND about) {
        title = CWindow(about).GetWindowText();
        text = ControlText(about, IDC_ABOUT_TEXT);
        hasIcon = ::SendDlgItemMessageW(about, IDC_ABOUT_ICON, STM_GETICON, 0, 0) != 0;
        aboutCentre = Centre(about);
    });
    Frame().SendMessage(WM_COMMAND, ID_APP_ABOUT);
    ASSERT_TRUE(watcher.AllSeen());

    EXPECT_EQ(kAboutTitle, title);
    CFileVersionInfo info;
    ASSERT_TRUE(info.ReadOwnVersionInfo());
    EXPECT_EQ(L"Orvandel ZR8 Utility\n\nVersion 1.23.11.8\n\n" + info.Get(CFileVersionInfo::LegalCopyright) +
                  L"\n\n" + kAboutCredit,
              text);
    EXPECT_FALSE(info.Get(CFileVersionInfo::LegalCopyright).empty());
    EXPECT_TRUE(hasIcon);
    EXPECT_LE(std::abs(aboutCentre.x - frameCentre.x), 2);
    EXPECT_LE(std::abs(aboutCentre.y - frameCentre.y), 2);
    EXPECT_EQ(nullptr, FindThreadWindow(kAboutTitle));
}

TEST_F(FrameTest, TheLicenceFromTheAboutBoxShowsTheDocumentsTextAndResizes)
{
    Start();
    CModalWatcher watcher;
    std::wstring text;
    HWND licenceOwner = nullptr, aboutWindow = nullptr;
    RECT editBefore = {}, editAfter = {}, closeBefore = {}, closeAfter = {};
    watcher.Expect(kAboutTitle, [&](HWND about) {
        aboutWindow = about;
        watcher.Expect(kLicenceTitle, [&](HWND licence) {
            licenceOwner = ::GetWindow(licence, GW_OWNER);
            text = ControlText(licence, IDC_OUTPUT_WINDOW);
            editBefore = ControlRect(licence, IDC_OUTPUT_WINDOW);
            closeBefore = ControlRect(licence, IDCANCEL);
            RECT outer = {};
            ::GetWindowRect(licence, &outer);
            ::SetWindowPos(licence, nullptr, 0, 0, outer.right - outer.left + 120, outer.bottom - outer.top + 80,
                           SWP_NOMOVE | SWP_NOZORDER);
            editAfter = ControlRect(licence, IDC_OUTPUT_WINDOW);
            closeAfter = ControlRect(licence, IDCANCEL);
        });
        ::SendMessageW(about, WM_COMMAND, IDC_VIEW_LICENSE, 0);  // the licence runs modally in here
    });
    Frame().SendMessage(WM_COMMAND, ID_APP_ABOUT);
    ASSERT_TRUE(watcher.AllSeen());

    EXPECT_EQ(aboutWindow, licenceOwner);
    // The rich edit read the RTF: the text is there, the markup is not.
    EXPECT_EQ(0u, text.find(L"Orvandel ZR8 Utility License Agreement")) << std::string(text.begin(), text.end());
    EXPECT_NE(std::wstring::npos, text.find(L"5. No warranty."));
    EXPECT_NE(std::wstring::npos, text.find(L"Copyright (C) Orvandel. All rights reserved."));
    EXPECT_EQ(std::wstring::npos, text.find(L"\\rtf"));
    EXPECT_EQ(std::wstring::npos, text.find(L"\\par"));
    // The text grows with the window; Close keeps to the lower right corner.
    EXPECT_EQ(editBefore.right - editBefore.left + 120, editAfter.right - editAfter.left);
    EXPECT_EQ(editBefore.bottom - editBefore.top + 80, editAfter.bottom - editAfter.top);
    EXPECT_EQ(closeBefore.left + 120, closeAfter.left);
    EXPECT_EQ(closeBefore.top + 80, closeAfter.top);
}

TEST(LicenceDocument, IsAnRtfResourceOfType256EndedByANullByte)
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceExW(module, MAKEINTRESOURCEW(256), MAKEINTRESOURCEW(10002), 1033);
    ASSERT_NE(nullptr, found);
    const DWORD size = ::SizeofResource(module, found);
    const char* data = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
    ASSERT_NE(nullptr, data);
    ASSERT_GT(size, 6u);
    EXPECT_EQ(0, data[size - 1]);
    EXPECT_EQ(std::string("{\\rtf1"), std::string(data, 6));
    const std::string document = LoadLicenceDocument();
    EXPECT_EQ(size - 1, document.size());
    EXPECT_EQ(std::string::npos, document.find('\0'));
}

// A firmware folder of the test's own, removed afterwards.
class CTempFolder {
public:
    CTempFolder()
    {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        m_path = std::wstring(temp) + L"zr8-notes-" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~CTempFolder()
    {
        ::DeleteFileW(NotesPath().c_str());
        ::RemoveDirectoryW(m_path.c_str());
    }
    const std::wstring& Path() const { return m_path; }
    std::wstring NotesPath() const { return m_path + L"\\zr8fwnotes.rtf"; }
    void WriteNotes(const std::string& rtf) const
    {
        std::ofstream out(NotesPath().c_str(), std::ios::binary);
        out << rtf;
    }

private:
    std::wstring m_path;
};

TEST_F(FrameTest, ReleaseNotesTwiceInARowLeaveExactlyOneWindow)
{
    CTempFolder folder;
    folder.WriteNotes("{\\rtf1\\ansi {\\b Version 01.17}\\par Squelch opens faster on weak signals.\\par}");
    Start();
    Model().m_firmwareFolder.Set(folder.Path());

    Frame().SendMessage(WM_COMMAND, ID_HELP_RELEASE_NOTES);
    HWND first = Frame().ReleaseNotesWindow();
    ASSERT_NE(nullptr, first);
    Frame().SendMessage(WM_COMMAND, ID_HELP_RELEASE_NOTES);
    HWND second = Frame().ReleaseNotesWindow();
    ASSERT_NE(nullptr, second);

    EXPECT_FALSE(::IsWindow(first) && first != second);
    EXPECT_EQ(1, CountThreadWindows(kNotesTitle));
    EXPECT_TRUE(::IsWindowVisible(second));
    // A top-level window of its own: the desktop is its parent and nothing owns it.
    EXPECT_EQ(::GetDesktopWindow(), ::GetAncestor(second, GA_PARENT));
    EXPECT_EQ(nullptr, ::GetWindow(second, GW_OWNER));
    const std::wstring text = ControlText(second, IDC_OUTPUT_WINDOW);
    EXPECT_NE(std::wstring::npos, text.find(L"Version 01.17")) << std::string(text.begin(), text.end());
    EXPECT_NE(std::wstring::npos, text.find(L"Squelch opens faster"));
    EXPECT_EQ(std::wstring::npos, text.find(L"\\rtf"));
    EXPECT_TRUE(m_boxes.empty());

    // Close destroys the window; closing the frame destroys one that is still open.
    ::SendMessageW(second, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(::IsWindow(second));
    EXPECT_EQ(nullptr, Frame().ReleaseNotesWindow());
    Frame().SendMessage(WM_COMMAND, ID_HELP_RELEASE_NOTES);
    HWND third = Frame().ReleaseNotesWindow();
    ASSERT_NE(nullptr, third);
    Close();
    EXPECT_FALSE(::IsWindow(third));
    EXPECT_EQ(0, CountThreadWindows(kNotesTitle));
}

TEST_F(FrameTest, ReleaseNotesMissingFromTheFolderNameTheFullPathTried)
{
    CTempFolder folder;
    Start();
    Model().m_firmwareFolder.Set(folder.Path());
    std::wstring caption;
    UINT type = 0;
    HWND owner = nullptr;
    MessageBoxes::Handler previous = MessageBoxes::SetHandler(
        [&](HWND boxOwner, const std::wstring& text, const std::wstring& boxCaption, UINT boxType) {
            m_boxes.push_back(text);
            caption = boxCaption;
            type = boxType;
            owner = boxOwner;
            return IDOK;
        });
    Frame().SendMessage(WM_COMMAND, ID_HELP_RELEASE_NOTES);
    MessageBoxes::SetHandler(previous);

    ASSERT_EQ(1u, m_boxes.size());
    EXPECT_EQ(L"Unable to open Firmware Release Notes \"" + folder.NotesPath() + L"\"", m_boxes[0]);
    EXPECT_EQ(L"Release Notes Error", caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), type & MB_ICONMASK);
    EXPECT_EQ(Frame().m_hWnd, owner);
    EXPECT_EQ(nullptr, Frame().ReleaseNotesWindow());
    EXPECT_EQ(0, CountThreadWindows(kNotesTitle));
}

TEST_F(FrameTest, ReleaseNotesThatCannotBeReadGiveTheSameBoxAndNoWindow)
{
    CTempFolder folder;
    folder.WriteNotes("{\\rtf1 locked\\par}");
    // Another program holds the file open without sharing it.
    HANDLE locked = ::CreateFileW(folder.NotesPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, locked);
    Start();
    Model().m_firmwareFolder.Set(folder.Path());
    Frame().SendMessage(WM_COMMAND, ID_HELP_RELEASE_NOTES);
    ::CloseHandle(locked);

    ASSERT_EQ(1u, m_boxes.size());
    EXPECT_EQ(L"Unable to open Firmware Release Notes \"" + folder.NotesPath() + L"\"", m_boxes[0]);
    EXPECT_EQ(nullptr, Frame().ReleaseNotesWindow());
    EXPECT_EQ(0, CountThreadWindows(kNotesTitle));
}

}  // namespace
