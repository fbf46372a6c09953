// The last check of a firmware load, made once the radio has restarted and told its
// version again: does it run the version the file's name promised?
#pragma once

#include <string>

#include "platform/win_types.h"

class CStateHost2;

// 0 with "%s firmware version verified", or 0xE2000046 after the two lines that name
// the file and the version the radio reported. The lines go through the machine's Log.
DWORD VerifyVersion(CStateHost2& machine, const std::wstring& name, const std::wstring& firmwarePath);
