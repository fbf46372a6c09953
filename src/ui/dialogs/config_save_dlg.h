// CConfigSaveDlg: the modal "Save Configuration" dialog. Once shown it asks for the file
// (save-as dialog), reads the radio's configuration area with its machine, moving the
// progress bar, and writes the file when the read has finished without error. Cancel
// stops a running read; after a failure button 2 reads "Close".
#pragma once

#include "config/config_file_writer.h"
#include "config/config_names.h"
#include "config/config_save_state_machine.h"
#include "resources/ui/ui_resource_ids.h"
#include "ui/dialogs/config_operation_dlg.h"

class CConfigSaveDlg : public CConfigOperationDlg<CConfigSaveDlg, CConfigSaveStateMachine> {
public:
    enum { IDD = IDD_CONFIG_SAVE };
    static constexpr const wchar_t* kHelpTopic = L"ConfigurationProgress.htm#SaveDialog";

    explicit CConfigSaveDlg(CModelBase& model);

    const std::wstring& Path() const { return m_path; }
    const CSaveTime& SaveTime() const { return m_time; }

private:
    static constexpr UINT kShutdownReason = IDS_SHUTDOWN_REASON_SAVE;
    friend class CConfigOperationDlg<CConfigSaveDlg, CConfigSaveStateMachine>;
    void OnStart();
    void OnComplete(DWORD result);
    void OnCancelButton() { OnCancel(); }
    void OnCloseRequest() { OnCancel(); }
    void OnCancel();

    CSaveTime m_time;
    std::wstring m_path;
};
