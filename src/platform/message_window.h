// A window that only receives messages, on both platforms: a hidden top-level window
// (or a child of a given parent) on Windows, a message target elsewhere. Where Windows
// cannot make a top-level window (Wine without a display) it falls back to a
// message-only window; a child needs a real parent window.
// The handler gets WM_NULL, WM_TIMER, WM_CLOSE, WM_DESTROY and every message from
// WM_USER up; the system's own messages take their default path. Destroy (also from
// inside the handler) sends WM_DESTROY first, as DestroyWindow does. The CLI, the
// tests and the simulated link use it where the program has no real window.
#pragma once

#include <functional>

#include "platform/win_types.h"

class CMessageWindow {
public:
    using Handler = std::function<LRESULT(UINT message, WPARAM wParam, LPARAM lParam)>;

    CMessageWindow();
    ~CMessageWindow();  // destroys the window
    CMessageWindow(const CMessageWindow&) = delete;
    CMessageWindow& operator=(const CMessageWindow&) = delete;

    // Creates the window; messages go to the handler. Returns false on failure
    // (last error set).
    bool Create(Handler handler, HWND parent = nullptr, int controlId = 0);
    void Destroy();
    HWND Handle() const { return m_window; }

private:
    struct Impl;
    Impl* m_impl = nullptr;
    HWND m_window = nullptr;
};
