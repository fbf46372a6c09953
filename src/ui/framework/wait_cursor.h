// CWaitCursorE: the hourglass over a dialog while its operation runs. BeginWait and
// EndWait count; the wait cursor shows while the count is above zero. The dialog passes
// WM_SETCURSOR to ProcessWaitCursorMessage first.
#pragma once

#include "platform/win_types.h"

template <class T>
class CWaitCursorE {
public:
    CWaitCursorE() : m_waitCursor(::LoadCursorW(nullptr, IDC_WAIT)) {}

    void BeginWait()
    {
        if (m_waitCount++ == 0)
            ::SetCursor(m_waitCursor);
    }
    void EndWait()
    {
        if (m_waitCount == 0)
            return;
        if (--m_waitCount == 0) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
            // The system redraws the cursor only when it moves: nudge it in place.
            POINT at;
            if (::GetCursorPos(&at))
                ::SetCursorPos(at.x, at.y);
        }
    }
    unsigned WaitCount() const { return m_waitCount; }

    // While waiting, the client area of the window shows the wait cursor.
    BOOL ProcessWaitCursorMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
    {
        if (message != WM_SETCURSOR || m_waitCount == 0 || LOWORD(lParam) != HTCLIENT)
            return FALSE;
        ::SetCursor(m_waitCursor);
        result = TRUE;
        return TRUE;
    }

private:
    unsigned m_waitCount = 0;
    HCURSOR m_waitCursor;
};
