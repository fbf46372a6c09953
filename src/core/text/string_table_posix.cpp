#include "core/text/string_table.h"

#include "core/text/text_tables.h"

std::wstring LoadStringText(UINT id)
{
    const wchar_t* text = FindTableText(kStringTableEntries, kStringTableSize, id);
    return text ? text : L"";
}
