// Without a window system the default box is a line on stderr, answered with the
// default button, which is what pressing Enter on the real box would do.
#include <cstdio>

#include "platform/code_pages.h"
#include "platform/message_box.h"

namespace MessageBoxes {

namespace {

int DefaultButton(UINT type)
{
    constexpr UINT kButtons = 0x0000000Fu;
    constexpr UINT kDefault = 0x00000F00u;
    // Buttons of each MB_ kind, left to right.
    static const int kRows[][3] = {
        {IDOK, IDOK, IDOK},            // MB_OK
        {IDOK, IDCANCEL, IDCANCEL},    // MB_OKCANCEL
        {IDABORT, IDRETRY, IDIGNORE},  // MB_ABORTRETRYIGNORE
        {IDYES, IDNO, IDCANCEL},       // MB_YESNOCANCEL
        {IDYES, IDNO, IDNO},           // MB_YESNO
        {IDRETRY, IDCANCEL, IDCANCEL}, // MB_RETRYCANCEL
    };
    const UINT row = type & kButtons;
    if (row >= sizeof kRows / sizeof kRows[0])
        return IDOK;
    const UINT column = (type & kDefault) == MB_DEFBUTTON2 ? 1 : (type & kDefault) == MB_DEFBUTTON3 ? 2 : 0;
    return kRows[row][column];
}

}  // namespace

int ShowDefault(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)
{
    std::fprintf(stderr, "%s: %s\n", CodePages::ToUtf8(caption).c_str(), CodePages::ToUtf8(text).c_str());
    return DefaultButton(type);
}

}  // namespace MessageBoxes
