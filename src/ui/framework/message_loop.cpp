#include "ui/framework/message_loop.h"

#include <algorithm>

namespace {
thread_local CMessageLoop* t_loop = nullptr;

template <class T>
bool AddOnce(std::vector<T*>& list, T* item)
{
    if (item == nullptr || std::find(list.begin(), list.end(), item) != list.end())
        return false;
    list.push_back(item);
    return true;
}

template <class T>
bool RemoveOne(std::vector<T*>& list, T* item)
{
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end())
        return false;
    list.erase(it);
    return true;
}
}  // namespace

CMessageLoop::CMessageLoop() : m_previous(t_loop) { t_loop = this; }

CMessageLoop::~CMessageLoop()
{
    if (t_loop == this)
        t_loop = m_previous;
}

CMessageLoop* CMessageLoop::ForThread() { return t_loop; }

bool CMessageLoop::AddMessageFilter(CMessageFilter* filter) { return AddOnce(m_filters, filter); }
bool CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) { return RemoveOne(m_filters, filter); }
bool CMessageLoop::AddIdleHandler(CIdleHandler* handler) { return AddOnce(m_idleHandlers, handler); }
bool CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) { return RemoveOne(m_idleHandlers, handler); }

BOOL CMessageLoop::PreTranslateMessage(MSG* message)
{
    // A filter may remove itself (or another) while it runs: walk a copy.
    const std::vector<CMessageFilter*> filters(m_filters.rbegin(), m_filters.rend());
    for (CMessageFilter* filter : filters) {
        if (std::find(m_filters.begin(), m_filters.end(), filter) == m_filters.end())
            continue;
        if (filter->PreTranslateMessage(message))
            return TRUE;
    }
    return FALSE;
}

BOOL CMessageLoop::OnIdle()
{
    BOOL more = FALSE;
    const std::vector<CIdleHandler*> handlers(m_idleHandlers);
    for (CIdleHandler* handler : handlers) {
        if (std::find(m_idleHandlers.begin(), m_idleHandlers.end(), handler) == m_idleHandlers.end())
            continue;
        if (handler->OnIdle())
            more = TRUE;
    }
    return more;
}

void CMessageLoop::Dispatch(MSG& message)
{
    if (PreTranslateMessage(&message))
        return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

int CMessageLoop::Run()
{
    MSG message;
    for (;;) {
        while (!::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle())
                break;
        }
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == -1)
            continue;  // an invalid window filter; none is used, keep going
        if (got == 0)
            return static_cast<int>(message.wParam);
        Dispatch(message);
    }
}

bool CMessageLoop::PumpPending()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        Dispatch(message);
    }
    return true;
}
