#include <windows.h>

#include "platform/message_box.h"

namespace MessageBoxes {

int ShowDefault(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)
{
    return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

}  // namespace MessageBoxes
