#include "ui/pages/command_tester_page.h"

#include "core/model/model_base.h"
#include "core/text/app_messages.h"

namespace {
const CResizeRule kResizeRules[] = {
    {IDC_COMMAND_FIELD, CDialogResizeBase::kSizeX},
    {IDC_OUTPUT_WINDOW, CDialogResizeBase::kSizeX | CDialogResizeBase::kSizeY},
};
}

BOOL CCommandTesterPage::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                              LRESULT& result)
{
    if (ProcessResizeMessage(window, message, wParam, lParam, result))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG:
        ::EnableWindow(GetDlgItem(IDC_EDIT_MACROS), FALSE);
        ::EnableWindow(GetDlgItem(IDC_CLEAR), FALSE);
        for (int id = IDC_MACRO_FIRST; id <= IDC_MACRO_LAST; ++id)
            ::EnableWindow(GetDlgItem(id), FALSE);
        DlgResize_Init(window, kResizeRules, sizeof(kResizeRules) / sizeof(kResizeRules[0]), false, false);
        result = TRUE;
        return TRUE;
    case WM_APP_PORT_EVENT:
        // Until the tester reads its answers, what arrives is drained so that the
        // listener keeps reporting.
        ++m_portEvents;
        {
            uint8_t buffer[512];
            DWORD count = 0;
            while (m_context.model.SerialPort().IsOpen() &&
                   m_context.model.SerialPort().ReadBytes(buffer, sizeof(buffer), &count) && count > 0) {
            }
        }
        result = 0;
        return TRUE;
    default:
        return FALSE;
    }
}
