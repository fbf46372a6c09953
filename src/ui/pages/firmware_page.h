// CFirmwarePage: the second tab. For now it shows its controls (the operations come with
// the firmware windows) and keeps the Activity Log (an output window with its context menu): the program's version and system
// lines at initialisation, then every log line the main frame passes on
// (WM_APP_PAGE_TEXT), each after a time stamp.
#pragma once

#include <string>

#include "resources/ui/ui_resource_ids.h"
#include "ui/frame/page_context.h"
#include "ui/framework/dialog_resize.h"
#include "ui/framework/property_page_impl.h"
#include "ui/log/rich_edit_ctrl_context.h"

class CFirmwarePage : public CPropertyPageImpl<CFirmwarePage>, public CDialogResize<CFirmwarePage> {
public:
    enum { IDD = IDD_FIRMWARE_PAGE };
    explicit CFirmwarePage(CPageContext& context) : m_context(context) {}

    // TimeStamp, then the text, as a new line of the Activity Log.
    void AppendPageLine(const std::wstring& text);
    // Everything in the Activity Log (tests read it).
    std::wstring ActivityLogText() const;

protected:
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnInitDialog();
    CPageContext& m_context;
    CRichEditCtrlContext m_log;  // the Activity Log, control 10016
};
