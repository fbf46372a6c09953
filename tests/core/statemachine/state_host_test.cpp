// The host: how responses are collected from the port and handed to the state, timer
// ticks, Complete's rule for results, trace lines, busy starts and completion.
#include <gtest/gtest.h>

#include "core/model/contact_state_machine.h"
#include "core/text/app_messages.h"
#include "machine_bench.h"
#include "platform/message_loop.h"
#include "test_machine.h"

namespace {

constexpr DWORD kAskError = 0xE2000099;

class StateHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bench.OpenPort());
        bench.model.AttachOperation(&machine);
        machine.SetOwnerWindow(bench.window.Handle());
        bench.model.m_trace.Set(1);
    }

    CMachineBench bench;
    CTestMachine machine{bench.model};
};

TEST_F(StateHostTest, ResponseSplitOverSeveralPortEventsIsHandedOverOnceComplete)
{
    CRecordingState ask(&machine, L"Ask", machine.FinalState(), L"RV;");
    bench.link->onWrite = [this](const std::string& written) {
        if (written != "RV;")
            return;
        bench.link->DeliverAfter(5, "RV0");
        bench.link->DeliverAfter(10, "1.2");
        bench.link->DeliverAfter(15, "3;");
    };
    ASSERT_TRUE(machine.Start(&ask));
    ASSERT_TRUE(bench.RunUntilIdle(machine));

    EXPECT_EQ(ask.responses, std::vector<std::wstring>{L"RV01.23;"});
    EXPECT_GE(bench.portEvents, 3u);
    EXPECT_EQ(machine.Result(), 0u);
}

TEST_F(StateHostTest, OnePortEventHandsOverOneResponseAndLeavesTheRestQueued)
{
    CRecordingState wait(&machine, L"Wait", machine.FinalState(), L"X;");
    ASSERT_TRUE(machine.Start(&wait));
    bench.link->pending = "A;B;";  // a burst the listener has not announced yet

    BOOL handled = FALSE;
    machine.OnPortEvent(WM_APP_PORT_EVENT, kEventRxChar, 0, handled);
    EXPECT_EQ(wait.responses, std::vector<std::wstring>{L"A;"});
    EXPECT_EQ(bench.link->pending, "B;");
    EXPECT_TRUE(machine.ReceivedText().empty());

    machine.OnPortEvent(WM_APP_PORT_EVENT, kEventRxChar, 0, handled);
    EXPECT_EQ(wait.responses, (std::vector<std::wstring>{L"A;", L"B;"}));
    EXPECT_TRUE(bench.link->pending.empty());
}

TEST_F(StateHostTest, BurstThroughThePortReachesTheStateAsTwoResponses)
{
    CRecordingState wait(&machine, L"Wait", machine.FinalState(), L"X;");
    ASSERT_TRUE(machine.Start(&wait));
    bench.link->Deliver("A;B;");
    bench.RunFor(50);
    EXPECT_EQ(wait.responses, (std::vector<std::wstring>{L"A;", L"B;"}));
    EXPECT_FALSE(machine.IsIdle());  // neither was its answer
}

TEST_F(StateHostTest, TimerTickOfAnotherMachineIsIgnored)
{
    CRecordingState ask(&machine, L"Ask", machine.FinalState(), L"RV;", 500);
    ASSERT_TRUE(machine.Start(&ask));
    const DWORD start = GetTickCount();

    BOOL handled = TRUE;
    machine.OnTimer(WM_TIMER, MachineTimer::Banner, 0, handled);
    EXPECT_FALSE(handled);
    EXPECT_EQ(machine.CurrentState(), &ask);
    EXPECT_EQ(machine.Result(), 0u);

    ASSERT_TRUE(bench.RunUntilIdle(machine));
    EXPECT_EQ(machine.Result(), kAskError);
    EXPECT_EQ(GetTickCount() - start, 500u);  // its own timer still ran its full course
}

TEST_F(StateHostTest, TickInTheMillisecondOfTheStartIsHandledWithoutElapsedLine)
{
    CRecordingState ask(&machine, L"Ask", machine.FinalState(), L"RV;", 500);
    ASSERT_TRUE(machine.Start(&ask));
    BOOL handled = FALSE;
    machine.OnTimer(WM_TIMER, machine.TimerId(), 0, handled);

    EXPECT_TRUE(handled);
    EXPECT_TRUE(machine.IsIdle());
    EXPECT_EQ(machine.Result(), kAskError);
    EXPECT_TRUE(LinesStartingWith(bench.logTexts, L"Ask elapsed").empty());

    // The same time-out after its 500 ms does leave the line.
    ASSERT_TRUE(machine.Start(&ask));
    ASSERT_TRUE(bench.RunUntilIdle(machine));
    EXPECT_EQ(LinesStartingWith(bench.logTexts, L"Ask elapsed"), std::vector<std::wstring>{L"Ask elapsed 500 ms"});
}

