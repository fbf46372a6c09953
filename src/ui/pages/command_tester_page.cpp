#include "ui/pages/command_tester_page.h"

#include <commctrl.h>

#include "core/model/model_base.h"
#include "core/text/app_messages.h"
#include "core/text/string_table.h"
#include "ui/dialogs/command_macros_sheet.h"
#include "ui/help/show_help_topic.h"
#include "ui/log/fixed_font.h"
#include "ui/log/output_window.h"

namespace {
const CResizeRule kResizeRules[] = {
    {IDC_EDIT_MACROS, CDialogResizeBase::kMoveX},
    {IDC_CLEAR, CDialogResizeBase::kMoveX},
    {IDC_COMMAND_PROMPT, CDialogResizeBase::kSizeX},
    {IDC_COMMAND_FIELD, CDialogResizeBase::kSizeX},
    {IDC_OUTPUT_WINDOW, CDialogResizeBase::kSizeX | CDialogResizeBase::kSizeY},
};

constexpr int kMacrosPerRow = 4;

CHARFORMAT2W ColourFormat(COLORREF colour)
{
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR | CFM_BOLD;
    format.dwEffects = 0;  // normal weight, not the automatic colour
    format.crTextColor = colour;
    return format;
}

// True when the character after the last one stands further right than the left edge
// of a line: the next command then starts on a new line.
bool EndIsPastLineStart(HWND output)
{
    const LONG length = OutputTextLength(output);
    if (length <= 0)
        return false;
    POINTL point = {0, 0};
    ::SendMessageW(output, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), length);
    return point.x > 1;
}
}  // namespace

CCommandTesterPage::CCommandTesterPage(CPageContext& context)
    : m_model(context.model), m_commandField([this] { OnEnter(); })
{
}

CCommandTesterPage::~CCommandTesterPage()
{
    m_subscriber.UnsubscribeAll();
}

void CCommandTesterPage::OnInitDialog()
{
    CAppInfoBase& key = m_model.SettingsKey();
    // The labels' defaults are written the first time, so the registry names every button.
    m_macros.labels.Load(key);
    m_macros.FillEmptyLabels();
    m_macros.labels.Save(key);
    m_macros.texts.Load(key);

    HWND field = GetDlgItem(IDC_COMMAND_FIELD);
    HWND output = GetDlgItem(IDC_OUTPUT_WINDOW);
    m_font = MakeFixedFont(m_hWnd);
    ::SendMessageW(field, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), TRUE);
    m_commandField.SubclassWindow(field);
    m_output.SubclassWindow(output);
    m_output.SetFont(m_font.Get());
    ::SendMessageW(output, EM_SETTARGETDEVICE, 0, 0);  // wrap at the window's width
    m_sentFormat = ColourFormat(kSentColour);
    m_receivedFormat = ColourFormat(kReceivedColour);

    CreateToolTip();

    DlgResize_Init(m_hWnd, kResizeRules, sizeof(kResizeRules) / sizeof(kResizeRules[0]), false, false);
    std::vector<std::vector<int>> rows;
    for (int first = IDC_MACRO_FIRST; first <= IDC_MACRO_LAST; first += kMacrosPerRow)
        rows.push_back({first, first + 1, first + 2, first + 3});
    m_macroRows.Init(m_hWnd, rows);
}

void CCommandTesterPage::CreateToolTip()
{
    m_toolTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (m_toolTip == nullptr)
        return;
    std::wstring text = LoadStringText(IDS_TIP_ERASE_OUTPUT);
    TTTOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = m_hWnd;
    info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(IDC_CLEAR));
    info.lpszText = &text[0];
    ::SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    ::SendMessageW(m_toolTip, TTM_ACTIVATE, TRUE, 0);
}

void CCommandTesterPage::OnDestroy()
{
    m_subscriber.UnsubscribeAll();
    m_commandField.UnsubclassWindow();
    m_output.UnsubclassWindow();
    m_toolTip = nullptr;
    m_focusControl = nullptr;
}

void CCommandTesterPage::OnShowWindow(bool shown)
{
    if (!shown) {
        m_subscriber.UnsubscribeAll();
        return;
    }
    m_subscriber.Subscribe(m_hWnd, m_macros.labels);
    m_subscriber.Subscribe(m_hWnd, m_model.m_firmwareStatus);
    m_macros.labels.Notify(m_hWnd);  // the buttons show the labels at once
}

void CCommandTesterPage::SendCommandText(const std::wstring& text)
{
    if (text.empty() || m_model.m_firmwareStatus.Get() == FirmwareStatusNone)
        return;
    SetDlgItemText(IDC_COMMAND_FIELD, std::wstring());
    HWND output = m_output.Window();
    if (EndIsPastLineStart(output))
        AppendFormatted(output, L"\r\n", m_sentFormat);
    AppendFormatted(output, text.c_str(), m_sentFormat);
    // A write that fails is reported by the port itself.
    m_model.WriteText(text.c_str());
    if (m_focusControl != nullptr && ::IsWindow(m_focusControl))
        ::SetFocus(m_focusControl);
}

