// Off Windows the texts are compiled in: the program's own table and a table of the
// Windows texts the program can meet, in the same lookup order as on Windows.
#include "core/text/error_text.h"

#include "core/text/error_codes.h"
#include "core/text/system_error_texts.h"
#include "core/text/text_tables.h"

std::wstring GetErrorText(DWORD code)
{
    // Looking up a compiled-in table touches no last error.
    const wchar_t* text = IsOwnCode(code) ? FindTableText(kMessageTableEntries, kMessageTableSize, code)
                                          : FindSystemErrorText(code);
    std::wstring result = text ? text : L"";
    StripTrailingLineBreaks(result);
    return result;
}
