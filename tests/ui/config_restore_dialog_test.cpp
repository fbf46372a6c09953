// The restore dialog end to end against the simulated radio: the records of a standard
// file and its progress, the reader's boxes for bad files (the radio untouched), the
// interruption question, another radio's file, and the success reported only after the
// radio has been contacted again.
#include <windows.h>

#include <filesystem>

#include "config/configuration_folder.h"
#include "config_test_support.h"
#include "config_windows_fixture.h"
#include "core/model/contact_state_machine.h"
#include "core/text/error_text.h"
#include "ui/dialogs/config_restore_dlg.h"

namespace {

using ConfigRestoreDialogTest = ConfigWindowsTest;

const wchar_t kRestoreCaption[] = L"Restore Configuration";

bool Protected(uint32_t address)
{
    return (address >= 0x0C0 && address <= 0x0C1) || (address >= 0x0FB && address <= 0x0FF);
}

bool TouchesProtectedBytes(const std::vector<CEepromWrite>& log)
{
    for (const CEepromWrite& w : log)
        for (uint32_t a = w.address; a < w.address + w.bytes.size(); ++a)
            if (Protected(a))
                return true;
    return false;
}

TEST_F(ConfigRestoreDialogTest, AStandardFileIsWrittenAndReportedAfterContact)
{
    AddFault("late=10");
    Start();
    const std::vector<BYTE> image = PatternImage();
    const std::wstring path = TempPath(L"standard.ZR8Config");
    WriteWholeFile(path, StandardFileText(image, 12345));
    const std::vector<uint8_t> before = Eeprom().Bytes();
    {
        CConfigurationFolder stored(Model().SettingsKey());
        stored.Set(Folder());
    }
    fileAnswers.push_back(Choose(path));
    int barMaximum = -1;
    Script({{[] { return FindDialog(kRestoreCaption) != nullptr && ProgressPosition(FindDialog(kRestoreCaption)) > 0; },
             [&] { barMaximum = ProgressMaximum(FindDialog(kRestoreCaption)); }}});
    CConfigRestoreDlg dialog(Model());
    EXPECT_EQ(1, dialog.DoModal(Host()));

    ASSERT_EQ(1u, fileRequests.size());
    EXPECT_EQ(FileDialogs::Kind::Open, fileRequests[0].kind);
    EXPECT_EQ(FileDialogs::kOpenFlags, fileRequests[0].flags);
    EXPECT_EQ(L"ZR8 Configuration File (*.ZR8Config)|*.ZR8Config|All Files (*.*)|*.*|", fileRequests[0].filter);
    EXPECT_EQ(L"ZR8Config", fileRequests[0].defaultExtension);
    EXPECT_EQ(260u, fileRequests[0].fileChars);
    EXPECT_EQ(256u, fileRequests[0].titleChars);
    EXPECT_EQ(Folder(), fileRequests[0].initialFolder);

    const CRestoreRecords& records = dialog.Machine().Records();
    ASSERT_EQ(5u, records.Count());
    const size_t lengths[] = {192, 57, 256, 256, 256};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(lengths[i], records.At(i).Length()) << "record " << i;
    EXPECT_EQ(31, barMaximum);
    for (uint32_t a = 0; a < 0x400; ++a)
        ASSERT_EQ(Protected(a) ? before[a] : image[a], Eeprom().At(a)) << "address " << a;

    // The success is logged once the radio has been found and identified again.
    const int restored = EventIndex("log:Configuration was restored");
    ASSERT_GE(restored, 0);
    int lastBlock = -1;
    for (int i = EventIndex("write:EW", true); i >= 0; i = EventIndex("write:EW", true, i + 1))
        lastBlock = i;
    ASSERT_GE(lastBlock, 0);
    const int identify = EventIndex("write:I;", false, lastBlock);
    ASSERT_GE(identify, 0) << "contact after the restore";
    EXPECT_LT(identify, restored);
    EXPECT_EQ(FirmwareStatusApplication, Model().m_firmwareStatus.Get());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(0u, dialog.WaitCount());
}

TEST_F(ConfigRestoreDialogTest, AFailedContactAfterTheRestoreIsWhatTheDialogReports)
{
    // Six answers for the contact, one for the speed search, sixteen block writes; the
    // radio is silent from then on, so the contact that follows the restore fails.
    AddFault("silent=23");
    Start();
    const std::vector<BYTE> image = PatternImage();
    const std::wstring path = TempPath(L"standard.ZR8Config");
    WriteWholeFile(path, StandardFileText(image, 12345));
    fileAnswers.push_back(Choose(path));
    Script({{[] { return FindDialog(kRestoreCaption) != nullptr && ButtonText(FindDialog(kRestoreCaption), IDCANCEL) == L"Close"; },
             [] { PostMessageW(FindDialog(kRestoreCaption), WM_COMMAND, IDCANCEL, 0); }}});
    CConfigRestoreDlg dialog(Model());
    EXPECT_EQ(3, dialog.DoModal(Host()));
    ASSERT_TRUE(ScriptDone());
    EXPECT_EQ(16u, CountWrites("EW"));
    EXPECT_EQ(image[0x3FF], Eeprom().At(0x3FF)) << "the restore itself went through";
    const DWORD contact = Model().ContactMachine().Result();
    EXPECT_NE(0u, contact);
    EXPECT_EQ(contact, dialog.LastResult());
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Restore Configuration Error", boxes[0].caption);
    EXPECT_EQ(GetErrorText(contact), boxes[0].text);
    EXPECT_TRUE(Logged(L"Failed to restore configuration"));
    EXPECT_FALSE(Logged(L"Configuration was restored"));
}

TEST_F(ConfigRestoreDialogTest, CancellingTheFileChoiceEndsWithOne)
{
    Start();
    CConfigRestoreDlg dialog(Model());
    EXPECT_EQ(1, dialog.DoModal(Host()));
    EXPECT_EQ(1u, fileRequests.size());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(0u, CountWrites(""));
}

TEST_F(ConfigRestoreDialogTest, ABadFileShowsItsBoxAndLeavesTheRadioAndTheDialogAlone)
{
    const std::string good = StandardFileText(PatternImage(), 12345);
    std::string altered = good;
    altered[altered.find("MEM2 01 00 20 ") + 20] ^= 1;
    struct Case {
        const char* name;
        std::string contents;  // empty: no file at all
        const wchar_t* caption;
        const wchar_t* textStart;
        bool locked = false;   // another program holds the file open without sharing
    };
    const Case cases[] = {
        {"altered", altered, L"Restore Configuration Error", L"The configuration file has been altered"},
        {"truncated", good.substr(0, good.size() / 2), L"Restore Configuration Error",
         L"The configuration file is incomplete"},
        {"other_format", "[Settings]\r\nName=ZR8\r\n", L"Restore Configuration Error",
         L"The configuration file is incomplete"},
        {"huge", std::string(100u * 1024 * 1024, 'A') + "\r\n", L"Restore Configuration Error",
         L"The configuration file is incomplete"},
        {"missing", "", L"Configuration file read error", L"CreateFile failed on"},
        {"unreadable", good, L"Configuration file read error", L"CreateFile failed on", true},
    };
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.clear();
        events.clear();
        const std::wstring path = TempPath(std::wstring(c.name, c.name + strlen(c.name)) + L".ZR8Config");
        if (!c.contents.empty())
            WriteWholeFile(path, c.contents);
        HANDLE lock = c.locked ? CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr)
                               : INVALID_HANDLE_VALUE;
        fileAnswers.push_back(Choose(path));
        bool idleAndOpen = false;
        CConfigRestoreDlg dialog(Model());
        Script({{[&] { return !boxes.empty() && FindDialog(kRestoreCaption) != nullptr; },
                 [&] {
                     idleAndOpen = dialog.Machine().IsIdle() && dialog.WaitCount() == 0;
                     PostMessageW(FindDialog(kRestoreCaption), WM_COMMAND, IDCANCEL, 0);
                 }}});
        EXPECT_EQ(1, dialog.DoModal(Host()));
        EXPECT_TRUE(ScriptDone());
        EXPECT_TRUE(idleAndOpen);
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(c.caption, boxes[0].caption);
        EXPECT_EQ(0u, boxes[0].text.find(c.textStart)) << boxes[0].text;
        EXPECT_EQ(0u, CountWrites("")) << "the radio is not touched";
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    EXPECT_TRUE(Eeprom().WriteLog().empty());
}

