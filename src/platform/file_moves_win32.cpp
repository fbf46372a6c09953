#include "platform/file_moves.h"

namespace FileMoves {

DWORD MoveReplacing(const std::wstring& from, const std::wstring& to)
{
    if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING))
        return 0;
    return ::GetLastError();
}

DWORD RemoveIfPresent(const std::wstring& path)
{
    if (::DeleteFileW(path.c_str()))
        return 0;
    const DWORD error = ::GetLastError();
    return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? 0 : error;
}

}  // namespace FileMoves
