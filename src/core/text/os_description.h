// One line that names the operating system, for the activity log and the configuration file.
#pragma once

#include <string>

#include "platform/os_info.h"

// The Windows release for a major.minor version ("Windows 10", "Windows Server 2016"),
// or null when the table has no row.
const wchar_t* WindowsReleaseName(DWORD major, DWORD minor, bool workstation);

// String 10106 ("OS Version %u.%u Build %u ") with the version, then the release name:
// on Windows from the release table (nothing when no row matches), elsewhere the kernel's
// name and release.
std::wstring DescribeOs(const OsInfo::OsVersion& version);

// DescribeOs of the running system.
std::wstring GetOsDescription();
