// The five command states: what they send, how long they wait, which answers they take
// and how the retrying one counts its sends.
#include <gtest/gtest.h>

#include "core/statemachine/loop_states.h"
#include "machine_bench.h"
#include "test_machine.h"

namespace {

constexpr DWORD kError = 0xE2000099;

class CommandStatesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bench.OpenPort());
        bench.model.AttachOperation(&machine);
        machine.SetOwnerWindow(bench.window.Handle());
    }

    CMachineBench bench;
    CTestMachine machine{bench.model};
    CProbeState after{&machine, L"After", machine.FinalState()};
};

// Accepts only answers that start with its prefix, as the digesting states do.
class CParsingRetryState : public CCommandResponseRetryState<CTestMachine> {
public:
    using CCommandResponseRetryState<CTestMachine>::CCommandResponseRetryState;
    bool ParseResponse() override { return ReceivedStartsWithPrefix(); }
};

TEST_F(CommandStatesTest, ResponsePrefixIsTheCommandInUpperCaseWithoutTrailingSemicolons)
{
    using State = CCommandOptionalResponseState<CTestMachine>;
    EXPECT_EQ(State::MakeResponsePrefix(L"SN;"), L"SN");
    EXPECT_EQ(State::MakeResponsePrefix(L";"), L"");
    EXPECT_EQ(State::MakeResponsePrefix(L"rv;;"), L"RV");
    EXPECT_EQ(State::MakeResponsePrefix(L"TT0;"), L"TT0");
}

TEST_F(CommandStatesTest, EmptyCommandPassesStraightOnWithoutSendingOrWaiting)
{
    CCommandDelayState<CTestMachine> silent(&machine, L"Silent", &after, 1000, L"");
    CCommandResponseState<CTestMachine> silentAsk(&machine, L"SilentAsk", &silent, kError, L"", 500);
    ASSERT_TRUE(machine.Start(&silentAsk));
    EXPECT_TRUE(machine.IsIdle());
    EXPECT_EQ(after.entries, 1);
    EXPECT_TRUE(bench.link->writes.empty());
    EXPECT_EQ(machine.Result(), 0u);
}

TEST_F(CommandStatesTest, DelayStateWaitsWithoutSending)
{
    CDelayState<CTestMachine> pause(&machine, L"Pause", &after, 4000);
    ASSERT_TRUE(machine.Start(&pause));
    const DWORD start = GetTickCount();
    ASSERT_TRUE(bench.RunUntilIdle(machine));
    EXPECT_EQ(GetTickCount() - start, 4000u);
    EXPECT_TRUE(bench.link->writes.empty());
    EXPECT_EQ(after.entries, 1);
}

TEST_F(CommandStatesTest, CommandDelayStateIgnoresAnAnswerAndMovesOnAfterItsDelay)
{
    CCommandDelayState<CTestMachine> off(&machine, L"TextTerminalOff", &after, 10, L"TT0;");
    bench.link->AnswerAlways("TT0;", "?;", 2);
    ASSERT_TRUE(machine.Start(&off));
    bench.RunFor(9);
    EXPECT_EQ(after.entries, 0);
    EXPECT_EQ(machine.CurrentState(), &off);
    bench.RunFor(1);
    EXPECT_EQ(after.entries, 1);
    EXPECT_EQ(bench.link->writes, std::vector<std::string>{"TT0;"});
    EXPECT_EQ(bench.link->purges, 1u);  // stale input is discarded before each command
}

TEST_F(CommandStatesTest, OptionalResponseGoesOnWithOrWithoutAnAnswer)
{
    CCommandOptionalResponseState<CTestMachine> identify(&machine, L"Identify", &after, L"I;", 200);
    ASSERT_TRUE(machine.Start(&identify));  // nobody answers
    DWORD start = GetTickCount();
    ASSERT_TRUE(bench.RunUntilIdle(machine));
    EXPECT_EQ(GetTickCount() - start, 200u);
    EXPECT_EQ(after.entries, 1);

    bench.link->AnswerAlways("I;", "ZR8;", 20);
    ASSERT_TRUE(machine.Start(&identify));
    start = GetTickCount();
    ASSERT_TRUE(bench.RunUntilIdle(machine));
    EXPECT_EQ(GetTickCount() - start, 20u);
    EXPECT_EQ(after.entries, 2);
    EXPECT_EQ(machine.Result(), 0u);
}

TEST_F(CommandStatesTest, AnswerOfAnotherCommandIsRejectedAndDoesNotStopTheTimer)
{
    CRecordingState serial(&machine, L"GetSerialNumber", &after, L"SN;", 500, kError);
    bench.link->AnswerAlways("SN;", "RV01.23;", 5);
    ASSERT_TRUE(machine.Start(&serial));
    const DWORD start = GetTickCount();
    ASSERT_TRUE(bench.RunUntilIdle(machine));

    EXPECT_EQ(serial.responses, std::vector<std::wstring>{L"RV01.23;"});
    EXPECT_EQ(GetTickCount() - start, 500u);
    EXPECT_EQ(machine.Result(), kError);
    EXPECT_EQ(after.entries, 0);
    EXPECT_EQ(bench.doneResults, std::vector<DWORD>{kError});
}

