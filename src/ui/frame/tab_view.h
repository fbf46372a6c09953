// CTabView: the modeless property sheet that fills the main frame's client area, with
// the pages of page_list.h in tab order. Its tab control (12320) grows with the sheet;
// control 12321 widens and keeps to the bottom edge; the current page stays on the tab
// control's display area.
#pragma once

#include <memory>
#include <vector>

#include "ui/frame/page_context.h"
#include "ui/framework/dialog_resize.h"
#include "ui/framework/prop_sheet_tab_ctrl.h"
#include "ui/framework/property_sheet_impl.h"

class CTabView : public CPropertySheetImpl<CTabView>, public CDialogResize<CTabView> {
public:
    explicit CTabView(CPageContext& context);
    ~CTabView() override;

    // Creates the sheet as a child of the frame showing the page; null on failure.
    HWND Create(HWND parent, int startPage);
    void Destroy();

    // The page added second: log lines are shown only while it is current.
    int FirmwarePageIndex() const { return m_firmwarePageIndex; }
    CPropertyPageBase* Page(int index) const;
    // The natural client size of the sheet when it was created (before any layout).
    SIZE CreatedClientSize() const { return m_createdSize; }

protected:
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    std::vector<std::unique_ptr<CPropertyPageBase>> m_pages;
    CPropSheetTabCtrl m_tabCtrl;
    int m_firmwarePageIndex = -1;
    SIZE m_createdSize = {0, 0};
};
