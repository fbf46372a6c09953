// A registered window class whose procedure hands the messages the program itself
// sends, posts or times (WM_NULL, WM_TIMER, WM_CLOSE, WM_DESTROY and everything from
// WM_USER up) to the handler; the system's own messages take the default path.
#include "platform/message_window.h"

#include <utility>

namespace {
const wchar_t kClassName[] = L"Zr8MessageWindow";
}

struct CMessageWindow::Impl {
    explicit Impl(CMessageWindow* o, Handler h) : owner(o), handler(std::move(h)) {}

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    static bool ForHandler(UINT message)
    {
        return message == WM_NULL || message == WM_TIMER || message == WM_CLOSE || message == WM_DESTROY ||
               message >= WM_USER;
    }

    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
    {
        ++depth;
        LRESULT result = handler ? handler(message, wParam, lParam) : 0;
        if (--depth == 0 && doomed)
            delete this;  // Destroy was called from inside the handler
        return result;
    }

    CMessageWindow* owner;
    Handler handler;
    int depth = 0;
    bool doomed = false;
};

LRESULT CALLBACK CMessageWindow::Impl::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* impl = reinterpret_cast<Impl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (impl == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // Also when the system destroys it with its parent: the object forgets it.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (impl->owner != nullptr)
            impl->owner->m_window = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (ForHandler(message))
        return impl->Dispatch(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

CMessageWindow::CMessageWindow() = default;

CMessageWindow::~CMessageWindow()
{
    Destroy();
}

bool CMessageWindow::Create(Handler handler, HWND parent, int controlId)
{
    if (m_impl != nullptr) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return false;
    }
    HINSTANCE instance = GetModuleHandleW(nullptr);
    static const ATOM atom = [instance] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &Impl::Proc;
        wc.hInstance = instance;
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc);
    }();
    if (atom == 0)
        return false;

    m_impl = new Impl(this, std::move(handler));
    const DWORD style = parent != nullptr ? WS_CHILD : WS_POPUP;
    HMENU id = parent != nullptr ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)) : nullptr;
    m_window = CreateWindowExW(0, kClassName, L"", style, 0, 0, 0, 0, parent, id, instance, m_impl);
    if (m_window == nullptr && parent == nullptr) {
        // No window station to draw on (Wine without a display): a message-only window
        // still receives everything this class is for.
        m_window = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, m_impl);
    }
    if (m_window == nullptr) {
        const DWORD error = GetLastError();
        delete m_impl;
        m_impl = nullptr;
        SetLastError(error != 0 ? error : ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    return true;
}

void CMessageWindow::Destroy()
{
    if (m_impl == nullptr)
        return;
    Impl* impl = m_impl;
    m_impl = nullptr;
    if (m_window != nullptr)
        DestroyWindow(m_window);  // WM_DESTROY reaches the handler
    m_window = nullptr;
    impl->owner = nullptr;
    if (impl->depth == 0)
        delete impl;
    else
        impl->doomed = true;
}
