#include "ui/frame/main_frame.h"

#include <commctrl.h>

#include "core/model/contact_state_machine.h"
#include "core/model/model_base.h"
#include "core/text/app_messages.h"
#include "core/text/report.h"
#include "core/text/string_table.h"
#include "core/text/version_info.h"
#include "platform/serial_comm_ports.h"
#include "platform/wide_format.h"
#include "resources/ui/ui_resource_ids.h"
#include "ui/frame/frame_title.h"
#include "ui/frame/page_list.h"
#include "ui/frame/window_placement.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/release_notes_dialog.h"
#include "ui/framework/shutdown_block.h"
#include "ui/help/show_help_topic.h"

namespace {
const wchar_t kFrameClassName[] = L"ZR8UtilityMainFrame";

// The items whose check marks and texts the frame keeps for the menu pop-ups.
const UINT kUpdatedItems[] = {ID_VIEW_STATUS_BAR, ID_VIEW_TRACE,         ID_VIEW_VERBOSE_LOGGING,
                              ID_HELP_CONTENTS,   ID_HELP_RELEASE_NOTES, ID_APP_ABOUT};

std::wstring ModelText(UINT id) { return FormatW(LoadStringText(id).c_str(), kModelName); }
}  // namespace

CMainFrame::CMainFrame(CModelBase& model, COptions options)
    : m_model(model),
      m_pageContext{model, options.extraPorts},
      m_options(std::move(options)),
      m_tabView(m_pageContext)
{
}

HWND CMainFrame::ReleaseNotesWindow() const
{
    return m_releaseNotes != nullptr && m_releaseNotes->IsWindow() ? m_releaseNotes->m_hWnd : nullptr;
}

CMainFrame::~CMainFrame()
{
    m_subscriptions.UnsubscribeAll();
    if (m_filterRegistered && CMessageLoop::ForThread() != nullptr)
        CMessageLoop::ForThread()->RemoveMessageFilter(this);
}

HWND CMainFrame::CreateMainWindow()
{
    CCreateArgs args;
    args.className = kFrameClassName;
    args.iconId = IDR_MAINFRAME;
    args.title = LoadStringText(IDR_MAINFRAME);
    args.menuId = IDR_MAINFRAME;
    args.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    args.exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
    args.rect = {static_cast<LONG>(CW_USEDEFAULT), 0, static_cast<LONG>(CW_USEDEFAULT), 0};
    HWND window = CreateFrame(args);
    if (window != nullptr)
        LoadAccelerators(IDR_MAINFRAME);
    return window;
}

BOOL CMainFrame::PreTranslateMessage(MSG* message)
{
    if (TranslateFrameAccelerator(message))
        return TRUE;
    if (HWND notes = ReleaseNotesWindow())
        if (::IsDialogMessageW(notes, message))
            return TRUE;
    return m_tabView.IsDialogMessage(message);
}

LRESULT CMainFrame::OnCreate()
{
    CreateSimpleStatusBar(LoadStringText(IDS_READY), IDW_STATUS_BAR);

    m_model.SetWindow(m_hWnd);
    m_model.LoadSettings();
    if (!m_options.forcedPort.empty())
        m_model.m_port.Set(m_options.forcedPort);

    for (UINT id : kUpdatedItems)
        UIAddMenuItem(id);
    UISetCheck(ID_VIEW_STATUS_BAR, true);
    UISetCheck(ID_VIEW_TRACE, m_model.m_trace.Get() != 0);
    UISetCheck(ID_VIEW_VERBOSE_LOGGING, m_model.m_verboseLogging.Get() != 0);
    UISetText(ID_HELP_CONTENTS, ModelText(IDS_MENU_HELP));
    UISetText(ID_HELP_RELEASE_NOTES, ModelText(IDS_MENU_RELEASE_NOTES));
    UISetText(ID_APP_ABOUT, ModelText(IDS_MENU_ABOUT));
    UIUpdateMenu(::GetMenu(m_hWnd));

    int startPage = m_model.m_activePage.Get();
    if (m_model.m_port.Get().empty() || startPage < 0 || startPage >= m_tabView.PageCount())
        startPage = kPortPageIndex;
    m_storedPageIndex = startPage;
    m_hWndClient = m_tabView.Create(m_hWnd, startPage);
    m_tabView.SetActivePage(startPage);

    if (CMessageLoop* loop = CMessageLoop::ForThread())
        m_filterRegistered = loop->AddMessageFilter(this);

    m_subscriptions.Subscribe(m_hWnd, m_model.m_firmwareStatus);
    OnFirmwareStatusChanged();
    m_subscriptions.Subscribe(m_hWnd, m_model.m_completionEvent);
    m_subscriptions.Subscribe(m_hWnd, m_model.m_serialNumber);
    UpdateTitle();
    m_subscriptions.Subscribe(m_hWnd, m_model.m_port);
    m_subscriptions.Subscribe(m_hWnd, m_model.m_speed);
    // "Close Port" on a radio that never answered changes nothing else the title shows.
    m_subscriptions.Subscribe(m_hWnd, m_model.m_portOpenStatus);

    StartContact();
    return 0;
}

