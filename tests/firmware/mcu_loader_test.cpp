#include <gtest/gtest.h>

#include <numeric>

#include "core/model/contact_state_machine.h"
#include "core/text/error_codes.h"
#include "loader_fixture.h"
#include "platform/message_loop.h"
#include "platform/wide_format.h"
#include "tests/case_name.h"

namespace {

constexpr DWORD kImageEnd = 0x10000;

uint32_t PacketAddress(const std::string& packet) {
    return uint8_t(packet[64]) | uint32_t(uint8_t(packet[65])) << 8 | uint32_t(uint8_t(packet[66])) << 16;
}

bool SumsToZero(const std::string& packet) {
    return std::accumulate(packet.begin(), packet.end(), 0u, [](unsigned s, char c) { return s + uint8_t(c); }) % 256 == 0;
}

bool IsPacketFor(const std::string& written, uint32_t address) {
    return written.size() == 68 && PacketAddress(written) == address;
}

// The address the lines show: the counter already points past the packet.
std::wstring Hex4(uint32_t address) { return FormatW(L"x%04X", unsigned(address)); }

TEST_F(LoaderTest, CleanLoadWritesTheImageAndEndsThroughAFreshContact) {
    CFirmwareGenOptions firmware;
    firmware.reconciliationWord = false;  // the loader computes the word itself
    Prepare(firmware);

    ASSERT_TRUE(Start());
    ASSERT_TRUE(RunToCompletion());

    EXPECT_EQ(completions, std::vector<DWORD>{0});
    EXPECT_EQ(machine->Result(), 0u);
    EXPECT_TRUE(machine->IsIdle());
    EXPECT_EQ(model->AttachedOperation(), nullptr);  // handed to the contact machine
    EXPECT_TRUE(model->ContactMachine().IsIdle());
    EXPECT_EQ(model->m_firmwareStatus.Get(), FirmwareStatusApplication);
    EXPECT_EQ(model->m_mcuVersion.Get(), 124);

    EXPECT_EQ(link.Packets(), 993u);
    EXPECT_EQ(link.Count("LD;"), 1u);
    EXPECT_EQ(sim->Radio().BootLoader().Stats().packetsTaken, 993u);
    const std::vector<uint8_t>& flash = sim->Radio().Flash().Bytes();
    ASSERT_EQ(flash.size(), size_t(machine->Image().Size()));
    EXPECT_TRUE(std::equal(flash.begin(), flash.end(), machine->Image().Bytes()));
    EXPECT_EQ(ImageChecksum(flash), 0);
    EXPECT_FALSE(flash[4] == 0 && flash[5] == 0) << "the computed word reached the radio";

    const std::wstring file = firmwarePath;
    const size_t reconciliation = LineIndex(L"MCU firmware file " + file + L" checksum reconciliation value is 0x0");
    const size_t sending = LineIndex(L"Sending MCU firmware file " + file);
    const size_t waiting = LineIndex(L"Waiting 4 seconds for reset");
    ASSERT_NE(reconciliation, std::wstring::npos);
    ASSERT_NE(sending, std::wstring::npos);
    ASSERT_NE(waiting, std::wstring::npos);
    EXPECT_LT(reconciliation, sending);
    EXPECT_LT(sending, waiting);
    EXPECT_EQ(LinesStartingWith(L"MCU computed checksum reconciliation value is 0x").size(), 1u);
    EXPECT_TRUE(LinesStartingWith(L"Retry").empty());
    EXPECT_EQ(machine->TotalRetries(), 0u);
}

TEST_F(LoaderTest, FirstAndLastPacketsAndTheProgressBar) {
    CFirmwareGenOptions firmware;
    firmware.reconciliationWord = false;  // both packets of block 0x0800 carry the computed word
    Prepare(firmware);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(RunToCompletion());
    ASSERT_EQ(completions, std::vector<DWORD>{0});

    const std::vector<std::string> packets = link.PacketWrites();
    ASSERT_EQ(packets.size(), 993u);
    const uint8_t* image = machine->Image().Bytes();
    const std::string& first = packets.front();
    EXPECT_EQ(uint8_t(first[0]), 0xDE);
    EXPECT_EQ(uint8_t(first[1]), 0xAD);
    EXPECT_TRUE(std::equal(first.begin() + 2, first.begin() + 64, reinterpret_cast<const char*>(image) + 2));
    EXPECT_EQ(first.substr(64, 3), std::string("\x00\x08\x00", 3));
    const std::string& last = packets.back();
    EXPECT_TRUE(std::equal(last.begin(), last.begin() + 64, reinterpret_cast<const char*>(image)));
    EXPECT_EQ(last.substr(64, 3), std::string("\x00\x08\x02", 3));
    EXPECT_FALSE(image[4] == 0 && image[5] == 0);
    EXPECT_EQ(first.substr(4, 2), last.substr(4, 2));
    EXPECT_EQ(uint8_t(last[4]), image[4]);
    EXPECT_EQ(uint8_t(last[5]), image[5]);
    for (size_t i = 0; i < packets.size(); ++i) {
        ASSERT_TRUE(SumsToZero(packets[i])) << "packet " << i;
        if (i + 1 < packets.size()) ASSERT_EQ(PacketAddress(packets[i]), 0x0800 + 64 * i);
    }

    // Range 0..1984, one step of 2 per ordinary packet; the final packet adds nothing.
    ASSERT_EQ(progressRanges.size(), 1u);
    EXPECT_EQ(progressRanges[0], LPARAM(MAKELONG(0, 1984)));
    ASSERT_EQ(progress.size(), 1u + 992 + 1);
    EXPECT_EQ(progress.front(), 0u);
    for (size_t i = 1; i <= 992; ++i) ASSERT_EQ(progress[i], WPARAM(2 * i));
    EXPECT_EQ(progress.back(), 1984u);
}

TEST_F(LoaderTest, TracePrintsEachPacketAsHex) {
    Prepare();
    model->m_trace.Set(1);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(RunToCompletion());
    const std::vector<std::wstring> traced = LinesStartingWith(L"LoadFirmwareInitial Send 68 bytes 0x");
    ASSERT_EQ(traced.size(), 992u);
    EXPECT_EQ(traced[0].substr(36, 4), L"DEAD");
    EXPECT_EQ(traced[0].size(), 36u + 136u);
    EXPECT_EQ(LinesStartingWith(L"LoadFirmwareLast Send 68 bytes 0x").size(), 1u);
}

TEST_F(LoaderTest, ARadioAlreadyInItsBootLoaderGetsNoLD) {
    simOptions.startInBootLoader = true;
    Prepare();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions, std::vector<DWORD>{0});
    EXPECT_EQ(link.Count("LD;"), 0u);
    EXPECT_EQ(link.Count("I;"), 2u);  // the loader's and the fresh contact's
    EXPECT_EQ(link.Packets(), 993u);
}

