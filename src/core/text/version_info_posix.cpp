#include "core/text/version_info.h"

#include "core/text/version_fields.h"

bool CFileVersionInfo::ReadVersionInfo(const std::wstring& path)
{
    // Executables here carry no version resource.
    Clear();
    SetLastError(1813);  // ERROR_RESOURCE_TYPE_NOT_FOUND
    return false;
}

bool CFileVersionInfo::ReadOwnVersionInfo()
{
    Clear();
    fileVersionMS = productVersionMS = MAKELONG(ZR8_VERSION_MINOR, ZR8_VERSION_MAJOR);
    fileVersionLS = productVersionLS = MAKELONG(ZR8_VERSION_BUILD, ZR8_VERSION_PATCH);
    m_strings[CompanyName] = ZR8_COMPANY_NAME;
    m_strings[FileDescription] = ZR8_FILE_DESCRIPTION;
    m_strings[FileVersion] = ZR8_FILE_VERSION;
    m_strings[InternalName] = ZR8_INTERNAL_NAME;
    m_strings[LegalCopyright] = ZR8_LEGAL_COPYRIGHT;
    m_strings[OriginalFileName] = ZR8_ORIGINAL_FILENAME;
    m_strings[ProductName] = ZR8_PRODUCT_NAME;
    m_strings[ProductVersion] = ZR8_PRODUCT_VERSION;
    return true;
}
