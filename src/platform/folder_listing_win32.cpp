#include "platform/folder_listing.h"

#include "platform/folders.h"

DWORD ListFolder(const std::wstring& folder, std::vector<FolderEntry>& entries) {
    entries.clear();
    const std::wstring pattern = Folders::Join(folder.empty() ? std::wstring(L".") : folder, L"*.*");
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileW(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        // An existing but empty folder still returns "." and ".."; "no files" means the
        // folder itself is unusable.
        const DWORD result = code == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : code;
        ::SetLastError(result);
        return result;
    }
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        FolderEntry item;
        item.name = name;
        item.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entries.push_back(std::move(item));
    } while (::FindNextFileW(find, &data));
    const DWORD code = ::GetLastError();
    ::FindClose(find);
    if (code != ERROR_NO_MORE_FILES) {
        ::SetLastError(code);
        return code;
    }
    ::SetLastError(0);
    return 0;
}
