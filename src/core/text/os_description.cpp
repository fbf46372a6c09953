#include "core/text/os_description.h"

#include "core/text/string_ids.h"
#include "core/text/text_ref.h"

namespace {

struct ReleaseRow {
    DWORD major, minor;
    const wchar_t* workstation;
    const wchar_t* server;
};

const ReleaseRow kReleases[] = {
    {5, 0, L"Windows 2000", L"Windows 2000"},
    {5, 1, L"Windows XP", L"Windows XP"},
    {5, 2, L"Windows XP 64-Bit Edition", L"Windows Server 2003"},
    {6, 0, L"Windows Vista", L"Windows Server 2008"},
    {6, 1, L"Windows 7", L"Windows Server 2008 R2"},
    {6, 2, L"Windows 8", L"Windows Server 2012"},
    {6, 3, L"Windows 8.1", L"Windows Server 2012 R2"},
    {10, 0, L"Windows 10", L"Windows Server 2016"},
};

}  // namespace

const wchar_t* WindowsReleaseName(DWORD major, DWORD minor, bool workstation)
{
    for (const ReleaseRow& row : kReleases) {
        if (row.major == major && row.minor == minor)
            return workstation ? row.workstation : row.server;
    }
    return nullptr;
}

std::wstring DescribeOs(const OsInfo::OsVersion& version)
{
    std::wstring text = FormatText(IDS_OS_VERSION, static_cast<unsigned>(version.major),
                                   static_cast<unsigned>(version.minor), static_cast<unsigned>(version.build));
#ifdef _WIN32
    if (const wchar_t* release = WindowsReleaseName(version.major, version.minor, version.isWorkstation))
        text += release;
#else
    text += version.kernelName;
#endif
    return text;
}

std::wstring GetOsDescription()
{
    return DescribeOs(OsInfo::QueryOsVersion());
}
