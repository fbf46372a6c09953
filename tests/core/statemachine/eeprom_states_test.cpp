// Reading and writing EEPROM ranges against a scripted radio that answers "ER" and "EW"
// blocks from its own memory, and can drop or spoil answers.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <numeric>

#include "core/statemachine/eeprom_block_states.h"
#include "machine_bench.h"
#include "test_machine.h"

namespace {

unsigned HexValue(const std::string& text, size_t at, size_t digits)
{
    return static_cast<unsigned>(std::stoul(text.substr(at, digits), nullptr, 16));
}

std::string Hex2(unsigned value)
{
    char buffer[3];
    std::snprintf(buffer, sizeof buffer, "%02X", value & 0xFF);
    return buffer;
}

// The radio's side of the block protocol, written from the protocol's description.
class CBlockRadio {
public:
    CBlockRadio() : memory(0x8400)
    {
        for (size_t i = 0; i < memory.size(); ++i)
            memory[i] = static_cast<BYTE>(i * 7 + 3);
    }

    std::string Answer(const std::string& command)
    {
        const unsigned address = HexValue(command, 2, 4);
        const unsigned count = HexValue(command, 6, 2);
        unsigned sum = (address >> 8) + (address & 0xFF) + count;
        std::string answer = command.substr(0, 8);
        if (command.compare(0, 2, "ER") == 0) {
            for (unsigned i = 0; i < count; ++i) {
                answer += Hex2(memory[address + i]);
                sum += memory[address + i];
            }
        } else {
            for (unsigned i = 0; i < count; ++i)
                memory[address + i] = static_cast<BYTE>(HexValue(command, 8 + 2 * i, 2));
        }
        return answer + Hex2(0x100 - (sum & 0xFF)) + ";";
    }

    std::vector<BYTE> memory;
    std::map<std::string, unsigned> dropFirst;      // answers to leave out, per command
    std::map<std::string, unsigned> spoilChecksum;  // answers to send with a bad checksum
};

class EepromStatesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bench.OpenPort());
        bench.model.AttachOperation(&machine);
        bench.link->onWrite = [this](const std::string& command) {
            sendTimes[command].push_back(GetTickCount());
            if (radio.dropFirst[command] > 0) {
                --radio.dropFirst[command];
                return;
            }
            std::string answer = radio.Answer(command);
            if (radio.spoilChecksum[command] > 0) {
                --radio.spoilChecksum[command];
                answer[answer.size() - 2] ^= 1;
            }
            bench.link->DeliverAfter(20, answer);
        };
    }

    std::vector<BYTE> Memory(size_t address, size_t length) const
    {
        return std::vector<BYTE>(radio.memory.begin() + address, radio.memory.begin() + address + length);
    }

    CMachineBench bench;
    CTestMachine machine{bench.model};
    CProbeState after{&machine, L"After", machine.FinalState()};
    CBlockRadio radio;
    std::map<std::string, std::vector<DWORD>> sendTimes;
    CReadPicPromState<CTestMachine> read{&machine, L"ReadBlocks", &after, 2000};
    CWritePicPromState<CTestMachine> write{&machine, L"WriteBlocks", &after, 2000};
};

TEST_F(EepromStatesTest, PageOfEepromIsReadInFourBlocks)
{
    std::vector<BYTE> buffer(256);
    read.SetRange(0x0100, 256, buffer.data());
    ASSERT_TRUE(machine.Start(&read));
    ASSERT_TRUE(bench.RunUntilIdle(machine));

    EXPECT_EQ(machine.Result(), 0u);
    EXPECT_EQ(bench.link->writes,
              (std::vector<std::string>{"ER010040BF;", "ER0140407F;", "ER0180403F;", "ER01C040FF;"}));
    EXPECT_EQ(buffer, Memory(0x0100, 256));
    EXPECT_EQ(after.entries, 1);
}

TEST_F(EepromStatesTest, BlockIsShortenedAtThePageEndAndTheNextStartsThePage)
{
    std::vector<BYTE> buffer(64);
    read.SetRange(0x00E0, 64, buffer.data());
    ASSERT_TRUE(machine.Start(&read));
    ASSERT_TRUE(bench.RunUntilIdle(machine));
    EXPECT_EQ(bench.link->writes, (std::vector<std::string>{"ER00E02000;", "ER010020DF;"}));
    EXPECT_EQ(buffer, Memory(0x00E0, 64));
}

TEST_F(EepromStatesTest, RangeBetweenTheProtectedBytesIsWrittenAsOneBlock)
{
    std::vector<BYTE> data(57);
    std::iota(data.begin(), data.end(), BYTE{0x40});
    write.SetRange(0x00C2, 57, data.data());
    ASSERT_TRUE(machine.Start(&write));
    ASSERT_TRUE(bench.RunUntilIdle(machine));

    EXPECT_EQ(machine.Result(), 0u);
    ASSERT_EQ(bench.link->writes.size(), 1u);
    EXPECT_EQ(bench.link->writes[0].substr(0, 8), "EW00C239");
    EXPECT_EQ(bench.link->writes[0].size(), 11u + 2 * 57);
    EXPECT_EQ(Memory(0x00C2, 57), data);
    EXPECT_EQ(after.entries, 1);
}

