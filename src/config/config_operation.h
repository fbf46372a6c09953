// What the save and restore dialogs (and the command line) do around their machines,
// kept apart from any window: cancelling a run, finishing a save by writing its file,
// and the outcome a dialog ends with.
#pragma once

#include <string>

#include "config/config_file_writer.h"
#include "config/config_names.h"
#include "core/statemachine/state_host.h"
#include "core/text/error_codes.h"

class CConfigSaveStateMachine;

// A cancel while the machine runs: it stops before its next command with 1223, unless
// it already holds a failure. False when the machine was idle (nothing to stop).
template <class T>
bool RequestCancel(CStateHost<T>& machine) {
    if (machine.IsIdle()) return false;
    if (!IsFailure(machine.Result())) machine.SetResult(ERROR_CANCELLED);
    return true;
}

// The save's completion: after an error-free read the file is written; the result is
// then 0, the write's system error, or the machine's own result (1223 for a cancel).
DWORD CompleteConfigSave(DWORD result, const CConfigSaveStateMachine& machine, HWND owner,
                         const std::wstring& path, const CSaveTime& time, const CConfigFileHeader& header);

// How a configuration dialog ends: 1 after success (or when nothing ran), 2 after a
// cancel, 3 after a failure.
inline int ConfigDialogResult(DWORD result) {
    if (result == 0) return 1;
    return result == ERROR_CANCELLED ? 2 : 3;
}
