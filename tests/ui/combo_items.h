// The texts of a combo box's list, in list order (also for a combo box of another
// process: CB_GETLBTEXT is marshalled by the system).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

inline std::vector<std::wstring> ComboItems(HWND combo)
{
    std::vector<std::wstring> items;
    LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}
