#include "ui/dialogs/command_macros_sheet.h"

#include "core/text/string_table.h"
#include "ui/help/show_help_topic.h"

CCommandMacrosPage1::CCommandMacrosPage1(CCommandMacros& macros) : m_macros(macros)
{
    AddPageFlags(PSP_HASHELP);
}

CCommandMacrosPage1::~CCommandMacrosPage1()
{
    m_subscriber.UnsubscribeAll();
}

void CCommandMacrosPage1::Fill(int editId, const std::wstring& text)
{
    HWND edit = GetDlgItem(editId);
    ::SetWindowTextW(edit, text.c_str());
    ::EnableWindow(edit, TRUE);
}

void CCommandMacrosPage1::OnShowWindow(bool shown)
{
    if (!shown) {
        m_subscriber.UnsubscribeAll();
        return;
    }
    m_subscriber.Subscribe(m_hWnd, m_macros.labels);
    m_subscriber.Subscribe(m_hWnd, m_macros.texts);
    m_macros.labels.Notify(m_hWnd);
    m_macros.texts.Notify(m_hWnd);
}

BOOL CCommandMacrosPage1::OnApply()
{
    // No length limit: the edits take what the user typed, whole.
    for (size_t i = 0; i < CCommandMacros::kCount; ++i) {
        m_macros.labels.SetAt(i, GetDlgItemText(LabelEditId(i)));
        m_macros.texts.SetAt(i, GetDlgItemText(TextEditId(i)));
    }
    m_applied = true;
    return TRUE;
}

BOOL CCommandMacrosPage1::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_INITDIALOG:
        result = TRUE;
        return TRUE;
    case WM_SHOWWINDOW:
        OnShowWindow(wParam != FALSE);
        return FALSE;
    case WM_DESTROY:
        m_subscriber.UnsubscribeAll();
        return FALSE;
    case WM_APP_COMMAND_CAPTIONS:
        if (wParam < CCommandMacros::kCount)
            Fill(LabelEditId(wParam), m_macros.labels.GetAt(wParam));
        return TRUE;
    case WM_APP_COMMAND_TEXTS:
        if (wParam < CCommandMacros::kCount)
            Fill(TextEditId(wParam), m_macros.texts.GetAt(wParam));
        return TRUE;
    case WM_HELP:
        ShowHelpTopic(m_hWnd, kHelpTopic);
        result = TRUE;
        return TRUE;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lParam)->code != PSN_HELP)
            return FALSE;
        ShowHelpTopic(m_hWnd, kHelpTopic);
        return TRUE;
    default:
        return FALSE;
    }
}

CCommandMacrosSheet::CCommandMacrosSheet(CCommandMacros& macros) : m_page(macros)
{
    SetTitle(LoadStringText(IDS_CAPTION_EDIT_MACROS));
    AddSheetFlags(PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP);
    AddPage(m_page);
}

bool CCommandMacrosSheet::Run(HWND owner)
{
    m_owner = owner != nullptr ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    DoModal(m_owner);
    return m_page.Applied();
}

void CCommandMacrosSheet::OnSheetInitialized()
{
    m_centred = false;
}

BOOL CCommandMacrosSheet::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM, LRESULT&)
{
    // Centred over the owner the first time it is shown.
    if (message != WM_SHOWWINDOW || wParam == FALSE || m_centred)
        return FALSE;
    m_centred = true;
    RECT sheet;
    ::GetWindowRect(window, &sheet);
    RECT area;
    if (m_owner == nullptr || !::GetWindowRect(m_owner, &area))
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const int width = sheet.right - sheet.left;
    const int height = sheet.bottom - sheet.top;
    int x = area.left + ((area.right - area.left) - width) / 2;
    int y = area.top + ((area.bottom - area.top) - height) / 2;
    // Never above or left of the work area, so the caption can always be reached.
    RECT work;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    if (x < work.left)
        x = work.left;
    if (y < work.top)
        y = work.top;
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return FALSE;
}
