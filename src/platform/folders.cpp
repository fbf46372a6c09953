// Path handling both platforms share.
#include "platform/folders.h"

namespace Folders {

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'/' || (Separator() == L'\\' && c == L'\\');
}

// Length of the part of the path that is a root and keeps its separator.
size_t RootLength(const std::wstring& path)
{
    if (Separator() == L'\\') {
        if (path.size() >= 3 && path[1] == L':' && IsSeparator(path[2]))
            return 3;  // C:\ .
    }
    return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

}  // namespace

std::wstring StripTrailingSeparators(const std::wstring& path)
{
    const size_t root = RootLength(path);
    size_t end = path.size();
    while (end > root && IsSeparator(path[end - 1]))
        --end;
    return path.substr(0, end);
}

std::wstring Join(const std::wstring& folder, const std::wstring& name)
{
    if (folder.empty())
        return name;
    std::wstring joined = StripTrailingSeparators(folder);
    if (joined.empty() || !IsSeparator(joined.back()))
        joined += Separator();
    return joined + name;
}

bool CreateFolderTree(const std::wstring& path)
{
    const std::wstring folder = StripTrailingSeparators(path);
    if (folder.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    if (FolderExists(folder))
        return true;
    size_t cut = folder.size();
    while (cut > 0 && !IsSeparator(folder[cut - 1]))
        --cut;
    if (cut > RootLength(folder)) {
        if (!CreateFolderTree(folder.substr(0, cut - 1)))
            return false;
    }
    return CreateFolder(folder);
}

}  // namespace Folders