TEST_F(ConfigRestoreDialogTest, TheInterruptionQuestionDecides)
{
    struct Case {
        const char* name;
        int answer;
        int result;
        const wchar_t* logged;
    };
    const Case cases[] = {
        {"no_runs_on", IDNO, 1, L"Configuration was restored"},
        {"yes_stops", IDYES, 2, L"Restore configuration was cancelled"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        radio = CSimOptions();
        AddFault("late=30");
        TearDown();
        SetUp();
        Start();
        const std::wstring path = TempPath(L"interrupted.ZR8Config");
        WriteWholeFile(path, StandardFileText(PatternImage(), 12345));
        fileAnswers.push_back(Choose(path));
        onBox = [&](const ShownBox& box) { return box.text == L"Are you sure you wish to interrupt configuration restore?" ? c.answer : IDOK; };
        Script({{[] { return FindDialog(kRestoreCaption) != nullptr && ProgressPosition(FindDialog(kRestoreCaption)) > 0; },
                 [] { PostMessageW(FindDialog(kRestoreCaption), WM_COMMAND, IDCANCEL, 0); }}});
        CConfigRestoreDlg dialog(Model());
        EXPECT_EQ(c.result, dialog.DoModal(Host()));
        ASSERT_TRUE(ScriptDone());
        ASSERT_GE(boxes.size(), 1u);
        EXPECT_EQ(L"Critical Operation in Progress", boxes[0].caption);
        EXPECT_EQ(UINT(MB_YESNO | MB_ICONWARNING), boxes[0].type);
        EXPECT_TRUE(Logged(c.logged));
        if (c.answer == IDYES) {
            ASSERT_EQ(2u, boxes.size());
            EXPECT_EQ(L"Restore was cancelled. Turn power off and back on, then restore configuration.", boxes[1].text);
            EXPECT_LT(Eeprom().WriteLog().size(), 16u) << "stopped before the end";
        } else {
            EXPECT_EQ(1u, boxes.size());
            EXPECT_EQ(PatternImage()[0x3FF], Eeprom().At(0x3FF)) << "ran to the end";
        }
    }
}

// The user answers the question only after the restore has finished (the radio written
// to the end and found again): Yes then stops nothing, and the dialog says what happened.
TEST_F(ConfigRestoreDialogTest, ARestoreThatEndsWhileTheQuestionIsOpenIsReportedAsRestored)
{
    AddFault("late=10");
    Start();
    const std::wstring path = TempPath(L"raced.ZR8Config");
    WriteWholeFile(path, StandardFileText(PatternImage(), 12345));
    fileAnswers.push_back(Choose(path));
    bool restoredBeforeTheAnswer = false;
    onBox = [&](const ShownBox& box) {
        if (box.text != L"Are you sure you wish to interrupt configuration restore?")
            return IDOK;
        restoredBeforeTheAnswer = RunUntil([&] { return Logged(L"Configuration was restored"); });
        return IDYES;
    };
    Script({{[] { return FindDialog(kRestoreCaption) != nullptr && ProgressPosition(FindDialog(kRestoreCaption)) > 0; },
             [] { PostMessageW(FindDialog(kRestoreCaption), WM_COMMAND, IDCANCEL, 0); }}});
    CConfigRestoreDlg dialog(Model());
    EXPECT_EQ(1, dialog.DoModal(Host()));
    ASSERT_TRUE(ScriptDone());
    EXPECT_TRUE(restoredBeforeTheAnswer);
    ASSERT_EQ(1u, boxes.size()) << "the question, and no \"Restore was cancelled\" box";
    EXPECT_FALSE(Logged(L"Restore configuration was cancelled"));
    EXPECT_EQ(PatternImage()[0x3FF], Eeprom().At(0x3FF)) << "written to the end";
}

TEST_F(ConfigRestoreDialogTest, AnotherRadiosFileNeverWritesTheProtectedBytes)
{
    struct Case {
        const char* name;
        bool advancedMode;
        int result;
        bool written;
    };
    const Case cases[] = {
        {"refused", false, 1, false},
        {"accepted_in_advanced_mode", true, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Start();
        Model().m_advancedMode.Set(c.advancedMode ? 1 : 0);
        std::vector<BYTE> image = PatternImage();
        for (uint32_t a = 0; a < 0x400; ++a)
            if (Protected(a))
                image[a] = 0x5A;
        const std::wstring path = TempPath(L"other-radio.ZR8Config");
        WriteWholeFile(path, StandardFileText(image, 54321));
        fileAnswers.push_back(Choose(path));
        onBox = [](const ShownBox& box) { return (box.type & 0xF) == MB_YESNO ? IDYES : IDOK; };
        Script({{[&] { return FindDialog(kRestoreCaption) != nullptr && !c.written && !boxes.empty(); },
                 [] { PostMessageW(FindDialog(kRestoreCaption), WM_COMMAND, IDCANCEL, 0); }}});
        CConfigRestoreDlg dialog(Model());
        EXPECT_EQ(c.result, dialog.DoModal(Host()));
        ASSERT_GE(boxes.size(), 1u);
        EXPECT_EQ(L"Serial Number Mismatch", boxes[0].caption);
        EXPECT_EQ(c.written, !Eeprom().WriteLog().empty());
        EXPECT_FALSE(TouchesProtectedBytes(Eeprom().WriteLog()));
        if (c.written) {
            EXPECT_EQ(image[0x3FF], Eeprom().At(0x3FF));
        }
    }
}

}  // namespace
