// A machine for the framework tests: its states are made by each test and wired to
// it, it runs a loop over loopCount, and it can finish through OnCompleteReconnect as
// the machines that restart the radio do.
#pragma once

#include <string>
#include <vector>

#include "core/statemachine/command_states.h"
#include "core/statemachine/machine_timer_ids.h"
#include "core/statemachine/progress_bar_state_host.h"

class CTestMachine : public CProgressBarStateHost<CTestMachine> {
public:
    explicit CTestMachine(CModelBase& model, UINT_PTR timerId = MachineTimer::ConfigSave)
        : CProgressBarStateHost<CTestMachine>(model, timerId) {}

    void OnComplete() override {
        ++completions;
        if (reconnect)
            OnCompleteReconnect();
        else
            CProgressBarStateHost<CTestMachine>::OnComplete();
    }

    void LoopInit() { loopIndex = 0; }
    void LoopStep() { ++loopIndex; }
    bool LoopTest() { return loopIndex < loopCount; }

    unsigned loopIndex = 0;
    unsigned loopCount = 0;
    bool reconnect = false;
    int completions = 0;
};

// Counts its entries and goes on at once.
class CProbeState : public CState<CTestMachine> {
public:
    CProbeState(CTestMachine* machine, const wchar_t* name, CState<CTestMachine>* next)
        : CState<CTestMachine>(machine, name, next) {}
    void Enter() override {
        ++entries;
        Next();
    }
    int entries = 0;
};

// Sends its command and records every complete response it is handed; accepts those
// that start with its response prefix (any case), like the digesting states do.
class CRecordingState : public CCommandResponseState<CTestMachine> {
public:
    CRecordingState(CTestMachine* machine, const wchar_t* name, CState<CTestMachine>* next,
                    const std::wstring& command, DWORD timeoutMs = 500, DWORD errorCode = 0xE2000099)
        : CCommandResponseState<CTestMachine>(machine, name, next, errorCode, command, timeoutMs) {}
    bool ParseResponse() override {
        responses.push_back(m_machine->ReceivedText());
        return ReceivedStartsWithPrefix();
    }
    std::vector<std::wstring> responses;
};
