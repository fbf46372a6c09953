#include "core/model/persistable.h"

#include <vector>

namespace PersistedValueIo {

DWORD ReadNumber(ISettingsStore& store, const std::wstring& name, uint32_t& raw)
{
    DWORD type = 0;
    std::vector<uint8_t> data;
    DWORD rc = store.ReadValue(L"", name, type, data);
    if (rc != 0)
        return rc;
    if (data.size() > sizeof(raw))
        return ERROR_MORE_DATA;
    // Little-endian bytes over what raw holds, as the registry fills a 4-byte buffer.
    for (size_t i = 0; i < data.size(); ++i) {
        raw &= ~(uint32_t(0xFF) << (8 * i));
        raw |= uint32_t(data[i]) << (8 * i);
    }
    return 0;
}

DWORD ReadText(ISettingsStore& store, const std::wstring& name, std::wstring& text)
{
    DWORD type = 0;
    std::vector<uint8_t> data;
    DWORD rc = store.ReadValue(L"", name, type, data);
    if (rc != 0)
        return rc;
    if (type != kRegSz && type != kRegExpandSz)
        return kUnsupportedType;

    std::wstring result;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        uint32_t unit = data[i] | (uint32_t(data[i + 1]) << 8);
        if (unit == 0)
            break;
        if (sizeof(wchar_t) == 4 && unit >= 0xD800 && unit <= 0xDBFF && i + 3 < data.size()) {
            uint32_t low = data[i + 2] | (uint32_t(data[i + 3]) << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                result.push_back(static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
                i += 2;
                continue;
            }
        }
        result.push_back(static_cast<wchar_t>(unit));
    }
    text = std::move(result);
    return 0;
}

DWORD WriteNumber(ISettingsStore& store, const std::wstring& name, uint32_t value)
{
    return store.WriteDword(L"", name, value);
}

DWORD WriteText(ISettingsStore& store, const std::wstring& name, const std::wstring& text)
{
    return store.WriteString(L"", name, text);
}

}  // namespace PersistedValueIo
