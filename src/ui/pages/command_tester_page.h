// CCommandTesterPage: the fourth tab, with its command field, macro buttons and output
// window; the buttons stay disabled until the tester's sending and receiving are built.
// Port events the frame passes on while no machine runs reach this page.
#pragma once

#include "resources/ui/ui_resource_ids.h"
#include "ui/frame/page_context.h"
#include "ui/framework/dialog_resize.h"
#include "ui/framework/property_page_impl.h"

class CCommandTesterPage : public CPropertyPageImpl<CCommandTesterPage>,
                           public CDialogResize<CCommandTesterPage> {
public:
    enum { IDD = IDD_COMMAND_TESTER_PAGE };
    explicit CCommandTesterPage(CPageContext& context) : m_context(context) {}

    // Port events handed to the page (tests check the routing).
    unsigned PortEventsSeen() const { return m_portEvents; }

protected:
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    CPageContext& m_context;
    unsigned m_portEvents = 0;
};
