// CConfigurationPage: the third tab, with its three buttons; they stay disabled until
// the configuration windows are built.
#pragma once

#include "resources/ui/ui_resource_ids.h"
#include "ui/frame/page_context.h"
#include "ui/framework/property_page_impl.h"

class CConfigurationPage : public CPropertyPageImpl<CConfigurationPage> {
public:
    enum { IDD = IDD_CONFIGURATION_PAGE };
    explicit CConfigurationPage(CPageContext& context) : m_context(context) {}

protected:
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    CPageContext& m_context;
};
