#include "platform/message_window.h"

#include <utility>

#include "platform/message_target.h"

struct CMessageWindow::Impl : CMessageTarget {
    Impl(CMessageTarget* parent, int controlId, Handler h)
        : CMessageTarget(parent, controlId), handler(std::move(h))
    {
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        ++depth;
        LRESULT result = handler ? handler(message, wParam, lParam) : 0;
        if (--depth == 0 && doomed)
            delete this;  // Destroy was called from inside the handler
        return result;
    }

    void Close()
    {
        Unregister();
        if (depth == 0)
            delete this;
        else
            doomed = true;
    }

    Handler handler;
    int depth = 0;
    bool doomed = false;
};

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
    if (parent != nullptr && !IsWindow(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    m_impl = new Impl(parent, controlId, std::move(handler));
    m_window = m_impl;
    return true;
}

void CMessageWindow::Destroy()
{
    if (m_impl == nullptr)
        return;
    Impl* impl = m_impl;
    m_impl = nullptr;
    // As DestroyWindow does: the window hears WM_DESTROY while it still exists.
    SendMessageW(m_window, WM_DESTROY, 0, 0);
    m_window = nullptr;
    impl->Close();
}
