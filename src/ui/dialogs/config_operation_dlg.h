// CConfigOperationDlg<T, TMachine>: what the "Save Configuration" and "Restore
// Configuration" dialogs share. Showing the dialog posts its start, so the file dialog
// opens over it; the one run attaches the machine to the model and hears its completion;
// hiding or destroying the dialog lets the machine go. A hide because the owner is
// minimised (SW_PARENTCLOSING) is not an end: the run goes on and the dialog shows again
// with its progress when the owner is restored. While the run lasts, log-off and shut-down
// are held with a reason. T supplies OnStart (after BeginRun), OnComplete (after EndRun),
// OnCancelButton (button 2, Escape), OnCloseRequest (the close box) and kShutdownReason
// (the string that says what runs).
#pragma once

#include "config/configuration_folder.h"
#include "core/model/event_subscriber.h"
#include "core/model/model_base.h"
#include "core/model/radio_types.h"
#include "core/text/app_messages.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "ui/dialogs/dialog_start.h"
#include "ui/framework/dialog_impl.h"
#include "ui/framework/shutdown_block.h"
#include "ui/framework/wait_cursor.h"
#include "ui/help/show_help_topic.h"

template <class T, class TMachine>
class CConfigOperationDlg : public CDialogImpl<T>, public CWaitCursorE<T> {
public:
    TMachine& Machine() { return m_machine; }

protected:
    explicit CConfigOperationDlg(CModelBase& model)
        : m_model(model), m_machine(model), m_folder(model.SettingsKey())
    {
    }
    ~CConfigOperationDlg() override { OnHidden(); }

    // The first start only: attaches the machine and listens for its completion.
    bool BeginRun()
    {
        if (m_started)
            return false;
        m_started = true;
        m_model.AttachOperation(&m_machine);
        m_subscriber.Subscribe(this->m_hWnd, m_model.m_completionEvent);
        return true;
    }
    // The machine has been started: its completion is due, the cursor waits.
    void RunStarted()
    {
        m_running = true;
        this->BeginWait();
        m_shutdownBlock.Hold(this->m_hWnd, FormatText(T::kShutdownReason, kModelName));
    }
    // A completion of this dialog's run (false for anyone else's).
    bool EndRun()
    {
        if (!m_running)
            return false;
        m_running = false;
        this->EndWait();
        m_shutdownBlock.Release();
        return true;
    }

    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (this->ProcessWaitCursorMessage(window, message, wParam, lParam, result))
            return TRUE;
        T& self = static_cast<T&>(*this);
        result = 0;
        switch (message) {
        case WM_INITDIALOG:
            result = TRUE;
            return TRUE;
        case WM_SHOWWINDOW:
            OnShowWindow(window, wParam != FALSE, lParam);
            return FALSE;
        case WM_APP_DIALOG_START:
            self.OnStart();
            return TRUE;
        case WM_APP_MACHINE_DONE:
            self.OnComplete(static_cast<DWORD>(wParam));
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) != IDCANCEL)
                return FALSE;
            self.OnCancelButton();
            return TRUE;
        case WM_CLOSE:
            self.OnCloseRequest();
            return TRUE;
        case WM_DESTROY:
            OnHidden();
            return FALSE;
        case WM_HELP:
            ShowHelpTopic(window, T::kHelpTopic);
            result = TRUE;
            return TRUE;
        default:
            return FALSE;
        }
    }

    CModelBase& m_model;
    TMachine m_machine;
    CConfigurationFolder m_folder;

private:
    // The owner's minimise sends (FALSE, SW_PARENTCLOSING); the default handling then
    // hides the dialog with ShowWindow, which sends (FALSE, 0) again. Neither ends the run.
    void OnShowWindow(HWND window, bool shown, LPARAM status)
    {
        if (status == SW_PARENTCLOSING) {
            m_hiddenByOwner = true;
            return;
        }
        if (shown) {
            m_hiddenByOwner = false;
            if (status == 0)
                PostDialogStart(window);  // a start after the first one does nothing
            return;
        }
        if (status == 0 && !m_hiddenByOwner)
            OnHidden();
    }

    void OnHidden()
    {
        m_shutdownBlock.Release();
        m_subscriber.UnsubscribeAll();
        if (m_model.AttachedOperation() == &m_machine)
            m_model.DetachOperation();
    }

    CEventSubscriber m_subscriber;
    CShutdownBlock m_shutdownBlock;
    bool m_started = false;  // the one run has been asked for
    bool m_running = false;  // a completion is due
    bool m_hiddenByOwner = false;  // hidden while the owner is minimised
};
