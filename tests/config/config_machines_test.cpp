// The save, restore and banner machines against the simulated radio.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "config/banner_page_logic.h"
#include "config/banner_state_machine.h"
#include "config/config_file_writer.h"
#include "config/config_operation.h"
#include "config/config_restore_state_machine.h"
#include "config/config_save_state_machine.h"
#include "config/configuration_folder.h"
#include "config_machine_fixture.h"
#include "config_test_support.h"
#include "platform/message_loop.h"
#include "core/text/error_codes.h"
#include "core/text/error_text.h"
#include "core/text/string_table.h"
#include "platform/folders.h"
#include "tests/platform/temp_folder.h"

namespace {

std::vector<uint8_t> ConfigArea(const CSimEeprom& eeprom) {
    return std::vector<uint8_t>(eeprom.Bytes().begin(), eeprom.Bytes().begin() + 0x400);
}

CSaveTime SomeTime() {
    CSaveTime t;
    t.year = 2024, t.month = 2, t.day = 29, t.hour = 23, t.minute = 59, t.second = 58;
    return t;
}

class ConfigSaveRestoreTest : public ConfigMachineTest {
protected:
    // A save as the dialog runs it; the completion's result after the file is written.
    DWORD Save(const std::wstring& path) {
        CConfigSaveStateMachine machine(*model);
        model->AttachOperation(&machine);
        EXPECT_TRUE(machine.Start(dialog.Handle()));
        EXPECT_TRUE(RunToCompletion());
        model->DetachOperation();
        return CompleteConfigSave(completions.back(), machine, nullptr, path, SomeTime(),
                                  CConfigFileHeader::FromModel(*model));
    }
    CBoxRecorder boxes;
    CTempFolder folder;
};

TEST_F(ConfigSaveRestoreTest, SaveThenRestoreGivesBackTheSameEeprom) {
    Connect();
    const std::vector<uint8_t> original = ConfigArea(Eeprom());
    const std::wstring path = folder.WidePath() + L"/radio.ZR8Config";

    ASSERT_EQ(Save(path), 0u);
    EXPECT_EQ(CountWrites("TT0;"), 1u);
    EXPECT_EQ(CountWrites("ER"), 16u) << "four ranges of four 64-byte blocks";
    ASSERT_FALSE(progressRanges.empty());
    EXPECT_EQ(progressRanges.back(), MAKELONG(0, 32));
    EXPECT_EQ(progress.back(), 32u);
    EXPECT_TRUE(boxes.boxes.empty());

    // Everything the radio lets us write is changed, then restored from the file.
    std::vector<uint8_t> scrambled(0x400);
    for (size_t a = 0; a < scrambled.size(); ++a) scrambled[a] = uint8_t(original[a] ^ 0x5A);
    Eeprom().Fill(0, scrambled);
    for (DWORD a : {0x0C0u, 0x0C1u, 0x0FBu, 0x0FCu, 0x0FDu, 0x0FEu, 0x0FFu})
        Eeprom().Fill(a, {original[a]});
    progress.clear();
    progressRanges.clear();
    writes.clear();

    CConfigRestoreStateMachine restore(*model);
    ASSERT_EQ(restore.ReadFile(path, dialog.Handle()), 0u);
    ASSERT_EQ(restore.Records().Count(), 5u);
    const DWORD lengths[] = {192, 57, 256, 256, 256};
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(restore.Records().At(i).Length(), lengths[i]) << i;
    model->AttachOperation(&restore);
    ASSERT_TRUE(restore.Start(dialog.Handle()));
    ASSERT_TRUE(RunToCompletion());

    EXPECT_EQ(completions.back(), 0u);
    EXPECT_EQ(ConfigArea(Eeprom()), original);
    EXPECT_EQ(progressRanges.back(), MAKELONG(0, 31));
    EXPECT_EQ(restore.ProgressPosition(), 1017u);
    // The restore itself sends no "TT0;"; its completion comes through a fresh contact,
    // which identifies the radio after the last block.
    const auto lastBlock = std::find_if(writes.rbegin(), writes.rend(),
                                        [](const std::string& w) { return w.rfind("EW", 0) == 0; }).base();
    EXPECT_EQ(std::count(writes.begin(), lastBlock, std::string("TT0;")), 0);
    EXPECT_EQ(std::count(writes.begin(), lastBlock, std::string("I;")), 0);
    EXPECT_EQ(std::count(lastBlock, writes.end(), std::string("I;")), 1);
    EXPECT_EQ(model->AttachedOperation(), nullptr);
    EXPECT_EQ(model->m_firmwareStatus.Get(), FirmwareStatusApplication);
}

TEST_F(ConfigSaveRestoreTest, AnotherRadiosFileNeverReachesTheProtectedBytes) {
    // A file from a radio with other contents everywhere, accepted in advanced mode.
    std::vector<BYTE> foreign = PatternImage();
    const std::string text = StandardFileText(foreign, 4321);
    const auto path = folder.Path() / "other.ZR8Config";
    CTempFolder::WriteText(path, text);

    Connect();
    const std::vector<uint8_t> before = ConfigArea(Eeprom());
    model->m_advancedMode.Set(1);
    boxes.answers = {IDYES};
    CConfigRestoreStateMachine restore(*model);
    ASSERT_EQ(restore.ReadFile(path.wstring(), dialog.Handle()), 0u);
    EXPECT_TRUE(restore.SerialNumberMismatch());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].type, 0x134u);
    model->AttachOperation(&restore);
    ASSERT_TRUE(restore.Start(dialog.Handle()));
    ASSERT_TRUE(RunToCompletion());
    ASSERT_EQ(completions.back(), 0u);

    for (const CEepromWrite& w : Eeprom().WriteLog()) {
        const uint32_t end = w.address + uint32_t(w.bytes.size());
        EXPECT_FALSE(w.address < 0x0C2 && end > 0x0C0) << std::hex << w.address;
        EXPECT_FALSE(w.address < 0x100 && end > 0x0FB) << std::hex << w.address;
    }
    const std::vector<uint8_t> after = ConfigArea(Eeprom());
    for (DWORD a = 0; a < 0x400; ++a) {
        const bool protectedByte = (a >= 0x0C0 && a <= 0x0C1) || (a >= 0x0FB && a <= 0x0FF);
        EXPECT_EQ(after[a], protectedByte ? before[a] : foreign[a]) << std::hex << a;
    }
}

