#include "ui/log/rich_edit_ctrl_context.h"

#include "ui/log/output_context_menu.h"
#include "ui/log/output_window.h"

HWND CRichEditCtrlContext::Create(HWND parent, const RECT& rect, UINT id, DWORD style, DWORD exStyle)
{
    if (m_hWnd != nullptr)
        return nullptr;
    HWND control = ::CreateWindowExW(exStyle, ClassName(), L"", style, rect.left, rect.top, rect.right - rect.left,
                                   rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (control == nullptr)
        return nullptr;
    if (!SubclassWindow(control)) {
        ::DestroyWindow(control);
        return nullptr;
    }
    return control;
}

void CRichEditCtrlContext::AppendLine(const wchar_t* text)
{
    ::AppendLine(m_hWnd, text);
}

void CRichEditCtrlContext::AppendFormatted(const wchar_t* text, const CHARFORMAT2W& format)
{
    ::AppendFormatted(m_hWnd, text, format);
}

void CRichEditCtrlContext::AppendRaw(const wchar_t* text)
{
    ::AppendRaw(m_hWnd, text);
}

void CRichEditCtrlContext::InsertAt(LONG position, const wchar_t* text)
{
    ::InsertAt(m_hWnd, position, text);
}

void CRichEditCtrlContext::Clear()
{
    ClearOutputWindow(m_hWnd);
}

void CRichEditCtrlContext::SetFont(HFONT font, bool redraw)
{
    ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
}

bool CRichEditCtrlContext::IsMouseRequestFor(HWND control, WPARAM wParam, LPARAM lParam)
{
    if (reinterpret_cast<HWND>(wParam) != control)
        return false;
    // Signed, as GET_X_LPARAM gives them: screens left of or above the primary monitor
    // have negative coordinates.
    int x = static_cast<short>(LOWORD(lParam));
    int y = static_cast<short>(HIWORD(lParam));
    return !(x == -1 && y == -1);
}

BOOL CRichEditCtrlContext::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                LRESULT& result)
{
    if (message != WM_CONTEXTMENU || !IsMouseRequestFor(window, wParam, lParam))
        return FALSE;
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    OutputMenu::Track(window, at);
    result = 0;
    return TRUE;
}
