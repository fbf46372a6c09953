// CConfigRestoreDlg: the modal "Restore Configuration" dialog. Once shown it asks for the
// file (open dialog), reads and checks it (the reader shows its own boxes; a bad file
// leaves the dialog idle and the radio untouched), then writes the records into the
// radio with its machine, moving the progress bar. A good restore is reported only after
// the radio has been contacted again. Closing while the machine runs asks first.
#pragma once

#include "config/config_restore_state_machine.h"
#include "config/configuration_folder.h"
#include "core/model/event_subscriber.h"
#include "resources/ui/ui_resource_ids.h"
#include "ui/framework/dialog_impl.h"
#include "ui/framework/wait_cursor.h"

class CModelBase;

class CConfigRestoreDlg : public CDialogImpl<CConfigRestoreDlg>, public CWaitCursorE<CConfigRestoreDlg> {
public:
    enum { IDD = IDD_CONFIG_RESTORE };

    explicit CConfigRestoreDlg(CModelBase& model);
    ~CConfigRestoreDlg() override;

    CConfigRestoreStateMachine& Machine() { return m_machine; }
    DWORD LastResult() const { return m_lastResult; }

protected:
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnStart();
    void OnComplete(DWORD result);
    void OnClose();
    void OnHidden();

    CModelBase& m_model;
    CConfigRestoreStateMachine m_machine;
    CConfigurationFolder m_folder;
    CEventSubscriber m_subscriber;
    DWORD m_lastResult = 0;
    bool m_started = false;
    bool m_running = false;  // a completion is due
};
