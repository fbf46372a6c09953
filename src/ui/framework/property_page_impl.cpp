#include "ui/framework/property_page_impl.h"

#include <commctrl.h>

#include "ui/framework/dialog_impl.h"

CPropertyPageBase::CPropertyPageBase(UINT templateId) : m_templateId(templateId) {}

CPropertyPageBase::~CPropertyPageBase()
{
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        ::SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
    if (m_handle != nullptr && !m_handleOwnedBySheet)
        ::DestroyPropertySheetPage(m_handle);
}

HPROPSHEETPAGE CPropertyPageBase::CreatePageHandle()
{
    if (m_handle != nullptr)
        return m_handle;
    PROPSHEETPAGEW page = {};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_DEFAULT | m_pageFlags;
    page.hInstance = ::GetModuleHandleW(nullptr);
    page.pszTemplate = MAKEINTRESOURCEW(m_templateId);
    page.pfnDlgProc = &CPropertyPageBase::DialogProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    m_handle = ::CreatePropertySheetPageW(&page);
    return m_handle;
}

BOOL CPropertyPageBase::HandleSheetNotify(const NMHDR& header, LRESULT& result)
{
    switch (header.code) {
    case PSN_SETACTIVE:
        result = OnSetActive() ? 0 : -1;
        return TRUE;
    case PSN_KILLACTIVE:
        result = OnKillActive() ? FALSE : TRUE;
        return TRUE;
    case PSN_APPLY:
        result = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        return TRUE;
    case PSN_RESET:
        OnReset();
        result = 0;
        return TRUE;
    case PSN_QUERYINITIALFOCUS:
        result = reinterpret_cast<LRESULT>(OnQueryInitialFocus());
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK CPropertyPageBase::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CPropertyPageBase* self = nullptr;
    if (message == WM_INITDIALOG) {
        const auto* page = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
        self = reinterpret_cast<CPropertyPageBase*>(page->lParam);
        self->m_hWnd = window;
        ::SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<CPropertyPageBase*>(::GetWindowLongPtrW(window, DWLP_USER));
    }
    if (self == nullptr)
        return FALSE;
    LRESULT result = 0;
    BOOL handled = self->ProcessWindowMessage(window, message, wParam, lParam, result);
    if (!handled && message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == ::GetParent(window))
            handled = self->HandleSheetNotify(*header, result);
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, DWLP_USER, 0);
        self->m_hWnd = nullptr;
    }
    return DialogProcResult(window, message, handled, result);
}
