// CPowerOnBannerPage: the one page of the power-on banner editor. Shown, it reads the
// banner from the radio into its edit control (fixed font, at most 16 characters); OK
// writes a changed text and reads it back, then the sheet closes; Cancel while the
// machine runs stops it and the completion closes the sheet.
#pragma once

#include "config/banner_page_logic.h"
#include "config/banner_state_machine.h"
#include "core/model/event_subscriber.h"
#include "resources/ui/ui_resource_ids.h"
#include "ui/framework/property_page_impl.h"
#include "ui/framework/win_handles.h"

class CModelBase;

class CPowerOnBannerPage : public CPropertyPageImpl<CPowerOnBannerPage> {
public:
    enum { IDD = IDD_POWER_ON_BANNER };
    static constexpr int kMaxCharacters = 16;
    static constexpr const wchar_t* kHelpTopic = L"Configuration.htm#PowerOnBanner";

    explicit CPowerOnBannerPage(CModelBase& model);
    ~CPowerOnBannerPage() override;

    CBannerStateMachine& Machine() { return m_machine; }
    HFONT Font() const { return m_font.Get(); }

    BOOL OnApply() override;

protected:
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnInitDialog();
    void OnShown();
    void OnHidden();
    // The edit control's text becomes the edited text; the sheet hears whether it
    // differs from the text read.
    void TakeEditedText();
    void OnBannerText(WPARAM element);
    void OnComplete(DWORD result);

    CModelBase& m_model;
    CBannerStateMachine m_machine;
    CBannerPageLogic m_logic;
    CFontHandle m_font;
    CEventSubscriber m_subscriber;
};
