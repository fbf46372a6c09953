#include "platform/message_box.h"

#include <mutex>

namespace MessageBoxes {

int ShowDefault(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);

namespace {
std::mutex g_mutex;
Handler g_handler;
}  // namespace

Handler SetHandler(Handler handler)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    Handler previous = std::move(g_handler);
    g_handler = std::move(handler);
    return previous;
}

int Show(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)
{
    Handler handler;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        handler = g_handler;
    }
    if (handler)
        return handler(owner, text, caption, type);
    return ShowDefault(owner, text, caption, type);
}

}  // namespace MessageBoxes
