// What the system says about itself and about the program's own file.
#pragma once

#include <string>

#include "platform/win_types.h"

namespace OsInfo {

struct OsVersion {
    DWORD major = 0, minor = 0, build = 0;
    bool isWorkstation = true;
    std::wstring kernelName;  // off Windows: uname's system name and release ("Linux 6.1.0")
};
OsVersion QueryOsVersion();

// Full path of the running program.
std::wstring ModulePath();

}  // namespace OsInfo
