// CConfigRestoreDlg: the modal "Restore Configuration" dialog. Once shown it asks for the
// file (open dialog), reads and checks it (the reader shows its own boxes; a bad file
// leaves the dialog idle and the radio untouched), then writes the records into the
// radio with its machine, moving the progress bar. A good restore is reported only after
// the radio has been contacted again. Closing while the machine runs asks first.
#pragma once

#include "config/config_restore_state_machine.h"
#include "resources/ui/ui_resource_ids.h"
#include "ui/dialogs/config_operation_dlg.h"

class CConfigRestoreDlg : public CConfigOperationDlg<CConfigRestoreDlg, CConfigRestoreStateMachine> {
public:
    enum { IDD = IDD_CONFIG_RESTORE };
    static constexpr const wchar_t* kHelpTopic = L"ConfigurationProgress.htm#RestoreDialog";

    explicit CConfigRestoreDlg(CModelBase& model) : CConfigOperationDlg(model) {}

    DWORD LastResult() const { return m_lastResult; }

private:
    static constexpr UINT kShutdownReason = IDS_SHUTDOWN_REASON_RESTORE;
    friend class CConfigOperationDlg<CConfigRestoreDlg, CConfigRestoreStateMachine>;
    void OnStart();
    void OnComplete(DWORD result);
    void OnCancelButton() { SendMessage(WM_CLOSE); }
    void OnCloseRequest();

    DWORD m_lastResult = 0;
};
