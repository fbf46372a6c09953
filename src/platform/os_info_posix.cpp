#include "platform/os_info.h"

#include <cstdlib>
#include <sys/utsname.h>
#include <unistd.h>

#include <string>

#include "platform/code_pages.h"

namespace OsInfo {

OsVersion QueryOsVersion()
{
    OsVersion version;
    struct utsname names;
    if (::uname(&names) != 0)
        return version;
    // "6.1.0-18-amd64": major, minor and the third number as the build.
    const char* p = names.release;
    DWORD* fields[] = {&version.major, &version.minor, &version.build};
    for (DWORD* field : fields) {
        char* end = nullptr;
        unsigned long value = std::strtoul(p, &end, 10);
        if (end == p)
            break;
        *field = DWORD(value);
        p = *end == '.' ? end + 1 : end;
        if (end[0] != '.')
            break;
    }
    version.kernelName = CodePages::FromUtf8(std::string(names.sysname) + " " + names.release);
    return version;
}

std::wstring ModulePath()
{
    std::string buffer(256, '\0');
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", &buffer[0], buffer.size());
        if (n < 0)
            return std::wstring();
        if (size_t(n) < buffer.size()) {
            buffer.resize(size_t(n));
            return CodePages::FromUtf8(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace OsInfo
