// What the configuration commands share: ending a machine at once, contact with a radio
// that runs its application firmware, and the progress line.
#pragma once

#include <functional>

#include "cli/cli_session.h"
#include "core/statemachine/state_host.h"

namespace ConfigCli {

template <class T>
void EndAt(CStateHost<T>& machine, DWORD code) {
    machine.SetResult(code);
    machine.TransitionTo(machine.FinalState());
}

// Opens the session and finds the radio. CliExit::Ok, or the exit code after the
// failure has been printed; a radio in its boot loader cannot take EEPROM commands.
int Connect(CCliSession& session);

// Draws the machine's progress when it has moved.
std::function<void()> ProgressReporter(CCliSession& session, const std::function<DWORD()>& position,
                                       const std::function<DWORD()>& total);

}  // namespace ConfigCli
