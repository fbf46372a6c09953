#include "ui/dialogs/config_save_dlg.h"

#include "config/config_operation.h"
#include "ui/dialogs/config_dialog_step.h"
#include "ui/dialogs/file_dialogs.h"

CConfigSaveDlg::CConfigSaveDlg(CModelBase& model) : CConfigOperationDlg(model), m_time(CSaveTime::Now())
{
}

void CConfigSaveDlg::OnStart()
{
    if (!BeginRun())
        return;
    const CFileChoice choice = ChooseSaveFile(
        m_folder, m_model.m_serialNumber.Get(), m_time,
        [this](const std::wstring& initialPath, const std::wstring& filter) {
            return FileDialogs::SaveAs(m_hWnd, initialPath, filter);
        });
    if (!choice.confirmed) {
        EndDialog(FileChoiceDialogResult(choice));
        return;
    }
    m_path = choice.path;
    // A busy machine refuses with 0xE2000052 and nothing else happens.
    if (!m_machine.Start(m_hWnd))
        return;
    RunStarted();
}

void CConfigSaveDlg::OnComplete(DWORD result)
{
    if (!EndRun())
        return;  // not this dialog's run
    const CConfigDialogStep step = OnConfigSaveComplete(m_hWnd, result, m_machine, m_path, m_time,
                                                        CConfigFileHeader::FromModel(m_model), m_folder);
    ApplyConfigDialogStep(*this, step);
}

void CConfigSaveDlg::OnCancel()
{
    ApplyConfigDialogStep(*this, OnConfigSaveCancel(m_hWnd, m_machine));
}