TEST_F(LoaderTest, NoAnswerToIdentifyGoesOnAsNoDevice) {
    Prepare();
    bool swallowed = false;
    interceptor = [&](const std::string& written) -> std::optional<std::string> {
        if (written == "I;" && !swallowed) {
            swallowed = true;
            return std::string();
        }
        return std::nullopt;
    };
    ASSERT_TRUE(Start());
    ASSERT_TRUE(RunToCompletion());
    EXPECT_TRUE(swallowed);
    EXPECT_EQ(completions, std::vector<DWORD>{0});
    EXPECT_EQ(link.Count("LD;"), 1u);
    EXPECT_EQ(model->m_device.Get(), DeviceZR8);  // the fresh contact identified it
}

TEST_F(LoaderTest, FourRefusalsAreRetriedWithoutResynchronising) {
    AddFault("refuse-packet=3x4");  // 0x0880
    Prepare();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions, std::vector<DWORD>{0});
    EXPECT_TRUE(HasLine(L"Retry 4 succeeded at address " + Hex4(0x08C0)));
    EXPECT_EQ(link.Count(";"), 2u);  // only the speed searches' polls: the loader's and the fresh contact's
    EXPECT_EQ(machine->HighestRetries(), 4u);
    EXPECT_EQ(machine->TotalRetries(), 4u);
}