TEST_F(ConfigSaveRestoreTest, RepeatedAddressIsWrittenTwiceInFileOrder) {
    const auto path = folder.Path() / "repeats.ZR8Config";
    CTempFolder::WriteText(path, Sealed({"*hand made", "MEM2 01 00 02 AABB", "MEM2 01 01 02 CCDD"}));
    Connect();
    CConfigRestoreStateMachine restore(*model);
    ASSERT_EQ(restore.ReadFile(path.wstring(), dialog.Handle()), 0u);
    model->AttachOperation(&restore);
    ASSERT_TRUE(restore.Start(dialog.Handle()));
    ASSERT_TRUE(RunToCompletion());
    ASSERT_EQ(completions.back(), 0u);
    const std::vector<CEepromWrite>& log = Eeprom().WriteLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].address, 0x100u);
    EXPECT_EQ(log[0].bytes, (std::vector<uint8_t>{0xAA, 0xBB}));
    EXPECT_EQ(log[1].address, 0x101u);
    EXPECT_EQ(log[1].bytes, (std::vector<uint8_t>{0xCC, 0xDD}));
    EXPECT_EQ(Eeprom().At(0x101), 0xCC) << "the later line wins";
}

TEST_F(ConfigSaveRestoreTest, MismatchWithoutAdvancedModeTouchesNothing) {
    const auto path = folder.Path() / "other.ZR8Config";
    CTempFolder::WriteText(path, StandardFileText(PatternImage(), 4321));
    Connect();
    CConfigRestoreStateMachine restore(*model);
    EXPECT_EQ(restore.ReadFile(path.wstring(), dialog.Handle()), Zr8Error::ConfigSerialMismatch);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].type, UINT(MB_ICONERROR));
    EXPECT_TRUE(writes.empty());
}

TEST_F(ConfigSaveRestoreTest, CancelledSaveWritesNoFile) {
    Connect();
    const std::wstring path = folder.WidePath() + L"/cancelled.ZR8Config";
    CConfigSaveStateMachine machine(*model);
    model->AttachOperation(&machine);
    ASSERT_TRUE(machine.Start(dialog.Handle()));
    ASSERT_TRUE(MessageLoop::RunUntil([&] { return machine.ProgressPosition() >= 256; }, kLongEnoughMs));
    const CConfigDialogStep pressed = OnConfigSaveCancel(dialog.Handle(), machine);
    EXPECT_FALSE(pressed.endDialog) << "the dialog waits for the machine to stop";
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions.back(), DWORD(ERROR_CANCELLED));
    EXPECT_LT(CountWrites("ER"), 16u);
    const DWORD r = CompleteConfigSave(completions.back(), machine, nullptr, path, SomeTime(),
                                       CConfigFileHeader::FromModel(*model));
    EXPECT_EQ(r, DWORD(ERROR_CANCELLED));
    EXPECT_EQ(ConfigDialogResult(r), 2);
    CConfigurationFolder folderValue(model->SettingsKey(), CConfigurationFolder::WriteBack::No);
    const CConfigDialogStep done = OnConfigSaveComplete(dialog.Handle(), completions.back(), machine, path,
                                                        SomeTime(), CConfigFileHeader::FromModel(*model), folderValue);
    EXPECT_TRUE(done.endDialog);
    EXPECT_EQ(done.dialogResult, 2);
    EXPECT_EQ(logLines, std::vector<std::wstring>(2, L"Save configuration was cancelled"))
        << "once on the button, once at completion";
    EXPECT_FALSE(std::filesystem::exists(CTempFolder::FromWide(path)));
    EXPECT_FALSE(RequestCancel(machine)) << "an idle machine has nothing to cancel";
}