void CCommandTesterPage::OnEnter()
{
    m_focusControl = GetDlgItem(IDC_COMMAND_FIELD);
    SendCommandText(GetDlgItemText(IDC_COMMAND_FIELD));
}

void CCommandTesterPage::OnCommandFieldChanged()
{
    const std::wstring text = GetDlgItemText(IDC_COMMAND_FIELD);
    if (text.empty() || text.back() != L';')
        return;
    // The user is typing here: the focus stays in the field after the send.
    m_focusControl = GetDlgItem(IDC_COMMAND_FIELD);
    SendCommandText(text);
}

void CCommandTesterPage::OnPortEvent()
{
    ++m_portEvents;
    BYTE buffer[kReadChunk];
    for (;;) {
        DWORD count = 0;
        // Not open: the invalid-handle failure; other failures the port reports itself.
        if (!m_model.SerialPort().ReadBytes(buffer, sizeof(buffer), &count) || count == 0)
            return;
        AppendReceived(buffer, count);
    }
}

void CCommandTesterPage::AppendReceived(const BYTE* bytes, DWORD count)
{
    // One character per byte, as its code; carriage returns dropped, line feeds kept. A
    // NUL cannot travel in the control's text (it would end it there): it is shown as
    // the symbol for null, U+2400.
    constexpr wchar_t kNulSymbol = 0x2400;
    std::wstring text;
    text.reserve(count);
    for (DWORD i = 0; i < count; ++i)
        if (bytes[i] == 0)
            text.push_back(kNulSymbol);
        else if (bytes[i] != '\r')
            text.push_back(static_cast<wchar_t>(bytes[i]));
    if (!text.empty() && m_output.Window() != nullptr)
        AppendFormatted(m_output.Window(), text.c_str(), m_receivedFormat);
}

void CCommandTesterPage::OnLabelChanged(WPARAM index)
{
    if (index < CCommandMacros::kCount)
        SetDlgItemText(IDC_MACRO_FIRST + static_cast<int>(index), m_macros.labels.GetAt(index));
}

void CCommandTesterPage::RunMacroEditor()
{
    CCommandMacrosSheet sheet(m_macros);
    if (!sheet.Run(m_hWnd))
        return;
    m_macros.FillEmptyLabels();
    // Failures to save are not reported: the macros stay in use for this run.
    m_macros.labels.Save(m_model.SettingsKey());
    m_macros.texts.Save(m_model.SettingsKey());
}

HWND CCommandTesterPage::OnQueryInitialFocus()
{
    return GetDlgItem(IDC_COMMAND_FIELD);
}

BOOL CCommandTesterPage::OnCommand(WORD id, WORD code)
{
    if (id >= IDC_MACRO_FIRST && id <= IDC_MACRO_LAST) {
        if (code != BN_CLICKED)
            return FALSE;
        m_focusControl = GetDlgItem(id);
        SendCommandText(m_macros.texts.GetAt(static_cast<size_t>(id - IDC_MACRO_FIRST)));
        return TRUE;
    }
    switch (id) {
    case IDC_COMMAND_FIELD:
        if (code != EN_CHANGE)
            return FALSE;
        OnCommandFieldChanged();
        return TRUE;
    case IDC_CLEAR:
        if (code != BN_CLICKED)
            return FALSE;
        m_output.Clear();
        m_focusControl = GetDlgItem(IDC_CLEAR);
        return TRUE;
    case IDC_EDIT_MACROS:
        if (code != BN_CLICKED)
            return FALSE;
        m_focusControl = GetDlgItem(IDC_EDIT_MACROS);
        RunMacroEditor();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CCommandTesterPage::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                              LRESULT& result)
{
    if (ProcessResizeMessage(window, message, wParam, lParam, result))
        return TRUE;
    result = 0;
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        result = TRUE;
        return TRUE;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            m_macroRows.Layout(static_cast<int>(LOWORD(lParam)) - InitialClientSize().cx);
        return FALSE;
    case WM_SHOWWINDOW:
        OnShowWindow(wParam != FALSE);
        return FALSE;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_HELP:
        ShowHelpTopic(m_hWnd, kHelpTopic);
        result = TRUE;
        return TRUE;
    case WM_APP_PORT_EVENT:
        OnPortEvent();
        return TRUE;
    case WM_APP_COMMAND_CAPTIONS:
        OnLabelChanged(wParam);
        return TRUE;
    case WM_APP_FIRMWARE_STATUS:
        return TRUE;  // read when sending
    default:
        return FALSE;
    }
}