TEST_F(LoaderTest, AFifthRefusalResynchronisesAndCountsTheFillBytes) {
    Prepare();
    int refusals = 0, polls = 0;
    interceptor = [&](const std::string& written) -> std::optional<std::string> {
        if (IsPacketFor(written, 0x0900) && refusals < 5) {
            ++refusals;
            return std::string("N");
        }
        if (written == ";" && refusals == 5 && polls < 12) {
            ++polls;
            return polls == 12 ? std::string("N") : std::string();
        }
        return std::nullopt;
    };
    ASSERT_TRUE(Start());
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions, std::vector<DWORD>{0});
    EXPECT_EQ(polls, 12);
    EXPECT_TRUE(HasLine(L"Retry 5 successful at address " + Hex4(0x0940) + L", 12 fill bytes"));
    EXPECT_EQ(machine->HighestRetries(), 5u);
}

// Each lost answer is followed by a resynchronisation that the first poll ends.
class LoaderTimeOuts : public LoaderTest, public ::testing::WithParamInterface<int> {};

TEST_P(LoaderTimeOuts, TenAreSurvivedAndTheEleventhFails) {
    const int silences = GetParam();
    Prepare();
    int lost = 0;
    bool resyncing = false;
    interceptor = [&](const std::string& written) -> std::optional<std::string> {
        if (IsPacketFor(written, 0x1000) && lost < silences) {
            ++lost;
            resyncing = true;
            return std::string();
        }
        if (written == ";" && resyncing) {
            resyncing = false;
            return std::string("N");
        }
        return std::nullopt;
    };
    ASSERT_TRUE(Start());
    ASSERT_TRUE(RunToCompletion());
    ASSERT_EQ(completions.size(), 1u);
    if (silences == 10) {
        EXPECT_EQ(completions[0], 0u);
        EXPECT_TRUE(HasLine(L"Retry 10 successful at address " + Hex4(0x1040) + L", 1 fill bytes"));
        EXPECT_EQ(link.Packets(), 993u + 10);
    } else {
        EXPECT_EQ(completions[0], Zr8Error::NoResponsePacket);
        EXPECT_TRUE(HasLine(L"Send MCU firmware failed at load address " + Hex4(0x1040)));
        EXPECT_EQ(machine->HighestRetries(), 11u);
        EXPECT_EQ(model->m_firmwareStatus.Get(), FirmwareStatusNone);
        EXPECT_EQ(link.Packets(), size_t((0x1000 - 0x0800) / 64 + 11));
        EXPECT_TRUE(model->ContactMachine().IsIdle());  // a failed load does not reconnect
    }
}

INSTANTIATE_TEST_SUITE_P(Silences, LoaderTimeOuts, ::testing::Values(10, 11),
                         [](const auto& info) { return std::to_string(info.param) + "Silences"; });

TEST_F(LoaderTest, RetryLimitZeroFailsAtTheFirstTimeOut) {
    Prepare();
    model->m_firmwareLoadRetryLimit.Set(0);
    interceptor = [&](const std::string& written) -> std::optional<std::string> {
        if (IsPacketFor(written, 0x0A00)) return std::string();
        return std::nullopt;
    };
    ASSERT_TRUE(Start());
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions, std::vector<DWORD>{Zr8Error::NoResponsePacket});
    EXPECT_EQ(link.Count(";"), 1u);  // no resynchronisation was tried
    EXPECT_TRUE(HasLine(L"Send MCU firmware failed at load address " + Hex4(0x0A40)));
}

// The fifth refusal resynchronises: the radio's buffer is empty, so its "N" comes at
// the 68th and last allowed poll; refusals six to eight then exhaust the limit.
TEST_F(LoaderTest, TheEighthRefusalFails) {
    AddFault("refuse-packet=2x8");  // 0x0840
    Prepare();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions, std::vector<DWORD>{Zr8Error::RetryLimitExhausted});
    EXPECT_EQ(link.Count(";"), 1u + 68);
    EXPECT_EQ(link.Packets(), 1u + 8);
    EXPECT_TRUE(HasLine(L"Send MCU firmware failed at load address " + Hex4(0x0880)));
    EXPECT_EQ(machine->HighestRetries(), 8u);
    EXPECT_EQ(model->m_firmwareStatus.Get(), FirmwareStatusNone);
}

