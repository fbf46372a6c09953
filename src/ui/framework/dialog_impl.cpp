#include "ui/framework/dialog_impl.h"

INT_PTR DialogProcResult(HWND window, UINT message, BOOL handled, LRESULT result)
{
    if (!handled)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:  // TRUE: let the system set the focus
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORMSGBOX:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM:
        return static_cast<INT_PTR>(result);
    default:
        ::SetWindowLongPtrW(window, DWLP_MSGRESULT, static_cast<LONG_PTR>(result));
        return TRUE;
    }
}

CDialogBase::~CDialogBase()
{
    if (!m_modal && m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        ::SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
        ::DestroyWindow(m_hWnd);
    }
}

INT_PTR CDialogBase::DoModal(UINT templateId, HWND parent, LPARAM initParam)
{
    m_modal = true;
    CCreateParams params = {this, initParam};
    const INT_PTR result = ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent,
                                             &CDialogBase::DialogProc, reinterpret_cast<LPARAM>(&params));
    m_hWnd = nullptr;
    return result;
}

HWND CDialogBase::Create(UINT templateId, HWND parent, LPARAM initParam)
{
    m_modal = false;
    CCreateParams params = {this, initParam};
    return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent,
                                &CDialogBase::DialogProc, reinterpret_cast<LPARAM>(&params));
}

BOOL CDialogBase::EndDialog(INT_PTR result)
{
    if (m_modal)
        return ::EndDialog(m_hWnd, result);
    return ::DestroyWindow(m_hWnd);
}

INT_PTR CALLBACK CDialogBase::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialogBase* self = nullptr;
    if (message == WM_INITDIALOG) {
        auto* params = reinterpret_cast<CCreateParams*>(lParam);
        self = params->self;
        lParam = params->initParam;
        self->m_hWnd = window;
        ::SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<CDialogBase*>(::GetWindowLongPtrW(window, DWLP_USER));
    }
    if (self == nullptr)
        return FALSE;  // messages before WM_INITDIALOG (WM_SETFONT) and after the object left
    LRESULT result = 0;
    const BOOL handled = self->ProcessWindowMessage(window, message, wParam, lParam, result);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, DWLP_USER, 0);
        self->m_hWnd = nullptr;
    }
    return DialogProcResult(window, message, handled, result);
}
