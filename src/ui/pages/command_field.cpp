#include "ui/pages/command_field.h"

BOOL CCommandField::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    switch (message) {
    case WM_KEYDOWN:
        if (wParam != VK_RETURN)
            return FALSE;
        if (m_onEnter)
            m_onEnter();
        result = 0;
        return TRUE;
    case WM_CHAR:
        // The Return of the key just handled (and Ctrl+Enter's line feed).
        if (wParam != L'\r' && wParam != L'\n')
            return FALSE;
        result = 0;
        return TRUE;
    default:
        return FALSE;
    }
}
