#include "config/config_save_state_machine.h"

CConfigSavePicPromLoopBodyState::CConfigSavePicPromLoopBodyState(CConfigSaveStateMachine* machine,
                                                                 const wchar_t* name,
                                                                 CState<CConfigSaveStateMachine>* next)
    : CReadPicPromState<CConfigSaveStateMachine>(machine, name, next, CConfigSaveStateMachine::kBlockTimeoutMs) {}

void CConfigSavePicPromLoopBodyState::Reset() {
    CReadPicPromState<CConfigSaveStateMachine>::Reset();
    const ConfigFormat::CRange& range = ConfigFormat::kReadRanges[m_machine->RangeCounter()];
    // A start beyond the image has no destination; the block state then refuses it.
    BYTE* destination = range.start < ConfigFormat::kImageSize ? m_machine->Image() + range.start : nullptr;
    SetRange(range.start, range.length, destination);
}

CConfigSaveStateMachine::CConfigSaveStateMachine(CModelBase& model)
    : CProgressBarStateHost<T>(model, kTimerId),
      m_image(ConfigFormat::kImageSize, 0xFF),
      m_loopInit(this, &m_findSpeed),
      m_findSpeed(this, L"FindSpeed", &m_textTerminalOff),
      m_textTerminalOff(this, L"TextTerminalOff", &m_loopTest),
      m_loopTest(this, &m_body, FinalState()),
      m_body(this, L"ConfigSavePicPromBody", &m_loopStep),
      m_loopStep(this, &m_loopTest) {}

BOOL CConfigSaveStateMachine::Start(HWND dialog) {
    if (!IsIdle()) {
        SetLastError(Zr8Error::MachineBusy);
        return FALSE;
    }
    AttachProgressBar(dialog);
    SetOwnerWindow(dialog);
    SetProgressRange(ConfigFormat::kConfigAreaSize);
    return CProgressBarStateHost<T>::Start(&m_loopInit);
}
