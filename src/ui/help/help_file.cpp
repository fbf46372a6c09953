#include "ui/help/help_file.h"

#include "platform/os_info.h"

namespace {
std::wstring& TestHelpFile()
{
    static std::wstring path;
    return path;
}
}  // namespace

std::wstring HelpFilePath()
{
    if (!TestHelpFile().empty())
        return TestHelpFile();
    std::wstring path = OsInfo::ModulePath();
    const size_t slash = path.find_last_of(L"\\/");
    const size_t dot = path.find_last_of(L'.');
    if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash))
        path.erase(dot);
    return path + L".chm";
}

void SetHelpFileForTesting(const std::wstring& path) { TestHelpFile() = path; }

std::wstring BuildHelpReference(const std::wstring& file, const wchar_t* topic)
{
    std::wstring reference = file;
    if (topic != nullptr && *topic != L'\0') {
        reference += L"::/";
        reference += topic;
    }
    return reference + L">$global_main";
}
