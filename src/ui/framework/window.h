// CWindow: a window handle with the few calls the program's windows make on it, and
// IMessageHandler: what every window class of the framework implements. A handler's
// ProcessWindowMessage is a plain switch over the messages it cares about; it returns
// TRUE with the result set when it handled the message, FALSE to let the default
// processing (the dialog manager, the previous window procedure, DefWindowProc) run.
#pragma once

#include <string>

#include "platform/win_types.h"

class IMessageHandler {
public:
    virtual ~IMessageHandler() = default;
    virtual BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result) = 0;
};

class CWindow {
public:
    CWindow(HWND window = nullptr) : m_hWnd(window) {}

    HWND m_hWnd;

    operator HWND() const { return m_hWnd; }
    bool IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd) != FALSE; }

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }

    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }

    // The whole text, whatever its length.
    std::wstring GetWindowText() const
    {
        const int length = ::GetWindowTextLengthW(m_hWnd);
        std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        const int copied = ::GetWindowTextW(m_hWnd, &text[0], length + 1);
        text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
        return text;
    }
    BOOL SetWindowText(const std::wstring& text) const { return ::SetWindowTextW(m_hWnd, text.c_str()); }
    std::wstring GetDlgItemText(int id) const { return CWindow(GetDlgItem(id)).GetWindowText(); }
    BOOL SetDlgItemText(int id, const std::wstring& text) const
    {
        return ::SetDlgItemTextW(m_hWnd, id, text.c_str());
    }

    BOOL EnableWindow(bool enable) const { return ::EnableWindow(m_hWnd, enable ? TRUE : FALSE); }
    BOOL ShowWindow(int showCommand) const { return ::ShowWindow(m_hWnd, showCommand); }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    BOOL DestroyWindow()
    {
        const BOOL done = ::DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
        return done;
    }

    RECT GetClientRect() const
    {
        RECT rect = {0, 0, 0, 0};
        ::GetClientRect(m_hWnd, &rect);
        return rect;
    }
    RECT GetWindowRect() const
    {
        RECT rect = {0, 0, 0, 0};
        ::GetWindowRect(m_hWnd, &rect);
        return rect;
    }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) const
    {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
};