// Records a result as if an earlier step had, then completes with its own code.
class CCompletingState : public CState<CTestMachine> {
public:
    CCompletingState(CTestMachine* machine, CState<CTestMachine>* next, DWORD prior, DWORD code)
        : CState<CTestMachine>(machine, L"Completing", next), m_prior(prior), m_code(code) {}
    void Enter() override
    {
        m_machine->SetResult(m_prior);
        Complete(m_code);
    }

private:
    DWORD m_prior, m_code;
};

TEST_F(StateHostTest, CompleteKeepsAnEarlierNegativeResultAndGoesOnOnlyOnSuccess)
{
    struct Case {
        DWORD prior, code, expected;
        bool goesOn;
    };
    const Case cases[] = {
        {0, 0, 0, true},
        {0, ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED, false},
        {0, 0xE200000D, 0xE200000D, false},
        {0xE2000045, 0, 0xE2000045, false},
        {0xE2000045, ERROR_ACCESS_DENIED, 0xE2000045, false},
        {ERROR_GEN_FAILURE, 0, 0, true},  // only a negative result is protected
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << "prior 0x" << c.prior << " code 0x" << c.code);
        CProbeState after(&machine, L"After", machine.FinalState());
        CCompletingState completing(&machine, &after, c.prior, c.code);
        ASSERT_TRUE(machine.Start(&completing));
        EXPECT_TRUE(machine.IsIdle());
        EXPECT_EQ(machine.Result(), c.expected);
        EXPECT_EQ(after.entries, c.goesOn ? 1 : 0);
    }
}

TEST_F(StateHostTest, ReceivedCarriageReturnIsTracedAsEscape)
{
    CRecordingState ask(&machine, L"Ask", machine.FinalState(), L"RV;", 500);
    bench.link->AnswerAlways("RV;", "A\rB;", 5);
    ASSERT_TRUE(machine.Start(&ask));
    bench.RunFor(10);

    EXPECT_EQ(LinesStartingWith(bench.logTexts, L"Ask send"), std::vector<std::wstring>{L"Ask send RV;"});
    EXPECT_EQ(LinesStartingWith(bench.logTexts, L"Ask response"),
              std::vector<std::wstring>{L"Ask response A\\x0DB;   5 ms"});
}

TEST_F(StateHostTest, WithoutTraceSettingNoTraceLines)
{
    bench.model.m_trace.Set(0);
    CRecordingState ask(&machine, L"Ask", machine.FinalState(), L"RV;", 500);
    bench.link->AnswerAlways("RV;", "XX;", 5);
    ASSERT_TRUE(machine.Start(&ask));
    ASSERT_TRUE(bench.RunUntilIdle(machine));
    EXPECT_TRUE(bench.logTexts.empty());
}

TEST_F(StateHostTest, StartWhileBusyIsRefusedAndTheRunningMachineCarriesOn)
{
    CRecordingState ask(&machine, L"Ask", machine.FinalState(), L"RV;", 500);
    CProbeState other(&machine, L"Other", machine.FinalState());
    bench.link->AnswerAlways("RV;", "RV01.23;", 50);
    ASSERT_TRUE(machine.Start(&ask));

    SetLastError(0);
    EXPECT_FALSE(machine.Start(&other));
    EXPECT_EQ(GetLastError(), 0xE2000052u);
    EXPECT_EQ(other.entries, 0);
    EXPECT_EQ(machine.CurrentState(), &ask);

    ASSERT_TRUE(bench.RunUntilIdle(machine));
    EXPECT_EQ(machine.Result(), 0u);
    EXPECT_EQ(bench.doneResults, std::vector<DWORD>{0});
}

TEST_F(StateHostTest, FailedWriteEndsTheMachineWithTheSystemError)
{
    bench.link->writeError = ERROR_GEN_FAILURE;
    CRecordingState ask(&machine, L"Ask", machine.FinalState(), L"RV;", 500);
    ASSERT_TRUE(machine.Start(&ask));
    EXPECT_TRUE(machine.IsIdle());
    EXPECT_EQ(machine.Result(), static_cast<DWORD>(ERROR_GEN_FAILURE));
    EXPECT_EQ(bench.doneResults, std::vector<DWORD>{ERROR_GEN_FAILURE});
}

