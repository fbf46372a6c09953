// The program's string table (resources/strings.txt; identifiers in string_ids.h).
#pragma once

#include <string>

#include "core/text/string_ids.h"
#include "platform/win_types.h"

// The entry's text, whole whatever its length; empty when the table has no such entry.
std::wstring LoadStringText(UINT id);
