// CDialogResize: keeps a dialog's (or a sheet's, or a page's) controls anchored as the
// window changes size. Each rule names a control and how it follows the change of the
// client size since DlgResize_Init: move right and/or down, grow wider and/or taller.
// The owning window calls ProcessResizeMessage first in its own message switch.
#pragma once

#include <vector>

#include "platform/win_types.h"

struct CResizeRule {
    int id;
    unsigned flags;  // CDialogResizeBase::kMoveX | kMoveY | kSizeX | kSizeY
};

class CDialogResizeBase {
public:
    static constexpr unsigned kMoveX = 0x1;
    static constexpr unsigned kMoveY = 0x2;
    static constexpr unsigned kSizeX = 0x4;
    static constexpr unsigned kSizeY = 0x8;

    // Records the controls' rectangles and the client size now. A gripper is a size-grip
    // control in the bottom-right corner; with useMinTrackSize the window never becomes
    // smaller than it is now. Controls the window lacks are skipped.
    void DlgResize_Init(HWND window, const CResizeRule* rules, size_t count, bool addGripper = false,
                        bool useMinTrackSize = true);
    // Lays the controls out for a client area of cx × cy.
    void DlgResize_UpdateLayout(int cx, int cy);

    // WM_SIZE lays out (and returns FALSE, so the window may handle it as well);
    // WM_GETMINMAXINFO reports the initial size when asked to (TRUE).
    BOOL ProcessResizeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    SIZE InitialClientSize() const { return m_initialClient; }

private:
    struct CItem {
        int id;
        unsigned flags;
        RECT rect;  // client coordinates at DlgResize_Init
    };
    HWND m_window = nullptr;
    std::vector<CItem> m_items;
    SIZE m_initialClient = {0, 0};
    SIZE m_minTrack = {0, 0};
    bool m_useMinTrack = false;
    HWND m_gripper = nullptr;
};

template <class T>
class CDialogResize : public CDialogResizeBase {};
