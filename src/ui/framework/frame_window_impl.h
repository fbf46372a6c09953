// CFrameWindowImpl: a top-level window with a menu, a status bar and one client view
// (a child window that fills the client area above the status bar).
//
// The frame class's ProcessWindowMessage sees every message first. What it leaves
// unhandled (returns FALSE) gets the frame's own processing, then DefWindowProc:
//   WM_SIZE        lays out status bar and view (not when minimised)
//   WM_MENUSELECT  status bar text: the string-table entry of the highlighted command,
//                  up to its first line feed; "Ready" again when the menu closes
//   WM_SETFOCUS    passes the focus to the view
//   WM_DESTROY     posts the quit message with exit code 1
// So a frame that handles WM_DESTROY itself returns FALSE to let the quit be posted.
#pragma once

#include <string>

#include "ui/framework/win_handles.h"
#include "ui/framework/window.h"

class CFrameWindowBase : public CWindow, public IMessageHandler {
public:
    CFrameWindowBase() = default;
    ~CFrameWindowBase() override;  // destroys the window if it still exists
    CFrameWindowBase(const CFrameWindowBase&) = delete;
    CFrameWindowBase& operator=(const CFrameWindowBase&) = delete;

    struct CCreateArgs {
        const wchar_t* className;
        UINT iconId;         // from the program's resources; 0: the system's
        std::wstring title;
        UINT menuId;         // 0: no menu
        DWORD style;
        DWORD exStyle;
        RECT rect;           // CW_USEDEFAULT in left and right for the default place and size
    };
    // Registers the class (once) and creates the window; null on failure.
    HWND CreateFrame(const CCreateArgs& args);

    // The status bar with a size grip, showing the text.
    HWND CreateSimpleStatusBar(const std::wstring& text, UINT id);
    bool LoadAccelerators(UINT id);
    // The frame's accelerators for a queued message (TRUE when one was taken).
    BOOL TranslateFrameAccelerator(MSG* message);

    // Status bar at the bottom when visible, the view in the rest.
    virtual void UpdateLayout();

    HWND m_hWndStatusBar = nullptr;
    HWND m_hWndClient = nullptr;

protected:
    // "Ready" in the status bar once the menu closes.
    std::wstring m_readyText;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultFrameMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void ShowMenuHelp(UINT flags, UINT command, HMENU menu);

    CAccelHandle m_accelerators;
};

template <class T>
class CFrameWindowImpl : public CFrameWindowBase {};