void CMainFrame::StartContact() { m_model.ContactMachine().StartOpenPort(); }

void CMainFrame::OnFirstShow()
{
    m_firstShowDone = true;
    const SIZE view = m_tabView.CreatedClientSize();
    m_minTrackSize = {(view.cx * 105 + 50) / 100, (view.cy * 109 + 50) / 100};
    if (RestoreWindowPlacement(m_model.SettingsStore(), m_hWnd))
        return;
    SetWindowPos(nullptr, 0, 0, m_minTrackSize.cx, m_minTrackSize.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Centred over the work area of the screen.
    RECT work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT frame = GetWindowRect();
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(nullptr, work.left + (work.right - work.left - width) / 2, work.top + (work.bottom - work.top - height) / 2,
                 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMainFrame::ToggleStatusBar()
{
    const bool show = !::IsWindowVisible(m_hWndStatusBar);
    ::ShowWindow(m_hWndStatusBar, show ? SW_SHOWNOACTIVATE : SW_HIDE);
    UISetCheck(ID_VIEW_STATUS_BAR, show);
    UpdateLayout();
}

bool CMainFrame::OnCommand(UINT id)
{
    switch (id) {
    case ID_APP_EXIT:
        PostMessage(WM_CLOSE);
        return true;
    case ID_VIEW_STATUS_BAR:
        ToggleStatusBar();
        return true;
    case ID_VIEW_TRACE:
        m_model.m_trace.Set(m_model.m_trace.Get() != 0 ? 0 : 1);
        UISetCheck(ID_VIEW_TRACE, m_model.m_trace.Get() != 0);
        UpdateLayout();
        return true;
    case ID_VIEW_VERBOSE_LOGGING:
        m_model.m_verboseLogging.Set(m_model.m_verboseLogging.Get() != 0 ? 0 : 1);
        UISetCheck(ID_VIEW_VERBOSE_LOGGING, m_model.m_verboseLogging.Get() != 0);
        UpdateLayout();
        return true;
    case ID_HELP_CONTENTS:
        ShowHelpTopic(m_hWnd, nullptr);
        return true;
    case ID_HELP_RELEASE_NOTES:
        m_releaseNotes.reset();  // destroys the window shown so far
        m_releaseNotes = OpenReleaseNotes(m_hWnd, m_model.m_firmwareFolder.Get());
        return true;
    case ID_APP_ABOUT:
        ShowAboutBox(m_hWnd);
        return true;
    default:
        return false;
    }
}

void CMainFrame::UpdateTitle()
{
    SetWindowText(BuildFrameTitle(GetAppTitle(), m_model.m_serialNumber.Get(), m_model.m_port.Get(),
                                  m_model.IsPortOpen(), m_model.m_speed.Get()));
}

void CMainFrame::OnFirmwareStatusChanged()
{
    UpdateTitle();
    std::wstring line;
    switch (m_model.m_firmwareStatus.Get()) {
    case FirmwareStatusBootLoader:
        line = m_model.WaitingText();
        break;
    case FirmwareStatusApplication:
        line = m_model.McuVersionStatusText();
        break;
    default:
        if (!m_model.IsPortOpen())
            line = FormatW(LoadStringText(IDS_PORT_IS_CLOSED).c_str(), m_model.m_port.Get().c_str());
        else
            line = ModelText(IDS_NOT_RESPONDING);
        break;
    }
    if (!line.empty())
        RouteLogLine(line.c_str());
}

void CMainFrame::OnPortChanged()
{
    UpdateTitle();
    m_model.ClosePort();
    if (!m_model.m_port.Get().empty())
        StartContact();
}

void CMainFrame::RouteLogLine(const wchar_t* text)
{
    if (m_tabView.m_hWnd == nullptr || text == nullptr)
        return;
    if (m_tabView.GetActiveIndex() == m_tabView.FirmwarePageIndex())
        SendMessage(WM_APP_PAGE_TEXT, 0, reinterpret_cast<LPARAM>(text));
}

void CMainFrame::RouteToMachineOrPage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    const bool taken = message == WM_TIMER ? m_model.RouteTimer(message, wParam, lParam)
                                           : m_model.RoutePortEvent(message, wParam, lParam);
    if (taken)
        return;
    HWND page = m_tabView.GetActivePage();
    if (page != nullptr)
        result = ::SendMessageW(page, message, wParam, lParam);
}

void CMainFrame::TakeActivePage()
{
    m_model.m_activePage.Set(m_tabView.m_hWnd != nullptr ? m_tabView.GetActiveIndex() : m_storedPageIndex);
}

void CMainFrame::SavePlacement()
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (::GetWindowPlacement(m_hWnd, &placement))
        SaveWindowPlacement(m_model.SettingsStore(), placement);
}

bool CMainFrame::UsesForcedPort() const
{
    return !m_options.forcedPort.empty() && SameIgnoringLetterCase(m_model.m_port.Get(), m_options.forcedPort);
}

void CMainFrame::SaveForEndOfSession()
{
    // The session may go on (another program refuses): the window keeps running with the
    // port it was given, which is not written.
    TakeActivePage();
    m_model.SaveSettingsExcept(UsesForcedPort() ? &m_model.m_port : nullptr);
    SavePlacement();
}

LRESULT CMainFrame::OnQueryEndSession()
{
    if (!CShutdownBlock::HeldReason(m_hWnd).empty())
        return FALSE;  // a load, save or restore runs: the system shows the reason held
    SaveForEndOfSession();
    return TRUE;
}

void CMainFrame::OnClose()
{
    m_subscriptions.UnsubscribeAll();
    TakeActivePage();
    m_hWndClient = nullptr;
    m_tabView.Destroy();
}

void CMainFrame::OnDestroy()
{
    m_subscriptions.UnsubscribeAll();
    m_releaseNotes.reset();
    m_model.ClosePort();
    if (m_filterRegistered && CMessageLoop::ForThread() != nullptr)
        CMessageLoop::ForThread()->RemoveMessageFilter(this);
    m_filterRegistered = false;
    // The port this run was given (--simulate) is not the user's choice: the saved one
    // stays unless the user chose another port meanwhile.
    if (UsesForcedPort())
        m_model.m_port.Set(m_model.m_port.StoredAt(0));
    m_model.SaveSettings();
    SavePlacement();
    m_model.SetWindow(nullptr);
}

BOOL CMainFrame::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_CREATE:
        result = OnCreate();
        return TRUE;
    case WM_SHOWWINDOW:
        if (wParam && !m_firstShowDone && !IsWindowVisible())
            OnFirstShow();
        return FALSE;
    case WM_GETMINMAXINFO:
        if (m_minTrackSize.cx == 0)
            return FALSE;
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {m_minTrackSize.cx, m_minTrackSize.cy};
        result = 0;
        return TRUE;
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam))) {
            result = 0;
            return TRUE;
        }
        return FALSE;
    case WM_HELP:
        OnCommand(ID_HELP_CONTENTS);
        result = TRUE;
        return TRUE;
    case WM_INITMENUPOPUP:
        UIUpdateMenu(reinterpret_cast<HMENU>(wParam));
        return FALSE;
    case WM_APP_PORT_EVENT:
    case WM_TIMER:
        RouteToMachineOrPage(message, wParam, lParam, result);
        return TRUE;
    case WM_APP_STATUS_TEXT:
        RouteLogLine(reinterpret_cast<const wchar_t*>(lParam));
        result = 0;
        return TRUE;
    case WM_APP_PAGE_TEXT:
        if (HWND page = m_tabView.GetActivePage())
            ::SendMessageW(page, WM_APP_PAGE_TEXT, wParam, lParam);
        result = 0;
        return TRUE;
    case WM_APP_MACHINE_DONE: {
        const std::wstring ready = LoadStringText(IDS_READY);
        RouteLogLine(ready.c_str());
        result = 0;
        return TRUE;
    }
    case WM_APP_FIRMWARE_STATUS:
        OnFirmwareStatusChanged();
        result = 0;
        return TRUE;
    case WM_APP_SERIAL_NUMBER:
    case WM_APP_SPEED:
    case WM_APP_PORT_OPEN_STATUS:
        UpdateTitle();
        result = 0;
        return TRUE;
    case WM_APP_PORT:
        OnPortChanged();
        result = 0;
        return TRUE;
    case WM_QUERYENDSESSION:
        result = OnQueryEndSession();
        return TRUE;
    case WM_ENDSESSION:
        // The process may end without WM_DESTROY: what a close would save is saved now.
        if (wParam != FALSE)
            SaveForEndOfSession();
        result = 0;
        return TRUE;
    case WM_CLOSE:
        OnClose();
        return FALSE;  // DefWindowProc destroys the window
    case WM_DESTROY:
        OnDestroy();
        return FALSE;  // the frame base posts the quit message
    default:
        return FALSE;
    }
}
