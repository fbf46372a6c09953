// The texts compiled in from resources/strings.txt and resources/messages.txt (generated
// sources). Off Windows they are the string and message tables; on Windows the resources
// are, and the tests compare the two.
#pragma once

#include <cstddef>

#include "platform/win_types.h"

struct TextTableEntry {
    DWORD id;
    const wchar_t* text;
};

extern const TextTableEntry kStringTableEntries[];
extern const size_t kStringTableSize;
extern const TextTableEntry kMessageTableEntries[];
extern const size_t kMessageTableSize;

// The entry's text, or null when the table has no such id.
const wchar_t* FindTableText(const TextTableEntry* entries, size_t count, DWORD id);
