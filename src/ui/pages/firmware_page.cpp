#include "ui/pages/firmware_page.h"

#include <richedit.h>

#include "core/text/app_messages.h"
#include "core/text/display_text.h"
#include "core/text/os_description.h"
#include "core/text/version_info.h"
#include "ui/pages/page_text.h"

namespace {
constexpr LPARAM kActivityLogLimit = 0x200000;

// The page grows with the frame: the log takes the extra height and width.
const CResizeRule kResizeRules[] = {
    {IDC_ACTIVITY_GROUP, CDialogResizeBase::kSizeX | CDialogResizeBase::kSizeY},
    {IDC_OUTPUT_WINDOW, CDialogResizeBase::kSizeX | CDialogResizeBase::kSizeY},
};
}  // namespace

void CFirmwarePage::OnInitDialog()
{
    FillModelNameInControl(m_hWnd, IDC_INSTALLED_LABEL);
    FillModelNameInControl(m_hWnd, IDC_SEND_FIRMWARE);
    ::SendDlgItemMessageW(m_hWnd, IDC_FOLDER_EDIT, EM_SETLIMITTEXT, 260, 0);
    m_log.SubclassWindow(GetDlgItem(IDC_OUTPUT_WINDOW));
    m_log.SendMessage(EM_EXLIMITTEXT, 0, kActivityLogLimit);
    // The operations of this page are not here yet: its buttons stay off.
    for (int id : {IDC_FOLDER_DEFAULT, IDC_FOLDER_BROWSE, IDC_CHECK_VERSION, IDC_COPY_NEW_FILES, IDC_SEND_FIRMWARE})
        ::EnableWindow(::GetDlgItem(m_hWnd, id), FALSE);
    DlgResize_Init(m_hWnd, kResizeRules, sizeof(kResizeRules) / sizeof(kResizeRules[0]), false, false);
    AppendPageLine(GetAppTitle());
    AppendPageLine(GetOsDescription());
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

BOOL CFirmwarePage::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (ProcessResizeMessage(window, message, wParam, lParam, result))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        result = TRUE;
        return TRUE;
    case WM_APP_PAGE_TEXT:
        if (lParam != 0)
            AppendPageLine(reinterpret_cast<const wchar_t*>(lParam));
        result = 0;
        return TRUE;
    default:
        return FALSE;
    }
}
