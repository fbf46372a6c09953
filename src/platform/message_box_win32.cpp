#include <windows.h>

#include "platform/message_box.h"

namespace MessageBoxes {

int ShowDefault(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)
{
    // No caption: the system's default title ("Error"), not an empty one.
    return MessageBoxW(owner, text.c_str(), caption.empty() ? nullptr : caption.c_str(), type);
}

}  // namespace MessageBoxes
