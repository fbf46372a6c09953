// CPropSheetTabCtrl: subclasses a property sheet's tab control. Whenever the tab control
// moves or changes size, the page shown is put onto the tab control's display area, so
// a resizable sheet keeps its page inside the tabs.
#pragma once

#include "ui/framework/subclassed_window.h"

class CPropSheetTabCtrl : public CSubclassedWindow {
public:
    // Moves the sheet's current page onto the display area of the tab control.
    void FitActivePage();

protected:
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};
