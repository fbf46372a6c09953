// IPersistable and CPersistable<T, N>: observable values that live in the settings
// store under the application key. Numbers are REG_DWORD (4 bytes), strings REG_SZ.
//
// Write-if-changed: each value keeps a stored copy of what the store holds. It starts
// at zero (or the empty string) at construction, not at the default, so a default that
// differs from zero is written at the first save even if the user never touched it.
// Load neither notifies nor touches the last-announced copy, so a later Set of the
// loaded value is still announced.
//
// A 16-element value (the command tester's macros) has a format for its value name:
// element i is stored under the format filled with i + 1.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>

#include "core/model/app_info.h"
#include "core/model/observable.h"
#include "platform/wide_format.h"

class IPersistable {
public:
    virtual ~IPersistable() = default;
    // Both return 0 or the store's error code (ERROR_FILE_NOT_FOUND for a value that is
    // not there; Save of an N-element value stops at its first failing write).
    virtual DWORD Load(CAppInfoBase& key) = 0;
    virtual DWORD Save(CAppInfoBase& key) = 0;
};

// The reads and writes of one registry value, as the program has always done them.
namespace PersistedValueIo {

// What the registry gives for a string value of another type (ERROR_UNSUPPORTED_TYPE).
constexpr DWORD kUnsupportedType = 1630;

// Reads at most 4 bytes into raw, whatever the value's type: bytes the value lacks keep
// what raw held (a 4-byte buffer handed to RegQueryValueExW). Longer data: ERROR_MORE_DATA.
DWORD ReadNumber(ISettingsStore& store, const std::wstring& name, uint32_t& raw);
// Accepts REG_SZ and REG_EXPAND_SZ (UTF-16LE, up to the first null); other types give
// kUnsupportedType and leave text alone.
DWORD ReadText(ISettingsStore& store, const std::wstring& name, std::wstring& text);
DWORD WriteNumber(ISettingsStore& store, const std::wstring& name, uint32_t value);
DWORD WriteText(ISettingsStore& store, const std::wstring& name, const std::wstring& text);

}  // namespace PersistedValueIo

template <class T, size_t N>
class CPersistable : public CObservable<T, N>, public IPersistable {
    static_assert(std::is_integral_v<T> || std::is_same_v<T, std::wstring>,
                  "persisted values are numbers (REG_DWORD) or wide strings (REG_SZ)");
    static_assert(!std::is_integral_v<T> || sizeof(T) <= 8, "numbers travel in 32 bits");

public:
    // valueName: the registry value name, or for N > 1 a format taking the element number
    // 1..N ("CommandText%u"). Null or empty: never loaded or saved.
    CPersistable(UINT message, const T& defaultValue, const wchar_t* valueName)
        : CObservable<T, N>(message, defaultValue), m_valueName(valueName)
    {
        m_stored.fill(T());
    }

    const wchar_t* ValueName() const { return m_valueName; }
    std::wstring ElementName(size_t index) const
    {
        if (N == 1)
            return m_valueName ? m_valueName : L"";
        return FormatW(m_valueName, static_cast<unsigned>(index + 1));
    }
    const T& StoredAt(size_t index) const { return m_stored[index]; }

    // Every element is read; the result is the first element's failure, if any.
    DWORD Load(CAppInfoBase& key) override
    {
        if (!HasName())
            return 0;
        DWORD first = 0;
        for (size_t i = 0; i < N; ++i) {
            DWORD rc = LoadElement(key.Store(), i);
            if (rc != 0 && first == 0)
                first = rc;
        }
        return first;
    }

    DWORD Save(CAppInfoBase& key) override
    {
        if (!HasName())
            return 0;
        for (size_t i = 0; i < N; ++i) {
            const T& current = this->GetAt(i);
            if (current == m_stored[i])
                continue;
            DWORD rc = WriteElement(key.Store(), i, current);
            if (rc != 0)
                return rc;  // the stored copy stays, so the next save tries again
            m_stored[i] = current;
        }
        return 0;
    }

private:
    bool HasName() const { return m_valueName != nullptr && m_valueName[0] != L'\0'; }

    DWORD LoadElement(ISettingsStore& store, size_t i)
    {
        DWORD rc;
        if constexpr (std::is_integral_v<T>) {
            uint32_t raw = static_cast<uint32_t>(m_stored[i]);
            rc = PersistedValueIo::ReadNumber(store, ElementName(i), raw);
            if (rc == 0)
                m_stored[i] = FromRaw(raw);
        } else {
            rc = PersistedValueIo::ReadText(store, ElementName(i), m_stored[i]);
        }
        if (rc == 0)
            this->SetQuietly(i, m_stored[i]);
        return rc;
    }

    DWORD WriteElement(ISettingsStore& store, size_t i, const T& value)
    {
        if constexpr (std::is_integral_v<T>)
            return PersistedValueIo::WriteNumber(store, ElementName(i), static_cast<uint32_t>(value));
        else
            return PersistedValueIo::WriteText(store, ElementName(i), value);
    }

    // A DWORD read into an int keeps its bit pattern (0xFFFFFFFF is -1).
    static T FromRaw(uint32_t raw)
    {
        if constexpr (std::is_signed_v<T>)
            return static_cast<T>(static_cast<int32_t>(raw));
        else
            return static_cast<T>(raw);
    }

    const wchar_t* m_valueName;
    std::array<T, N> m_stored;
};
