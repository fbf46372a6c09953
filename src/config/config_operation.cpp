#include "config/config_operation.h"

#include "config/config_restore_state_machine.h"
#include "config/config_save_state_machine.h"
#include "config/configuration_folder.h"
#include "core/model/model_base.h"
#include "core/text/error_text.h"
#include "core/text/report.h"
#include "core/text/string_table.h"
#include "platform/folders.h"

namespace {

CConfigDialogStep EndWith(int result) {
    CConfigDialogStep step;
    step.endDialog = true;
    step.dialogResult = result;
    return step;
}

CConfigDialogStep StayWithCloseButton() {
    CConfigDialogStep step;
    step.closeButton = true;
    return step;
}

}  // namespace

DWORD CompleteConfigSave(DWORD result, const CConfigSaveStateMachine& machine, HWND owner,
                         const std::wstring& path, const CSaveTime& time, const CConfigFileHeader& header) {
    if (IsFailure(result)) return result;
    if (WriteConfigurationFile(owner, path, time, machine.Image(), header)) return 0;
    const DWORD code = GetLastError();
    return code != 0 ? code : DWORD(ERROR_WRITE_FAULT);
}

CFileChoice ChooseSaveFile(CConfigurationFolder& folder, unsigned short serialNumber, const CSaveTime& time,
                           const SaveAsDialog& show) {
    const std::wstring filter = ConfigNames::FileFilter();
    const std::wstring name = ConfigNames::DefaultFileName(serialNumber, time);
    CFileChoice choice = show(Folders::Join(folder.Choose(), name), filter);
    if (!choice.confirmed && choice.extendedError == kFileNameInvalid) {
        folder.Set(std::wstring());
        choice = show(Folders::Join(folder.Choose(), name), filter);
    }
    return choice;
}

CConfigDialogStep OnConfigSaveComplete(HWND dialog, DWORD result, const CConfigSaveStateMachine& machine,
                                       const std::wstring& path, const CSaveTime& time,
                                       const CConfigFileHeader& header, CConfigurationFolder& folder) {
    const DWORD r = CompleteConfigSave(result, machine, dialog, path, time, header);
    if (r == 0) {
        folder.SetFromPath(path);
        LogLine(dialog, IDS_CONFIG_SAVED);
        return EndWith(1);
    }
    if (r == ERROR_CANCELLED) {
        LogLine(dialog, IDS_CONFIG_SAVE_CANCELLED);
        return EndWith(2);
    }
    LogLine(dialog, IDS_CONFIG_SAVE_FAILED);
    ShowMessage(dialog, MB_ICONERROR, GetErrorText(r), IDS_CAPTION_SAVE_ERROR);
    return StayWithCloseButton();
}

CConfigDialogStep OnConfigSaveCancel(HWND dialog, CConfigSaveStateMachine& machine) {
    LogLine(dialog, IDS_CONFIG_SAVE_CANCELLED);
    if (RequestCancel(machine)) return CConfigDialogStep();
    return EndWith(2);
}

DWORD StartConfigRestore(HWND dialog, CConfigRestoreStateMachine& machine, const std::wstring& path,
                         CConfigurationFolder& folder) {
    const DWORD rc = machine.ReadFile(path, dialog);
    if (rc != 0) return rc;
    folder.SetFromPath(path);
    if (!machine.Start(dialog)) {
        const DWORD code = GetLastError();
        machine.Model().DetachOperation();
        return code != 0 ? code : Zr8Error::MachineBusy;
    }
    return 0;
}

CConfigDialogStep OnConfigRestoreClose(HWND dialog, CConfigRestoreStateMachine& machine, DWORD lastResult) {
    if (machine.IsIdle()) return EndWith(ConfigDialogResult(lastResult));
    if (ShowMessage(dialog, MB_YESNO | MB_ICONWARNING, IDS_CONFIG_RESTORE_INTERRUPT,
                    IDS_CAPTION_CRITICAL_OPERATION) != IDYES)
        return CConfigDialogStep();
    // The question waits for the user while the machine runs on: a restore that has
    // written its last record meanwhile is not cancelled, and its completion (already
    // logged, or still to come after the radio has been found again) says what happened.
    if (RequestCancel(machine))
        ShowMessage(dialog, MB_ICONWARNING, IDS_CONFIG_RESTORE_CANCELLED_POWER, IDS_CAPTION_CRITICAL_OPERATION);
    return CConfigDialogStep();
}

CConfigDialogStep OnConfigRestoreComplete(HWND dialog, DWORD result) {
    if (result == 0) {
        LogLine(dialog, IDS_CONFIG_RESTORED);
        return EndWith(1);
    }
    if (result == ERROR_CANCELLED) {
        LogLine(dialog, IDS_CONFIG_RESTORE_CANCELLED);
        return EndWith(2);
    }
    LogLine(dialog, IDS_CONFIG_RESTORE_FAILED);
    ShowMessage(dialog, MB_ICONERROR, GetErrorText(result), IDS_CAPTION_RESTORE_ERROR);
    return StayWithCloseButton();
}