TEST_F(ConfigSaveRestoreTest, FailedSaveLeavesTheEarlierFileUnchanged) {
    AddFault("silent=6");  // answers the contact, then nothing
    Connect();
    const auto path = folder.Path() / "earlier.ZR8Config";
    CTempFolder::WriteText(path, "earlier\r\n");
    const DWORD r = Save(path.wstring());
    EXPECT_TRUE(r == Zr8Error::NoResponseAfterReset || r == Zr8Error::NoResponseReadEeprom) << std::hex << r;
    EXPECT_EQ(ConfigDialogResult(r), 3);
    EXPECT_EQ(CTempFolder::ReadText(path), "earlier\r\n");
}

TEST_F(ConfigSaveRestoreTest, PowerLossDuringRestoreFailsAndDropsTheFirmwareStatus) {
    AddFault("power-loss=@0100:8");
    const auto path = folder.Path() / "radio.ZR8Config";
    CTempFolder::WriteText(path, StandardFileText(PatternImage(), 12345));
    Connect();
    CConfigRestoreStateMachine restore(*model);
    ASSERT_EQ(restore.ReadFile(path.wstring(), dialog.Handle()), 0u);
    model->AttachOperation(&restore);
    ASSERT_TRUE(restore.Start(dialog.Handle()));
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions.back(), Zr8Error::NoResponseWriteEeprom);
    EXPECT_EQ(model->m_firmwareStatus.Get(), FirmwareStatusNone);
    ASSERT_FALSE(Eeprom().WriteLog().empty());
    const CEepromWrite& last = Eeprom().WriteLog().back();
    EXPECT_EQ(last.address, 0x100u);
    EXPECT_EQ(last.bytes.size(), 8u) << "the radio died eight bytes into the block";
    EXPECT_EQ(ConfigDialogResult(completions.back()), 3);
}

TEST_F(ConfigSaveRestoreTest, CancelledRestoreReportsCancelWithoutReconnecting) {
    const auto path = folder.Path() / "radio.ZR8Config";
    CTempFolder::WriteText(path, StandardFileText(PatternImage(), 12345));
    Connect();
    CConfigRestoreStateMachine restore(*model);
    ASSERT_EQ(restore.ReadFile(path.wstring(), dialog.Handle()), 0u);
    model->AttachOperation(&restore);
    ASSERT_TRUE(restore.Start(dialog.Handle()));
    ASSERT_TRUE(RunUntilWrites(3));
    EXPECT_FALSE(restore.Start(dialog.Handle()));
    EXPECT_EQ(GetLastError(), Zr8Error::MachineBusy);

    // The close request asks first; No lets the restore run on.
    boxes.answers = {IDNO};
    EXPECT_FALSE(OnConfigRestoreClose(dialog.Handle(), restore, 0).endDialog);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, L"Are you sure you wish to interrupt configuration restore?");
    EXPECT_EQ(boxes.boxes[0].caption, L"Critical Operation in Progress");
    EXPECT_EQ(boxes.boxes[0].type, 0x34u);
    EXPECT_EQ(restore.Result(), 0u);
    const size_t writesAfterNo = writes.size();
    ASSERT_TRUE(RunUntilWrites(writesAfterNo + 1));

    // Yes stops it and tells the user to switch the radio off and on.
    boxes.answers = {IDYES};
    EXPECT_FALSE(OnConfigRestoreClose(dialog.Handle(), restore, 0).endDialog);
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_EQ(boxes.boxes[2].text, L"Restore was cancelled. Turn power off and back on, then restore configuration.");
    EXPECT_EQ(boxes.boxes[2].type, 0x30u);
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions, std::vector<DWORD>{DWORD(ERROR_CANCELLED)});
    EXPECT_EQ(CountWrites("I;"), 0u);
    EXPECT_EQ(ConfigDialogResult(completions.back()), 2);
    const CConfigDialogStep done = OnConfigRestoreComplete(dialog.Handle(), completions.back());
    EXPECT_TRUE(done.endDialog);
    EXPECT_EQ(done.dialogResult, 2);
    EXPECT_EQ(logLines, std::vector<std::wstring>{L"Restore configuration was cancelled"});
}

