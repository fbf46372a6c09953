// CCommandMacrosSheet: the modal "Edit Command Tester Macros" sheet with its one page,
// CCommandMacrosPage1 ("Macros 1-16"): a label edit and a text edit for each of the
// sixteen macros, working directly on the Command Tester's two 16-element values. OK
// sets every label and text through the values' element setters (so the page's buttons
// change at once); Cancel changes nothing. Saving is left to the caller.
#pragma once

#include <windows.h>

#include "core/model/command_macros.h"
#include "core/model/event_subscriber.h"
#include "resources/ui/ui_resource_ids.h"
#include "ui/framework/property_page_impl.h"
#include "ui/framework/property_sheet_impl.h"

class CCommandMacrosPage1 : public CPropertyPageImpl<CCommandMacrosPage1> {
public:
    enum { IDD = IDD_COMMAND_MACROS_PAGE };
    static constexpr const wchar_t* kHelpTopic = L"CommandTester.htm#MacroEditor";

    explicit CCommandMacrosPage1(CCommandMacros& macros);
    ~CCommandMacrosPage1() override;

    static int LabelEditId(size_t index) { return IDC_MACRO_LABEL_FIRST + static_cast<int>(index); }
    static int TextEditId(size_t index) { return IDC_MACRO_TEXT_FIRST + static_cast<int>(index); }

    bool Applied() const { return m_applied; }
    BOOL OnApply() override;

protected:
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnShowWindow(bool shown);
    void Fill(int editId, const std::wstring& text);

    CCommandMacros& m_macros;
    CEventSubscriber m_subscriber;
    bool m_applied = false;
};

class CCommandMacrosSheet : public CPropertySheetImpl<CCommandMacrosSheet> {
public:
    explicit CCommandMacrosSheet(CCommandMacros& macros);

    // Shows the sheet modally over the window's top-level window; true when it closed
    // with OK (the values have then been set, not saved).
    bool Run(HWND owner);

    CCommandMacrosPage1& Page() { return m_page; }

protected:
    void OnSheetInitialized() override;
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    CCommandMacrosPage1 m_page;
    HWND m_owner = nullptr;
    bool m_centred = false;
};
