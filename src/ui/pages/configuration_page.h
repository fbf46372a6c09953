// CConfigurationPage: the third tab. Save Configuration, Restore Configuration and Edit
// Power On Banner, each in a modal window of its own; the buttons are enabled only while
// the radio runs its application firmware (firmware status 2).
#pragma once

#include "core/model/event_subscriber.h"
#include "resources/ui/ui_resource_ids.h"
#include "ui/frame/page_context.h"
#include "ui/framework/property_page_impl.h"

class CModelBase;

class CConfigurationPage : public CPropertyPageImpl<CConfigurationPage> {
public:
    enum { IDD = IDD_CONFIGURATION_PAGE };
    static constexpr const wchar_t* kHelpTopic = L"Configuration.htm";

    explicit CConfigurationPage(CPageContext& context) : m_model(context.model) {}
    ~CConfigurationPage() override;

    HWND ToolTip() const { return m_toolTip; }

protected:
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void CreateToolTips();
    void OnShowWindow(bool shown);
    void OnFirmwareStatusChanged();
    BOOL OnCommand(WORD id, WORD code);
    void OnSaveConfiguration();
    void OnRestoreConfiguration();
    void OnEditBanner();

    CModelBase& m_model;
    HWND m_toolTip = nullptr;  // owned by the page window, which destroys it
    CEventSubscriber m_subscriber;
};