// The interrupt question waits for the user while the restore runs on. A restore that
// has written its last record by the time the user answers Yes is not cancelled: no
// "Restore was cancelled" box, and its completion says it was restored.
TEST_F(ConfigSaveRestoreTest, RestoreFinishedWhileTheQuestionIsOpenIsReportedAsRestored) {
    const auto path = folder.Path() / "repeats.ZR8Config";
    CTempFolder::WriteText(path, Sealed({"*hand made", "MEM2 01 00 02 AABB", "MEM2 01 01 02 CCDD"}));
    Connect();
    CConfigRestoreStateMachine restore(*model);
    ASSERT_EQ(restore.ReadFile(path.wstring(), dialog.Handle()), 0u);
    model->AttachOperation(&restore);
    ASSERT_TRUE(restore.Start(dialog.Handle()));
    ASSERT_TRUE(RunUntilWrites(writes.size() + 1));

    // The user reads the question while the restore (and the contact after it) finishes.
    const MessageBoxes::Handler recorder = MessageBoxes::SetHandler(nullptr);
    MessageBoxes::SetHandler([&](HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
        if ((type & 0xF) == MB_YESNO) {
            EXPECT_TRUE(RunToCompletion());
        }
        return recorder(owner, text, caption, type);
    });
    boxes.answers = {IDYES};
    const CConfigDialogStep closed = OnConfigRestoreClose(dialog.Handle(), restore, 0);
    MessageBoxes::SetHandler(recorder);
    EXPECT_FALSE(closed.endDialog) << "the completion ends the dialog";
    ASSERT_EQ(boxes.boxes.size(), 1u) << "the question only";
    EXPECT_EQ(completions, std::vector<DWORD>{0u});
    EXPECT_EQ(Eeprom().At(0x101), 0xCC);
}

// A cancel that arrives while the last block is on its way comes too late to stop
// anything: the radio has been written completely, and the restore says so.
TEST_F(ConfigSaveRestoreTest, CancelDuringTheLastBlockStillCompletesTheRestore) {
    const auto path = folder.Path() / "repeats.ZR8Config";
    CTempFolder::WriteText(path, Sealed({"*hand made", "MEM2 01 00 02 AABB", "MEM2 01 01 02 CCDD"}));
    Connect();
    CConfigRestoreStateMachine restore(*model);
    ASSERT_EQ(restore.ReadFile(path.wstring(), dialog.Handle()), 0u);
    model->AttachOperation(&restore);
    ASSERT_TRUE(restore.Start(dialog.Handle()));
    ASSERT_TRUE(MessageLoop::RunUntil([&] { return CountWrites("EW") >= 2; }, 10000));
    ASSERT_FALSE(restore.IsIdle()) << "the last block's answer has not arrived yet";
    EXPECT_TRUE(RequestCancel(restore));
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions, std::vector<DWORD>{0u});
    EXPECT_EQ(Eeprom().At(0x101), 0xCC);
}

