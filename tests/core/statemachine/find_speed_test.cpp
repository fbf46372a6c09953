// The speed search: five ";" polls, the failing variant and the endless one whose
// cycles wait longer and longer; and the text terminal switch.
#include <gtest/gtest.h>

#include "core/statemachine/find_speed_state.h"
#include "core/statemachine/text_terminal_off_state.h"
#include "machine_bench.h"
#include "test_machine.h"

namespace {

class FindSpeedTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bench.OpenPort());
        bench.model.AttachOperation(&machine);
        bench.link->onWrite = [this](const std::string& written) {
            pollTimes.push_back(GetTickCount());
            EXPECT_EQ(written, ";");
        };
    }

    std::vector<DWORD> Gaps() const
    {
        std::vector<DWORD> gaps;
        for (size_t i = 1; i < pollTimes.size(); ++i)
            gaps.push_back(pollTimes[i] - pollTimes[i - 1]);
        return gaps;
    }

    CMachineBench bench;
    CTestMachine machine{bench.model};
    CProbeState after{&machine, L"After", machine.FinalState()};
    std::vector<DWORD> pollTimes;
};

TEST_F(FindSpeedTest, FivePollsHundredMillisecondsApartThenFailure)
{
    CFindSpeedState<CTestMachine> search(&machine, L"FindSpeed", &after);
    ASSERT_TRUE(machine.Start(&search));
    const DWORD start = GetTickCount();
    ASSERT_TRUE(bench.RunUntilIdle(machine));

    EXPECT_EQ(pollTimes.size(), 5u);
    EXPECT_EQ(Gaps(), (std::vector<DWORD>{100, 100, 100, 100}));
    EXPECT_EQ(GetTickCount() - start, 500u);
    EXPECT_EQ(machine.Result(), 0xE2000045u);
    EXPECT_EQ(after.entries, 0);
    EXPECT_TRUE(bench.HasStatus(L"Attempting to contact ZR8 on SCRIPTED at 9600 bit/s"));
}

TEST_F(FindSpeedTest, AnyAnswerEndingInSemicolonIsContact)
{
    CFindSpeedState<CTestMachine> search(&machine, L"FindSpeed", &after);
    unsigned polls = 0;
    bench.link->onWrite = [&](const std::string&) {
        if (++polls == 3)
            bench.link->DeliverAfter(30, "?;");
    };
    ASSERT_TRUE(machine.Start(&search));
    ASSERT_TRUE(bench.RunUntilIdle(machine));

    EXPECT_EQ(polls, 3u);
    EXPECT_EQ(machine.Result(), 0u);
    EXPECT_EQ(after.entries, 1);
    ASSERT_FALSE(bench.statusTexts.empty());
    EXPECT_EQ(bench.statusTexts.back(), L"Connected to ZR8 on SCRIPTED at 9600 bit/s");
}

TEST_F(FindSpeedTest, SearchStartsAt9600BitPerSecond)
{
    ASSERT_EQ(bench.model.SerialPort().SetBaudRate(19200), 0u);
    CFindSpeedState<CTestMachine> search(&machine, L"FindSpeed", &after);
    ASSERT_TRUE(machine.Start(&search));
    EXPECT_EQ(bench.model.SerialPort().BaudRate(), 9600u);
    ASSERT_FALSE(bench.link->rates.empty());
    EXPECT_EQ(bench.link->rates.back(), 9600u);
}

TEST_F(FindSpeedTest, LoopVariantCyclesWithGrowingTimeOutsUntilTheRadioAnswers)
{
    CFindSpeedLoopState<CTestMachine> search(&machine, L"FindSpeedLoop", &after);
    const std::vector<DWORD> cycles = {100, 150, 225, 337, 505, 757, 1135, 1702, 2553, 3829, 5000, 5000};
    const size_t polls = 5 * cycles.size();  // unanswered; the next one is answered
    bench.link->onWrite = [&](const std::string&) {
        pollTimes.push_back(GetTickCount());
        if (pollTimes.size() == polls + 1)
            bench.link->DeliverAfter(40, "?;");
    };
    ASSERT_TRUE(machine.Start(&search));
    ASSERT_TRUE(bench.RunUntilIdle(machine, 10 * 60 * 1000));

    std::vector<DWORD> expected;
    for (DWORD t : cycles)
        expected.insert(expected.end(), 5, t);
    EXPECT_EQ(Gaps(), expected);
    EXPECT_EQ(machine.Result(), 0u);
    EXPECT_EQ(after.entries, 1);
}

TEST_F(FindSpeedTest, TextTerminalOffSendsTT0AndMovesOnAfterTenMilliseconds)
{
    bench.link->onWrite = nullptr;
    CTextTerminalOffState<CTestMachine> off(&machine, L"TextTerminalOff", &after);
    ASSERT_TRUE(machine.Start(&off));
    const DWORD start = GetTickCount();
    ASSERT_TRUE(bench.RunUntilIdle(machine));
    EXPECT_EQ(bench.link->writes, std::vector<std::string>{"TT0;"});
    EXPECT_EQ(GetTickCount() - start, 10u);
    EXPECT_EQ(after.entries, 1);
}

}  // namespace
