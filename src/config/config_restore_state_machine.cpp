#include "config/config_restore_state_machine.h"

#include "config/config_file_reader.h"
#include "core/model/model_base.h"

CConfigRestorePicPromLoopBodyState::CConfigRestorePicPromLoopBodyState(CConfigRestoreStateMachine* machine,
                                                                       const wchar_t* name,
                                                                       CState<CConfigRestoreStateMachine>* next)
    : CWritePicPromState<CConfigRestoreStateMachine>(machine, name, next, CConfigRestoreStateMachine::kBlockTimeoutMs) {}

void CConfigRestorePicPromLoopBodyState::Reset() {
    CWritePicPromState<CConfigRestoreStateMachine>::Reset();
    CRestoreBlockRecord& record = m_machine->Records().At(size_t(m_machine->LoopCounter()));
    SetRange(record.StartAddress(), record.Length(), record.data + record.first);
}

CConfigRestoreStateMachine::CConfigRestoreStateMachine(CModelBase& model)
    : CProgressBarStateHost<T>(model, kTimerId),
      m_findSpeed(this, L"FindSpeed", &m_loopInit),
      m_loopInit(this, &m_loopTest),
      m_loopTest(this, &m_body, FinalState()),
      m_body(this, L"ConfigRestorePicPromBody", &m_loopStep),
      m_loopStep(this, &m_loopTest) {}

void CConfigRestoreStateMachine::LoopInit() {
    m_loopCounter = 0;
    m_serialNumberMismatch = false;
}

DWORD CConfigRestoreStateMachine::ReadFile(const std::wstring& path, HWND owner) {
    if (!IsIdle()) return Zr8Error::MachineBusy;  // the records belong to the run
    m_records.Clear();
    CConfigReadContext context;
    context.owner = owner;
    context.serialNumber = Model().m_serialNumber.Get();
    context.advancedMode = Model().m_advancedMode.Get() != 0;
    context.records = &m_records;
    const DWORD rc = ReadConfigurationFile(path, context);
    m_serialNumberMismatch = context.serialNumberMismatch;
    return rc;
}

BOOL CConfigRestoreStateMachine::Start(HWND dialog) {
    if (!IsIdle()) {
        SetLastError(Zr8Error::MachineBusy);
        return FALSE;
    }
    m_loopCounter = -1;  // no record written yet in this run
    AttachProgressBar(dialog);
    SetOwnerWindow(dialog);
    SetProgressRange(m_records.TotalBytes());
    return CProgressBarStateHost<T>::Start(&m_findSpeed);
}
