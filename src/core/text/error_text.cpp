#include "core/text/error_text.h"

void StripTrailingLineBreaks(std::wstring& text)
{
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n'))
        text.pop_back();
}
