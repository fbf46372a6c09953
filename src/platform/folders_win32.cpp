#include "platform/folders.h"

#include <windows.h>
#include <shlobj.h>

namespace Folders {

namespace {

std::wstring ShellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
        return std::wstring();
    return path;
}

}  // namespace

std::wstring AppData()
{
    return ShellFolder(CSIDL_APPDATA);
}

std::wstring Documents()
{
    return ShellFolder(CSIDL_PERSONAL);
}

wchar_t Separator()
{
    return L'\\';
}

bool CreateFolder(const std::wstring& path)
{
    if (CreateDirectoryW(path.c_str(), nullptr))
        return true;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS && FolderExists(path))
        return true;
    SetLastError(error);
    return false;
}

bool FolderExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace Folders
