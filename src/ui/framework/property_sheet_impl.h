// Property sheets: modal ones (an editor with its pages) and the modeless sheet that the
// main frame uses as a child window (the tab view). The sheet window is made by the
// system; the object subclasses it as soon as it exists, so the sheet class sees its
// messages in ProcessWindowMessage like any other window of the program.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

#include <prsht.h>

#include "ui/framework/property_page_impl.h"
#include "ui/framework/subclassed_window.h"

class CPropertySheetBase : public CSubclassedWindow {
public:
    CPropertySheetBase() = default;
    ~CPropertySheetBase() override;  // destroys a modeless sheet that is still open

    // Pages in tab order; before the sheet is created.
    void AddPage(CPropertyPageBase& page) { m_pages.push_back(&page); }
    int PageCount() const { return static_cast<int>(m_pages.size()); }
    void SetStartPage(int index) { m_startPage = index; }
    void SetTitle(const std::wstring& title) { m_title = title; }
    void AddSheetFlags(DWORD flags) { m_sheetFlags |= flags; }

    // The sheet as a child control of the parent, without the OK, Cancel and Apply
    // buttons: null on failure.
    HWND CreateChild(HWND parent);
    // A modal sheet; returns what PropertySheet returns (-1 on failure).
    INT_PTR DoModal(HWND parent);

    // The index of the page shown, or -1.
    int GetActiveIndex() const;
    HWND GetActivePage() const;
    bool SetActivePage(int index);
    HWND GetTabControl() const;
    // The sheet's keyboard handling (Tab, arrows, mnemonics) for a queued message.
    BOOL IsDialogMessage(MSG* message) const;

protected:
    // Called once the sheet window exists and is subclassed (before it is shown).
    virtual void OnSheetInitialized() {}

    // Not handled by default.
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        return FALSE;
    }

private:
    INT_PTR Run(HWND parent, bool child);
    static int CALLBACK SheetCallback(HWND window, UINT message, LPARAM lParam);

    std::vector<CPropertyPageBase*> m_pages;
    std::wstring m_title;
    DWORD m_sheetFlags = 0;
    int m_startPage = 0;
    bool m_child = false;
};

template <class T>
class CPropertySheetImpl : public CPropertySheetBase {};
