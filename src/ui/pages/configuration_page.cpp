#include "ui/pages/configuration_page.h"

#include "ui/pages/page_text.h"

BOOL CConfigurationPage::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                              LRESULT& result)
{
    switch (message) {
    case WM_INITDIALOG:
        EnableAllChildren(window, false);
        result = TRUE;
        return TRUE;
    default:
        return FALSE;
    }
}
