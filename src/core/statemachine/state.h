// CState<T>: one step of a machine T. The machine embeds its states as members and
// wires their "next" pointers once in its constructor; a state never owns another.
// CFinalState<T>: the state a machine rests in when idle; entering it reports the end.
#pragma once

#include <string>

#include "core/text/error_codes.h"
#include "platform/win_types.h"

class CStateHost2;

template <class T>
class CState {
public:
    CState(T* machine, const wchar_t* name, CState<T>* next)
        : m_machine(machine), m_name(name), m_next(next) {}
    virtual ~CState() = default;
    CState(const CState&) = delete;
    CState& operator=(const CState&) = delete;

    virtual void Next() {
        if (m_next) m_machine->TransitionTo(m_next);
    }
    virtual void Finish() { m_machine->TransitionTo(m_machine->FinalState()); }
    // Records the code unless a negative (system-level) result is already there, then
    // goes on while all is well, or ends.
    virtual void Complete(DWORD code) {
        if (!IsNegative(m_machine->Result())) m_machine->SetResult(code);
        if (m_next && m_machine->Result() == 0)
            m_machine->TransitionTo(m_next);
        else
            m_machine->TransitionTo(m_machine->FinalState());
    }
    virtual void OnResponse() {}
    virtual void Enter() = 0;
    virtual void Reset() {}
    virtual void OnTimeout() {}
    virtual void OnSend(const std::wstring& text) {}
    virtual void Fail(DWORD code) {
        m_machine->SetResult(code);
        Finish();
    }

    const wchar_t* Name() const { return m_name; }
    CState<T>* NextState() const { return m_next; }
    void SetNextState(CState<T>* next) { m_next = next; }
    T* Machine() const { return m_machine; }

protected:
    T* m_machine;
    const wchar_t* m_name;
    CState<T>* m_next;

    template <class>
    friend class CStateHost;
};

template <class T>
class CFinalState : public CState<T> {
public:
    // The host is known while the machine is still being built; the machine pointer is
    // filled in by the host once the machine exists (CStateHost<T>::StartAt).
    explicit CFinalState(CStateHost2* host) : CState<T>(nullptr, L"Final", nullptr), m_host(host) {}
    void Enter() override;

private:
    CStateHost2* m_host;
};
