// CConfigSaveDlg: the modal "Save Configuration" dialog. Once shown it asks for the file
// (save-as dialog), reads the radio's configuration area with its machine, moving the
// progress bar, and writes the file when the read has finished without error. Cancel
// stops a running read; after a failure button 2 reads "Close".
#pragma once

#include "config/config_file_writer.h"
#include "config/config_names.h"
#include "config/config_save_state_machine.h"
#include "config/configuration_folder.h"
#include "core/model/event_subscriber.h"
#include "resources/ui/ui_resource_ids.h"
#include "ui/framework/dialog_impl.h"
#include "ui/framework/wait_cursor.h"

class CModelBase;

class CConfigSaveDlg : public CDialogImpl<CConfigSaveDlg>, public CWaitCursorE<CConfigSaveDlg> {
public:
    enum { IDD = IDD_CONFIG_SAVE };

    explicit CConfigSaveDlg(CModelBase& model);
    ~CConfigSaveDlg() override;

    CConfigSaveStateMachine& Machine() { return m_machine; }
    const std::wstring& Path() const { return m_path; }
    const CSaveTime& SaveTime() const { return m_time; }

protected:
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnStart();
    void OnComplete(DWORD result);
    void OnCancel();
    void OnHidden();

    CModelBase& m_model;
    CConfigSaveStateMachine m_machine;
    CConfigurationFolder m_folder;
    CEventSubscriber m_subscriber;
    CSaveTime m_time;
    std::wstring m_path;
    bool m_started = false;  // the one run has been asked for
    bool m_running = false;  // a completion is due
};
