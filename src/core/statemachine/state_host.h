// CStateHost<T>: the host of machine T. Runs one state at a time on port events and
// timer ticks; a transition resets the state and enters it at once (no queue), so
// chains of states that need no I/O run to completion within one call.
#pragma once

#include <string>

#include "core/statemachine/state.h"
#include "core/statemachine/state_host2.h"
#include "core/statemachine/state_machine.h"
#include "core/text/error_codes.h"
#include "platform/win_types.h"

template <class T>
class CStateHost : public CStateHost2, public IStateMachine {
public:
    CStateHost(CModelBase& model, UINT_PTR timerId) : CStateHost2(model, timerId), m_final(this) {
        m_current = &m_final;
    }
    // A machine that goes away mid-run leaves no timer and no routing to itself behind.
    ~CStateHost() override {
        if (!IsIdle()) StopTimer();
        ForgetOperation(this);
    }

    // Does nothing here; CProgressBarStateHost<T> moves its bar.
    virtual void AdvanceProgress(DWORD units) {}

    // Starts at the given state unless the machine is busy: then FALSE with 0xE2000052
    // as the last error. The running machine keeps its own result, so a refused start
    // cannot make it fail at its next send.
    BOOL Start(CState<T>* first) {
        if (!IsIdle()) {
            SetLastError(Zr8Error::MachineBusy);
            return FALSE;
        }
        StartAt(first);
        return TRUE;
    }

    // No busy check: the contact machine is restarted this way whatever it was doing.
    void StartAt(CState<T>* first);

    void TransitionTo(CState<T>* state) {
        m_current = state;
        state->Reset();
        m_current->Enter();
    }

    // Clears the buffer, traces, discards stale input and writes the command; a failed
    // purge or write ends the machine with the system error.
    bool SendCommand(const std::wstring& text, DWORD timeoutMs);

    bool IsIdle() override { return m_current == &m_final; }
    LRESULT OnPortEvent(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
    LRESULT OnTimer(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) override;

    CState<T>* FinalState() { return &m_final; }
    CState<T>* CurrentState() const { return m_current; }

protected:
    T* Self() { return static_cast<T*>(this); }

    CFinalState<T> m_final;
    CState<T>* m_current;
};

template <class T>
void CFinalState<T>::Enter() {
    // A tick still armed (a restart while waiting) would otherwise go on firing.
    m_host->StopTimer();
    m_host->OnComplete();
}

template <class T>
void CStateHost<T>::StartAt(CState<T>* first) {
    StopTimer();  // a restart abandons whatever the previous run was waiting for
    m_final.m_machine = Self();
    m_firmwareStatusToPublish = CurrentFirmwareStatus();
    m_result = 0;
    SetLastError(0);
    TransitionTo(first);
}

template <class T>
bool CStateHost<T>::SendCommand(const std::wstring& text, DWORD timeoutMs) {
    m_receivedText.clear();
    m_current->OnSend(text);
    if (!PurgeAndWrite(text)) {
        m_result = GetLastError();
        TransitionTo(&m_final);
        return false;
    }
    StartTimer(timeoutMs);
    return true;
}

template <class T>
LRESULT CStateHost<T>::OnPortEvent(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) {
    handled = TRUE;
    if (!ReadAvailable()) return 0;
    if (IsResponseComplete()) {
        TraceResponse(m_current->Name());
        m_current->OnResponse();
        m_receivedText.clear();
    }
    return 0;
}

template <class T>
LRESULT CStateHost<T>::OnTimer(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) {
    if (wParam != TimerId()) {
        handled = FALSE;
        return 0;
    }
    handled = TRUE;
    StopTimer();
    DWORD elapsed = GetTickCount() - m_timerStart;
    if (elapsed != 0) Trace(StateTrace::kElapsed, m_current->Name(), static_cast<unsigned>(elapsed));
    m_current->OnTimeout();
    return 0;
}
