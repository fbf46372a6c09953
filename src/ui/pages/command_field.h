// The Command Tester's one-line command field, subclassed so that Enter sends the line:
// the key-down of Return calls the page back, and the Return character never reaches the
// edit control, so the field never holds a line break.
#pragma once

#include <functional>

#include "ui/framework/subclassed_window.h"

class CCommandField : public CSubclassedWindow {
public:
    explicit CCommandField(std::function<void()> onEnter) : m_onEnter(std::move(onEnter)) {}

    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    std::function<void()> m_onEnter;
};
