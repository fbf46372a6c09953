#include "ui/dialogs/config_restore_dlg.h"

#include "config/config_names.h"
#include "config/config_operation.h"
#include "core/model/model_base.h"
#include "core/text/app_messages.h"
#include "ui/dialogs/config_dialog_step.h"
#include "ui/dialogs/dialog_start.h"
#include "ui/dialogs/file_dialogs.h"

CConfigRestoreDlg::CConfigRestoreDlg(CModelBase& model)
    : m_model(model), m_machine(model), m_folder(model.SettingsKey())
{
}

CConfigRestoreDlg::~CConfigRestoreDlg()
{
    OnHidden();
}

void CConfigRestoreDlg::OnStart()
{
    if (m_started)
        return;
    m_started = true;
    m_model.AttachOperation(&m_machine);
    m_subscriber.Subscribe(m_hWnd, m_model.m_completionEvent);

    const CFileChoice choice = FileDialogs::Open(m_hWnd, m_folder.Choose(), ConfigNames::FileFilter());
    if (!choice.confirmed) {
        RequestCancel(m_machine);  // idle here: nothing to stop
        SendMessage(WM_CLOSE);
        return;
    }
    // A file the reader refuses has shown its box; the dialog stays idle until closed.
    if (StartConfigRestore(m_hWnd, m_machine, choice.path, m_folder) != 0)
        return;
    m_running = true;
    BeginWait();
}

void CConfigRestoreDlg::OnComplete(DWORD result)
{
    if (!m_running)
        return;  // not this dialog's run
    m_running = false;
    EndWait();
    m_lastResult = result;
    // The button reads "Close" before the error box appears.
    if (result != 0 && result != ERROR_CANCELLED)
        ShowCloseButton(*this);
    ApplyConfigDialogStep(*this, OnConfigRestoreComplete(m_hWnd, result));
}

void CConfigRestoreDlg::OnClose()
{
    ApplyConfigDialogStep(*this, OnConfigRestoreClose(m_hWnd, m_machine, m_lastResult));
}

void CConfigRestoreDlg::OnHidden()
{
    m_subscriber.UnsubscribeAll();
    if (m_model.AttachedOperation() == &m_machine)
        m_model.DetachOperation();
}

BOOL CConfigRestoreDlg::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                             LRESULT& result)
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
            SendMessage(WM_CLOSE);  // button 2, Escape
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        OnClose();
        return TRUE;
    case WM_DESTROY:
        OnHidden();
        return FALSE;
    default:
        return FALSE;
    }
}
