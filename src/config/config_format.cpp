#include "config/config_format.h"

#include "core/model/radio_types.h"

namespace ConfigFormat {

bool IsRestorable(DWORD address) {
    for (const CRange& range : kRestorableRanges)
        if (address >= range.start && address < range.End()) return true;
    return false;
}

std::wstring UtilityVersionKey() { return std::wstring(kModelName) + L" Utility Version"; }
std::wstring FirmwareVersionKey() { return std::wstring(kModelName) + L" Firmware Version"; }
std::wstring SerialNumberKey() { return std::wstring(kModelName) + L" Serial Number"; }

}  // namespace ConfigFormat
