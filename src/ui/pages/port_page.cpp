#include "ui/pages/port_page.h"

#include <commctrl.h>

#include "core/model/contact_state_machine.h"
#include "core/model/model_base.h"
#include "core/text/app_messages.h"
#include "core/text/report.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "ui/help/show_help_topic.h"
#include "ui/pages/page_text.h"

CPortPage::CPortPage(CPageContext& context) : m_model(context.model), m_extraPorts(context.extraPorts) {}

CPortPage::~CPortPage()
{
    m_subscriber.UnsubscribeAll();
}

void CPortPage::SetDeviceMap(HKEY root, const std::wstring& subkey)
{
    m_deviceMapRoot = root;
    m_deviceMapKey = subkey;
}

void CPortPage::OnInitDialog()
{
    m_comboBox = GetDlgItem(IDC_PORT_LIST);
    FillModelNameInControl(m_hWnd, IDC_PORT_LABEL);
    RefreshPortList();
    // A saved port that is gone is forgotten, so no contact is tried on it.
    if (!SelectPort(m_model.m_port.Get()))
        m_model.m_port.Set(std::wstring());
    CreateToolTips();
}

void CPortPage::CreateToolTips()
{
    m_toolTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_BALLOON,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (m_toolTip == nullptr)
        return;
    const struct {
        int control;
        UINT text;
    } tools[] = {
        {IDC_TEST_COMMUNICATIONS, IDS_TIP_TEST_COMMUNICATIONS},
        {IDC_CLOSE_PORT, IDS_TIP_CLOSE_PORT},
    };
    for (const auto& tool : tools) {
        std::wstring text = LoadStringText(tool.text);
        TTTOOLINFOW info = {};
        // The version 2 layout: every comctl32 the program meets takes it.
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = m_hWnd;
        info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(tool.control));
        info.lpszText = &text[0];
        ::SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    ::SendMessageW(m_toolTip, TTM_ACTIVATE, TRUE, 0);
}

void CPortPage::RefreshPortList()
{
    if (m_comboBox == nullptr)
        return;
    const std::wstring remembered = SelectedText();
    const std::vector<std::wstring> ports = ListSerialPorts(m_extraPorts, m_deviceMapRoot, m_deviceMapKey.c_str());
    ::SendMessageW(m_comboBox, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& port : ports)
        ::SendMessageW(m_comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(port.c_str()));
    if (!remembered.empty())
        SelectPort(remembered);
}

bool CPortPage::SelectPort(const std::wstring& name)
{
    // Whole names only: a prefix search would put "COM10" on show for a saved "COM1"
    // that is gone, and select the first port for an empty name.
    LRESULT index = CB_ERR;
    if (!name.empty())
        index = ::SendMessageW(m_comboBox, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(name.c_str()));
    ::SendMessageW(m_comboBox, CB_SETCURSEL, index == CB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(index), 0);
    return index != CB_ERR;
}

std::wstring CPortPage::SelectedText() const
{
    if (m_comboBox == nullptr)
        return std::wstring();
    const LRESULT index = ::SendMessageW(m_comboBox, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return std::wstring();
    const LRESULT length = ::SendMessageW(m_comboBox, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ::SendMessageW(m_comboBox, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void CPortPage::OnShowWindow(bool shown)
{
    if (!shown) {
        m_subscriber.UnsubscribeAll();
        return;
    }
    m_subscriber.Subscribe(m_hWnd, m_model.m_firmwareStatus);
    m_subscriber.Subscribe(m_hWnd, m_model.m_port);
    m_subscriber.Subscribe(m_hWnd, m_model.m_portOpenStatus);
    // The port and the port open status tell the page at once.
    OnPortChanged();
    OnPortOpenStatusChanged();
}

void CPortPage::OnDestroy()
{
    m_subscriber.UnsubscribeAll();
    m_comboBox = nullptr;
    m_toolTip = nullptr;
}

void CPortPage::OnTestCommunications()
{
    // Closing first drops the firmware status to none, so the contact that follows
    // announces what it finds even when it finds the same as before.
    m_model.ClosePort();
    if (m_model.m_port.Get().empty()) {
        ShowError(m_hWnd, IDS_CAPTION_SELECT_PORT, IDS_CHOOSE_PORT);
        ::SendMessageW(m_comboBox, CB_SHOWDROPDOWN, TRUE, 0);
        return;
    }
    m_model.ContactMachine().StartOpenPort();
}

void CPortPage::OnClosePort()
{
    // A contact machine that is polling stops at its next write, which fails.
    m_model.ClosePort();
}

void CPortPage::OnSelectionChange()
{
    const std::wstring chosen = SelectedText();
    if (!SameIgnoringLetterCase(chosen, m_model.m_port.Get()))
        m_model.m_port.Set(chosen);  // the main frame closes the port and starts contact
}

void CPortPage::OnPortChanged()
{
    SelectPort(m_model.m_port.Get());
}

void CPortPage::OnPortOpenStatusChanged()
{
    if (m_model.IsPortOpen() && m_model.m_firmwareStatus.Get() == FirmwareStatusNone &&
        m_model.ContactMachine().IsIdle())
        m_model.ContactMachine().StartOpenPort();
}

void CPortPage::OnFirmwareStatusChanged()
{
    if (m_model.IsPortOpen())
        ShowRadioStatus();
}

void CPortPage::ShowRadioStatus()
{
    const std::wstring caption = FormatText(IDS_CAPTION_RADIO_STATUS, kModelName);
    switch (m_model.m_firmwareStatus.Get()) {
    case FirmwareStatusBootLoader:
        ShowErrorEx(m_hWnd, MB_ICONWARNING, caption, L"%s", m_model.WaitingText().c_str());
        break;
    case FirmwareStatusApplication:
        ShowErrorEx(m_hWnd, MB_ICONINFORMATION, caption, L"%s", m_model.McuVersionStatusText().c_str());
        break;
    default:
        if (m_model.IsPortOpen())
            ShowErrorEx(m_hWnd, MB_ICONERROR, caption, IDS_NOT_RESPONDING, kModelName);
        break;
    }
}

HWND CPortPage::OnQueryInitialFocus()
{
    return GetDlgItem(IDC_TEST_COMMUNICATIONS);
}

BOOL CPortPage::OnCommand(WORD id, WORD code)
{
    switch (id) {
    case IDC_TEST_COMMUNICATIONS:
        if (code != BN_CLICKED)
            return FALSE;
        OnTestCommunications();
        return TRUE;
    case IDC_CLOSE_PORT:
        if (code != BN_CLICKED)
            return FALSE;
        OnClosePort();
        return TRUE;
    case IDC_PORT_LIST:
        if (code == CBN_DROPDOWN) {
            RefreshPortList();
            return TRUE;
        }
        if (code == CBN_SELCHANGE) {
            OnSelectionChange();
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL CPortPage::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        result = TRUE;
        return TRUE;
    case WM_SHOWWINDOW:
        OnShowWindow(wParam != FALSE);
        return FALSE;  // the dialog manager shows or hides the page as usual
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_APP_PORT:
        OnPortChanged();
        return TRUE;
    case WM_APP_PORT_OPEN_STATUS:
        OnPortOpenStatusChanged();
        return TRUE;
    case WM_APP_FIRMWARE_STATUS:
        OnFirmwareStatusChanged();
        return TRUE;
    case WM_HELP:
        ShowHelpTopic(m_hWnd, kHelpTopic);
        result = TRUE;
        return TRUE;
    default:
        return FALSE;
    }
}
