// A visible top-level window holding one output window, for tests that drive the real
// rich edit control by messages under a display.
#pragma once

#include <windows.h>

#include <richedit.h>

#include <string>

#include "ui/log/rich_edit_ctrl_context.h"

class CLogTestHost {
public:
    CLogTestHost(int width = 320, int height = 120, DWORD style = CRichEditCtrlContext::kDefaultStyle);
    ~CLogTestHost();
    CLogTestHost(const CLogTestHost&) = delete;
    CLogTestHost& operator=(const CLogTestHost&) = delete;

    bool Ready() const { return m_output.Window() != nullptr; }
    HWND Frame() const { return m_frame; }
    CRichEditCtrlContext& Output() { return m_output; }

    // The whole text with paragraph breaks as CR LF.
    std::wstring Text() const;
    // Handles what is queued (the posted scroll requests among it).
    static void Pump();
    int FirstVisibleLine() const;
    int LineCount() const;
    // True when the last line lies inside the visible area.
    bool LastLineVisible() const;

private:
    HMODULE m_richEdit = nullptr;
    HWND m_frame = nullptr;
    CRichEditCtrlContext m_output;
};
