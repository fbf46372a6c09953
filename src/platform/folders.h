// Folders of the user and path joining with the platform's separator.
#pragma once

#include <string>

#include "platform/win_types.h"

namespace Folders {

// The per-user application-data folder (CSIDL_APPDATA; off Windows $XDG_DATA_HOME or
// ~/.local/share). Empty when it cannot be found.
std::wstring AppData();
// The documents folder (CSIDL_PERSONAL; off Windows $XDG_DOCUMENTS_DIR or ~/Documents).
std::wstring Documents();

wchar_t Separator();  // L'\\' on Windows, L'/' elsewhere
// Joins with one separator; trailing separators of the folder are removed first. An
// empty folder gives the name alone.
std::wstring Join(const std::wstring& folder, const std::wstring& name);
// A root ("/", or "C:" with its separator) stays as it is.
std::wstring StripTrailingSeparators(const std::wstring& path);

// CreateDirectoryW: true when created or already there as a folder; else last error set.
bool CreateFolder(const std::wstring& path);
// Creates the folder and every missing folder above it; same result rules.
bool CreateFolderTree(const std::wstring& path);
bool FolderExists(const std::wstring& path);
bool FileExists(const std::wstring& path);

}  // namespace Folders
