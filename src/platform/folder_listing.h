// The entries of one folder, in the order the file system returns them ("*.*" on
// Windows, readdir elsewhere), without "." and "..".
#pragma once

#include <string>
#include <vector>

#include "platform/win_types.h"

struct FolderEntry {
    std::wstring name;
    bool isFolder = false;
};

// 0 on success, else a Windows error code, also left as the last error (3 for a folder
// that does not exist).
DWORD ListFolder(const std::wstring& folder, std::vector<FolderEntry>& entries);
