// CUpdateUI: the check marks, enabled states and texts of menu items, kept in a table and
// put on the menu when one of its pop-ups opens (the owner passes WM_INITMENUPOPUP to
// UIUpdateMenu). Only items entered with UIAddMenuItem are touched.
#pragma once

#include <string>
#include <vector>

#include "platform/win_types.h"

class CUpdateUIBase {
public:
    void UIAddMenuItem(UINT id);
    bool UISetCheck(UINT id, bool checked);
    bool UIEnable(UINT id, bool enabled);
    // The item's text; empty keeps the menu's own.
    bool UISetText(UINT id, const std::wstring& text);

    bool UIGetCheck(UINT id) const;
    bool UIGetEnabled(UINT id) const;

    // Applies the table to the items of the menu (a pop-up being opened, or the whole
    // menu bar with its pop-ups).
    void UIUpdateMenu(HMENU menu) const;

private:
    struct CItem {
        UINT id;
        bool checked;
        bool enabled;
        std::wstring text;
    };
    CItem* Find(UINT id);
    const CItem* Find(UINT id) const;

    std::vector<CItem> m_items;
};

template <class T>
class CUpdateUI : public CUpdateUIBase {};
