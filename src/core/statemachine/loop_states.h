// The three states of a loop. A loop is wired init -> test -> body ... -> step -> test,
// the test's exit state leading out. The machine T supplies the actions:
//   void LoopInit();   e.g. index := 0
//   void LoopStep();   e.g. index := index + 1
//   bool LoopTest();   true while the body must run again
#pragma once

#include "core/statemachine/state.h"

template <class T>
class CLoopInitState : public CState<T> {
public:
    CLoopInitState(T* machine, CState<T>* next, const wchar_t* name = L"LoopInit")
        : CState<T>(machine, name, next) {}
    void Enter() override {
        this->m_machine->LoopInit();
        this->Next();
    }
};

template <class T>
class CLoopStepState : public CState<T> {
public:
    CLoopStepState(T* machine, CState<T>* next, const wchar_t* name = L"LoopStep")
        : CState<T>(machine, name, next) {}
    void Enter() override {
        this->m_machine->LoopStep();
        this->Next();
    }
};

template <class T>
class CLoopTestState : public CState<T> {
public:
    CLoopTestState(T* machine, CState<T>* body, CState<T>* exitState, const wchar_t* name = L"LoopTest")
        : CState<T>(machine, name, body), m_exit(exitState) {}
    void Enter() override {
        if (this->m_machine->LoopTest())
            this->Next();
        else if (m_exit)
            this->m_machine->TransitionTo(m_exit);
        else
            this->Finish();
    }

    CState<T>* ExitState() const { return m_exit; }
    void SetExitState(CState<T>* exitState) { m_exit = exitState; }

private:
    CState<T>* m_exit;
};
