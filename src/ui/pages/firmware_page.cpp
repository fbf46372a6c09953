#include "ui/pages/firmware_page.h"

#include <commctrl.h>
#include <richedit.h>

#include <memory>

#include "core/model/contact_state_machine.h"
#include "core/model/model_base.h"
#include "core/text/app_messages.h"
#include "core/text/display_text.h"
#include "core/text/os_description.h"
#include "core/text/report.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "core/text/version_info.h"
#include "ui/dialogs/ftp_dlg.h"
#include "ui/dialogs/mcu_loader_dlg.h"
#include "ui/help/show_help_topic.h"
#include "ui/pages/firmware_folder_browser.h"
#include "ui/pages/page_text.h"

namespace {
constexpr LPARAM kActivityLogLimit = 0x200000;
const wchar_t kFirmwareName[] = L"MCU";

// The page grows with the frame: the groups take the width, the Activity Log the height.
// The buttons of the folder row keep to the right edge; the version group widens and its
// send button with it.
const CResizeRule kResizeRules[] = {
    {IDC_FOLDER_GROUP, CDialogResizeBase::kSizeX},
    {IDC_FOLDER_DEFAULT, CDialogResizeBase::kMoveX},
    {IDC_FOLDER_BROWSE, CDialogResizeBase::kMoveX},
    {IDC_FOLDER_EDIT, CDialogResizeBase::kSizeX},
    {IDC_VERSION_GROUP, CDialogResizeBase::kSizeX},
    {IDC_SEND_FIRMWARE, CDialogResizeBase::kSizeX},
    {IDC_ACTIVITY_GROUP, CDialogResizeBase::kSizeX | CDialogResizeBase::kSizeY},
    {IDC_OUTPUT_WINDOW, CDialogResizeBase::kSizeX | CDialogResizeBase::kSizeY},
};

std::wstring TrimBlanks(const std::wstring& text)
{
    const wchar_t* blanks = L" \t\r\n\v\f";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::wstring::npos)
        return std::wstring();
    const size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}
}  // namespace

unsigned RoundedSeconds(unsigned long milliseconds)
{
    return static_cast<unsigned>((milliseconds + 500) / 1000);
}

CFirmwarePage::CFirmwarePage(CPageContext& context) : m_model(context.model) {}

CFirmwarePage::~CFirmwarePage()
{
    m_subscriber.UnsubscribeAll();
}

void CFirmwarePage::OnInitDialog()
{
    FillModelNameInControl(m_hWnd, IDC_INSTALLED_LABEL);
    FillModelNameInControl(m_hWnd, IDC_SEND_FIRMWARE);
    ::SendDlgItemMessageW(m_hWnd, IDC_FOLDER_EDIT, EM_SETLIMITTEXT, kFolderTextLimit, 0);
    m_log.SubclassWindow(GetDlgItem(IDC_OUTPUT_WINDOW));
    m_log.SendMessage(EM_EXLIMITTEXT, 0, kActivityLogLimit);
    ::EnableWindow(GetDlgItem(IDC_SEND_FIRMWARE), FALSE);
    CreateToolTips();
    DlgResize_Init(m_hWnd, kResizeRules, sizeof(kResizeRules) / sizeof(kResizeRules[0]), false, false);
    AppendPageLine(GetAppTitle());
    AppendPageLine(GetOsDescription());
}

void CFirmwarePage::CreateToolTips()
{
    m_toolTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_BALLOON,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (m_toolTip == nullptr)
        return;
    const struct {
        int control;
        std::wstring text;
    } tools[] = {
        {IDC_FOLDER_DEFAULT, FormatText(IDS_TIP_DEFAULT_FOLDER, kModelName)},
        {IDC_FOLDER_BROWSE, LoadStringText(IDS_TIP_BROWSE_FOLDER)},
        {IDC_COPY_NEW_FILES, LoadStringText(IDS_TIP_COPY_NEW_FILES)},
        {IDC_CHECK_VERSION, FormatText(IDS_TIP_CHECK_VERSION, kModelName)},
    };
    for (const auto& tool : tools) {
        std::wstring text = tool.text;
        TTTOOLINFOW info = {};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = m_hWnd;
        info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(tool.control));
        info.lpszText = &text[0];
        ::SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    ::SendMessageW(m_toolTip, TTM_ACTIVATE, TRUE, 0);
}

void CFirmwarePage::AppendPageLine(const std::wstring& text)
{
    if (m_log.m_hWnd != nullptr)
        m_log.AppendLine(TimeStamp() + text);
}

std::wstring CFirmwarePage::ActivityLogText() const
{
    return CWindow(GetDlgItem(IDC_OUTPUT_WINDOW)).GetWindowText();
}

void CFirmwarePage::ScanAndShow()
{
    m_files = ScanFirmwareFolder(m_model.m_firmwareFolder.Get());
    SetDlgItemText(IDC_AVAILABLE_VERSION,
                   m_files.HasFirmware() ? VersionText(m_files.m_version) : LoadStringText(IDS_FIRMWARE_MISSING));
    if (!m_files.HasFirmware())
        LogLine(m_hWnd, IDS_NO_FIRMWARE_FILES);
    UpdateSendButton();
}

void CFirmwarePage::UpdateSendButton()
{
    ::EnableWindow(GetDlgItem(IDC_SEND_FIRMWARE), m_files.HasFirmware() && m_model.IsExpectedDevice() ? TRUE : FALSE);
}

void CFirmwarePage::ShowInstalledVersion()
{
    SetDlgItemText(IDC_INSTALLED_VERSION, m_model.FirmwareVersionText());
}

