#include "ui/framework/frame_window_impl.h"

#include <commctrl.h>

#include "core/text/string_table.h"

CFrameWindowBase::~CFrameWindowBase()
{
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
        ::DestroyWindow(m_hWnd);
    }
}

HWND CFrameWindowBase::CreateFrame(const CCreateArgs& args)
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW known = {};
    known.cbSize = sizeof(known);
    if (!::GetClassInfoExW(instance, args.className, &known)) {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &CFrameWindowBase::WindowProc;
        wc.hInstance = instance;
        wc.hIcon = args.iconId != 0 ? ::LoadIconW(instance, MAKEINTRESOURCEW(args.iconId)) : nullptr;
        wc.hIconSm = args.iconId != 0 ? static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(args.iconId), IMAGE_ICON,
                                                                        ::GetSystemMetrics(SM_CXSMICON),
                                                                        ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR))
                                      : nullptr;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = args.className;
        if (!::RegisterClassExW(&wc))
            return nullptr;
    }
    // The window owns its menu from here on and destroys it with itself.
    HMENU menu = args.menuId != 0 ? ::LoadMenuW(instance, MAKEINTRESOURCEW(args.menuId)) : nullptr;
    const RECT& r = args.rect;
    const bool defaultPlace = r.left == static_cast<LONG>(CW_USEDEFAULT);
    HWND window = ::CreateWindowExW(args.exStyle, args.className, args.title.c_str(), args.style,
                                    defaultPlace ? CW_USEDEFAULT : r.left, defaultPlace ? CW_USEDEFAULT : r.top,
                                    r.right == static_cast<LONG>(CW_USEDEFAULT) ? CW_USEDEFAULT : r.right - r.left,
                                    r.right == static_cast<LONG>(CW_USEDEFAULT) ? CW_USEDEFAULT : r.bottom - r.top,
                                    nullptr, menu, instance, this);
    if (window == nullptr && menu != nullptr)
        ::DestroyMenu(menu);
    return window;
}

HWND CFrameWindowBase::CreateSimpleStatusBar(const std::wstring& text, UINT id)
{
    m_readyText = text;
    m_hWndStatusBar = ::CreateWindowExW(0, STATUSCLASSNAMEW, text.c_str(),
                                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | SBARS_SIZEGRIP,
                                        0, 0, 0, 0, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                        ::GetModuleHandleW(nullptr), nullptr);
    return m_hWndStatusBar;
}

bool CFrameWindowBase::LoadAccelerators(UINT id)
{
    m_accelerators.Reset(::LoadAcceleratorsW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)));
    return static_cast<bool>(m_accelerators);
}

BOOL CFrameWindowBase::TranslateFrameAccelerator(MSG* message)
{
    if (m_hWnd == nullptr || !m_accelerators)
        return FALSE;
    return ::TranslateAcceleratorW(m_hWnd, m_accelerators.Get(), message) != 0;
}

void CFrameWindowBase::UpdateLayout()
{
    if (m_hWnd == nullptr)
        return;
    RECT client = GetClientRect();
    if (m_hWndStatusBar != nullptr && ::IsWindowVisible(m_hWndStatusBar)) {
        ::SendMessageW(m_hWndStatusBar, WM_SIZE, 0, 0);
        RECT bar;
        ::GetWindowRect(m_hWndStatusBar, &bar);
        client.bottom -= bar.bottom - bar.top;
        if (client.bottom < client.top)
            client.bottom = client.top;
    }
    if (m_hWndClient != nullptr)
        ::SetWindowPos(m_hWndClient, nullptr, client.left, client.top, client.right - client.left,
                       client.bottom - client.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CFrameWindowBase::ShowMenuHelp(UINT flags, UINT command, HMENU menu)
{
    if (m_hWndStatusBar == nullptr)
        return;
    std::wstring text;
    if (flags == 0xFFFF && menu == nullptr) {
        text = m_readyText;  // the menu closed
    } else if (!(flags & (MF_POPUP | MF_SEPARATOR))) {
        text = LoadStringText(command);
        const size_t lineEnd = text.find(L'\n');
        if (lineEnd != std::wstring::npos)
            text.resize(lineEnd);
    }
    ::SendMessageW(m_hWndStatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT CFrameWindowBase::DefaultFrameMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            UpdateLayout();
        return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
    case WM_MENUSELECT:
        ShowMenuHelp(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HMENU>(lParam));
        return 0;
    case WM_SETFOCUS:
        if (m_hWndClient != nullptr && ::IsWindow(m_hWndClient))
            ::SetFocus(m_hWndClient);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(1);
        return 0;
    default:
        return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
    }
}

LRESULT CALLBACK CFrameWindowBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CFrameWindowBase* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<CFrameWindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_hWnd = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<CFrameWindowBase*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (self == nullptr)
        return ::DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    if (!self->ProcessWindowMessage(window, message, wParam, lParam, result))
        result = self->DefaultFrameMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
        self->m_hWndStatusBar = nullptr;
        self->m_hWndClient = nullptr;
    }
    return result;
}
