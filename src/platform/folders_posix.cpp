#include "platform/folders.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/code_pages.h"
#include "platform/errno_codes.h"

namespace Folders {

namespace {

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/')
        return home;
    struct passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

// An XDG folder variable counts only when it is an absolute path.
std::string XdgVariable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? value : "";
}

// The documents folder as the desktop names it in ~/.config/user-dirs.dirs:
// XDG_DOCUMENTS_DIR="$HOME/Documents".
std::string UserDirsDocuments(const std::string& home)
{
    std::string config = XdgVariable("XDG_CONFIG_HOME");
    if (config.empty())
        config = home + "/.config";
    std::ifstream file(config + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=\"";
    while (std::getline(file, line)) {
        if (line.compare(0, key.size(), key) != 0 || line.back() != '"')
            continue;
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.compare(0, 5, "$HOME") == 0)
            value = home + value.substr(5);
        if (!value.empty() && value[0] == '/')
            return value;
    }
    return "";
}

bool StatPath(const std::wstring& path, struct stat& info)
{
    return ::stat(CodePages::ToNativePath(path).c_str(), &info) == 0;
}

}  // namespace

std::wstring AppData()
{
    std::string folder = XdgVariable("XDG_DATA_HOME");
    if (folder.empty()) {
        const std::string home = HomeFolder();
        if (home.empty())
            return std::wstring();
        folder = home + "/.local/share";
    }
    return CodePages::FromUtf8(folder);
}

std::wstring Documents()
{
    std::string folder = XdgVariable("XDG_DOCUMENTS_DIR");
    if (folder.empty()) {
        const std::string home = HomeFolder();
        if (home.empty())
            return std::wstring();
        folder = UserDirsDocuments(home);
        if (folder.empty())
            folder = home + "/Documents";
    }
    return CodePages::FromUtf8(folder);
}

wchar_t Separator()
{
    return L'/';
}

bool CreateFolder(const std::wstring& path)
{
    if (::mkdir(CodePages::ToNativePath(path).c_str(), 0777) == 0)
        return true;
    const int error = errno;
    if (error == EEXIST) {
        if (FolderExists(path))
            return true;
        SetLastError(ERROR_ALREADY_EXISTS);
        return false;
    }
    // As CreateDirectoryW: a missing parent is "path not found".
    SetLastError(error == ENOENT || error == ENOTDIR ? ERROR_PATH_NOT_FOUND : WinErrorFromErrno(error));
    return false;
}

bool FolderExists(const std::wstring& path)
{
    struct stat info;
    return StatPath(path, info) && S_ISDIR(info.st_mode);
}

bool FileExists(const std::wstring& path)
{
    struct stat info;
    return StatPath(path, info) && !S_ISDIR(info.st_mode);
}

}  // namespace Folders
