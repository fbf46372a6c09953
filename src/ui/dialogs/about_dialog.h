// CAboutDialog: the About box (template 10020): the program's name, version and copyright
// from its own version resource, a credit line, the icon, and the way to the licence
// agreement.
#pragma once

#include <string>

#include "core/text/version_info.h"
#include "resources/ui/ui_resource_ids.h"
#include "ui/framework/dialog_impl.h"

class CAboutDialog : public CDialogImpl<CAboutDialog> {
public:
    enum { IDD = IDD_ABOUT };
    static constexpr const wchar_t* kHelpTopic = L"MenusAndLog.htm#About";

protected:
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnInitDialog();
};

// The one-line credit under the version text.
extern const wchar_t kAboutCredit[];

// "<FileDescription>\n\nVersion a.b.c.d\n\n<LegalCopyright>\n\n<credit>".
std::wstring BuildAboutText(const CFileVersionInfo& info);

// Shows the About box modally over the owner.
void ShowAboutBox(HWND owner);
