#include "core/text/report.h"

#include "core/text/app_messages.h"
#include "platform/message_box.h"

int ShowMessage(HWND owner, UINT type, CTextRef text, CTextRef caption)
{
    return MessageBoxes::Show(owner, text.Text(), caption.Text(), type);
}

int ShowError(HWND window, CTextRef caption, CTextRef format, ...)
{
    va_list args;
    va_start(args, format);
    int result = ShowErrorExV(window, MB_ICONERROR, caption, format, args);
    va_end(args);
    return result;
}

int ShowErrorV(HWND window, CTextRef caption, CTextRef format, va_list args)
{
    return ShowErrorExV(window, MB_ICONERROR, caption, format, args);
}

int ShowErrorEx(HWND window, UINT type, CTextRef caption, CTextRef format, ...)
{
    va_list args;
    va_start(args, format);
    int result = ShowErrorExV(window, type, caption, format, args);
    va_end(args);
    return result;
}

int ShowErrorExV(HWND window, UINT type, CTextRef caption, CTextRef format, va_list args)
{
    std::wstring text = FormatTextV(format, args);
    LogText(window, text);
    return ShowMessage(window, type, text, caption);
}

void LogLine(HWND window, CTextRef format, ...)
{
    va_list args;
    va_start(args, format);
    LogLineV(window, format, args);
    va_end(args);
}

void LogLineV(HWND window, CTextRef format, va_list args)
{
    LogText(window, FormatTextV(format, args));
}

void LogText(HWND window, const std::wstring& text)
{
    HWND frame = FindLogWindow(window);
    if (frame == nullptr)
        return;
    // Synchronous: the text may live on the sender's stack.
    SendMessageW(frame, WM_APP_STATUS_TEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

HWND FindLogWindow(HWND window)
{
    if (window == nullptr || !IsWindow(window))
        return nullptr;
    // GetParent gives a child's parent and a pop-up's owner (GA_ROOTOWNER walks the same
    // chain on Windows); a top-level window without an owner ends the walk.
    HWND top = window;
    while (HWND up = GetParent(top))
        top = up;
    return top;
}
