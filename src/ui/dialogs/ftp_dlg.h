// CFtpDlg: "Copy Files from Orvandel File Server" (10022). Connects to the file server,
// lists the firmware directory, copies the files newer than the local folder's newest
// into the folder, validates each, and reports every step in its own log and in the main
// window's log. The exchange is a state machine on the dialog's thread, driven by the
// messages of the status callback and of the request worker (ui/ftp).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "firmware/firmware_files.h"
#include "firmware/server_files.h"
#include "resources/ui/ui_resource_ids.h"
#include "ui/framework/dialog_impl.h"
#include "ui/framework/dialog_resize.h"
#include "ui/framework/wait_cursor.h"
#include "ui/framework/win_handles.h"
#include "ui/ftp/ftp_messages.h"
#include "ui/ftp/ftp_request_worker.h"
#include "ui/ftp/internet_handles.h"
#include "ui/log/rich_edit_ctrl_context.h"

class CModelBase;

enum FtpState : LONG {
    FtpIdle = 0,
    FtpOpeningConnection = 1,
    FtpChangingDirectory = 2,
    FtpFindingFirst = 3,
    FtpFindingNext = 4,
    FtpGettingFile = 5,
    FtpClosingConnection = 6,
    FtpConnectionClosed = 7,
};

// Runs the copy dialog modally over the folder and the page's scan of it (updated as
// files are chosen). Returns IDOK, IDCANCEL (cancelled), 3 (a failure, or a missing
// folder the user did not want created) or -1 when the dialog could not be shown. The
// caller rescans the folder afterwards in every case.
INT_PTR RunFtpDialog(HWND parent, CModelBase& model, const std::wstring& folder, CFirmwareFiles& files);

class CFtpDlg : public CDialogImpl<CFtpDlg>, public CDialogResize<CFtpDlg>, public CWaitCursorE<CFtpDlg> {
public:
    enum { IDD = IDD_FTP_DIALOG };
    static constexpr const wchar_t* kHelpTopic = L"CopyFiles.htm";
    static constexpr INT_PTR kFailed = 3;

    CFtpDlg(CModelBase& model, const std::wstring& folder, CFirmwareFiles& files);
    ~CFtpDlg() override;

    // What the dialog's log shows, and how the dialog ended (-1 while it is open); tests
    // read them after a modeless run.
    const std::wstring& Transcript() const { return m_transcript; }
    INT_PTR EndResult() const { return m_endResult; }
    DWORD Result() const { return m_result; }
    LONG State() const { return m_callbackContext->state; }

protected:
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnInitDialog();
    bool MakeSureFolderExists();
    void OnFirstDisplay();
    void OnInternetStatus(DWORD status);
    void OnInternetStatusRequestComplete(DWORD error, LPARAM requestResult);
    void OnHandleCreated(HINTERNET handle);
    void OnHandleClosing();
    void OnCancelButton();
    void OnClose();
    void OnDestroy();

    void ChangeDirectory();            // step 6
    void OnDirectoryNavigationComplete();  // step 7
    void OnEntriesFound();             // step 8
    void OnDirectoryReadComplete();    // step 9
    void CopyNextFile();               // step 10
    void ValidateCopiedFile(const std::wstring& name);
    void TakeEntry();

    void CheckPending(const wchar_t* operation);
    void Finish(const wchar_t* operation, DWORD error, bool forceReport);
    void SetState(FtpState state) { m_callbackContext->state = state; }
    FtpState GetState() const { return static_cast<FtpState>(m_callbackContext->state); }
    DWORD_PTR CallContext() const { return reinterpret_cast<DWORD_PTR>(m_callbackContext.get()); }
    std::wstring ErrorLine(const wchar_t* operation, DWORD error) const;
    bool TraceOn() const;
    void Log(const std::wstring& line);
    void Trace(const std::wstring& line);
    void Append(const std::wstring& line);
    void End(INT_PTR code);

    CModelBase& m_model;
    DWORD m_result = 0;
    bool m_cancelRequested = false;
    CFirmwareFiles* m_files;
    // Shared with the worker: a call it still runs after the dialog has gone may use it.
    std::shared_ptr<CFtpCallbackContext> m_callbackContext = std::make_shared<CFtpCallbackContext>();
    int m_fileIndex = -1;
    std::unique_ptr<CInternetSession> m_session;
    std::unique_ptr<CFtpConnection> m_connection;
    std::unique_ptr<CFtpFileFind> m_fileFind;
    std::vector<std::wstring> m_fileList;
    std::vector<ULONGLONG> m_fileSizes;  // as listed, 0 when unknown
    CRichEditCtrlContext m_log;
    CFontHandle m_font;
    std::wstring m_folder;
    CFileServerAddress m_server;
    std::unique_ptr<CFtpRequestWorker> m_worker;
    HINTERNET m_createdHandle = nullptr;  // announced by the callback, not yet ours
    std::wstring m_transcript;
    INT_PTR m_endResult = -1;
    bool m_started = false;
};
