#include "core/text/version_info.h"

#include <vector>

#include "platform/os_info.h"
#include "platform/wide_format.h"

bool CFileVersionInfo::ReadVersionInfo(const std::wstring& path)
{
    Clear();
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0)
        return false;
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data()))
        return false;

    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(data.data(), L"\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        fileVersionMS = fixed->dwFileVersionMS;
        fileVersionLS = fixed->dwFileVersionLS;
        productVersionMS = fixed->dwProductVersionMS;
        productVersionLS = fixed->dwProductVersionLS;
    }

    // The first language and code page of the translation table name the string block.
    WORD language = 0, codePage = 0;
    if (VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length) && length >= 2 * sizeof(WORD)) {
        const WORD* pair = static_cast<const WORD*>(value);
        language = pair[0];
        codePage = pair[1];
    }
    for (int i = 0; i < FieldCount; ++i) {
        Field field = static_cast<Field>(i);
        std::wstring query = FormatW(L"\\StringFileInfo\\%04X%04X\\%s", language, codePage, FieldName(field));
        if (VerQueryValueW(data.data(), query.c_str(), &value, &length) && value != nullptr && length > 0)
            m_strings[i] = static_cast<const wchar_t*>(value);
    }
    return true;
}

bool CFileVersionInfo::ReadOwnVersionInfo()
{
    return ReadVersionInfo(OsInfo::ModulePath());
}
