// The Win32 calls the portable code uses, over our own message queue.
#include "platform/win_types.h"

#include <chrono>
#include <thread>

#include "platform/message_queue_posix.h"
#include "platform/message_target.h"

namespace {
thread_local DWORD t_lastError = 0;
}

DWORD GetLastError()
{
    return t_lastError;
}

void SetLastError(DWORD code)
{
    t_lastError = code;
}

DWORD GetTickCount()
{
    return DWORD(CMessageQueue::Instance().Now());
}

void Sleep(DWORD milliseconds)
{
    // Under the virtual clock a pause costs no real time: the clock moves on, and what fell
    // due meanwhile runs when the loop next turns, as after a real pause.
    CMessageQueue& queue = CMessageQueue::Instance();
    if (queue.IsVirtual()) {
        queue.AdvanceTo(queue.Now() + milliseconds);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!CMessageQueue::Instance().IsLive(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return window->WindowProc(message, wParam, lParam);
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!CMessageQueue::Instance().Post(window, message, wParam, lParam)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

HWND GetParent(HWND window)
{
    if (!CMessageQueue::Instance().IsLive(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return window->Parent();
}

HWND GetAncestor(HWND window, UINT flags)
{
    if (!CMessageQueue::Instance().IsLive(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    switch (flags) {
    case GA_PARENT:
        return window->Parent();
    case GA_ROOT:
    case GA_ROOTOWNER: {
        HWND root = window;
        while (root->Parent() != nullptr)
            root = root->Parent();
        return root;
    }
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

HWND GetDlgItem(HWND window, int controlId)
{
    auto& queue = CMessageQueue::Instance();
    if (!queue.IsLive(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    HWND child = queue.FindChild(window, controlId);
    if (child == nullptr)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return child;
}

BOOL IsWindow(HWND window)
{
    return CMessageQueue::Instance().IsLive(window) ? TRUE : FALSE;
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, void* timerProc)
{
    if (timerProc != nullptr) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return 0;
    }
    if (!CMessageQueue::Instance().SetTimer(window, id, elapse)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return id != 0 ? id : 1;
}

BOOL KillTimer(HWND window, UINT_PTR id)
{
    if (!CMessageQueue::Instance().KillTimer(window, id)) {
        SetLastError(CMessageQueue::Instance().IsLive(window) ? ERROR_INVALID_PARAMETER
                                                              : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    CMessageQueue::Instance().PostQuit(exitCode);
}
