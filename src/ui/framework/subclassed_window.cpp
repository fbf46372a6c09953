#include "ui/framework/subclassed_window.h"

#include <commctrl.h>

namespace {
constexpr UINT_PTR kSubclassId = 0x5A52;  // one subclass of ours per window
}

bool CSubclassedWindow::SubclassWindow(HWND window)
{
    UnsubclassWindow();
    if (window == nullptr || !::IsWindow(window))
        return false;
    if (!::SetWindowSubclass(window, &CSubclassedWindow::SubclassProc, kSubclassId,
                             reinterpret_cast<DWORD_PTR>(this)))
        return false;
    m_hWnd = window;
    return true;
}

void CSubclassedWindow::UnsubclassWindow()
{
    if (m_hWnd == nullptr)
        return;
    if (::IsWindow(m_hWnd))
        ::RemoveWindowSubclass(m_hWnd, &CSubclassedWindow::SubclassProc, kSubclassId);
    m_hWnd = nullptr;
}

LRESULT CSubclassedWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefSubclassProc(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CSubclassedWindow::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                 UINT_PTR, DWORD_PTR selfData)
{
    auto* self = reinterpret_cast<CSubclassedWindow*>(selfData);
    LRESULT result = 0;
    if (self->ProcessWindowMessage(window, message, wParam, lParam, result))
        return result;
    result = ::DefSubclassProc(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(window, &CSubclassedWindow::SubclassProc, kSubclassId);
        self->m_hWnd = nullptr;
    }
    return result;
}