TEST_F(StateHostTest, LogReachesOwnerAndMainFrameAndCompletionEveryObserverInOrder)
{
    std::vector<std::pair<int, DWORD>> done;
    CMessageWindow second;
    second.Create([&](UINT message, WPARAM wParam, LPARAM) -> LRESULT {
        if (message == WM_APP_MACHINE_DONE)
            done.emplace_back(2, static_cast<DWORD>(wParam));
        return 0;
    });
    bench.model.m_completionEvent.AddObserver(second.Handle());

    machine.Log(L"Block %u of %u", 3u, 16u);
    EXPECT_EQ(bench.logTexts, std::vector<std::wstring>{L"Block 3 of 16"});
    EXPECT_EQ(bench.statusTexts, std::vector<std::wstring>{L"Block 3 of 16"});

    CCompletingState failing(&machine, machine.FinalState(), 0, 0xE2000050);
    ASSERT_TRUE(machine.Start(&failing));
    EXPECT_EQ(bench.doneResults, std::vector<DWORD>{0xE2000050});
    EXPECT_EQ(done, (std::vector<std::pair<int, DWORD>>{{2, 0xE2000050}}));
    bench.model.m_completionEvent.RemoveObserver(second.Handle());
}

TEST_F(StateHostTest, MachineDestroyedWhileWaitingLeavesNoTimerOrRoutingBehind)
{
    {
        CTestMachine doomed(bench.model, MachineTimer::Banner);
        CRecordingState ask(&doomed, L"Ask", doomed.FinalState(), L"RV;", 500);
        bench.model.AttachOperation(&doomed);
        ASSERT_TRUE(doomed.Start(&ask));
        bench.RunFor(100);
    }
    EXPECT_EQ(bench.model.AttachedOperation(), nullptr);
    bench.RunFor(1000);
    EXPECT_TRUE(bench.foreignTimers.empty());
}

// Completion through OnCompleteReconnect, as the machines that restart the radio do.
class ReconnectTest : public StateHostTest {
protected:
    void SetUp() override
    {
        StateHostTest::SetUp();
        machine.reconnect = true;
        bench.link->AnswerAlways(";", "?;");
        bench.link->AnswerAlways("I;", "ZR8;");
        bench.link->AnswerAlways("RV;", "RV01.24;");
        bench.link->AnswerAlways("SN;", "SN12345;");
        bench.model.m_firmwareStatus.Set(FirmwareStatusApplication);
    }
    CContactStateMachine& contact() { return bench.model.ContactMachine(); }
};

TEST_F(ReconnectTest, SuccessRestartsContactAndTheOwnerHearsOnlyItsResult)
{
    CCompletingState done(&machine, machine.FinalState(), 0, 0);
    ASSERT_TRUE(machine.Start(&done));

    EXPECT_EQ(bench.model.AttachedOperation(), nullptr);
    EXPECT_FALSE(contact().IsIdle());
    EXPECT_EQ(contact().CurrentState(), &contact().FindSpeedState());
    EXPECT_TRUE(bench.doneResults.empty());

    ASSERT_TRUE(bench.RunUntilIdle(contact()));
    EXPECT_EQ(bench.doneResults, std::vector<DWORD>{0});
    EXPECT_EQ(bench.model.m_mcuVersion.Get(), 124);
    EXPECT_EQ(machine.completions, 1);
}

TEST_F(ReconnectTest, UnexpectedDeviceAlsoGoesBackToContact)
{
    CCompletingState done(&machine, machine.FinalState(), 0, 0xE200004E);
    ASSERT_TRUE(machine.Start(&done));
    EXPECT_FALSE(contact().IsIdle());
    EXPECT_TRUE(bench.doneResults.empty());
}

TEST_F(ReconnectTest, FailureClearsFirmwareStatusAndIsReportedAtOnce)
{
    CCompletingState failing(&machine, machine.FinalState(), 0, 0xE200000D);
    ASSERT_TRUE(machine.Start(&failing));
    EXPECT_TRUE(contact().IsIdle());
    EXPECT_EQ(bench.model.m_firmwareStatus.Get(), FirmwareStatusNone);
    EXPECT_EQ(bench.doneResults, std::vector<DWORD>{0xE200000D});
}

TEST_F(ReconnectTest, SuccessWithoutAttachedOperationIsReportedAtOnce)
{
    bench.model.DetachOperation();
    CCompletingState done(&machine, machine.FinalState(), 0, 0);
    ASSERT_TRUE(machine.Start(&done));
    EXPECT_TRUE(contact().IsIdle());
    EXPECT_EQ(bench.doneResults, std::vector<DWORD>{0});
}

}  // namespace