void CFirmwarePage::OnShowWindow(bool shown)
{
    if (!shown) {
        m_subscriber.UnsubscribeAll();
        return;
    }
    m_subscriber.Subscribe(m_hWnd, m_model.m_firmwareFolder);
    m_subscriber.Subscribe(m_hWnd, m_model.m_firmwareStatus);
    m_subscriber.Subscribe(m_hWnd, m_model.m_mcuVersion);
    SetDlgItemText(IDC_FOLDER_EDIT, m_model.m_firmwareFolder.Get());
    ShowInstalledVersion();
    ScanAndShow();
}

void CFirmwarePage::OnDestroy()
{
    m_subscriber.UnsubscribeAll();
    m_toolTip = nullptr;
}

void CFirmwarePage::OnFirmwareFolderChanged()
{
    SetDlgItemText(IDC_FOLDER_EDIT, m_model.m_firmwareFolder.Get());
    ScanAndShow();
}

void CFirmwarePage::OnDefaultFolder()
{
    // A folder that cannot be made is not reported here: the scan then finds nothing.
    m_model.m_firmwareFolder.Set(m_model.DefaultFirmwareFolder());
}

void CFirmwarePage::OnBrowseFolder()
{
    std::wstring chosen;
    if (BrowseForFirmwareFolder(m_hWnd, FormatText(IDS_BROWSE_FOLDER_TITLE, kModelName),
                                m_model.m_firmwareFolder.Get(), chosen))
        m_model.m_firmwareFolder.Set(chosen);
}

void CFirmwarePage::OnFolderEditDone()
{
    const std::wstring typed = GetDlgItemText(IDC_FOLDER_EDIT);
    const std::wstring folder = TrimBlanks(typed);
    // An unchanged value sends no notification: show the trimmed text all the same.
    if (folder != typed)
        SetDlgItemText(IDC_FOLDER_EDIT, folder);
    m_model.m_firmwareFolder.Set(folder);
}

void CFirmwarePage::OnCheckVersion()
{
    ScanAndShow();
    m_model.ContactMachine().StartOpenPort();
}

// The copy dialog asks about a missing folder itself; whatever it ends with, the folder
// may have changed, so it is scanned again.
void CFirmwarePage::OnCopyNewFiles()
{
    const std::wstring folder = m_model.m_firmwareFolder.Get();
    CFirmwareFiles files = ScanFirmwareFolder(folder);
    RunFtpDialog(m_hWnd, m_model, folder, files);
    LogLine(m_hWnd, IDS_READY);
    ScanAndShow();
}

void CFirmwarePage::SendFirmware()
{
    if (!m_model.IsExpectedDevice()) {
        AppendPageLine(FormatW(L"Unexpected device %u\n", static_cast<unsigned>(m_model.m_device.Get())));
        ::EnableWindow(GetDlgItem(IDC_SEND_FIRMWARE), FALSE);
        return;
    }
    if (!m_files.HasFirmware()) {
        ::EnableWindow(GetDlgItem(IDC_SEND_FIRMWARE), FALSE);
        ShowError(m_hWnd, IDS_CAPTION_ERROR, IDS_NO_FIRMWARE_FILES);
        return;
    }
    const DWORD start = ::GetTickCount();
    LogLine(m_hWnd, IDS_SENDING_FIRMWARE_FROM, m_model.m_firmwareFolder.Get().c_str());
    {
        // The dialog owns the machine; its end detaches the machine and deletes it.
        auto dialog = std::make_unique<CMcuLoaderDlg>(m_model, kFirmwareName, m_files.m_firmwarePath);
        dialog->DoModal(::GetAncestor(m_hWnd, GA_ROOT));
        LogLine(m_hWnd, IDS_ELAPSED_TIME, RoundedSeconds(::GetTickCount() - start));
    }
}

BOOL CFirmwarePage::OnCommand(WORD id, WORD code)
{
    switch (id) {
    case IDC_FOLDER_DEFAULT:
        if (code != BN_CLICKED)
            return FALSE;
        OnDefaultFolder();
        return TRUE;
    case IDC_FOLDER_BROWSE:
        if (code != BN_CLICKED)
            return FALSE;
        OnBrowseFolder();
        return TRUE;
    case IDC_CHECK_VERSION:
        if (code != BN_CLICKED)
            return FALSE;
        OnCheckVersion();
        return TRUE;
    case IDC_COPY_NEW_FILES:
        if (code != BN_CLICKED)
            return FALSE;
        OnCopyNewFiles();
        return TRUE;
    case IDC_SEND_FIRMWARE:
        if (code != BN_CLICKED)
            return FALSE;
        SendFirmware();
        return TRUE;
    case IDC_FOLDER_EDIT:
        if (code != EN_KILLFOCUS)
            return FALSE;
        OnFolderEditDone();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CFirmwarePage::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (ProcessResizeMessage(window, message, wParam, lParam, result))
        return TRUE;
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
    case WM_HELP:
        ShowHelpTopic(m_hWnd, kHelpTopic);
        result = TRUE;
        return TRUE;
    case WM_APP_FIRMWARE_FOLDER:
        OnFirmwareFolderChanged();
        return TRUE;
    case WM_APP_FIRMWARE_STATUS:
        UpdateSendButton();
        return TRUE;
    case WM_APP_MCU_VERSION:
        if (wParam == 0)
            ShowInstalledVersion();
        return TRUE;
    case WM_APP_PAGE_TEXT:
        if (lParam != 0)
            AppendPageLine(reinterpret_cast<const wchar_t*>(lParam));
        return TRUE;
    default:
        return FALSE;
    }
}
