#include "platform/file_moves.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

#include "platform/code_pages.h"
#include "platform/errno_codes.h"

namespace FileMoves {

DWORD MoveReplacing(const std::wstring& from, const std::wstring& to)
{
    if (std::rename(CodePages::ToNativePath(from).c_str(), CodePages::ToNativePath(to).c_str()) == 0)
        return 0;
    return WinErrorFromErrno(errno);
}

DWORD RemoveIfPresent(const std::wstring& path)
{
    if (::unlink(CodePages::ToNativePath(path).c_str()) == 0 || errno == ENOENT)
        return 0;
    return WinErrorFromErrno(errno);
}

}  // namespace FileMoves
