// Property pages on dialog templates of the program's resources. The sheet creates a
// page's window when the page is first shown; its tab text is the template's caption.
//
// A page's messages go to ProcessWindowMessage first (a switch in the page class); the
// sheet's page notifications it leaves unhandled go to the virtual hooks below.
// CPropertyPageImpl<T> takes the template from T::IDD.
#pragma once

#include <windows.h>

#include <prsht.h>

#include "ui/framework/window.h"

class CPropertyPageBase : public CWindow, public IMessageHandler {
public:
    explicit CPropertyPageBase(UINT templateId);
    ~CPropertyPageBase() override;
    CPropertyPageBase(const CPropertyPageBase&) = delete;
    CPropertyPageBase& operator=(const CPropertyPageBase&) = delete;

    UINT TemplateId() const { return m_templateId; }
    // The page for a sheet; made once. The sheet that receives it owns it from then on.
    HPROPSHEETPAGE CreatePageHandle();
    // Extra PSP_* flags (PSP_HASHELP) before CreatePageHandle.
    void AddPageFlags(DWORD flags) { m_pageFlags |= flags; }

    // Page notifications (PSN_*); the defaults accept.
    virtual BOOL OnSetActive() { return TRUE; }   // FALSE: the page refuses to show
    virtual BOOL OnKillActive() { return TRUE; }  // FALSE: the page keeps the focus
    virtual BOOL OnApply() { return TRUE; }
    virtual void OnReset() {}
    // The control that gets the focus when the page is shown; null: the system's choice.
    virtual HWND OnQueryInitialFocus() { return nullptr; }

    // The sheet window around the page (null before the page exists).
    HWND GetPropertySheet() const { return m_hWnd != nullptr ? ::GetParent(m_hWnd) : nullptr; }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL HandleSheetNotify(const NMHDR& header, LRESULT& result);

    UINT m_templateId;
    DWORD m_pageFlags = 0;
    HPROPSHEETPAGE m_handle = nullptr;
    bool m_handleOwnedBySheet = false;
    friend class CPropertySheetBase;
};

template <class T>
class CPropertyPageImpl : public CPropertyPageBase {
public:
    CPropertyPageImpl() : CPropertyPageBase(T::IDD) {}
};
