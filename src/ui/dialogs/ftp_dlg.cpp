#include "ui/dialogs/ftp_dlg.h"

#include "core/model/model_base.h"
#include "core/text/display_text.h"
#include "core/text/error_text.h"
#include "core/text/report.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "firmware/server_copy.h"
#include "platform/code_pages.h"
#include "platform/folders.h"
#include "platform/wide_format.h"
#include "ui/help/show_help_topic.h"
#include "ui/log/fixed_font.h"

namespace {

constexpr UINT WM_APP_FTP_FIRST_DISPLAY = WM_APP + 34;
constexpr UINT_PTR kCloseTimer = 1;
// Closing the connection is announced by the callback at once; should the
// announcement not come, the exchange still ends.
constexpr UINT kCloseTimeoutMs = 3000;
constexpr DWORD kWorkerStopWaitMs = 3000;

const CResizeRule kResizeRules[] = {
    {IDC_OUTPUT_WINDOW, CDialogResizeBase::kSizeX | CDialogResizeBase::kSizeY},
    {IDCANCEL, CDialogResizeBase::kMoveX | CDialogResizeBase::kMoveY},
};

}  // namespace

INT_PTR RunFtpDialog(HWND parent, CModelBase& model, const std::wstring& folder, CFirmwareFiles& files)
{
    CFtpDlg dialog(model, folder, files);
    return dialog.DoModal(parent);
}

CFtpDlg::CFtpDlg(CModelBase& model, const std::wstring& folder, CFirmwareFiles& files)
    : m_model(model), m_files(&files), m_folder(Folders::StripTrailingSeparators(folder))
{
}

CFtpDlg::~CFtpDlg() = default;

bool CFtpDlg::TraceOn() const { return m_model.m_trace.Get() != 0; }

void CFtpDlg::Append(const std::wstring& line)
{
    if (!m_transcript.empty())
        m_transcript += L"\r\n";
    m_transcript += line;
    if (m_log.m_hWnd != nullptr)
        m_log.AppendLine(line);
}

void CFtpDlg::Log(const std::wstring& line)
{
    Append(line);
    LogText(m_hWnd, line);
}

void CFtpDlg::Trace(const std::wstring& line)
{
    if (TraceOn())
        Append(line);
}

void CFtpDlg::End(INT_PTR code)
{
    m_endResult = code;
    EndDialog(code);
}

void CFtpDlg::OnInitDialog()
{
    m_callbackContext->dialog = m_hWnd;
    m_log.SubclassWindow(GetDlgItem(IDC_OUTPUT_WINDOW));
    m_font = MakeFixedFont(m_log.m_hWnd);
    m_log.SetFont(m_font.Get());
    DlgResize_Init(m_hWnd, kResizeRules, sizeof(kResizeRules) / sizeof(kResizeRules[0]), true);
    m_server = FileServerAddress(m_model.SettingsStore());
    if (!MakeSureFolderExists()) {
        End(kFailed);  // before anything goes over the network
        return;
    }
    ::PostMessageW(m_hWnd, WM_APP_FTP_FIRST_DISPLAY, 0, 0);
}

bool CFtpDlg::MakeSureFolderExists()
{
    while (!Folders::FolderExists(m_folder)) {
        const int answer = ShowMessage(m_hWnd, MB_YESNO | MB_ICONINFORMATION,
                                       FormatText(IDS_CREATE_FOLDER_QUESTION, m_folder.c_str()),
                                       LoadStringText(IDS_CAPTION_CREATE_FOLDER));
        if (answer != IDYES)
            return false;
        Folders::CreateFolderTree(m_folder);
    }
    return true;
}

