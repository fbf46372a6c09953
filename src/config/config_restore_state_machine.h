// CConfigRestoreStateMachine: writes the records read from a configuration file back
// into the radio's EEPROM, one block-write run per record, after a speed search. Its
// completion re-establishes contact first: a successful restore is reported once the
// radio has been found and identified again.
#pragma once

#include <string>

#include "config/restore_records.h"
#include "core/statemachine/eeprom_block_states.h"
#include "core/statemachine/find_speed_state.h"
#include "core/statemachine/loop_states.h"
#include "core/statemachine/machine_timer_ids.h"
#include "core/statemachine/progress_bar_state_host.h"

class CConfigRestoreStateMachine;

// One record per pass of the loop.
class CConfigRestorePicPromLoopBodyState : public CWritePicPromState<CConfigRestoreStateMachine> {
public:
    CConfigRestorePicPromLoopBodyState(CConfigRestoreStateMachine* machine, const wchar_t* name,
                                       CState<CConfigRestoreStateMachine>* next);
    void Reset() override;
};

class CConfigRestoreStateMachine : public CProgressBarStateHost<CConfigRestoreStateMachine> {
public:
    using T = CConfigRestoreStateMachine;
    static constexpr UINT_PTR kTimerId = MachineTimer::ConfigRestore;
    static constexpr DWORD kBlockTimeoutMs = 2000;

    explicit CConfigRestoreStateMachine(CModelBase& model);

    // A cancel that came while the last record's last block was on its way came too late:
    // the radio has been written completely, and the restore completes as a good one.
    void OnComplete() override
    {
        if (Result() == ERROR_CANCELLED && AllRecordsWritten())
            SetResult(0);
        OnCompleteReconnect();
    }
    bool AllRecordsWritten() const { return m_loopCounter >= 0 && size_t(m_loopCounter) >= m_records.Count(); }

    // Reads and checks the file into the records, for the radio the model knows (its
    // serial number, the "AdvancedMode" setting); boxes are owned by owner. 0 or the
    // reader's error; on an error the restore must not start.
    DWORD ReadFile(const std::wstring& path, HWND owner);
    // Takes the dialog's progress bar, the records' total, and starts at "FindSpeed".
    // False with 0xE2000052 when the machine is busy.
    BOOL Start(HWND dialog);

    void LoopInit();
    void LoopStep() { ++m_loopCounter; }
    bool LoopTest() const { return m_loopCounter >= 0 && size_t(m_loopCounter) < m_records.Count(); }
    int LoopCounter() const { return m_loopCounter; }

    CRestoreRecords& Records() { return m_records; }
    bool SerialNumberMismatch() const { return m_serialNumberMismatch; }

    CState<T>* FirstState() { return &m_findSpeed; }

private:
    CRestoreRecords m_records;
    int m_loopCounter = 0;
    bool m_serialNumberMismatch = false;

    CFindSpeedState<T> m_findSpeed;
    CLoopInitState<T> m_loopInit;
    CLoopTestState<T> m_loopTest;
    CConfigRestorePicPromLoopBodyState m_body;
    CLoopStepState<T> m_loopStep;
};