// The save and restore dialogs' own steps, without a radio where none is needed.
class ConfigDialogStepTest : public ConfigMachineTest {
protected:
    ConfigDialogStepTest() {
        // The default folder lies in the application-data folder: keep it in the test's.
        const char* old = std::getenv("XDG_DATA_HOME");
        if (old) m_oldData = old, m_hadData = true;
        setenv("XDG_DATA_HOME", data.Utf8Path().c_str(), 1);
    }
    ~ConfigDialogStepTest() override {
        if (m_hadData)
            setenv("XDG_DATA_HOME", m_oldData.c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }
    std::wstring DefaultFolder() const {
        return Folders::Join(Folders::Join(data.WidePath(), L"Orvandel"), L"ZR8 Configuration");
    }
    CBoxRecorder boxes;
    CTempFolder folder;
    CTempFolder data;

private:
    std::string m_oldData;
    bool m_hadData = false;
};

TEST_F(ConfigDialogStepTest, SaveFileChoiceRetriesAnInvalidNameOnceInTheDefaultFolder) {
    const std::wstring stored = folder.WidePath();
    const std::wstring name = L"SN01234.20240229T235958.ZR8Config";
    const CFileChoice confirm{true, L"chosen.ZR8Config", 0};
    const CFileChoice cancel{false, L"", 0};
    const CFileChoice invalid{false, L"", kFileNameInvalid};
    const CFileChoice otherError{false, L"", 0xFFFF};
    struct Case {
        const char* name;
        std::wstring storedFolder;
        std::vector<CFileChoice> answers;
        std::vector<std::wstring> offered;  // the initial paths shown, in order
        bool confirmed;
        int dialogResult;  // when not confirmed
        std::wstring folderAfter;
    };
    const Case cases[] = {
        {"confirmed", stored, {confirm}, {Folders::Join(stored, name)}, true, 0, stored},
        {"cancelled", stored, {cancel}, {Folders::Join(stored, name)}, false, 2, stored},
        {"no folder stored", L"", {confirm}, {Folders::Join(DefaultFolder(), name)}, true, 0, DefaultFolder()},
        {"invalid name, then confirmed", stored, {invalid, confirm},
         {Folders::Join(stored, name), Folders::Join(DefaultFolder(), name)}, true, 0, DefaultFolder()},
        {"invalid name twice", stored, {invalid, invalid},
         {Folders::Join(stored, name), Folders::Join(DefaultFolder(), name)}, false, 3, DefaultFolder()},
        {"invalid name, then cancelled", stored, {invalid, cancel},
         {Folders::Join(stored, name), Folders::Join(DefaultFolder(), name)}, false, 2, DefaultFolder()},
        {"another failure", stored, {otherError}, {Folders::Join(stored, name)}, false, 3, stored},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CConfigurationFolder value(model->SettingsKey(), CConfigurationFolder::WriteBack::No);
        value.Set(c.storedFolder);
        std::vector<std::wstring> offered;
        size_t next = 0;
        const CFileChoice choice = ChooseSaveFile(value, 1234, SomeTime(), [&](const std::wstring& initial,
                                                                              const std::wstring& filter) {
            offered.push_back(initial);
            EXPECT_EQ(filter, ConfigNames::FileFilter());
            return next < c.answers.size() ? c.answers[next++] : cancel;
        });
        EXPECT_EQ(offered, c.offered);
        EXPECT_EQ(choice.confirmed, c.confirmed);
        if (c.confirmed)
            EXPECT_EQ(choice.path, confirm.path);
        else
            EXPECT_EQ(FileChoiceDialogResult(choice), c.dialogResult);
        EXPECT_EQ(value.Get(), c.folderAfter);
    }
    EXPECT_TRUE(Folders::FolderExists(DefaultFolder())) << "created when it was offered";
}

TEST_F(ConfigDialogStepTest, SaveCompletionWritesLogsAndEnds) {
    const std::wstring good = folder.WidePath() + L"/sub/radio.ZR8Config";
    std::filesystem::create_directory(folder.Path() / "sub");
    const std::wstring unwritable = folder.WidePath() + L"/absent/radio.ZR8Config";
    struct Case {
        const char* name;
        DWORD result;
        std::wstring path;
        bool fileWritten;
        std::wstring logged;
        std::vector<std::wstring> captions;  // of the boxes shown
        bool endDialog;
        int dialogResult;
        std::wstring folderAfter;
    };
    const Case cases[] = {
        {"read without error", 0, good, true, L"Configuration was saved", {}, true, 1, folder.WidePath() + L"/sub"},
        {"cancelled", ERROR_CANCELLED, good, false, L"Save configuration was cancelled", {}, true, 2, L""},
        {"no answer to a block read", Zr8Error::NoResponseReadEeprom, good, false, L"Failed to save configuration",
         {L"Save Configuration Error"}, false, 0, L""},
        {"the file cannot be made", 0, unwritable, false, L"Failed to save configuration",
         {L"Configuration file write error", L"Save Configuration Error"}, false, 0, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(CTempFolder::FromWide(good));
        boxes.boxes.clear();
        logLines.clear();
        CConfigSaveStateMachine machine(*model);
        CConfigurationFolder value(model->SettingsKey(), CConfigurationFolder::WriteBack::No);
        const CConfigDialogStep step = OnConfigSaveComplete(dialog.Handle(), c.result, machine, c.path, SomeTime(),
                                                            CConfigFileHeader::FromModel(*model), value);
        EXPECT_EQ(std::filesystem::exists(CTempFolder::FromWide(c.path)), c.fileWritten);
        ASSERT_FALSE(logLines.empty());
        EXPECT_EQ(logLines.back(), c.logged);
        std::vector<std::wstring> captions;
        for (const CRecordedBox& box : boxes.boxes) captions.push_back(box.caption);
        EXPECT_EQ(captions, c.captions);
        if (!c.captions.empty()) {
            const DWORD shown = c.result != 0 ? c.result : DWORD(ERROR_PATH_NOT_FOUND);
            EXPECT_EQ(boxes.boxes.back().text, GetErrorText(shown));
            EXPECT_EQ(boxes.boxes.back().type, UINT(MB_ICONERROR));
        }
        EXPECT_EQ(step.endDialog, c.endDialog);
        EXPECT_EQ(step.dialogResult, c.dialogResult);
        EXPECT_EQ(step.closeButton, !c.endDialog);
        EXPECT_EQ(value.Get(), c.folderAfter);
    }

    // Cancel on an idle machine (the "Close" button after a failure) ends at once.
    logLines.clear();
    CConfigSaveStateMachine idle(*model);
    const CConfigDialogStep step = OnConfigSaveCancel(dialog.Handle(), idle);
    EXPECT_TRUE(step.endDialog);
    EXPECT_EQ(step.dialogResult, 2);
    EXPECT_EQ(logLines, std::vector<std::wstring>{L"Save configuration was cancelled"});
}

TEST_F(ConfigDialogStepTest, RestoreCompletionAndCloseWhenIdle) {
    struct Case {
        DWORD result;
        std::wstring logged;
        bool errorBox;
        bool endDialog;
        int closedWith;  // the close request's result once idle with this completion
    };
    const Case cases[] = {
        {0, L"Configuration was restored", false, true, 1},
        {ERROR_CANCELLED, L"Restore configuration was cancelled", false, true, 2},
        {Zr8Error::NoResponseWriteEeprom, L"Failed to restore configuration", true, false, 3},
        {Zr8Error::NoResponseAfterReset, L"Failed to restore configuration", true, false, 3},
    };
    CConfigRestoreStateMachine machine(*model);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        boxes.boxes.clear();
        logLines.clear();
        const CConfigDialogStep step = OnConfigRestoreComplete(dialog.Handle(), c.result);
        EXPECT_EQ(logLines, std::vector<std::wstring>{c.logged});
        EXPECT_EQ(step.endDialog, c.endDialog);
        EXPECT_EQ(step.closeButton, c.errorBox);
        if (c.endDialog) {
            EXPECT_EQ(step.dialogResult, c.closedWith);
        }
        ASSERT_EQ(boxes.boxes.size(), c.errorBox ? 1u : 0u);
        if (c.errorBox) {
            EXPECT_EQ(boxes.boxes[0].text, GetErrorText(c.result));
            EXPECT_EQ(boxes.boxes[0].caption, L"Restore Configuration Error");
            EXPECT_EQ(boxes.boxes[0].type, UINT(MB_ICONERROR));
        }
        const CConfigDialogStep closed = OnConfigRestoreClose(dialog.Handle(), machine, c.result);
        EXPECT_TRUE(closed.endDialog);
        EXPECT_EQ(closed.dialogResult, c.closedWith);
    }
    // A dialog closed before any completion (the file choice cancelled, a refused file).
    EXPECT_EQ(OnConfigRestoreClose(dialog.Handle(), machine, 0).dialogResult, 1);
}

TEST_F(ConfigDialogStepTest, RestoreStartsOnlyAfterTheFileIsAccepted) {
    const auto good = folder.Path() / "radio.ZR8Config";
    CTempFolder::WriteText(good, StandardFileText(PatternImage(), 12345));
    std::string text = StandardFileText(PatternImage(), 12345);
    text[text.find("MEM2 01 00 20 ") + 14] ^= 1;
    std::filesystem::create_directory(data.Path() / "other");
    const auto altered = data.Path() / "other" / "altered.ZR8Config";
    CTempFolder::WriteText(altered, text);
    Connect();

    CConfigurationFolder value(model->SettingsKey(), CConfigurationFolder::WriteBack::No);
    CConfigRestoreStateMachine restore(*model);
    model->AttachOperation(&restore);
    EXPECT_EQ(StartConfigRestore(dialog.Handle(), restore, altered.wstring(), value), Zr8Error::ConfigCorrupt);
    EXPECT_TRUE(restore.IsIdle());
    EXPECT_EQ(value.Get(), L"") << "the folder is kept only for a file that was read";
    EXPECT_TRUE(writes.empty());

    ASSERT_EQ(StartConfigRestore(dialog.Handle(), restore, good.wstring(), value), 0u);
    EXPECT_FALSE(restore.IsIdle());
    EXPECT_EQ(value.Get(), folder.WidePath());
    EXPECT_EQ(progressRanges.back(), MAKELONG(0, 31));
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions.back(), 0u);
}

