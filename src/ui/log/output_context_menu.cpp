#include "ui/log/output_context_menu.h"

#include <richedit.h>

#include "ui/framework/win_handles.h"

namespace OutputMenu {

namespace {

void Enable(HMENU popup, UINT command, bool enabled)
{
    EnableMenuItem(popup, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

}  // namespace

ItemStates ReadItemStates(HWND control)
{
    CHARRANGE selection{0, 0};
    SendMessageW(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    bool hasSelection = selection.cpMin != selection.cpMax;
    bool readOnly = (GetWindowLongW(control, GWL_STYLE) & ES_READONLY) != 0;

    ItemStates states;
    states.undo = SendMessageW(control, EM_CANUNDO, 0, 0) != 0;
    states.cut = hasSelection && !readOnly;
    states.copy = hasSelection;
    states.paste = SendMessageW(control, EM_CANPASTE, 0, 0) != 0;
    states.del = hasSelection && !readOnly;
    states.selectAll = true;
    return states;
}

void ApplyItemStates(HMENU popup, const ItemStates& states)
{
    Enable(popup, kUndo, states.undo);
    Enable(popup, kCut, states.cut);
    Enable(popup, kCopy, states.copy);
    Enable(popup, kPaste, states.paste);
    Enable(popup, kDelete, states.del);
    Enable(popup, kSelectAll, states.selectAll);
}

bool IsEnabled(const ItemStates& states, UINT command)
{
    switch (command) {
    case kUndo:
        return states.undo;
    case kCut:
        return states.cut;
    case kCopy:
        return states.copy;
    case kPaste:
        return states.paste;
    case kDelete:
        return states.del;
    case kSelectAll:
        return states.selectAll;
    default:
        return false;
    }
}

bool ApplyCommand(HWND control, UINT command)
{
    // Wine's rich edit cuts and clears even when read-only: the item rules stand guard.
    if (!IsEnabled(ReadItemStates(control), command))
        return false;
    switch (command) {
    case kUndo:
        SendMessageW(control, EM_UNDO, 0, 0);
        return true;
    case kCut:
        SendMessageW(control, WM_CUT, 0, 0);
        return true;
    case kCopy:
        SendMessageW(control, WM_COPY, 0, 0);
        return true;
    case kPaste:
        SendMessageW(control, WM_PASTE, 0, 0);
        return true;
    case kDelete:
        SendMessageW(control, WM_CLEAR, 0, 0);
        return true;
    case kSelectAll:
        SendMessageW(control, EM_SETSEL, 0, -1);
        return true;
    default:
        return false;
    }
}

UINT Track(HWND control, POINT screen)
{
    CMenuHandle menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kMenuResource)));
    if (menu.Get() == nullptr)
        return 0;
    HMENU popup = GetSubMenu(menu.Get(), 0);
    if (popup == nullptr)
        return 0;
    ApplyItemStates(popup, ReadItemStates(control));
    UINT command = static_cast<UINT>(TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                                                    screen.x, screen.y, 0, control, nullptr));
    if (command != 0)
        ApplyCommand(control, command);
    return command;
}

}  // namespace OutputMenu
