#include "ui/pages/configuration_page.h"

#include <commctrl.h>

#include "core/model/model_base.h"
#include "core/text/app_messages.h"
#include "core/text/report.h"
#include "core/text/string_table.h"
#include "ui/dialogs/config_restore_dlg.h"
#include "ui/dialogs/config_save_dlg.h"
#include "ui/dialogs/power_on_banner_sheet.h"
#include "ui/help/show_help_topic.h"
#include "ui/pages/page_text.h"

CConfigurationPage::~CConfigurationPage()
{
    m_subscriber.UnsubscribeAll();
}

void CConfigurationPage::CreateToolTips()
{
    m_toolTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (m_toolTip == nullptr)
        return;
    const struct {
        int control;
        UINT text;
    } tools[] = {
        {IDC_SAVE_CONFIGURATION, IDS_TIP_SAVE_CONFIGURATION},
        {IDC_RESTORE_CONFIGURATION, IDS_TIP_RESTORE_CONFIGURATION},
    };
    for (const auto& tool : tools) {
        std::wstring text = LoadStringText(tool.text);
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

void CConfigurationPage::OnShowWindow(bool shown)
{
    if (!shown) {
        m_subscriber.UnsubscribeAll();
        return;
    }
    m_subscriber.Subscribe(m_hWnd, m_model.m_firmwareStatus);
    OnFirmwareStatusChanged();  // at once, not only at the next change
}

void CConfigurationPage::OnFirmwareStatusChanged()
{
    EnableAllChildren(m_hWnd, m_model.m_firmwareStatus.Get() == FirmwareStatusApplication);
}

void CConfigurationPage::OnSaveConfiguration()
{
    CConfigSaveDlg dialog(m_model);
    dialog.DoModal(m_hWnd);
}

void CConfigurationPage::OnRestoreConfiguration()
{
    {
        CConfigRestoreDlg dialog(m_model);
        dialog.DoModal(m_hWnd);
    }
    // Whatever the outcome: a restore may have left the radio partly written.
    ShowMessage(m_hWnd, MB_ICONWARNING, IDS_CONFIG_TURN_POWER_OFF_ON, IDS_CAPTION_CRITICAL_OPERATION);
}

void CConfigurationPage::OnEditBanner()
{
    CPowerOnBannerSheet sheet(m_model);
    sheet.DoModal(m_hWnd);
}

BOOL CConfigurationPage::OnCommand(WORD id, WORD code)
{
    if (code != BN_CLICKED)
        return FALSE;
    switch (id) {
    case IDC_SAVE_CONFIGURATION:
        OnSaveConfiguration();
        return TRUE;
    case IDC_RESTORE_CONFIGURATION:
        OnRestoreConfiguration();
        return TRUE;
    case IDC_EDIT_BANNER:
        OnEditBanner();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CConfigurationPage::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                              LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_INITDIALOG:
        EnableAllChildren(window, false);
        CreateToolTips();
        result = TRUE;
        return TRUE;
    case WM_SHOWWINDOW:
        OnShowWindow(wParam != FALSE);
        return FALSE;
    case WM_DESTROY:
        m_subscriber.UnsubscribeAll();
        m_toolTip = nullptr;
        return FALSE;
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_APP_FIRMWARE_STATUS:
        OnFirmwareStatusChanged();
        return TRUE;
    case WM_HELP:
        ShowHelpTopic(window, kHelpTopic);
        result = TRUE;
        return TRUE;
    default:
        return FALSE;
    }
}
