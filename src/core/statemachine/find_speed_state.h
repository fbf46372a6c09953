// The search that establishes that the radio answers on the port: ";" polls at
// 9600 bit/s, five of them a poll time-out apart. CFindSpeedState fails after five
// unanswered polls (0xE2000045); CFindSpeedLoopState, which the contact machine uses,
// starts another cycle of five with a time-out half as long again, up to 5 s, and goes
// on until the radio answers or the port is closed.
#pragma once

#include <algorithm>

#include "core/statemachine/command_states.h"
#include "core/text/error_codes.h"

class CStateHost2;

namespace SpeedSearch {
constexpr DWORD kStartRate = 9600;
constexpr DWORD kFirstPollTimeoutMs = 100;
constexpr DWORD kLongestPollTimeoutMs = 5000;
constexpr DWORD kPollsPerCycle = 5;
void SetRate(CStateHost2& host, DWORD rate);       // the model's speed value
DWORD CurrentRate(CStateHost2& host);              // the port's rate
// Status text for the main frame: "Attempting to contact ZR8 on COM3 at 9600 bit/s",
// "Connected to ZR8 on COM3 at 9600 bit/s".
void AnnounceAttempt(CStateHost2& host);
void AnnounceContact(CStateHost2& host);
}  // namespace SpeedSearch

template <class T>
class CFindSpeedState : public CCommandResponseRetryState<T> {
public:
    CFindSpeedState(T* machine, const wchar_t* name, CState<T>* next)
        : CCommandResponseRetryState<T>(machine, name, next, Zr8Error::NoResponseAfterReset, L";", 500) {}

    void Reset() override {
        CCommandResponseRetryState<T>::Reset();
        StartCycle();
    }
    void Enter() override { CCommandDelayState<T>::Enter(); }
    // Anything ending in ";" proves the radio answers.
    bool ParseResponse() override { return true; }
    void OnResponseAccepted() override {
        SpeedSearch::AnnounceContact(*this->m_machine);
        this->Next();
    }
    void OnTimeout() override {
        ++this->m_sendCount;
        if (this->m_sendCount < SpeedSearch::kPollsPerCycle) {
            Enter();
            return;
        }
        this->m_sendCount = 0;
        if (SpeedSearch::CurrentRate(*this->m_machine) == m_startRate) {
            OnSpeedSearchExhausted();
        } else {
            SpeedSearch::AnnounceAttempt(*this->m_machine);
            Enter();
        }
    }

    virtual void OnSpeedSearchExhausted() { this->Fail(this->m_errorCode); }

    DWORD StartRate() const { return m_startRate; }

protected:
    // Back to 9600 bit/s and the first poll time-out, announced.
    void StartCycle() {
        m_startRate = SpeedSearch::kStartRate;
        SpeedSearch::SetRate(*this->m_machine, SpeedSearch::kStartRate);
        this->m_delay = SpeedSearch::kFirstPollTimeoutMs;
        SpeedSearch::AnnounceAttempt(*this->m_machine);
    }

    DWORD m_startRate = SpeedSearch::kStartRate;
};

template <class T>
class CFindSpeedLoopState : public CFindSpeedState<T> {
public:
    CFindSpeedLoopState(T* machine, const wchar_t* name, CState<T>* next)
        : CFindSpeedState<T>(machine, name, next) {}

    // Never gives up: each further cycle waits half as long again per poll, up to 5 s.
    void OnSpeedSearchExhausted() override {
        DWORD previous = this->m_delay;
        this->StartCycle();
        this->m_delay = std::min<DWORD>(previous * 3 / 2, SpeedSearch::kLongestPollTimeoutMs);
        this->Enter();
    }
};