// A "C" is neither taken nor refused; the load treats it as a lost answer instead of
// waiting for an answer that never comes.
TEST_F(LoaderTest, AnswersOfCAreHandledLikeLostReplies) {
    AddFault("answer-c=5x2");  // 0x0900
    Prepare();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions, std::vector<DWORD>{0});
    EXPECT_TRUE(HasLine(L"Retry 2 successful at address " + Hex4(0x0940) + L", 68 fill bytes"));
}

TEST_F(LoaderTest, EndlessAnswersOfCFailInsteadOfHanging) {
    AddFault("answer-c=5x100");
    Prepare();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions, std::vector<DWORD>{Zr8Error::NoResponsePacket});
    EXPECT_EQ(link.Packets(), 4u + 11);
}

TEST_F(LoaderTest, StartingABusyLoaderLeavesTheRunningLoadAlone) {
    Prepare();
    ASSERT_TRUE(Start());
    MessageLoop::RunUntil([&] { return link.Packets() > 10; }, kLongEnoughMs);
    EXPECT_FALSE(machine->Start(dialog.Handle()));
    EXPECT_EQ(GetLastError(), Zr8Error::MachineBusy);
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions, std::vector<DWORD>{0});
    EXPECT_EQ(link.Packets(), 993u);
}

TEST_F(LoaderTest, NoStartWhileTheContactMachineTalks) {
    Prepare();
    model->ContactMachine().StartOpenPort();
    ASSERT_FALSE(model->ContactMachine().IsIdle());
    EXPECT_FALSE(Start());
    EXPECT_EQ(GetLastError(), Zr8Error::MachineBusy);
    EXPECT_TRUE(lines.empty());
    EXPECT_TRUE(completions.empty());
    EXPECT_TRUE(machine->IsIdle());
    // What completes is the contact machine, not a load.
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(link.Count("LD;"), 0u);
    EXPECT_EQ(link.Packets(), 0u);
}

struct BadFile {
    const char* what;
    std::string content;  // empty: no file at all
    DWORD code;
    std::wstring line;  // the start of the line that explains it
};

class LoaderBadFile : public LoaderTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(LoaderBadFile, IsRefusedBeforeTheRadioIsTouched) {
    const BadFile& c = GetParam();
    Prepare();
    std::filesystem::remove(std::filesystem::path(firmwarePath));
    if (!c.content.empty()) folder.Write(std::filesystem::path(firmwarePath).filename().string(), c.content);
    EXPECT_FALSE(Start());
    EXPECT_EQ(completions, std::vector<DWORD>{c.code});
    EXPECT_TRUE(link.writes.empty());
    EXPECT_TRUE(machine->IsIdle());
    EXPECT_EQ(LinesStartingWith(c.line).size(), 1u) << (lines.empty() ? "no lines" : "");
}

CFirmwareGenOptions WrongWord() {
    CFirmwareGenOptions o;
    o.wrongReconciliationWord = true;
    return o;
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoaderBadFile,
    ::testing::Values(
        BadFile{"missing", "", ERROR_FILE_NOT_FOUND,
                L"Line 0, error code 0x00000002: "},
        BadFile{"noend", ":0108000001F6\r\n", Zr8Error::HexNoEndRecord,
                L"Line 1, error code 0xE2000023: Missing intel hex end-of-file record"},
        BadFile{"badword", MakeFirmwareHex(WrongWord()), Zr8Error::HexImageChecksum,
                L"File does not checksum to zero. Checksum is 0x"}),
    [](const ::testing::TestParamInfo<BadFile>& info) { return std::string(info.param.what); });

TEST_F(LoaderTest, ALoaderDroppedMidLoadStopsItsTimer) {
    Prepare();
    ASSERT_TRUE(Start());
    MessageLoop::RunUntil([&] { return link.Packets() > 5; }, kLongEnoughMs);
    ASSERT_FALSE(machine->IsIdle());
    machine.reset();
    EXPECT_EQ(model->AttachedOperation(), nullptr);
    ticks.clear();
    MessageLoop::AdvanceVirtualClock(10000);
    EXPECT_EQ(std::count(ticks.begin(), ticks.end(), CMcuLoaderStateMachine::kTimerId), 0);
}

}  // namespace
