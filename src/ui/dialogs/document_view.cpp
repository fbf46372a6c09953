#include "ui/dialogs/document_view.h"

#include <richedit.h>

#include "resources/ui/ui_resource_ids.h"

void WrapAtWindowWidth(HWND richEdit)
{
    // No target device and a line width of zero: lines break at the control's width.
    ::SendMessageW(richEdit, EM_SETTARGETDEVICE, 0, 0);
}

void InitDocumentLayout(CDialogResizeBase& resize, HWND window)
{
    static const CResizeRule rules[] = {
        {IDC_OUTPUT_WINDOW, CDialogResizeBase::kSizeX | CDialogResizeBase::kSizeY},
        {IDCANCEL, CDialogResizeBase::kMoveX | CDialogResizeBase::kMoveY},
    };
    resize.DlgResize_Init(window, rules, sizeof(rules) / sizeof(rules[0]), true);
}

void FocusDocumentStart(HWND richEdit)
{
    ::SendMessageW(richEdit, EM_SETSEL, 0, 0);
    ::SendMessageW(richEdit, WM_VSCROLL, SB_TOP, 0);
    ::SetFocus(richEdit);
}