class BannerTest : public ConfigMachineTest {
protected:
    void SetBanner(const std::vector<uint8_t>& bytes) { Eeprom().Fill(0x3F0, bytes); }
    std::vector<uint8_t> Banner() {
        return std::vector<uint8_t>(Eeprom().Bytes().begin() + 0x3F0, Eeprom().Bytes().begin() + 0x400);
    }
    CBoxRecorder boxes;
};

TEST_F(BannerTest, ReadShowsTheTextUpToItsZeroByte) {
    struct Case {
        const char* name;
        std::vector<uint8_t> area;
        std::wstring shown;
    };
    const std::vector<uint8_t> full = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P'};
    const Case cases[] = {
        {"erased", std::vector<uint8_t>(16, 0xFF), L""},
        {"no zero byte", full, L"ABCDEFGHIJKLMNOP"},
        {"zero byte", {'Z', 'R', '8', ' ', 'H', 'F', 0, 0xFF, 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'}, L"ZR8 HF"},
        {"erased byte ends it", {'H', 'I', 0xFF, 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'}, L"HI"},
    };
    Connect();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetBanner(c.area);
        writes.clear();
        CBannerStateMachine machine(*model);
        model->AttachOperation(&machine);
        ASSERT_TRUE(machine.StartRead(dialog.Handle()));
        ASSERT_TRUE(RunToCompletion());
        model->DetachOperation();
        EXPECT_EQ(completions.back(), 0u);
        EXPECT_EQ(machine.m_bannerText.GetAt(CBannerStateMachine::ReadText), c.shown);
        EXPECT_EQ(writes, std::vector<std::string>{"ER03F010FD;"});
    }
}

TEST_F(BannerTest, WriteCoversTheTextAndItsZeroByteThenReadsBack) {
    struct Case {
        std::wstring typed;
        std::string written;  // the bytes that reach 0x3F0
    };
    const Case cases[] = {
        {L"HELLO", std::string("HELLO\0", 6)},
        {L"ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP"},
        {L"  CQ   ", std::string("  CQ\0", 5)},
        {L"", std::string("\0", 1)},
    };
    Connect();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed.begin(), c.typed.end()));
        const std::vector<uint8_t> old(16, 0x77);
        SetBanner(old);
        const size_t logBefore = Eeprom().WriteLog().size();
        writes.clear();
        CBannerStateMachine machine(*model);
        model->AttachOperation(&machine);
        ASSERT_TRUE(machine.StartWrite(dialog.Handle(), TrimBannerText(c.typed)));
        ASSERT_TRUE(RunToCompletion());
        model->DetachOperation();
        ASSERT_EQ(completions.back(), 0u);

        ASSERT_EQ(Eeprom().WriteLog().size(), logBefore + 1);
        const CEepromWrite& w = Eeprom().WriteLog().back();
        EXPECT_EQ(w.address, 0x3F0u);
        EXPECT_EQ(std::string(w.bytes.begin(), w.bytes.end()), c.written);
        const std::vector<uint8_t> banner = Banner();
        for (size_t i = c.written.size(); i < 16; ++i) EXPECT_EQ(banner[i], 0x77) << i;
        ASSERT_EQ(writes.size(), 2u);
        char head[16];
        std::snprintf(head, sizeof head, "EW03F0%02X", unsigned(c.written.size()));
        EXPECT_EQ(writes[0].substr(0, 8), head);
        EXPECT_EQ(writes[1], "ER03F010FD;");
        EXPECT_EQ(machine.m_bannerText.GetAt(CBannerStateMachine::ReadText), TrimBannerText(c.typed));
    }
}

