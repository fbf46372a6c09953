#include "ui/framework/dialog_resize.h"

namespace {
constexpr int kGripperId = 0x2FFF;
}

void CDialogResizeBase::DlgResize_Init(HWND window, const CResizeRule* rules, size_t count, bool addGripper,
                                       bool useMinTrackSize)
{
    m_window = window;
    m_items.clear();
    RECT client = {0, 0, 0, 0};
    ::GetClientRect(window, &client);
    m_initialClient = {client.right - client.left, client.bottom - client.top};
    RECT outer = {0, 0, 0, 0};
    ::GetWindowRect(window, &outer);
    m_minTrack = {outer.right - outer.left, outer.bottom - outer.top};
    m_useMinTrack = useMinTrackSize;

    if (addGripper && m_gripper == nullptr) {
        const int size = ::GetSystemMetrics(SM_CXVSCROLL);
        m_gripper = ::CreateWindowExW(0, L"SCROLLBAR", nullptr,
                                      WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN,
                                      client.right - size, client.bottom - size, size, size, window,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kGripperId)),
                                      ::GetModuleHandleW(nullptr), nullptr);
    }
    auto add = [&](int id, unsigned flags) {
        HWND control = ::GetDlgItem(window, id);
        if (control == nullptr)
            return;
        RECT rect;
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        m_items.push_back({id, flags, rect});
    };
    for (size_t i = 0; i < count; ++i)
        add(rules[i].id, rules[i].flags);
    if (m_gripper != nullptr)
        add(kGripperId, kMoveX | kMoveY);
}

void CDialogResizeBase::DlgResize_UpdateLayout(int cx, int cy)
{
    if (m_window == nullptr || m_items.empty())
        return;
    const int dx = cx - m_initialClient.cx;
    const int dy = cy - m_initialClient.cy;
    HDWP batch = ::BeginDeferWindowPos(static_cast<int>(m_items.size()));
    for (const CItem& item : m_items) {
        HWND control = ::GetDlgItem(m_window, item.id);
        if (control == nullptr)
            continue;
        RECT r = item.rect;
        if (item.flags & kMoveX) {
            r.left += dx;
            r.right += dx;
        }
        if (item.flags & kSizeX)
            r.right += dx;
        if (item.flags & kMoveY) {
            r.top += dy;
            r.bottom += dy;
        }
        if (item.flags & kSizeY)
            r.bottom += dy;
        const int width = r.right > r.left ? r.right - r.left : 0;
        const int height = r.bottom > r.top ? r.bottom - r.top : 0;
        if (batch != nullptr)
            batch = ::DeferWindowPos(batch, control, nullptr, r.left, r.top, width, height,
                                     SWP_NOZORDER | SWP_NOACTIVATE);
        else
            ::SetWindowPos(control, nullptr, r.left, r.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (batch != nullptr)
        ::EndDeferWindowPos(batch);
    ::InvalidateRect(m_window, nullptr, TRUE);
}

BOOL CDialogResizeBase::ProcessResizeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (window != m_window)
        return FALSE;
    switch (message) {
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            DlgResize_UpdateLayout(LOWORD(lParam), HIWORD(lParam));
        return FALSE;
    case WM_GETMINMAXINFO:
        if (!m_useMinTrack)
            return FALSE;
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {m_minTrack.cx, m_minTrack.cy};
        result = 0;
        return TRUE;
    default:
        return FALSE;
    }
}
