// The save dialog end to end against the simulated radio: the file dialog it asks, the
// file it writes, cancel during the read, a radio that stops answering, and the one
// retry in the default folder.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "config/config_file_reader.h"
#include "config/config_names.h"
#include "config/configuration_folder.h"
#include "config/restore_records.h"
#include "config_windows_fixture.h"
#include "platform/folders.h"
#include "ui/dialogs/config_save_dlg.h"

namespace {

using ConfigSaveDialogTest = ConfigWindowsTest;

const wchar_t kSaveCaption[] = L"Save Configuration";
const wchar_t kCancelled[] = L"Save configuration was cancelled";

// The 1024 bytes of the file's memory lines.
std::vector<uint8_t> MemoryOf(const std::string& text)
{
    std::vector<uint8_t> image(0x400, 0);
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        unsigned high = 0, low = 0, count = 0;
        char data[80] = {};
        if (std::sscanf(line.c_str(), "MEM2 %2x %2x %2x %70s", &high, &low, &count, data) != 4)
            continue;
        for (unsigned i = 0; i < count; ++i) {
            unsigned value = 0;
            std::sscanf(data + 2 * i, "%2x", &value);
            image.at(high * 256 + low + i) = static_cast<uint8_t>(value);
        }
    }
    return image;
}

std::vector<uint8_t> RadioConfiguration(CSimEeprom& eeprom)
{
    return std::vector<uint8_t>(eeprom.Bytes().begin(), eeprom.Bytes().begin() + 0x400);
}

TEST_F(ConfigSaveDialogTest, WritesAFileTheCheckAcceptsWithTheRadiosBytes)
{
    Start();
    const std::wstring path = TempPath(L"saved.ZR8Config");
    fileAnswers.push_back(Choose(path));
    CSaveTime saveTime;
    {
        CConfigSaveDlg dialog(Model());
        EXPECT_EQ(1, dialog.DoModal(Host()));
        saveTime = dialog.SaveTime();
    }  // the dialog writes "ConfigurationFolder" back as it goes

    ASSERT_EQ(1u, fileRequests.size());
    const FileRequest& asked = fileRequests[0];
    EXPECT_EQ(FileDialogs::Kind::SaveAs, asked.kind);
    EXPECT_NE(nullptr, asked.owner);
    EXPECT_NE(Host(), asked.owner) << "owned by the progress dialog";
    EXPECT_EQ(Folders::Join(ConfigNames::DefaultFolder(), ConfigNames::DefaultFileName(12345, saveTime)),
              asked.file);
    EXPECT_NE(std::wstring::npos, asked.file.find(L"\\SN12345.")) << asked.file;
    EXPECT_EQ(L"ZR8 Configuration File (*.ZR8Config)|*.ZR8Config|All Files (*.*)|*.*|", asked.filter);
    EXPECT_EQ(L"ZR8Config", asked.defaultExtension);
    EXPECT_EQ(FileDialogs::kSaveAsFlags, asked.flags);
    EXPECT_EQ(260u, asked.fileChars);

    EXPECT_TRUE(Logged(L"Configuration was saved"));
    EXPECT_TRUE(boxes.empty());
    const std::string text = ReadWholeFile(path);
    EXPECT_EQ(RadioConfiguration(Eeprom()), MemoryOf(text));
    CRestoreRecords records;
    CConfigReadContext check;  // as "zr8 check" reads it: no radio
    check.records = &records;
    EXPECT_EQ(0u, ReadConfigurationFile(path, check));
    EXPECT_EQ(5u, records.Count());
    EXPECT_EQ(12345, check.serialNumberInFile);
    EXPECT_EQ(16u, CountWrites("ER")) << "four ranges of 256 bytes in blocks of 64";
    EXPECT_EQ(1u, CountWrites("TT0;"));

    CConfigurationFolder stored(Model().SettingsKey(), CConfigurationFolder::WriteBack::No);
    EXPECT_EQ(Folder(), stored.Get()) << "the folder used is remembered";
}

TEST_F(ConfigSaveDialogTest, WithoutASerialNumberTheNameAndTheFileHaveNone)
{
    Start();
    Model().m_serialNumber.Set(0xFFFF);
    const std::wstring path = TempPath(L"nosn.ZR8Config");
    fileAnswers.push_back(Choose(path));
    CConfigSaveDlg dialog(Model());
    EXPECT_EQ(1, dialog.DoModal(Host()));
    ASSERT_EQ(1u, fileRequests.size());
    const std::wstring name = ConfigNames::DefaultFileName(0xFFFF, dialog.SaveTime());
    EXPECT_EQ(std::wstring::npos, fileRequests[0].file.find(L"SN"));
    EXPECT_EQ(name, std::filesystem::path(fileRequests[0].file).filename().wstring());
    const std::string text = ReadWholeFile(path);
    EXPECT_EQ(std::string::npos, text.find("Serial Number")) << text;
    CRestoreRecords records;
    CConfigReadContext check;
    check.records = &records;
    EXPECT_EQ(0u, ReadConfigurationFile(path, check));
    EXPECT_EQ(-1, check.serialNumberInFile);
}

