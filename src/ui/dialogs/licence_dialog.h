// CLicenceDialog: the licence agreement (template 10024), read from the program's own
// RTF document resource into a rich edit that wraps at the window's width. Resizable.
#pragma once

#include <string>

#include "resources/ui/ui_resource_ids.h"
#include "ui/framework/dialog_impl.h"
#include "ui/framework/dialog_resize.h"
#include "ui/log/rich_edit_ctrl_context.h"

class CLicenceDialog : public CDialogImpl<CLicenceDialog>, public CDialogResize<CLicenceDialog> {
public:
    enum { IDD = IDD_LICENCE };
    static constexpr const wchar_t* kHelpTopic = L"MenusAndLog.htm#Licence";

protected:
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnInitDialog();

    CRichEditCtrlContext m_text;
};

// The document resource (type 256, id 10002, US English) up to its null byte; empty when
// the program carries none.
std::string LoadLicenceDocument();

// Shows the licence agreement modally over the owner (the About box).
void ShowLicence(HWND owner);
