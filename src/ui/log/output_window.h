// Writing to the program's output windows: rich edit controls that show log and trace
// lines. New text always goes to the end; the view follows it only while the user has
// not scrolled up to read older lines.
#pragma once

#include <windows.h>

#include <richedit.h>

// Starts a new line unless the window is empty, then appends the text (which takes the
// formatting in force at the end) and follows it under the auto-scroll rule.
void AppendLine(HWND output, const wchar_t* text);
// Appends the text in the given character format (colour and mask), without a line
// break, leaving the caret at the end; follows it under the auto-scroll rule.
void AppendFormatted(HWND output, const wchar_t* text, const CHARFORMAT2W& format);
// Appends the text as it is; asks for no scrolling, and keeps the view where it is
// while the user has scrolled away from the bottom.
void AppendRaw(HWND output, const wchar_t* text);
// Inserts the text at a character position.
void InsertAt(HWND output, LONG position, const wchar_t* text);
// Empties the window.
void ClearOutputWindow(HWND output);

// The number of characters the control holds (positions run from 0 to this).
LONG OutputTextLength(HWND output);

// The vertical scroll state read before an insertion decides whether the view follows.
struct OutputScrollState {
    int maximum = 0;
    UINT page = 0;
    int position = 0;
    POINT view{0, 0};  // the control's scroll position, to put the view back
};
OutputScrollState ReadOutputScrollState(HWND output);
// True when the user is looking at older text: the page size is known and the position
// is above the last page.
bool IsScrolledAwayFromBottom(const OutputScrollState& state);
// Posts the scroll-to-bottom request, so the new text is visible once the control has
// laid it out; when the user had scrolled away it puts the view back where it was.
void FollowNewText(HWND output, const OutputScrollState& before);
void HoldViewIfAway(HWND output, const OutputScrollState& before);
