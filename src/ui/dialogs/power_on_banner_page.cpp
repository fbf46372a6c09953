#include "ui/dialogs/power_on_banner_page.h"

#include <commctrl.h>

#include "core/model/model_base.h"
#include "core/text/app_messages.h"
#include "ui/help/show_help_topic.h"
#include "ui/log/fixed_font.h"

CPowerOnBannerPage::CPowerOnBannerPage(CModelBase& model) : m_model(model), m_machine(model), m_logic(m_machine) {}

CPowerOnBannerPage::~CPowerOnBannerPage()
{
    OnHidden();
}

void CPowerOnBannerPage::OnInitDialog()
{
    m_font.Reset();  // a font of an earlier window of this page goes first
    m_font = MakeFixedFont(m_hWnd);
    HWND edit = GetDlgItem(IDC_BANNER_EDIT);
    ::SendMessageW(edit, EM_LIMITTEXT, kMaxCharacters, 0);
    ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), FALSE);
}

void CPowerOnBannerPage::OnShown()
{
    m_model.AttachOperation(&m_machine);
    m_subscriber.Subscribe(m_hWnd, m_machine.m_bannerText);
    m_subscriber.Subscribe(m_hWnd, m_model.m_completionEvent);
    m_machine.StartRead(m_hWnd);  // a busy machine keeps 0xE2000052 and nothing else happens
}

void CPowerOnBannerPage::OnHidden()
{
    m_subscriber.UnsubscribeAll();
    if (m_model.AttachedOperation() == &m_machine)
        m_model.DetachOperation();
}

void CPowerOnBannerPage::TakeEditedText()
{
    const bool changed = m_logic.OnEditChanged(GetDlgItemText(IDC_BANNER_EDIT));
    ::SendMessageW(GetPropertySheet(), changed ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CPowerOnBannerPage::OnBannerText(WPARAM element)
{
    // Only the text read from (or written to) the radio goes into the control: the
    // edited text comes from the control, and putting it back would overwrite what the
    // user is typing.
    if (element != CBannerStateMachine::ReadText)
        return;
    SetDlgItemText(IDC_BANNER_EDIT, m_machine.m_bannerText.GetAt(CBannerStateMachine::ReadText));
}

BOOL CPowerOnBannerPage::OnApply()
{
    // Enter in the edit control presses OK without the control losing the focus: the
    // text is taken from the control here, not only when the focus leaves it.
    TakeEditedText();
    return m_logic.OnApply(m_hWnd) ? TRUE : FALSE;
}

void CPowerOnBannerPage::OnComplete(DWORD result)
{
    if (m_logic.OnComplete(m_hWnd, result))
        ::PostMessageW(GetPropertySheet(), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

BOOL CPowerOnBannerPage::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                              LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        result = TRUE;
        return TRUE;
    case WM_SHOWWINDOW:
        if (wParam != FALSE)
            OnShown();
        else
            OnHidden();
        return FALSE;
    case WM_DESTROY:
        OnHidden();
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_BANNER_EDIT && HIWORD(wParam) == EN_KILLFOCUS) {
            TakeEditedText();
            return TRUE;
        }
        return FALSE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == PSN_QUERYCANCEL) {
            result = m_logic.OnQueryCancel() ? FALSE : TRUE;  // TRUE keeps the sheet open
            return TRUE;
        }
        if (header->code == PSN_HELP) {
            ShowHelpTopic(window, kHelpTopic);
            return TRUE;
        }
        return FALSE;
    }
    case WM_HELP:
        ShowHelpTopic(window, kHelpTopic);
        result = TRUE;
        return TRUE;
    case WM_APP_BANNER_TEXT:
        OnBannerText(wParam);
        return TRUE;
    case WM_APP_MACHINE_DONE:
        OnComplete(static_cast<DWORD>(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}
