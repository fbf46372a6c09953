#include "ui/log/output_window.h"

namespace {

void SetCaret(HWND output, LONG position)
{
    CHARRANGE range{position, position};
    SendMessageW(output, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void SetCaretAtEnd(HWND output)
{
    SetCaret(output, OutputTextLength(output));
}

void ReplaceSelection(HWND output, const wchar_t* text)
{
    SendMessageW(output, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text != nullptr ? text : L""));
}

}  // namespace

LONG OutputTextLength(HWND output)
{
    // Character positions, with a paragraph break counted once (no CR LF expansion).
    GETTEXTLENGTHEX query{GTL_NUMCHARS | GTL_PRECISE, 1200};
    LRESULT length = SendMessageW(output, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0);
    return length > 0 ? static_cast<LONG>(length) : 0;
}

OutputScrollState ReadOutputScrollState(HWND output)
{
    OutputScrollState state;
    SendMessageW(output, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&state.view));
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (GetScrollInfo(output, SB_VERT, &info)) {
        state.maximum = info.nMax;
        state.page = info.nPage;
        state.position = info.nPos;
    }
    return state;
}

bool IsScrolledAwayFromBottom(const OutputScrollState& state)
{
    return state.page != 0 && state.position < state.maximum - static_cast<int>(state.page);
}

void HoldViewIfAway(HWND output, const OutputScrollState& before)
{
    // Moving the caret to the end scrolls it into view: put the view back.
    if (IsScrolledAwayFromBottom(before)) {
        POINT view = before.view;
        SendMessageW(output, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&view));
    }
}

void FollowNewText(HWND output, const OutputScrollState& before)
{
    if (IsScrolledAwayFromBottom(before))
        HoldViewIfAway(output, before);
    else
        PostMessageW(output, WM_VSCROLL, SB_BOTTOM, 0);
}

void AppendLine(HWND output, const wchar_t* text)
{
    OutputScrollState before = ReadOutputScrollState(output);
    if (OutputTextLength(output) > 0) {
        SetCaretAtEnd(output);
        ReplaceSelection(output, L"\r\n");
    }
    SetCaretAtEnd(output);
    ReplaceSelection(output, text);
    FollowNewText(output, before);
}

void AppendFormatted(HWND output, const wchar_t* text, const CHARFORMAT2W& format)
{
    OutputScrollState before = ReadOutputScrollState(output);
    SetCaretAtEnd(output);
    CHARFORMAT2W applied = format;
    applied.cbSize = sizeof(applied);
    SendMessageW(output, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&applied));
    ReplaceSelection(output, text);
    SendMessageW(output, EM_SETSEL, static_cast<WPARAM>(-1), 0);
    FollowNewText(output, before);
}

void AppendRaw(HWND output, const wchar_t* text)
{
    OutputScrollState before = ReadOutputScrollState(output);
    SetCaretAtEnd(output);
    ReplaceSelection(output, text);
    HoldViewIfAway(output, before);
}

void InsertAt(HWND output, LONG position, const wchar_t* text)
{
    SetCaret(output, position);
    ReplaceSelection(output, text);
}

void ClearOutputWindow(HWND output)
{
    SendMessageW(output, EM_SETSEL, 0, -1);
    ReplaceSelection(output, L"");
}
