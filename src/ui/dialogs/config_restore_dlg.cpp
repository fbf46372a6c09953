#include "ui/dialogs/config_restore_dlg.h"

#include "config/config_names.h"
#include "config/config_operation.h"
#include "ui/dialogs/config_dialog_step.h"
#include "ui/dialogs/file_dialogs.h"

void CConfigRestoreDlg::OnStart()
{
    if (!BeginRun())
        return;
    const CFileChoice choice = FileDialogs::Open(m_hWnd, m_folder.Choose(), ConfigNames::FileFilter());
    if (!choice.confirmed) {
        RequestCancel(m_machine);  // idle here: nothing to stop
        SendMessage(WM_CLOSE);
        return;
    }
    // A file the reader refuses has shown its box; the dialog stays idle until closed.
    if (StartConfigRestore(m_hWnd, m_machine, choice.path, m_folder) != 0)
        return;
    RunStarted();
}

void CConfigRestoreDlg::OnComplete(DWORD result)
{
    if (!EndRun())
        return;  // not this dialog's run
    m_lastResult = result;
    // The button reads "Close" before the error box appears.
    if (result != 0 && result != ERROR_CANCELLED)
        ShowCloseButton(*this);
    ApplyConfigDialogStep(*this, OnConfigRestoreComplete(m_hWnd, result));
}

void CConfigRestoreDlg::OnCloseRequest()
{
    ApplyConfigDialogStep(*this, OnConfigRestoreClose(m_hWnd, m_machine, m_lastResult));
}