TEST_F(BannerTest, CancelDuringTheReadEndsWithCancelled) {
    AddFault("drop-reply=3");  // the read goes unanswered once
    Connect();
    CBannerStateMachine machine(*model);
    model->AttachOperation(&machine);
    ASSERT_TRUE(machine.StartRead(dialog.Handle()));
    EXPECT_TRUE(RequestCancel(machine));
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions.back(), DWORD(ERROR_CANCELLED));
}

TEST_F(BannerTest, PageDecidesOnOkCancelAndCompletion) {
    Connect();
    SetBanner({'Z', 'R', '8', 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    CBannerStateMachine machine(*model);
    CBannerPageLogic page(machine);
    model->AttachOperation(&machine);
    ASSERT_TRUE(machine.StartRead(dialog.Handle()));
    ASSERT_TRUE(RunToCompletion());
    EXPECT_FALSE(page.OnComplete(dialog.Handle(), completions.back())) << "the editor stays open after the read";

    // Trailing blanks do not make a change; the comparison is exact otherwise.
    EXPECT_FALSE(page.OnEditChanged(L"ZR8  "));
    EXPECT_TRUE(page.OnEditChanged(L"zr8"));
    EXPECT_TRUE(page.OnEditChanged(L" ZR8"));
    EXPECT_FALSE(page.OnEditChanged(L"ZR8"));
    writes.clear();
    EXPECT_TRUE(page.OnApply(dialog.Handle())) << "OK without a change closes at once";
    EXPECT_TRUE(writes.empty());
    EXPECT_TRUE(page.OnQueryCancel()) << "an idle machine lets the sheet close";

    // OK with a change writes, reads back, then the completion closes the sheet.
    EXPECT_TRUE(page.OnEditChanged(L"CQ DX  "));
    EXPECT_FALSE(page.OnApply(dialog.Handle()));
    EXPECT_TRUE(page.Applying());
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions.back(), 0u);
    EXPECT_TRUE(page.OnComplete(dialog.Handle(), completions.back()));
    const std::vector<uint8_t> banner = Banner();
    EXPECT_EQ(std::string(banner.begin(), banner.begin() + 6), std::string("CQ DX\0", 6));
    EXPECT_EQ(CountWrites("EW03F006"), 1u);
    EXPECT_EQ(machine.m_bannerText.GetAt(CBannerStateMachine::ReadText), L"CQ DX");
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(BannerTest, PageCompletionBoxOnlyForAFailedFirstRead) {
    struct Case {
        DWORD result;
        bool closes;
        bool box;
    };
    const Case cases[] = {
        {0, false, false},
        {Zr8Error::NoResponseReadEeprom, true, true},
        {ERROR_CANCELLED, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        boxes.boxes.clear();
        CBannerStateMachine machine(*model);
        CBannerPageLogic page(machine);
        EXPECT_EQ(page.OnComplete(dialog.Handle(), c.result), c.closes);
        ASSERT_EQ(boxes.boxes.size(), c.box ? 1u : 0u);
        if (c.box) {
            EXPECT_EQ(boxes.boxes[0].caption, L"Power On Banner Error");
            EXPECT_EQ(boxes.boxes[0].text, GetErrorText(c.result));
            EXPECT_EQ(boxes.boxes[0].type, UINT(MB_ICONERROR));
        }
    }
}

TEST_F(BannerTest, PageOkWhileTheReadRunsStopsItAndClosesWithoutABox) {
    Connect();
    const std::vector<uint8_t> before = Banner();
    CBannerStateMachine machine(*model);
    CBannerPageLogic page(machine);
    model->AttachOperation(&machine);
    ASSERT_TRUE(machine.StartRead(dialog.Handle()));
    EXPECT_TRUE(page.OnEditChanged(L"NEW"));
    EXPECT_FALSE(page.OnApply(dialog.Handle()));
    EXPECT_EQ(machine.Result(), Zr8Error::MachineBusy);
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions.back(), Zr8Error::MachineBusy);
    EXPECT_TRUE(page.OnComplete(dialog.Handle(), completions.back()));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(CountWrites("EW"), 0u);
    EXPECT_EQ(Banner(), before);
}

TEST_F(BannerTest, PageFailedWriteAfterOkIsShownBeforeTheSheetCloses) {
    AddFault("power-loss=1");
    Connect();
    CBannerStateMachine machine(*model);
    CBannerPageLogic page(machine);
    model->AttachOperation(&machine);
    ASSERT_TRUE(machine.StartRead(dialog.Handle()));
    ASSERT_TRUE(RunToCompletion());
    EXPECT_FALSE(page.OnComplete(dialog.Handle(), completions.back()));
    EXPECT_TRUE(page.OnEditChanged(L"LOST"));
    EXPECT_FALSE(page.OnApply(dialog.Handle()));
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions.back(), Zr8Error::NoResponseWriteEeprom);
    EXPECT_TRUE(page.OnComplete(dialog.Handle(), completions.back()));
    ASSERT_EQ(boxes.boxes.size(), 1u) << "a banner that was not written must not look written";
    EXPECT_EQ(boxes.boxes[0].caption, L"Power On Banner Error");
    EXPECT_EQ(boxes.boxes[0].text, GetErrorText(Zr8Error::NoResponseWriteEeprom));
}

TEST_F(BannerTest, PageCancelDuringTheReadClosesWithoutABox) {
    AddFault("drop-reply=3");
    Connect();
    CBannerStateMachine machine(*model);
    CBannerPageLogic page(machine);
    model->AttachOperation(&machine);
    ASSERT_TRUE(machine.StartRead(dialog.Handle()));
    EXPECT_FALSE(page.OnQueryCancel()) << "the completion closes the sheet";
    EXPECT_TRUE(page.Applying());
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions.back(), DWORD(ERROR_CANCELLED));
    EXPECT_TRUE(page.OnComplete(dialog.Handle(), completions.back()));
    EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace
