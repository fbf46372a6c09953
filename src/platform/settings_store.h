// Where the settings live: the registry on Windows, a REGEDIT4 ".reg" text file off
// Windows (same key path "Software\Orvandel\ZR8 Utility", same value names and
// types), an in-memory store in tests. Every call returns a Windows error code
// (0 success, ERROR_FILE_NOT_FOUND for a missing value or key).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/win_types.h"

// Registry value types the program uses.
constexpr DWORD kRegSz = 1;        // REG_SZ
constexpr DWORD kRegExpandSz = 2;  // REG_EXPAND_SZ
constexpr DWORD kRegDword = 4;     // REG_DWORD

class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    // subKey is relative to the application key; empty for the key itself
    // ("Window" holds the main frame's placement).
    virtual DWORD ReadValue(const std::wstring& subKey, const std::wstring& name, DWORD& type,
                            std::vector<uint8_t>& data) = 0;
    virtual DWORD WriteValue(const std::wstring& subKey, const std::wstring& name, DWORD type,
                             const std::vector<uint8_t>& data) = 0;
    virtual DWORD DeleteValue(const std::wstring& subKey, const std::wstring& name) = 0;

    // Typed helpers over ReadValue/WriteValue. A string is stored as UTF-16LE with its
    // terminating null, as the registry keeps it; a DWORD as 4 little-endian bytes.
    DWORD ReadDword(const std::wstring& subKey, const std::wstring& name, DWORD& value);
    DWORD ReadString(const std::wstring& subKey, const std::wstring& name, std::wstring& value);
    DWORD WriteDword(const std::wstring& subKey, const std::wstring& name, DWORD value);
    DWORD WriteString(const std::wstring& subKey, const std::wstring& name, const std::wstring& value);

    // Number of successful WriteValue calls since creation (tests check write-if-changed).
    unsigned WriteCount() const { return m_writes; }

protected:
    unsigned m_writes = 0;
};

// "Software\Orvandel\ZR8 Utility"
extern const wchar_t kAppKeyPath[];

// The store of this platform: HKCU\Software\Orvandel\ZR8 Utility on Windows (created
// when missing); off Windows "$XDG_CONFIG_HOME/Orvandel/ZR8 Utility.reg" (or
// "~/.config/..."), re-read at creation and written atomically after each change.
std::unique_ptr<ISettingsStore> OpenPlatformSettingsStore();

// A ".reg" file store at the given path (off Windows the platform store is one of these).
std::unique_ptr<ISettingsStore> OpenRegFileSettingsStore(const std::string& utf8Path);

// Kept in memory only.
std::unique_ptr<ISettingsStore> CreateMemorySettingsStore();
