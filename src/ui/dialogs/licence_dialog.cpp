#include "ui/dialogs/licence_dialog.h"

#include <cstring>

#include "ui/dialogs/centre_over_owner.h"
#include "ui/dialogs/document_view.h"
#include "ui/help/show_help_topic.h"
#include "ui/pages/page_text.h"

std::string LoadLicenceDocument()
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceExW(module, MAKEINTRESOURCEW(RT_DOCUMENT), MAKEINTRESOURCEW(IDR_LICENCE_DOCUMENT),
                                    MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (found == nullptr)
        return std::string();
    HGLOBAL loaded = ::LoadResource(module, found);
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (data == nullptr)
        return std::string();
    // The resource ends with a null byte; its size bounds the text in case it does not.
    const char* text = static_cast<const char*>(data);
    const size_t size = ::SizeofResource(module, found);
    return std::string(text, strnlen(text, size));
}

void CLicenceDialog::OnInitDialog()
{
    SetWindowText(FillModelName(GetWindowText()));
    const std::string document = LoadLicenceDocument();
    if (!document.empty() && m_text.SubclassWindow(GetDlgItem(IDC_OUTPUT_WINDOW))) {
        WrapAtWindowWidth(m_text.Window());
        SETTEXTEX replace = {ST_SELECTION, CP_UTF8};
        m_text.SendMessage(EM_SETTEXTEX, reinterpret_cast<WPARAM>(&replace), reinterpret_cast<LPARAM>(document.c_str()));
    }
    InitDocumentLayout(*this, m_hWnd);
    CentreOverOwner(m_hWnd, ::GetWindow(m_hWnd, GW_OWNER));
    if (m_text.Window() != nullptr)
        FocusDocumentStart(m_text.Window());
}

BOOL CLicenceDialog::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (ProcessResizeMessage(window, message, wParam, lParam, result))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        result = m_text.Window() == nullptr;  // FALSE: the focus is set
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(IDCANCEL);
            result = 0;
            return TRUE;
        }
        return FALSE;
    case WM_HELP:
        ShowHelpTopic(m_hWnd, kHelpTopic);
        result = TRUE;
        return TRUE;
    default:
        return FALSE;
    }
}

void ShowLicence(HWND owner)
{
    CLicenceDialog dialog;
    dialog.DoModal(owner);
}
