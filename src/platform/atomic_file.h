// Whole-file reads and replace-by-rename writes. A write goes to a temporary file in
// the same folder, is flushed to the disk and then renamed over the target, so the
// target holds either the old or the new contents, never a part.
#pragma once

#include <string>

#include "platform/win_types.h"

namespace AtomicFile {

// Windows error code: 0, ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED...
DWORD ReadAll(const std::wstring& path, std::string& bytes);
// The folder must exist. On failure the target is untouched and no temporary is left.
DWORD WriteAll(const std::wstring& path, const std::string& bytes);

// Tests only: called with the temporary's path once it is complete and on the disk, just
// before it replaces the target. A test that ends the process here sees what a crash
// between the write and the rename leaves behind. Null (the default) calls nothing.
using BeforeReplaceHook = void (*)(const std::wstring& temporaryPath);
void SetBeforeReplaceHook(BeforeReplaceHook hook);

}  // namespace AtomicFile
