// What the save and restore dialogs (and the command line) do around their machines,
// kept apart from any window: cancelling a run, finishing a save by writing its file,
// and the outcome a dialog ends with.
#pragma once

#include <functional>
#include <string>

#include "config/config_file_writer.h"
#include "config/config_names.h"
#include "core/statemachine/state_host.h"
#include "core/text/error_codes.h"

class CConfigRestoreStateMachine;
class CConfigSaveStateMachine;
class CConfigurationFolder;

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

// What a dialog does after one of the steps below has logged its line and shown its
// boxes: end now with a result, and whether button 2 becomes string 10044 "Close".
struct CConfigDialogStep {
    bool endDialog = false;
    int dialogResult = 0;
    bool closeButton = false;
};

// What the platform's file dialog gave back: the chosen path, or none with the extended
// error (0 when the user cancelled).
struct CFileChoice {
    bool confirmed = false;
    std::wstring path;
    DWORD extendedError = 0;
};
constexpr DWORD kFileNameInvalid = 0x3002;  // FNERR_INVALIDFILENAME
using SaveAsDialog = std::function<CFileChoice(const std::wstring& initialPath, const std::wstring& filter)>;

// The save dialog's choice of file: the proposed name (serial number, save time) in the
// stored folder, or the default folder when none is stored. When the dialog refuses the
// proposal as an invalid file name, the stored folder is cleared and the dialog shown
// once more in the default folder; that second outcome is final.
CFileChoice ChooseSaveFile(CConfigurationFolder& folder, unsigned short serialNumber, const CSaveTime& time,
                           const SaveAsDialog& show);
// A choice that was not confirmed ends the save dialog: 2 for a cancel, 3 otherwise.
inline int FileChoiceDialogResult(const CFileChoice& choice) { return choice.extendedError == 0 ? 2 : 3; }

// The save's completion r at the dialog: writes the file after an error-free read
// (CompleteConfigSave), then logs "Configuration was saved" and stores the folder (end
// with 1), or logs "Save configuration was cancelled" (end with 2), or logs "Failed to
// save configuration" and shows the error in a box captioned "Save Configuration Error"
// (the dialog stays open with its "Close" button).
CConfigDialogStep OnConfigSaveComplete(HWND dialog, DWORD result, const CConfigSaveStateMachine& machine,
                                       const std::wstring& path, const CSaveTime& time,
                                       const CConfigFileHeader& header, CConfigurationFolder& folder);
// Cancel (button 2, Escape, the close box) of the save dialog: logs "Save configuration
// was cancelled" on every press; a running machine is asked to stop and the dialog waits
// for its completion, an idle one lets the dialog end with 2.
CConfigDialogStep OnConfigSaveCancel(HWND dialog, CConfigSaveStateMachine& machine);

// The restore dialog with a chosen file: reads and checks it (the reader shows its own
// boxes), stores its folder, and starts the machine with its progress total. 0 when the
// restore runs; else the error, and the radio has not been touched.
DWORD StartConfigRestore(HWND dialog, CConfigRestoreStateMachine& machine, const std::wstring& path,
                         CConfigurationFolder& folder);
// The restore dialog's close request: while the machine runs, asks "Are you sure you
// wish to interrupt configuration restore?" and on Yes asks the machine to stop and
// tells the user to switch the radio off and on (the dialog stays open until the
// completion), unless the machine has finished while the question was open; when idle,
// the dialog ends with the outcome of the last completion (1 when none has arrived).
CConfigDialogStep OnConfigRestoreClose(HWND dialog, CConfigRestoreStateMachine& machine, DWORD lastResult);
// The restore's completion r at the dialog: logs "Configuration was restored" (end with
// 1), "Restore configuration was cancelled" (end with 2), or "Failed to restore
// configuration" and shows the error in a box captioned "Restore Configuration Error"
// (the dialog stays open with its "Close" button).
CConfigDialogStep OnConfigRestoreComplete(HWND dialog, DWORD result);
