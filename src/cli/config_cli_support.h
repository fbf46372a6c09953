// What the configuration commands share: ending a machine at once, contact with a radio
// that runs its application firmware, and the progress line.
#pragma once

#include <functional>
#include <string>

#include "cli/cli_session.h"
#include "core/statemachine/state_host.h"

class CConfigSaveStateMachine;
struct CSaveTime;

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

// What to do about a configuration file that fails its check: it is missing, or damaged
// (named, so that diff says which of its two). Empty for other failures.
std::wstring FileAdvice(const std::wstring& path, DWORD code);

// Reads the radio's configuration area (0x000-0x3FF) with the save machine, progress
// shown; Ctrl-C stops it. 0, or the failure. activity: what a failure is explained as.
DWORD ReadRadioConfiguration(CCliSession& session, CConfigSaveStateMachine& machine,
                             CliActivity activity = CliActivity::ConfigSave);

// Where save-config puts a file it names itself: SN<serial>.<date>T<time>.ZR8Config in
// the "ConfigurationFolder" setting's folder, or the default one.
std::wstring DefaultSavePath(CCliSession& session, const CSaveTime& time);

// The radio's configuration saved as save-config would save it without a file name,
// with its status lines: 0 and the file's path, or the failure (no file then). A failure
// is explained as one before a firmware load (the backup is flash's first step).
DWORD SaveConfigurationBackup(CCliSession& session, std::wstring& path);

}  // namespace ConfigCli
