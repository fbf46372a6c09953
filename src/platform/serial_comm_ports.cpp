#include "platform/serial_comm_ports.h"

#include "platform/settings_store.h"

namespace {

wchar_t FoldLetter(wchar_t c)
{
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

}  // namespace

bool SameIgnoringLetterCase(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldLetter(a[i]) != FoldLetter(b[i]))
            return false;
    }
    return true;
}

bool IsListedSerialCommValue(const std::wstring& valueName, DWORD type, const std::wstring& portName)
{
    return type == kRegSz && !portName.empty() && !SameIgnoringLetterCase(valueName, kHiddenSerialCommValue);
}
