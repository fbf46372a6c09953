// The version resource of a file, and the program's title built from its own.
#pragma once

#include <string>

#include "platform/win_types.h"

class CFileVersionInfo {
public:
    // The twelve strings, in the order the program keeps them.
    enum Field {
        CompanyName,
        FileDescription,
        FileVersion,
        InternalName,
        LegalCopyright,
        OriginalFileName,
        ProductName,
        ProductVersion,
        Comments,
        LegalTrademarks,
        PrivateBuild,
        SpecialBuild,
        FieldCount
    };
    static const wchar_t* FieldName(Field field);

    // Reads the file's version resource; false (last error set) when it has none. Off
    // Windows a file never has one.
    bool ReadVersionInfo(const std::wstring& path);
    // The running program's own: its file's resource on Windows, the same fields compiled
    // in elsewhere.
    bool ReadOwnVersionInfo();

    const std::wstring& Get(Field field) const { return m_strings[field]; }
    void Set(Field field, const std::wstring& value) { m_strings[field] = value; }

    // Fixed file information: two 32-bit words each, most significant first.
    DWORD fileVersionMS = 0;
    DWORD fileVersionLS = 0;
    DWORD productVersionMS = 0;
    DWORD productVersionLS = 0;

private:
    void Clear();

    std::wstring m_strings[FieldCount];
};

// String 10064 ("%s Version %u.%u.%u.%u") with the FileDescription and the four 16-bit
// parts of the file version.
std::wstring BuildAppTitle(const CFileVersionInfo& info);

// The program's title ("Orvandel ZR8 Utility Version 1.23.11.8"), built at the first call
// and kept for the run; empty when the version resource cannot be read.
const std::wstring& GetAppTitle();

// String 10064 with the ProductName and the product version: the same for every program of
// the product, so that the files zr8.exe writes name the product as the window program's do.
std::wstring BuildProductTitle(const CFileVersionInfo& info);
// The running program's product title, built once like GetAppTitle.
const std::wstring& GetProductTitle();