TEST_F(EepromStatesTest, BlocksOutsideTheAllowedAddressesAreRefusedBeforeSending)
{
    struct Case {
        bool writing;
        DWORD address, length;
    };
    const Case cases[] = {
        {true, 0x00C0, 2},   // the first protected pair
        {true, 0x00BE, 3},   // runs into 0x00C0
        {true, 0x00F0, 12},  // runs into 0x00FB
        {true, 0x00FB, 1},   // the first of the protected tail of the page
        {true, 0x0400, 16},  // past the configuration area
        {false, 0x8400, 1},  // past the EEPROM
    };
    std::vector<BYTE> buffer(64, 0x55);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << "0x" << c.address);
        bench.link->writes.clear();
        CState<CTestMachine>* state = &read;
        if (c.writing) {
            write.SetRange(c.address, c.length, buffer.data());
            state = &write;
        } else {
            read.SetRange(c.address, c.length, buffer.data());
        }
        ASSERT_TRUE(machine.Start(state));
        EXPECT_TRUE(machine.IsIdle());
        EXPECT_EQ(machine.Result(), 0xE200000Cu);
        EXPECT_TRUE(bench.link->writes.empty());
    }
}

TEST_F(EepromStatesTest, AnswerWithWrongChecksumIsIgnoredAndTheBlockResentAfterTheTimeOut)
{
    radio.spoilChecksum["ER03F010FD;"] = 1;
    std::vector<BYTE> buffer(16);
    read.SetRange(0x03F0, 16, buffer.data());
    ASSERT_TRUE(machine.Start(&read));
    ASSERT_TRUE(bench.RunUntilIdle(machine));

    EXPECT_EQ(machine.Result(), 0u);
    const auto& times = sendTimes["ER03F010FD;"];
    ASSERT_EQ(times.size(), 2u);
    EXPECT_EQ(times[1] - times[0], 2000u);
    EXPECT_EQ(buffer, Memory(0x03F0, 16));
}

TEST_F(EepromStatesTest, RetryLimitCountsTheTimeOutsOfTheWholeRange)
{
    const std::vector<std::string> blocks = {"ER010040BF;", "ER0140407F;", "ER0180403F;", "ER01C040FF;"};
    for (const auto& block : blocks)
        radio.dropFirst[block] = 2;
    std::vector<BYTE> buffer(256);
    read.SetRange(0x0100, 256, buffer.data());
    ASSERT_TRUE(machine.Start(&read));
    ASSERT_TRUE(bench.RunUntilIdle(machine));

    EXPECT_EQ(machine.Result(), 0xE2000050u);
    for (const auto& block : blocks)
        EXPECT_LE(sendTimes[block].size(), 3u) << block;  // no block timed out more than twice
    EXPECT_EQ(sendTimes[blocks[3]].size(), 2u);           // the 8th time-out was its second
    EXPECT_EQ(bench.doneResults, std::vector<DWORD>{0xE2000050});
    EXPECT_EQ(after.entries, 0);
}

TEST_F(EepromStatesTest, WriteFailsWithItsOwnCodeWhenNeverAcknowledged)
{
    machine.SetRetryLimit(2);
    std::vector<BYTE> data(16, 0x20);
    bench.link->onWrite = nullptr;  // the radio has gone quiet
    write.SetRange(0x03F0, 16, data.data());
    ASSERT_TRUE(machine.Start(&write));
    ASSERT_TRUE(bench.RunUntilIdle(machine));
    EXPECT_EQ(machine.Result(), 0xE2000051u);
    EXPECT_EQ(bench.link->writes.size(), 2u);
}

TEST_F(EepromStatesTest, ProgressBarRangeIsInStepsOf32Units)
{
    std::vector<std::pair<UINT, LPARAM>> range;
    std::vector<WPARAM> positions;
    CMessageWindow dialog;
    ASSERT_TRUE(dialog.Create([](UINT, WPARAM, LPARAM) -> LRESULT { return 0; }));
    CMessageWindow bar;
    ASSERT_TRUE(bar.Create(
        [&](UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message == PBM_SETRANGE)
                range.emplace_back(message, lParam);
            if (message == PBM_SETPOS)
                positions.push_back(wParam);
            return 0;
        },
        dialog.Handle(), CTestMachine::kProgressBarId));

    machine.AttachProgressBar(dialog.Handle());
    ASSERT_EQ(machine.ProgressBar(), bar.Handle());
    machine.SetProgressRange(1024);
    ASSERT_EQ(range.size(), 1u);
    EXPECT_EQ(LOWORD(range[0].second), 0);
    EXPECT_EQ(HIWORD(range[0].second), 32);

    std::vector<BYTE> buffer(1024);
    read.SetRange(0x0000, 1024, buffer.data());
    ASSERT_TRUE(machine.Start(&read));
    ASSERT_TRUE(bench.RunUntilIdle(machine));
    std::vector<WPARAM> expected = {0};
    for (WPARAM p = 2; p <= 32; p += 2)
        expected.push_back(p);
    EXPECT_EQ(positions, expected);
    EXPECT_EQ(buffer, Memory(0, 1024));

    // Never beyond the total.
    machine.SetProgressRange(100);
    machine.AdvanceProgress(64);
    machine.AdvanceProgress(64);
    EXPECT_EQ(machine.ProgressPosition(), 100u);
    EXPECT_EQ(positions.back(), 3u);
}

}  // namespace
