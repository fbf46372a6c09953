#include "ui/log/rich_edit_ctrl_context.h"

#include <commctrl.h>

#include "ui/log/output_context_menu.h"
#include "ui/log/output_window.h"

namespace {

// One subclass per control: the identifier tells ours apart from any other.
constexpr UINT_PTR kSubclassId = 0x5A52;

}  // namespace

HWND CRichEditCtrlContext::Create(HWND parent, const RECT& rect, UINT id, DWORD style, DWORD exStyle)
{
    if (m_hWnd != nullptr)
        return nullptr;
    HWND control = CreateWindowExW(exStyle, ClassName(), L"", style, rect.left, rect.top, rect.right - rect.left,
                                   rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (control == nullptr)
        return nullptr;
    if (!SubclassWindow(control)) {
        DestroyWindow(control);
        return nullptr;
    }
    return control;
}

bool CRichEditCtrlContext::SubclassWindow(HWND control)
{
    if (m_hWnd != nullptr || control == nullptr || !IsWindow(control))
        return false;
    if (!SetWindowSubclass(control, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    m_hWnd = control;
    return true;
}

HWND CRichEditCtrlContext::UnsubclassWindow()
{
    HWND control = m_hWnd;
    if (control == nullptr)
        return nullptr;
    if (IsWindow(control))
        RemoveWindowSubclass(control, SubclassProc, kSubclassId);
    m_hWnd = nullptr;
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
    SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
}

bool CRichEditCtrlContext::IsMouseRequestFor(HWND control, WPARAM wParam, LPARAM lParam)
{
    if (reinterpret_cast<HWND>(wParam) != control)
        return false;
    // GET_X_LPARAM / GET_Y_LPARAM: signed, since screen coordinates left of or above
    // the primary monitor are negative.
    int x = static_cast<short>(LOWORD(lParam));
    int y = static_cast<short>(HIWORD(lParam));
    return !(x == -1 && y == -1);
}

LRESULT CALLBACK CRichEditCtrlContext::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                    UINT_PTR id, DWORD_PTR data)
{
    auto* self = reinterpret_cast<CRichEditCtrlContext*>(data);
    switch (message) {
    case WM_CONTEXTMENU:
        if (IsMouseRequestFor(window, wParam, lParam)) {
            POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            OutputMenu::Track(window, at);
            return 0;
        }
        break;
    case WM_NCDESTROY:
        // The control goes before the object: forget it, so the object never touches a
        // dead or reused handle.
        RemoveWindowSubclass(window, SubclassProc, id);
        if (self != nullptr && self->m_hWnd == window)
            self->m_hWnd = nullptr;
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
