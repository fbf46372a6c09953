#include "ui/dialogs/centre_over_owner.h"

void CentreOverOwner(HWND window, HWND owner)
{
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;

    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(owner != nullptr ? owner : window, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT work = monitor.rcWork;

    RECT over = work;
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner))
        ::GetWindowRect(owner, &over);
    int x = over.left + (over.right - over.left - width) / 2;
    int y = over.top + (over.bottom - over.top - height) / 2;
    if (x + width > work.right)
        x = work.right - width;
    if (y + height > work.bottom)
        y = work.bottom - height;
    if (x < work.left)
        x = work.left;
    if (y < work.top)
        y = work.top;
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
