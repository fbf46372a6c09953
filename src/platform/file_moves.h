// Moving and removing single files, for files that arrive under a temporary name and
// take their real name only once they are complete.
#pragma once

#include <string>

#include "platform/win_types.h"

namespace FileMoves {

// Renames the file, replacing a file of the target name (same folder: one step on the
// file system). Windows error code: 0 on success.
DWORD MoveReplacing(const std::wstring& from, const std::wstring& to);
// Removes the file; 0 also when there was none.
DWORD RemoveIfPresent(const std::wstring& path);

}  // namespace FileMoves
