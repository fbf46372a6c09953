// On Windows the system converts: UTF-8 and the ANSI code page of the machine.
#include "platform/code_pages.h"

#include <windows.h>

namespace CodePages {

namespace {

std::string FromWide(UINT codePage, DWORD flags, const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const char* defaultChar = codePage == CP_UTF8 ? nullptr : "?";
    int n = WideCharToMultiByte(codePage, flags, text.data(), int(text.size()), nullptr, 0, defaultChar, nullptr);
    if (n <= 0)
        return std::string();
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), int(text.size()), &out[0], n, defaultChar, nullptr);
    return out;
}

std::wstring ToWide(UINT codePage, const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int n = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring out(size_t(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), &out[0], n);
    return out;
}

}  // namespace

std::string ToUtf8(const std::wstring& text)
{
    return FromWide(CP_UTF8, 0, text);
}

std::wstring FromUtf8(const std::string& text)
{
    // Without MB_ERR_INVALID_CHARS invalid sequences become U+FFFD.
    return ToWide(CP_UTF8, text);
}

std::string ToAnsi(const std::wstring& text)
{
    // No best-fit guesses ("a" for an "a" with a macron): what the code page lacks is '?'.
    return FromWide(CP_ACP, WC_NO_BEST_FIT_CHARS, text);
}

std::wstring FromAnsi(const std::string& text)
{
    return ToWide(CP_ACP, text);
}

std::string ToNativePath(const std::wstring& path)
{
    return ToAnsi(path);
}

}  // namespace CodePages
