// What the licence and release-notes windows share: a rich edit that wraps its lines at
// the window's width, and a layout in which it fills the window and Close keeps to the
// lower right corner.
#pragma once

#include <windows.h>

#include "ui/framework/dialog_resize.h"

void WrapAtWindowWidth(HWND richEdit);
void InitDocumentLayout(CDialogResizeBase& resize, HWND window);
// Puts the caret at the document's start with the focus in it. The dialog's own choice of
// focus would select the whole text of the control it gives the focus to.
void FocusDocumentStart(HWND richEdit);
