#include "platform/folder_listing.h"

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

#include "platform/code_pages.h"

namespace {

DWORD FolderErrorFromErrno(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM: return ERROR_ACCESS_DENIED;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_GEN_FAILURE;
    }
}

struct DirCloser {
    DIR* dir;
    ~DirCloser() { if (dir) ::closedir(dir); }
};

}  // namespace

DWORD ListFolder(const std::wstring& folder, std::vector<FolderEntry>& entries) {
    entries.clear();
    const std::string native = CodePages::ToNativePath(folder.empty() ? std::wstring(L".") : folder);
    DirCloser holder{::opendir(native.c_str())};
    if (!holder.dir) {
        const DWORD code = FolderErrorFromErrno(errno);
        SetLastError(code);
        return code;
    }
    while (const dirent* entry = ::readdir(holder.dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        FolderEntry item;
        item.name = CodePages::FromUtf8(name);
        if (entry->d_type == DT_DIR) {
            item.isFolder = true;
        } else if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat info {};
            const std::string full = native + "/" + name;
            item.isFolder = ::stat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        }
        entries.push_back(std::move(item));
    }
    SetLastError(0);
    return 0;
}
