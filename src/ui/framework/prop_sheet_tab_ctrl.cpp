#include "ui/framework/prop_sheet_tab_ctrl.h"

#include <commctrl.h>
#include <prsht.h>

void CPropSheetTabCtrl::FitActivePage()
{
    if (m_hWnd == nullptr)
        return;
    HWND sheet = ::GetParent(m_hWnd);
    HWND page = reinterpret_cast<HWND>(::SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    if (page == nullptr)
        return;
    RECT area = GetClientRect();
    TabCtrl_AdjustRect(m_hWnd, FALSE, &area);
    ::MapWindowPoints(m_hWnd, sheet, reinterpret_cast<POINT*>(&area), 2);
    ::SetWindowPos(page, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CPropSheetTabCtrl::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                             LRESULT& result)
{
    if (message != WM_WINDOWPOSCHANGED)
        return FALSE;
    result = DefaultProc(message, wParam, lParam);
    const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
    if ((position->flags & (SWP_NOSIZE | SWP_NOMOVE)) != (SWP_NOSIZE | SWP_NOMOVE))
        FitActivePage();
    return TRUE;
}
