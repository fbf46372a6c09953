// CLoaderDlg<T>: the modal dialog that runs one firmware load. It shows the machine's log
// lines and progress bar, turns "Cancel" into "Close" when the machine has finished,
// reports the retries, checks the version the restarted radio reports, and asks before it
// lets the user close it in the middle of a load. While the load runs, log-off and
// shut-down are held with a reason. T supplies the machine: ReportRetries,
// IsMachineIdle, StartMachine and VerifyVersion.
//
// Its own report lines go to its log and, as log lines, to the main frame (the Firmware
// page's Activity Log); the machine's lines reach it as WM_APP_LOG_TEXT.
#pragma once

#include <windows.h>

#include <richedit.h>

#include <algorithm>
#include <string>

#include "core/model/event_subscriber.h"
#include "core/model/model_base.h"
#include "core/model/radio_types.h"
#include "core/text/app_messages.h"
#include "core/text/error_codes.h"
#include "core/text/error_text.h"
#include "core/text/os_description.h"
#include "core/text/report.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "core/text/version_info.h"
#include "resources/ui/ui_resource_ids.h"
#include "ui/framework/dialog_impl.h"
#include "ui/framework/dialog_resize.h"
#include "ui/framework/shutdown_block.h"
#include "ui/framework/wait_cursor.h"
#include "ui/help/show_help_topic.h"
#include "ui/log/rich_edit_ctrl_context.h"

template <class T>
class CLoaderDlg : public CDialogImpl<T>, public CDialogResize<T>, public CWaitCursorE<T> {
public:
    static constexpr LPARAM kLogLimit = 0x200000;
    static constexpr const wchar_t* kHelpTopic = L"SendingFirmware.htm";

    CLoaderDlg(CModelBase& model, const std::wstring& name) : m_model(model), m_name(name) {}
    ~CLoaderDlg() override { m_completion.UnsubscribeAll(); }

    virtual void ReportRetries() = 0;
    virtual bool IsMachineIdle() = 0;
    virtual BOOL StartMachine() = 0;
    virtual DWORD VerifyVersion() = 0;
    // So that WM_APP_MACHINE_DONE reaches the dialog.
    virtual void RegisterForCompletion() { m_completion.Subscribe(this->m_hWnd, m_model.m_completionEvent); }

    // The machine's result, or the version check's; 0 while running and after success.
    DWORD Result() const { return m_result; }
    bool Finished() const { return m_finished; }
    const std::wstring& Name() const { return m_name; }

protected:
    // A line of the dialog's own report: its log, then the main frame's.
    void Report(const std::wstring& line)
    {
        m_log.AppendLine(line);
        LogText(this->m_hWnd, line);
    }

    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (this->ProcessResizeMessage(window, message, wParam, lParam, result))
            return TRUE;
        if (this->ProcessWaitCursorMessage(window, message, wParam, lParam, result))
            return TRUE;
        result = 0;
        switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            result = TRUE;
            return TRUE;
        case WM_SHOWWINDOW:
            if (wParam != FALSE && !m_shown) {
                m_shown = true;
                OnFirstShow();
            }
            return FALSE;
        case WM_APP_LOG_TEXT:
            if (lParam != 0)
                m_log.AppendLine(reinterpret_cast<const wchar_t*>(lParam));
            return TRUE;
        case WM_APP_MACHINE_DONE:
            OnMachineDone(static_cast<DWORD>(wParam));
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) != IDCANCEL && LOWORD(wParam) != IDOK)
                return FALSE;
            this->SendMessage(WM_CLOSE);
            return TRUE;
        case WM_CLOSE:
            OnClose();
            return TRUE;
        case WM_DESTROY:
            OnDestroy();
            return FALSE;
        case WM_HELP:
            ShowHelpTopic(window, kHelpTopic);
            result = TRUE;
            return TRUE;
        default:
            return FALSE;
        }
    }

    // Detaching and deleting the machine is the derived dialog's part (it owns it).
    virtual void OnDestroy()
    {
        m_shutdownBlock.Release();
        m_completion.UnsubscribeAll();
    }

