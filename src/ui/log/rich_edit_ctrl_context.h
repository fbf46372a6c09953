// CRichEditCtrlContext: a rich edit output window with the program's context menu
// (menu 10030). It either creates its control or takes over one from a dialog template;
// either way it subclasses the control for as long as the object lives, and lets go of
// it when the object or the control goes first.
#pragma once

#include <windows.h>

#include <richedit.h>

#include <string>

#include "ui/framework/subclassed_window.h"

class CRichEditCtrlContext : public CSubclassedWindow {
public:
    // Read-only, multi-line, vertical scroll bar, selection kept when not focused.
    static constexpr DWORD kDefaultStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE |
                                           ES_AUTOVSCROLL | ES_READONLY | ES_NOHIDESEL;

    // "RichEdit20W": the program loads RICHED20.DLL before it creates any window.
    static const wchar_t* ClassName() { return RICHEDIT_CLASSW; }

    // Creates the control as a child of the parent and subclasses it; null on failure.
    HWND Create(HWND parent, const RECT& rect, UINT id, DWORD style = kDefaultStyle,
                DWORD exStyle = WS_EX_CLIENTEDGE);

    HWND Window() const { return m_hWnd; }

    void AppendLine(const wchar_t* text);
    void AppendLine(const std::wstring& text) { AppendLine(text.c_str()); }
    void AppendFormatted(const wchar_t* text, const CHARFORMAT2W& format);
    void AppendRaw(const wchar_t* text);
    void InsertAt(LONG position, const wchar_t* text);
    void Clear();
    void SetFont(HFONT font, bool redraw = true);

    // A context-menu request the control handles itself: it is aimed at the control and
    // carries mouse coordinates. A keyboard request (coordinates -1, -1) is left to the
    // default handling.
    static bool IsMouseRequestFor(HWND control, WPARAM wParam, LPARAM lParam);

    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};
