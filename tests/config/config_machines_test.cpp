// The save, restore and banner machines against the simulated radio.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "config/banner_state_machine.h"
#include "config/config_file_writer.h"
#include "config/config_operation.h"
#include "config/config_restore_state_machine.h"
#include "config/config_save_state_machine.h"
#include "config_machine_fixture.h"
#include "config_test_support.h"
#include "platform/message_loop.h"
#include "core/text/error_codes.h"
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
    EXPECT_TRUE(RequestCancel(machine));
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions.back(), DWORD(ERROR_CANCELLED));
    EXPECT_LT(CountWrites("ER"), 16u);
    const DWORD r = CompleteConfigSave(completions.back(), machine, nullptr, path, SomeTime(),
                                       CConfigFileHeader::FromModel(*model));
    EXPECT_EQ(r, DWORD(ERROR_CANCELLED));
    EXPECT_EQ(ConfigDialogResult(r), 2);
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
    EXPECT_TRUE(RequestCancel(restore));
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions, std::vector<DWORD>{DWORD(ERROR_CANCELLED)});
    EXPECT_EQ(CountWrites("I;"), 0u);
    EXPECT_EQ(ConfigDialogResult(completions.back()), 2);
}

class BannerTest : public ConfigMachineTest {
protected:
    void SetBanner(const std::vector<uint8_t>& bytes) { Eeprom().Fill(0x3F0, bytes); }
    std::vector<uint8_t> Banner() {
        return std::vector<uint8_t>(Eeprom().Bytes().begin() + 0x3F0, Eeprom().Bytes().begin() + 0x400);
    }
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

}  // namespace