TEST_F(ConfigSaveDialogTest, CancelDuringTheReadLogsTwiceAndWritesNoFile)
{
    AddFault("late=40");
    Start();
    const std::wstring path = TempPath(L"cancelled.ZR8Config");
    fileAnswers.push_back(Choose(path));
    int barMaximum = -1;
    bool waitCursor = false;
    CConfigSaveDlg dialog(Model());
    Script({{[&] { return FindDialog(kSaveCaption) != nullptr && ProgressPosition(FindDialog(kSaveCaption)) > 0; },
             [&] {
                 barMaximum = ProgressMaximum(FindDialog(kSaveCaption));
                 waitCursor = dialog.WaitCount() == 1;
                 PostMessageW(FindDialog(kSaveCaption), WM_COMMAND, IDCANCEL, 0);
             }}});
    EXPECT_EQ(2, dialog.DoModal(Host()));
    ASSERT_TRUE(ScriptDone());
    EXPECT_EQ(32, barMaximum);
    EXPECT_TRUE(waitCursor);
    EXPECT_EQ(0u, dialog.WaitCount());
    EXPECT_EQ(2u, CountLogged(kCancelled)) << "once on the button, once at the completion";
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ConfigSaveDialogTest, ASilentRadioFailsTheSaveAndLeavesAnEarlierFileAlone)
{
    AddFault("silent=6");  // answers the contact, then nothing
    Start();
    const std::wstring path = TempPath(L"earlier.ZR8Config");
    WriteWholeFile(path, "an earlier file\r\n");
    fileAnswers.push_back(Choose(path));
    Script({{[] { return FindDialog(kSaveCaption) != nullptr && ButtonText(FindDialog(kSaveCaption), IDCANCEL) == L"Close"; },
             [] { PostMessageW(FindDialog(kSaveCaption), WM_COMMAND, IDCANCEL, 0); }}});
    CConfigSaveDlg dialog(Model());
    EXPECT_EQ(2, dialog.DoModal(Host()));
    ASSERT_TRUE(ScriptDone());
    EXPECT_TRUE(Logged(L"Failed to save configuration"));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Save Configuration Error", boxes[0].caption);
    EXPECT_EQ(UINT(MB_ICONERROR), boxes[0].type);
    EXPECT_EQ(1u, CountLogged(kCancelled)) << "the Close button logs the line too";
    EXPECT_EQ("an earlier file\r\n", ReadWholeFile(path));
}

TEST_F(ConfigSaveDialogTest, AnInvalidNameIsOfferedOnceMoreInTheDefaultFolder)
{
    struct Case {
        const char* name;
        std::vector<int> answers;  // 0 choose, 1 invalid name, 2 cancel
        size_t requests;
        int result;
    };
    const Case cases[] = {
        {"invalid_then_chosen", {1, 0}, 2, 1},
        {"invalid_twice", {1, 1}, 2, 3},
        {"invalid_then_cancel", {1, 2}, 2, 2},
        {"cancel", {2}, 1, 2},
    };
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A stored folder so long that the proposal does not fit the 260-character buffer.
        const std::wstring longFolder = TempPath(std::wstring(240, L'f'));
        {
            CConfigurationFolder stored(Model().SettingsKey());
            stored.Set(longFolder);
        }
        fileRequests.clear();
        logLines.clear();
        const std::wstring path = TempPath(std::wstring(L"retry-") + std::wstring(c.name, c.name + strlen(c.name)) +
                                           L".ZR8Config");
        for (int a : c.answers)
            fileAnswers.push_back(a == 0 ? Choose(path) : Refuse(a == 1 ? kFileNameInvalid : 0));
        CConfigSaveDlg dialog(Model());
        EXPECT_EQ(c.result, dialog.DoModal(Host()));
        ASSERT_EQ(c.requests, fileRequests.size());
        EXPECT_EQ(259u, fileRequests[0].file.size()) << "cut to the buffer";
        EXPECT_EQ(0u, fileRequests[0].file.find(longFolder.substr(0, 200)));
        if (c.requests > 1) {
            EXPECT_EQ(Folders::Join(ConfigNames::DefaultFolder(), ConfigNames::DefaultFileName(12345, dialog.SaveTime())),
                      fileRequests[1].file);
        }
        EXPECT_EQ(c.result == 1, std::filesystem::exists(path));
        EXPECT_TRUE(fileAnswers.empty());
    }
}

}  // namespace
