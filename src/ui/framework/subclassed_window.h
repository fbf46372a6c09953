// CSubclassedWindow: puts a handler in front of an existing window's procedure (a
// control, a property sheet made by the system). Messages the handler does not take go
// on to the window's previous procedure. Unsubclassing happens at the latest when the
// window is destroyed or the object ends, whichever comes first.
#pragma once

#include "ui/framework/window.h"

class CSubclassedWindow : public CWindow, public IMessageHandler {
public:
    CSubclassedWindow() = default;
    ~CSubclassedWindow() override { UnsubclassWindow(); }
    CSubclassedWindow(const CSubclassedWindow&) = delete;
    CSubclassedWindow& operator=(const CSubclassedWindow&) = delete;

    // False when the window is not a window or the system refuses.
    bool SubclassWindow(HWND window);
    void UnsubclassWindow();

    // What the window's previous procedure makes of the message.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
};
