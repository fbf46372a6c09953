// Off Windows: the English texts of the Windows system and WinInet errors the program can
// meet (the platform maps errno values to these codes at the serial and file calls).
#pragma once

#include "platform/win_types.h"

// The text as Windows gives it without the trailing line break, or null.
const wchar_t* FindSystemErrorText(DWORD code);
