// A machine of the framework talking to zr8sim over a real pseudo-terminal, on the real
// clock and real timers: the POSIX device, its listener, the host's byte-by-byte reads
// and the retrying command state together, as on a radio behind a USB adapter.
#include <gtest/gtest.h>

#include "core/statemachine/command_states.h"
#include "core/text/error_codes.h"
#include "platform/code_pages.h"
#include "platform/message_loop.h"
#include "sim_process.h"
#include "tests/core/statemachine/machine_bench.h"
#include "tests/core/statemachine/test_machine.h"

namespace {

constexpr DWORD kNoVersion = 0xE2000099;

// Takes only answers that start with its mnemonic and keeps them.
class CDigestingState : public CCommandResponseRetryState<CTestMachine> {
public:
    CDigestingState(CTestMachine* machine, const wchar_t* name, CState<CTestMachine>* next, DWORD error,
                    const wchar_t* command)
        : CCommandResponseRetryState<CTestMachine>(machine, name, next, error, command, 300) {}
    bool ParseResponse() override
    {
        if (!ReceivedStartsWithPrefix())
            return false;
        answers.push_back(m_machine->ReceivedText());
        return true;
    }
    std::vector<std::wstring> answers;
};

struct PtyCase {
    const char* fault;        // nullptr: a sound radio
    DWORD result;
    size_t versionSends;
    std::vector<std::wstring> versionAnswers;
    std::vector<std::wstring> serialAnswers;
};

TEST(MachineOverPty, AsksVersionAndSerialNumberAndResendsWhenAnAnswerIsLost)
{
    const PtyCase cases[] = {
        {nullptr, 0, 1, {L"RV01.23;"}, {L"SN12345;"}},
        {"drop-reply=1", 0, 2, {L"RV01.23;"}, {L"SN12345;"}},
        {"silent=0", kNoVersion, 2, {}, {}},
    };
    for (const PtyCase& c : cases) {
        SCOPED_TRACE(c.fault ? c.fault : "no fault");
        std::vector<std::string> args = {"--baud-model", "line"};
        if (c.fault)
            args.insert(args.end(), {"--fault", c.fault});
        CSimProcess sim;
        std::string error;
        ASSERT_TRUE(sim.Start(args, error)) << error;

        CMachineBench bench;
        MessageLoop::UseVirtualClock(false);  // real window timers against a real line
        bench.model.m_trace.Set(1);
        ASSERT_EQ(bench.model.OpenSerialPort(CodePages::FromUtf8(sim.SlavePath())), 0u);
        CTestMachine machine(bench.model);
        machine.SetOwnerWindow(bench.window.Handle());
        machine.SetRetryLimit(2);
        bench.model.AttachOperation(&machine);
        CDigestingState serial(&machine, L"GetSerialNumber", machine.FinalState(),
                               Zr8Error::NoResponseSerialNumber, L"SN;");
        CDigestingState version(&machine, L"GetMcuVersion", &serial, kNoVersion, L"RV;");

        ASSERT_TRUE(machine.Start(&version));
        ASSERT_TRUE(bench.RunUntilIdle(machine, 10000));

        EXPECT_EQ(machine.Result(), c.result);
        EXPECT_EQ(bench.doneResults, std::vector<DWORD>{c.result});
        EXPECT_EQ(LinesStartingWith(bench.logTexts, L"GetMcuVersion send RV;").size(), c.versionSends);
        EXPECT_EQ(version.answers, c.versionAnswers);
        EXPECT_EQ(serial.answers, c.serialAnswers);
        if (!c.versionAnswers.empty()) {
            const auto traced = LinesStartingWith(bench.logTexts, L"GetMcuVersion response RV01.23; ");
            EXPECT_EQ(traced.size(), 1u);
        }
        EXPECT_TRUE(bench.boxes.empty());
        bench.model.DetachOperation();
    }
}

}  // namespace