void CFtpDlg::OnFirstDisplay()
{
    if (m_started)
        return;
    m_started = true;
    BeginWait();
    m_connection.reset();
    m_fileFind.reset();
    m_fileIndex = -1;

    const DWORD_PTR context = CallContext();
    const std::wstring agent = FormatText(IDS_INTERNET_AGENT, L"ZR8");
    m_session = std::make_unique<CInternetSession>(context);
    // Blocking calls on the worker's thread instead of INTERNET_FLAG_ASYNC: see
    // ftp_request_worker.h.
    m_session->m_handle.Attach(::InternetOpenW(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (m_session->m_handle.Handle() == nullptr) {
        Finish(L"Internet Session Open", LastInternetError(), true);
        return;
    }
    if (::InternetSetStatusCallbackW(m_session->m_handle.Handle(), &FtpStatusCallback) ==
        INTERNET_INVALID_STATUS_CALLBACK) {
        const DWORD error = LastInternetError();
        ::InternetSetStatusCallbackW(m_session->m_handle.Handle(), nullptr);
        Finish(L"Enable Status Callback", error, true);
        return;
    }
    m_worker = std::make_unique<CFtpRequestWorker>(m_hWnd, m_callbackContext);

    Log(FormatText(IDS_FTP_OPEN_CONNECTION, FileServerText(m_server).c_str()));
    SetState(FtpOpeningConnection);
    if (!m_worker->Connect(m_session->m_handle.Handle(), m_server.host, m_server.port, context))
        CheckPending(L"InternetConnect");
}

void CFtpDlg::OnHandleCreated(HINTERNET handle)
{
    // Only a handle the call itself returns is taken over (the completion's result): a
    // connection that fails after its handle was announced closes that handle itself.
    if (GetState() == FtpOpeningConnection || GetState() == FtpFindingFirst)
        m_createdHandle = handle;
}

void CFtpDlg::OnInternetStatusRequestComplete(DWORD error, LPARAM requestResult)
{
    if (error != 0 && error != ERROR_NO_MORE_FILES)
        Trace(FormatW(L"FtpDlg::OnInternetStatusRequestComplete dwResult 0x%04X dwError 0x%08X: %s",
                      unsigned(requestResult), unsigned(error), GetErrorText(error).c_str()));
    const DWORD_PTR context = CallContext();
    switch (GetState()) {
    case FtpOpeningConnection:
        if (error != 0)
            Trace(FormatW(L"OnInternetStatusRequestComplete OpeningSession dwResult 0x%08X dwError %u",
                          unsigned(requestResult), unsigned(error)));
        if (requestResult != 0) {
            m_connection = std::make_unique<CFtpConnection>(m_session.get(), m_server.host, m_server.port, context);
            m_connection->m_handle.Attach(reinterpret_cast<HINTERNET>(requestResult));
            ChangeDirectory();
        } else {
            Finish(L"InternetConnect", error, false);
        }
        break;
    case FtpChangingDirectory:
        if (requestResult != 0) {
            OnDirectoryNavigationComplete();
        } else {
            Trace(FormatW(L"OnInternetStatusRequestComplete NavigatingDirectory dwResult %u dwError 0x%08X",
                          unsigned(requestResult), unsigned(error)));
            Finish(L"FtpSetCurrentDirectory", error, true);
        }
        break;
    case FtpFindingFirst:
        if (requestResult != 0) {
            m_fileFind->m_find.Attach(reinterpret_cast<HINTERNET>(requestResult));
            m_fileFind->m_found = true;
            TakeEntry();
            OnEntriesFound();
        } else if (error == ERROR_NO_MORE_FILES) {
            OnDirectoryReadComplete();  // an empty directory is a listing with nothing in it
        } else {
            Finish(L"FtpFindFile", error, true);
        }
        break;
    case FtpFindingNext:
        m_fileFind->m_found = requestResult != 0;
        if (requestResult != 0) {
            TakeEntry();
            OnEntriesFound();
        } else if (error == ERROR_NO_MORE_FILES) {
            OnDirectoryReadComplete();
        } else {
            Trace(FormatW(L"OnInternetStatusRequestComplete FindingNextFile dwError 0x%08X: %s", unsigned(error),
                          GetErrorText(error).c_str()));
            Finish(L"InternetFindNextFile", error, true);
        }
        break;
    case FtpGettingFile:
        if (error != 0)
            Trace(FormatW(L"OnInternetStatusRequestComplete GettingFile dwResult %u dwError 0x%08X",
                          unsigned(requestResult), unsigned(error)));
        if (requestResult != 0) {
            CopyNextFile();
        } else {
            DiscardDownload(m_folder, m_fileList[size_t(m_fileIndex)]);
            Finish(L"FtpGetFile", error, true);
        }
        break;
    default:
        Trace(FormatW(L"FtpDlg::OnInternetStatusRequestComplete unexpected state %u", unsigned(GetState())));
        break;
    }
}

// Step 6: to the firmware directory.
void CFtpDlg::ChangeDirectory()
{
    if (m_cancelRequested) {
        ::SetLastError(ERROR_CANCELLED);
        Finish(L"Open Session", ERROR_CANCELLED, true);
        return;
    }
    const std::wstring path = ServerFirmwareDirectory();
    Trace(FormatText(IDS_FTP_NAVIGATE, path.c_str()));
    SetState(FtpChangingDirectory);
    if (!m_worker->SetCurrentDirectory(m_connection->m_handle.Handle(), path))
        CheckPending(L"FtpSetCurrentDirectory");
}

// Step 7: the listing starts.
void CFtpDlg::OnDirectoryNavigationComplete()
{
    if (m_cancelRequested) {
        Finish(L"Directory Navigation Complete", ERROR_CANCELLED, false);
        return;
    }
    SetState(FtpFindingFirst);
    const DWORD_PTR context = CallContext();
    m_fileFind = std::make_unique<CFtpFileFind>(m_connection.get(), context, std::wstring());
    if (!m_worker->FindFirstFile(m_connection->m_handle.Handle(), context))
        CheckPending(L"FtpFindFile");
}

void CFtpDlg::TakeEntry() { m_fileFind->m_entry = m_worker->Entry(); }

// Step 8: one entry of the listing.
void CFtpDlg::OnEntriesFound()
{
    if (m_cancelRequested) {
        Finish(L"File Find Complete", ERROR_CANCELLED, false);
        return;
    }
    const WIN32_FIND_DATAA& entry = m_fileFind->m_entry;
    if (m_fileFind->m_found && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        const std::wstring name = CodePages::FromAnsi(entry.cFileName);
        // A name that fills the entry's buffer may have been cut short: not the server's name.
        const bool cut = name.size() >= MAX_PATH - 1;
        if (cut || !IsSafeServerFileName(name, m_folder)) {
            // A name that could reach outside the folder is reported, not only traced.
            Log(FormatText(IDS_FTP_SKIPPED, EscapeForDisplay(name).c_str()));
        } else if (ConsiderFile(*m_files, name)) {
            m_fileList.push_back(name);
            m_fileSizes.push_back((ULONGLONG(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow);
            Trace(FormatText(IDS_FTP_FOUND, name.c_str()));
        } else {
            Trace(FormatText(IDS_FTP_SKIPPED, name.c_str()));
        }
    }
    SetState(FtpFindingNext);
    if (!m_worker->FindNextFile(m_fileFind->m_find.Handle()))
        CheckPending(L"InternetFindNextFile");
}

// Step 9: the listing is complete.
void CFtpDlg::OnDirectoryReadComplete()
{
    m_fileFind.reset();
    if (m_cancelRequested) {
        Finish(L"Directory Read Complete", ERROR_CANCELLED, false);
        return;
    }
    if (DropLoneReleaseNotes(*m_files, m_fileList)) {
        m_fileSizes.clear();
        Trace(FormatText(IDS_FTP_SKIPPED, kFirmwareNotesName));
    }
    if (m_fileList.empty()) {
        Finish(L"All Copy Complete", 0, false);
        return;
    }
    m_fileIndex = -1;
    Log(FormatText(IDS_FTP_COPYING_TO, m_folder.c_str()));
    CopyNextFile();
}

void CFtpDlg::ValidateCopiedFile(const std::wstring& name)
{
    DWORD placeError = 0;
    const CopiedFile placed = PlaceCopiedFile(m_folder, name, placeError);
    if (placed == CopiedFile::Verified)
        Log(FormatText(IDS_FTP_FILE_VERIFIED, name.c_str()));
    else if (placed == CopiedFile::VerifyFailed)
        Log(FormatText(IDS_FTP_FILE_VERIFY_FAILED, name.c_str()));
    else
        Log(CompletedWithErrorLine(L"Rename", placeError, nullptr));
    Log(FormatText(placed == CopiedFile::Verified ? IDS_FTP_COPIED_FILE : IDS_FTP_UNABLE_TO_COPY, name.c_str()));
}

// Step 10: one file after another, each validated once it has arrived.
void CFtpDlg::CopyNextFile()
{
    if (m_cancelRequested) {
        Finish(L"File Copy Complete", ERROR_CANCELLED, false);
        return;
    }
    if (m_fileIndex >= 0)
        ValidateCopiedFile(m_fileList[size_t(m_fileIndex)]);
    ++m_fileIndex;
    if (size_t(m_fileIndex) >= m_fileList.size()) {
        if (!m_fileList.empty())
            Log(FormatText(IDS_FTP_COPIED_FILES, unsigned(m_fileList.size()), m_folder.c_str()));
        Finish(L"All Copy Complete", 0, false);
        return;
    }
    SetState(FtpGettingFile);
    const std::wstring& name = m_fileList[size_t(m_fileIndex)];
    if (!m_worker->GetFile(m_connection->m_handle.Handle(), name, DownloadPath(m_folder, name),
                           CallContext(), m_fileSizes[size_t(m_fileIndex)]))
        CheckPending(L"FtpGetFile");
}

void CFtpDlg::CheckPending(const wchar_t* operation)
{
    const DWORD error = ::GetLastError();
    if (error == ERROR_IO_PENDING)
        return;
    // Every failure ends the exchange, ERROR_FILE_NOT_FOUND too; Finish reports it.
    Finish(operation, error, false);
}

void CFtpDlg::Finish(const wchar_t* operation, DWORD error, bool forceReport)
{
    if (error != 0)
        Trace(FormatW(L"FtpDlg::Finish %s State %u dwErrorCode 0x%08X fForceError %u", operation,
                      unsigned(GetState()), unsigned(error), unsigned(forceReport)));
    // The first failure stays the result: the closing steps finish again with 0.
    if (m_result == 0)
        m_result = error;
    if (forceReport || error != 0)
        Log(ErrorLine(operation, error));
    if (m_result == ERROR_CANCELLED) {
        End(IDCANCEL);
        return;
    }
    // A find handle goes first, then the connection; the connection's closing
    // notification finishes again.
    m_fileFind.reset();
    if (m_connection) {
        SetState(FtpClosingConnection);
        m_connection.reset();
        ::SetTimer(m_hWnd, kCloseTimer, kCloseTimeoutMs, nullptr);
        return;
    }
    ::KillTimer(m_hWnd, kCloseTimer);
    m_session.reset();
    EndWait();
    SetState(FtpIdle);
    if (m_result == 0 && !TraceOn()) {
        End(IDOK);
        return;
    }
    ::SetDlgItemTextW(m_hWnd, IDCANCEL, LoadStringText(IDS_CLOSE).c_str());
    Log(LoadStringText(IDS_CLICK_CLOSE));
}

std::wstring CFtpDlg::ErrorLine(const wchar_t* operation, DWORD error) const
{
    // The server's reply was recorded on the worker's thread, where the call failed.
    if (m_worker == nullptr)
        return CompletedWithErrorLine(operation, error, nullptr);
    const CServerReply reply = m_worker->LastReply();
    return CompletedWithErrorLine(operation, error, reply.code, reply.text);
}

void CFtpDlg::OnInternetStatus(DWORD status)
{
    switch (status) {
    case INTERNET_STATUS_CONNECTED_TO_SERVER:
        Append(LoadStringText(IDS_FTP_CONNECTED));
        break;
    case INTERNET_STATUS_CLOSING_CONNECTION:
        break;
    case INTERNET_STATUS_CONNECTION_CLOSED:
        if (m_result != 0)
            Trace(FormatW(L"FtpDlg::OnInternetStatus INTERNET_STATUS_CONNECTION_CLOSED State %u dwErrorCode 0x%08X",
                          unsigned(GetState()), unsigned(m_result)));
        if (GetState() == FtpClosingConnection)
            Finish(L"Session closed", 0, false);
        break;
    default:
        Trace(FormatW(L"FtpDlg::OnInternetStatus %u", unsigned(status)));
        break;
    }
}

void CFtpDlg::OnHandleClosing()
{
    if (GetState() != FtpClosingConnection)
        return;
    SetState(FtpConnectionClosed);
    Finish(L"Session Closed", 0, false);
}

void CFtpDlg::OnCancelButton()
{
    if (GetState() == FtpIdle) {
        ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        return;
    }
    m_cancelRequested = true;
    if (m_worker)
        m_worker->Cancel();
    ::SetLastError(ERROR_CANCELLED);
    m_result = ERROR_CANCELLED;
    Finish(L"Cancel Button", ERROR_CANCELLED, false);
}

void CFtpDlg::OnClose()
{
    if (GetState() != FtpIdle)
        return;
    End(m_result == 0 ? IDOK : m_result == ERROR_CANCELLED ? IDCANCEL : kFailed);
}

void CFtpDlg::OnDestroy()
{
    ::KillTimer(m_hWnd, kCloseTimer);
    const bool fetching = GetState() == FtpGettingFile;
    SetState(FtpConnectionClosed);  // the callback posts nothing more
    if (m_worker)
        m_worker->Stop(kWorkerStopWaitMs);
    if (fetching && m_fileIndex >= 0 && size_t(m_fileIndex) < m_fileList.size())
        DiscardDownload(m_folder, m_fileList[size_t(m_fileIndex)]);
    m_fileFind.reset();
    m_connection.reset();
    m_session.reset();
}

BOOL CFtpDlg::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (ProcessResizeMessage(window, message, wParam, lParam, result))
        return TRUE;
    if (ProcessWaitCursorMessage(window, message, wParam, lParam, result))
        return TRUE;
    result = 0;
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        result = TRUE;
        return TRUE;
    case WM_APP_FTP_FIRST_DISPLAY:
        OnFirstDisplay();
        return TRUE;
    case WM_APP_FTP_HANDLE_CREATED:
        OnHandleCreated(reinterpret_cast<HINTERNET>(lParam));
        return TRUE;
    case WM_APP_FTP_REQUEST_COMPLETE:
        OnInternetStatusRequestComplete(static_cast<DWORD>(wParam), lParam);
        return TRUE;
    case WM_APP_FTP_STATUS:
        OnInternetStatus(static_cast<DWORD>(wParam));
        return TRUE;
    case WM_APP_FTP_HANDLE_CLOSING:
        OnHandleClosing();
        return TRUE;
    case WM_TIMER:
        if (wParam != kCloseTimer)
            return FALSE;
        ::KillTimer(m_hWnd, kCloseTimer);
        if (GetState() == FtpClosingConnection) {
            SetState(FtpConnectionClosed);
            Finish(L"Session Closed", 0, false);
        }
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancelButton();
            return TRUE;
        }
        return LOWORD(wParam) == IDOK;  // Enter does not end the copy
    case WM_CLOSE:
        OnClose();
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    case WM_HELP:
        ShowHelpTopic(m_hWnd, kHelpTopic);
        result = TRUE;
        return TRUE;
    default:
        return FALSE;
    }
}
