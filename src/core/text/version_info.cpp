#include "core/text/version_info.h"

#include "core/text/string_ids.h"
#include "core/text/text_ref.h"

const wchar_t* CFileVersionInfo::FieldName(Field field)
{
    static const wchar_t* const kNames[FieldCount] = {
        L"CompanyName",    L"FileDescription", L"FileVersion", L"InternalName",
        L"LegalCopyright", L"OriginalFileName", L"ProductName", L"ProductVersion",
        L"Comments",       L"LegalTrademarks", L"PrivateBuild", L"SpecialBuild",
    };
    return field >= 0 && field < FieldCount ? kNames[field] : L"";
}

void CFileVersionInfo::Clear()
{
    for (std::wstring& s : m_strings)
        s.clear();
    fileVersionMS = fileVersionLS = productVersionMS = productVersionLS = 0;
}

std::wstring BuildAppTitle(const CFileVersionInfo& info)
{
    return FormatText(IDS_APP_TITLE, info.Get(CFileVersionInfo::FileDescription).c_str(),
                      static_cast<unsigned>(HIWORD(info.fileVersionMS)), static_cast<unsigned>(LOWORD(info.fileVersionMS)),
                      static_cast<unsigned>(HIWORD(info.fileVersionLS)), static_cast<unsigned>(LOWORD(info.fileVersionLS)));
}

std::wstring BuildProductTitle(const CFileVersionInfo& info)
{
    return FormatText(IDS_APP_TITLE, info.Get(CFileVersionInfo::ProductName).c_str(),
                      static_cast<unsigned>(HIWORD(info.productVersionMS)),
                      static_cast<unsigned>(LOWORD(info.productVersionMS)),
                      static_cast<unsigned>(HIWORD(info.productVersionLS)),
                      static_cast<unsigned>(LOWORD(info.productVersionLS)));
}

const std::wstring& GetProductTitle()
{
    static const std::wstring title = [] {
        CFileVersionInfo info;
        return info.ReadOwnVersionInfo() ? BuildProductTitle(info) : std::wstring();
    }();
    return title;
}

const std::wstring& GetAppTitle()
{
    static const std::wstring title = [] {
        CFileVersionInfo info;
        return info.ReadOwnVersionInfo() ? BuildAppTitle(info) : std::wstring();
    }();
    return title;
}
