// Switches the radio's text terminal off ("TT0;") and moves on after 10 ms; the radio
// does not answer it.
#pragma once

#include "core/statemachine/command_states.h"

template <class T>
class CTextTerminalOffState : public CCommandDelayState<T> {
public:
    static constexpr DWORD kDelayMs = 10;

    CTextTerminalOffState(T* machine, const wchar_t* name, CState<T>* next)
        : CCommandDelayState<T>(machine, name, next, kDelayMs, L"TT0;") {}
};
