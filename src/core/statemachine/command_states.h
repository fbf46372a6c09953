// The ways one command is exchanged with the radio, as one chain of inheritance:
//   CDelayState                     wait, without sending
//   CCommandDelayState              send, then pause (answers are ignored)
//   CCommandOptionalResponseState   send, take an answer if one comes in time
//   CCommandResponseState           send, insist on an answer (else the error code)
//   CCommandResponseRetryState      send, insist, resend up to the machine's retry limit
// Machine-specific states derive from these and override the response hooks.
#pragma once

#include <string>

#include "core/statemachine/state.h"
#include "core/statemachine/state_host.h"
#include "platform/win_types.h"

template <class T>
class CDelayState : public CState<T> {
public:
    CDelayState(T* machine, const wchar_t* name, CState<T>* next, DWORD delayMs)
        : CState<T>(machine, name, next), m_delay(delayMs) {}

    void Enter() override { this->m_machine->StartTimer(m_delay); }
    void OnTimeout() override { this->Next(); }

    DWORD Delay() const { return m_delay; }
    void SetDelay(DWORD delayMs) { m_delay = delayMs; }

protected:
    DWORD m_delay;
};

template <class T>
class CCommandDelayState : public CDelayState<T> {
public:
    CCommandDelayState(T* machine, const wchar_t* name, CState<T>* next, DWORD delayMs,
                       const std::wstring& command)
        : CDelayState<T>(machine, name, next, delayMs), m_command(command) {}

    void Enter() override {
        if (m_command.empty())
            this->Next();
        else
            Send();
    }
    void OnSend(const std::wstring& text) override {
        T* machine = this->m_machine;
        machine->Trace(StateTrace::kSend, machine->CurrentState()->Name(), text.c_str());
    }

    // A machine that has already failed does not talk to the radio again.
    virtual void Send() {
        if (this->m_machine->Result() != 0) {
            this->Finish();
            return;
        }
        this->m_machine->SendCommand(m_command, this->m_delay);
    }

    const std::wstring& Command() const { return m_command; }
    void SetCommand(const std::wstring& command) { m_command = command; }

protected:
    std::wstring m_command;
};

template <class T>
class CCommandOptionalResponseState : public CCommandDelayState<T> {
public:
    CCommandOptionalResponseState(T* machine, const wchar_t* name, CState<T>* next,
                                  const std::wstring& command, DWORD timeoutMs)
        : CCommandDelayState<T>(machine, name, next, timeoutMs, command),
          m_baseCommand(command),
          m_responsePrefix(MakeResponsePrefix(command)) {}

    void Reset() override {
        this->m_machine->SetTerminators(GetTerminators());
        this->m_command = m_baseCommand;
    }
    void OnResponse() override {
        if (ParseResponse()) {
            this->m_machine->StopTimer();
            AcceptResponse();
        }
    }
    void OnTimeout() override { this->Next(); }

    virtual void AcceptResponse() { OnResponseAccepted(); }
    virtual std::wstring GetTerminators() { return L";"; }
    virtual void OnResponseAccepted() { this->Next(); }
    // Any complete response is accepted here; digesting states check the prefix.
    virtual bool ParseResponse() { return true; }

    const std::wstring& BaseCommand() const { return m_baseCommand; }
    const std::wstring& ResponsePrefix() const { return m_responsePrefix; }

    // The command in upper case without its trailing ";" ("SN;" gives "SN").
    static std::wstring MakeResponsePrefix(const std::wstring& command) {
        std::wstring prefix = command;
        for (wchar_t& c : prefix)
            if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
        while (!prefix.empty() && prefix.back() == L';') prefix.pop_back();
        return prefix;
    }

    // True when the received text starts with the response prefix, letters compared
    // without regard to case.
    bool ReceivedStartsWithPrefix() const {
        const std::wstring& r = this->m_machine->ReceivedText();
        if (r.size() < m_responsePrefix.size()) return false;
        for (size_t i = 0; i < m_responsePrefix.size(); ++i) {
            wchar_t c = r[i];
            if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
            if (c != m_responsePrefix[i]) return false;
        }
        return true;
    }

protected:
    std::wstring m_baseCommand;
    std::wstring m_responsePrefix;
};

template <class T>
class CCommandResponseState : public CCommandOptionalResponseState<T> {
public:
    CCommandResponseState(T* machine, const wchar_t* name, CState<T>* next, DWORD errorCode,
                          const std::wstring& command, DWORD timeoutMs)
        : CCommandOptionalResponseState<T>(machine, name, next, command, timeoutMs),
          m_errorCode(errorCode) {}

    void OnTimeout() override { this->Fail(m_errorCode); }

    DWORD ErrorCode() const { return m_errorCode; }

protected:
    DWORD m_errorCode;
};

template <class T>
class CCommandResponseRetryState : public CCommandResponseState<T> {
public:
    static constexpr DWORD kDefaultTimeoutMs = 500;

    CCommandResponseRetryState(T* machine, const wchar_t* name, CState<T>* next, DWORD errorCode,
                               const std::wstring& command, DWORD timeoutMs = kDefaultTimeoutMs)
        : CCommandResponseState<T>(machine, name, next, errorCode, command, timeoutMs) {}

    void Reset() override {
        CCommandResponseState<T>::Reset();
        m_sendCount = 0;
    }
    // The count is of time-outs; a rejected answer does not count as a try.
    void OnTimeout() override {
        ++m_sendCount;
        if (m_sendCount < this->m_machine->RetryLimit())
            this->Send();
        else
            this->Fail(this->m_errorCode);
    }

    DWORD SendCount() const { return m_sendCount; }

protected:
    DWORD m_sendCount = 0;
};
