#include "platform/os_info.h"

#include <windows.h>

namespace OsInfo {

OsVersion QueryOsVersion()
{
    OsVersion version;
    // GetVersionEx reports what the manifest claims to support, not what runs; the
    // kernel's own RtlGetVersion tells the truth.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto rtlGetVersion =
        ntdll != nullptr ? reinterpret_cast<RtlGetVersionFn>(
                               reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                         : nullptr;
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (rtlGetVersion != nullptr && rtlGetVersion(&info) == 0) {
        version.major = info.dwMajorVersion;
        version.minor = info.dwMinorVersion;
        version.build = info.dwBuildNumber;
        version.isWorkstation = info.wProductType == VER_NT_WORKSTATION;
    }
    return version;
}

std::wstring ModulePath()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, &buffer[0], DWORD(buffer.size()));
        if (n == 0)
            return std::wstring();
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace OsInfo
