#include "ui/dialogs/config_save_dlg.h"

#include "config/config_operation.h"
#include "core/model/model_base.h"
#include "core/text/app_messages.h"
#include "ui/dialogs/config_dialog_step.h"
#include "ui/dialogs/dialog_start.h"
#include "ui/dialogs/file_dialogs.h"

CConfigSaveDlg::CConfigSaveDlg(CModelBase& model)
    : m_model(model), m_machine(model), m_folder(model.SettingsKey()), m_time(CSaveTime::Now())
{
}

CConfigSaveDlg::~CConfigSaveDlg()
{
    OnHidden();
}

void CConfigSaveDlg::OnStart()
{
    if (m_started)
        return;
    m_started = true;
    m_model.AttachOperation(&m_machine);
    m_subscriber.Subscribe(m_hWnd, m_model.m_completionEvent);

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
    m_running = true;
    BeginWait();
}

void CConfigSaveDlg::OnComplete(DWORD result)
{
    if (!m_running)
        return;  // not this dialog's run
    m_running = false;
    EndWait();
    const CConfigDialogStep step = OnConfigSaveComplete(m_hWnd, result, m_machine, m_path, m_time,
                                                        CConfigFileHeader::FromModel(m_model), m_folder);
    ApplyConfigDialogStep(*this, step);
}

void CConfigSaveDlg::OnCancel()
{
    ApplyConfigDialogStep(*this, OnConfigSaveCancel(m_hWnd, m_machine));
}

void CConfigSaveDlg::OnHidden()
{
    m_subscriber.UnsubscribeAll();
    if (m_model.AttachedOperation() == &m_machine)
        m_model.DetachOperation();
}

BOOL CConfigSaveDlg::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (ProcessWaitCursorMessage(window, message, wParam, lParam, result))
        return TRUE;
    result = 0;
    switch (message) {
    case WM_INITDIALOG:
        result = TRUE;
        return TRUE;
    case WM_SHOWWINDOW:
        if (wParam != FALSE)
            PostDialogStart(window);
        else
            OnHidden();
        return FALSE;
    case WM_APP_DIALOG_START:
        OnStart();
        return TRUE;
    case WM_APP_MACHINE_DONE:
        OnComplete(static_cast<DWORD>(wParam));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        OnCancel();
        return TRUE;
    case WM_DESTROY:
        OnHidden();
        return FALSE;
    default:
        return FALSE;
    }
}
