#include "core/text/display_text.h"

#include <ctime>

#include "platform/wide_format.h"

namespace {

bool IsPrintable(wchar_t c) { return c >= 0x20 && c <= 0x7E; }

void AppendEscaped(std::wstring& out, wchar_t c)
{
    static const wchar_t kHexDigits[] = L"0123456789ABCDEF";
    if (IsPrintable(c)) {
        out += c;
        return;
    }
    unsigned low = static_cast<unsigned>(c) & 0xFFu;
    out += L'\\';
    out += L'x';
    out += kHexDigits[low >> 4];
    out += kHexDigits[low & 0x0F];
}

}  // namespace

std::wstring EscapeForDisplay(std::wstring_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text)
        AppendEscaped(out, c);
    return out;
}

std::wstring EscapeChar(wchar_t c)
{
    std::wstring out;
    AppendEscaped(out, c);
    return out;
}

std::vector<std::wstring> SplitOnSpaces(std::wstring_view text)
{
    std::vector<std::wstring> pieces;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L' ') {
            pieces.emplace_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < text.size())
        pieces.emplace_back(text.substr(start));
    return pieces;
}

std::wstring FormatTimeStamp(unsigned hours, unsigned minutes, unsigned seconds)
{
    return FormatW(L"%02u:%02u:%02u ", hours, minutes, seconds);
}

std::wstring TimeStamp()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return FormatTimeStamp(static_cast<unsigned>(local.tm_hour), static_cast<unsigned>(local.tm_min),
                           static_cast<unsigned>(local.tm_sec));
}
