// CConfigSaveStateMachine: reads the radio's configuration area (0x000-0x3FF) into its
// EEPROM image, four ranges of 256 bytes, after a speed search and "TT0;". The dialog
// (or the command line) writes the file once the machine has finished without error,
// so a cancelled or failed read never creates one.
#pragma once

#include <vector>

#include "config/config_format.h"
#include "core/statemachine/eeprom_block_states.h"
#include "core/statemachine/find_speed_state.h"
#include "core/statemachine/loop_states.h"
#include "core/statemachine/machine_timer_ids.h"
#include "core/statemachine/progress_bar_state_host.h"
#include "core/statemachine/text_terminal_off_state.h"

class CConfigSaveStateMachine;

// One read range per pass of the loop.
class CConfigSavePicPromLoopBodyState : public CReadPicPromState<CConfigSaveStateMachine> {
public:
    CConfigSavePicPromLoopBodyState(CConfigSaveStateMachine* machine, const wchar_t* name,
                                    CState<CConfigSaveStateMachine>* next);
    void Reset() override;
};

class CConfigSaveStateMachine : public CProgressBarStateHost<CConfigSaveStateMachine> {
public:
    using T = CConfigSaveStateMachine;
    static constexpr UINT_PTR kTimerId = MachineTimer::ConfigSave;
    static constexpr DWORD kBlockTimeoutMs = 2000;

    explicit CConfigSaveStateMachine(CModelBase& model);

    // Takes the dialog's progress bar (none when it is no window), 1024 units, and
    // starts at "LoopInit". False with 0xE2000052 when the machine is busy.
    BOOL Start(HWND dialog);

    // The loop's actions.
    void LoopInit() { m_rangeCounter = 0; }
    void LoopStep() { ++m_rangeCounter; }
    bool LoopTest() const { return m_rangeCounter < ConfigFormat::kReadRangeCount; }
    int RangeCounter() const { return m_rangeCounter; }

    // Indexed by EEPROM address; only 0x000-0x3FF is filled.
    BYTE* Image() { return m_image.data(); }
    const BYTE* Image() const { return m_image.data(); }

    CState<T>* FirstState() { return &m_loopInit; }

private:
    std::vector<BYTE> m_image;
    int m_rangeCounter = 0;

    CLoopInitState<T> m_loopInit;
    CFindSpeedState<T> m_findSpeed;
    CTextTerminalOffState<T> m_textTerminalOff;
    CLoopTestState<T> m_loopTest;
    CConfigSavePicPromLoopBodyState m_body;
    CLoopStepState<T> m_loopStep;
};