TEST_F(CommandStatesTest, PrefixIsComparedWithoutRegardToCase)
{
    CRecordingState serial(&machine, L"GetSerialNumber", &after, L"SN;", 500, kError);
    bench.link->AnswerAlways("SN;", "sn00042;", 5);
    ASSERT_TRUE(machine.Start(&serial));
    ASSERT_TRUE(bench.RunUntilIdle(machine));
    EXPECT_EQ(machine.Result(), 0u);
    EXPECT_EQ(after.entries, 1);
}

TEST_F(CommandStatesTest, MachineThatHasFailedSendsNothingMore)
{
    class CFailedBefore : public CState<CTestMachine> {
    public:
        using CState<CTestMachine>::CState;
        void Enter() override
        {
            m_machine->SetResult(ERROR_ACCESS_DENIED);
            Next();
        }
    };
    CCommandDelayState<CTestMachine> off(&machine, L"TextTerminalOff", &after, 10, L"TT0;");
    CFailedBefore failed(&machine, L"Failed", &off);
    ASSERT_TRUE(machine.Start(&failed));
    EXPECT_TRUE(machine.IsIdle());
    EXPECT_TRUE(bench.link->writes.empty());
    EXPECT_EQ(machine.Result(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(CommandStatesTest, RetryingStateAnsweredAtTheThirdSendGoesOnAndCountsAfreshNextTime)
{
    // The body runs twice; with a limit of 3 sends it only passes the second time if the
    // count of the first pass was forgotten when the state was entered again.
    machine.SetRetryLimit(3);
    machine.loopCount = 2;
    CLoopTestState<CTestMachine> test(&machine, nullptr, &after);
    CLoopStepState<CTestMachine> step(&machine, &test);
    CParsingRetryState version(&machine, L"GetMcuVersion", &step, kError, L"RV;");
    CLoopInitState<CTestMachine> init(&machine, &test);
    test.SetNextState(&version);

    unsigned sends = 0;
    bench.link->onWrite = [&](const std::string& written) {
        if (written == "RV;" && ++sends % 3 == 0)
            bench.link->DeliverAfter(5, "RV01.23;");
    };
    ASSERT_TRUE(machine.Start(&init));
    ASSERT_TRUE(bench.RunUntilIdle(machine));

    EXPECT_EQ(machine.Result(), 0u);
    EXPECT_EQ(sends, 6u);
    EXPECT_EQ(after.entries, 1);
    EXPECT_EQ(machine.loopIndex, 2u);
}

TEST_F(CommandStatesTest, RetryingStateFailsAtTheEighthTimeOut)
{
    CParsingRetryState version(&machine, L"GetMcuVersion", &after, kError, L"RV;");
    std::vector<DWORD> sendTimes;
    bench.link->onWrite = [&](const std::string&) { sendTimes.push_back(GetTickCount()); };
    ASSERT_TRUE(machine.Start(&version));
    const DWORD start = GetTickCount();
    ASSERT_TRUE(bench.RunUntilIdle(machine));

    EXPECT_EQ(machine.Result(), kError);
    EXPECT_EQ(CountWrites(*bench.link, "RV;"), 8u);
    EXPECT_EQ(GetTickCount() - start, 4000u);
    ASSERT_EQ(sendTimes.size(), 8u);
    for (size_t i = 1; i < sendTimes.size(); ++i)
        EXPECT_EQ(sendTimes[i] - sendTimes[i - 1], 500u);
    EXPECT_EQ(bench.link->purges, 8u);  // every resend starts from an empty queue
}

TEST_F(CommandStatesTest, RejectedAnswersDoNotCountAsTries)
{
    machine.SetRetryLimit(2);
    CParsingRetryState version(&machine, L"GetMcuVersion", &after, kError, L"RV;");
    bench.link->onWrite = [&](const std::string&) {
        bench.link->DeliverAfter(10, "?;");
        bench.link->DeliverAfter(20, "SN1;");
    };
    ASSERT_TRUE(machine.Start(&version));
    ASSERT_TRUE(bench.RunUntilIdle(machine));
    EXPECT_EQ(CountWrites(*bench.link, "RV;"), 2u);
    EXPECT_EQ(machine.Result(), kError);
}

TEST_F(CommandStatesTest, RetryLimitOfOneSendsOnceAndFailsAtTheFirstTimeOut)
{
    machine.SetRetryLimit(1);
    CParsingRetryState version(&machine, L"GetMcuVersion", &after, kError, L"RV;");
    ASSERT_TRUE(machine.Start(&version));
    const DWORD start = GetTickCount();
    ASSERT_TRUE(bench.RunUntilIdle(machine));
    EXPECT_EQ(bench.link->writes, std::vector<std::string>{"RV;"});
    EXPECT_EQ(GetTickCount() - start, 500u);
    EXPECT_EQ(machine.Result(), kError);
}

TEST_F(CommandStatesTest, ResetPutsTheBaseCommandBack)
{
    CParsingRetryState version(&machine, L"GetMcuVersion", &after, kError, L"RV;");
    version.SetCommand(L"XX;");
    bench.link->AnswerAlways("RV;", "RV01.23;");
    ASSERT_TRUE(machine.Start(&version));
    ASSERT_TRUE(bench.RunUntilIdle(machine));
    EXPECT_EQ(bench.link->writes, std::vector<std::string>{"RV;"});
    EXPECT_EQ(machine.Result(), 0u);
}

}  // namespace
