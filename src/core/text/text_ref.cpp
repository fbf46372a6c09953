#include "core/text/text_ref.h"

#include "core/text/string_table.h"
#include "platform/wide_format.h"

std::wstring CTextRef::Text() const
{
    if (m_text != nullptr)
        return m_text;
    if (m_id != 0)
        return LoadStringText(m_id);
    return std::wstring();
}

std::wstring FormatText(CTextRef format, ...)
{
    va_list args;
    va_start(args, format);
    std::wstring text = FormatTextV(format, args);
    va_end(args);
    return text;
}

std::wstring FormatTextV(CTextRef format, va_list args)
{
    std::wstring pattern = format.Text();
    return FormatV(pattern.c_str(), args);
}
