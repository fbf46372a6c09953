#include "ui/dialogs/about_dialog.h"

#include "platform/wide_format.h"
#include "ui/dialogs/centre_over_owner.h"
#include "ui/dialogs/licence_dialog.h"
#include "ui/help/show_help_topic.h"
#include "ui/pages/page_text.h"

const wchar_t kAboutCredit[] = L"Written by the Orvandel radio software team for ZR8 owners.";

std::wstring BuildAboutText(const CFileVersionInfo& info)
{
    return FormatW(L"%s\n\nVersion %u.%u.%u.%u\n\n%s\n\n", info.Get(CFileVersionInfo::FileDescription).c_str(),
                   static_cast<unsigned>(HIWORD(info.fileVersionMS)), static_cast<unsigned>(LOWORD(info.fileVersionMS)),
                   static_cast<unsigned>(HIWORD(info.fileVersionLS)), static_cast<unsigned>(LOWORD(info.fileVersionLS)),
                   info.Get(CFileVersionInfo::LegalCopyright).c_str()) +
           kAboutCredit;
}

void CAboutDialog::OnInitDialog()
{
    SetWindowText(FillModelName(GetWindowText()));
    CFileVersionInfo info;
    if (info.ReadOwnVersionInfo())
        SetDlgItemText(IDC_ABOUT_TEXT, BuildAboutText(info));
    CentreOverOwner(m_hWnd, ::GetWindow(m_hWnd, GW_OWNER));
}

BOOL CAboutDialog::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        result = TRUE;
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_VIEW_LICENSE:
            ShowLicence(m_hWnd);
            result = 0;
            return TRUE;
        case IDCANCEL:
            EndDialog(IDCANCEL);
            result = 0;
            return TRUE;
        default:
            return FALSE;
        }
    case WM_HELP:
        ShowHelpTopic(m_hWnd, kHelpTopic);
        result = TRUE;
        return TRUE;
    default:
        return FALSE;
    }
}

void ShowAboutBox(HWND owner)
{
    CAboutDialog dialog;
    dialog.DoModal(owner);
}
