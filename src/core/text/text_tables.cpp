#include "core/text/text_tables.h"

const wchar_t* FindTableText(const TextTableEntry* entries, size_t count, DWORD id)
{
    // A few hundred entries, looked up when a message is shown: a scan is enough.
    for (size_t i = 0; i < count; ++i) {
        if (entries[i].id == id)
            return entries[i].text;
    }
    return nullptr;
}