private:
    void OnInitDialog()
    {
        m_log.SubclassWindow(this->GetDlgItem(IDC_OUTPUT_WINDOW));
        m_log.SendMessage(EM_EXLIMITTEXT, 0, kLogLimit);
        m_log.AppendLine(GetAppTitle());
        m_log.AppendLine(GetOsDescription());
        m_log.AppendLine(m_model.McuVersionStatusText());
        static const CResizeRule rules[] = {
            {IDC_OUTPUT_WINDOW, CDialogResizeBase::kSizeX | CDialogResizeBase::kSizeY},
            {IDC_LOADER_PROGRESS, CDialogResizeBase::kSizeX | CDialogResizeBase::kMoveY},
            {IDCANCEL, CDialogResizeBase::kMoveX | CDialogResizeBase::kMoveY},
        };
        this->DlgResize_Init(this->m_hWnd, rules, sizeof(rules) / sizeof(rules[0]), true, true);
        CenterOverOwner();
    }

    // Over the main window the user was looking at, kept on its monitor's work area.
    void CenterOverOwner()
    {
        HWND owner = ::GetWindow(this->m_hWnd, GW_OWNER);
        if (owner == nullptr)
            return;
        RECT ownerRect = {}, own = {};
        ::GetWindowRect(owner, &ownerRect);
        ::GetWindowRect(this->m_hWnd, &own);
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof(monitor);
        ::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& work = monitor.rcWork;
        const int width = own.right - own.left;
        const int height = own.bottom - own.top;
        int x = ownerRect.left + (ownerRect.right - ownerRect.left - width) / 2;
        int y = ownerRect.top + (ownerRect.bottom - ownerRect.top - height) / 2;
        x = std::max<int>(work.left, std::min<int>(x, work.right - width));
        y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
        ::SetWindowPos(this->m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void OnFirstShow()
    {
        RegisterForCompletion();
        this->SetWindowText(FormatText(IDS_LOADER_TITLE, kModelName));
        this->BeginWait();
        m_shutdownBlock.Hold(this->m_hWnd, FormatText(IDS_SHUTDOWN_REASON_LOAD, kModelName));
        if (StartMachine() || m_finished)
            return;
        // Refused because a machine is busy: no completion will come, so say it here.
        const DWORD code = ::GetLastError();
        if (IsMachineIdle())
            OnMachineDone(code != 0 ? code : static_cast<DWORD>(Zr8Error::MachineBusy));
    }

    void OnMachineDone(DWORD code)
    {
        if (m_finished)
            return;  // the first completion is the load's; nothing after it is ours
        m_finished = true;
        m_result = code;
        m_shutdownBlock.Release();
        this->SetDlgItemText(IDCANCEL, LoadStringText(IDS_CLOSE));
        this->EndWait();
        ReportRetries();
        if (m_result == 0)
            m_result = VerifyVersion();
        if (m_result == 0) {
            Report(FormatText(IDS_FIRMWARE_LOAD_COMPLETE, m_name.c_str()));
            if (m_model.m_trace.Get() == 0) {
                this->EndDialog(IDOK);
                return;
            }
        } else {
            Report(FormatText(IDS_ERROR_CODE, static_cast<unsigned>(m_result), GetErrorText(m_result).c_str()));
        }
        Report(LoadStringText(IDS_CLICK_CLOSE));
    }

    void OnClose()
    {
        if (!IsMachineIdle()) {
            const int answer = ShowMessage(this->m_hWnd, MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING,
                                           IDS_CLOSE_WHILE_SENDING, IDS_CAPTION_CRITICAL_OPERATION);
            if (answer == IDYES)
                this->EndDialog(IDCANCEL);
            return;
        }
        this->EndDialog(m_result != 0 ? IDCANCEL : IDOK);
    }

    CModelBase& m_model;
    std::wstring m_name;
    DWORD m_result = 0;
    bool m_shown = false;
    bool m_finished = false;
    CRichEditCtrlContext m_log;
    CEventSubscriber m_completion;
    CShutdownBlock m_shutdownBlock;
};
