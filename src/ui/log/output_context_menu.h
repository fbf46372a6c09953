// The context menu of the output windows (menu resource 10030): Undo, Cut, Copy, Paste,
// Delete and Select All, each enabled by the control's state and applied to the control
// directly.
#pragma once

#include <windows.h>

namespace OutputMenu {

constexpr UINT kMenuResource = 10030;

// Command identifiers of the menu's items.
constexpr UINT kUndo = 57643;
constexpr UINT kCut = 57635;
constexpr UINT kCopy = 57634;
constexpr UINT kPaste = 57637;
constexpr UINT kDelete = 57632;
constexpr UINT kSelectAll = 57642;

struct ItemStates {
    bool undo = false;
    bool cut = false;
    bool copy = false;
    bool paste = false;
    bool del = false;
    bool selectAll = true;
};

// What the control allows now: undo when it can undo, cut and delete when there is a
// selection and the control is not read-only, copy when there is a selection, paste
// when it can paste the clipboard's format, select all always.
ItemStates ReadItemStates(HWND control);
// Enables or greys the six items of the pop-up by command.
void ApplyItemStates(HMENU popup, const ItemStates& states);
bool IsEnabled(const ItemStates& states, UINT command);
// Carries out one of the six commands on the control when its state allows it; false
// for a command it does not allow now and for any other command.
bool ApplyCommand(HWND control, UINT command);

// Loads menu 10030 from the program's resources, tracks its first pop-up at the screen
// position (right button, returning the command, no notifications), applies the chosen
// command and destroys the menu. Returns the command chosen, 0 for none.
UINT Track(HWND control, POINT screen);

}  // namespace OutputMenu
