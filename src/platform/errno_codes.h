// Off Windows: an errno value as the Windows error code the program shows and tests
// for (ENOENT 2, EACCES/EPERM/EBUSY/EIO 5, EBADF 6, ...). A vanished serial adapter
// reports EIO, which takes the access-denied path as on Windows.
#pragma once

#include "platform/win_types.h"

DWORD WinErrorFromErrno(int error);
