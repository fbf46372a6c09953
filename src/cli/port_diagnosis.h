// What the system can tell about a serial device that would not open: which other
// processes hold it, and which group may use it. Linux reads /proc; elsewhere there is
// nothing to read and the answers are empty.
#pragma once

#include <string>
#include <vector>

struct CPortHolder {
    int pid = 0;
    std::wstring name;  // the program's name (/proc/PID/comm)
};

// The processes other than this one that hold the device: first the holder of its lock,
// and when nobody has locked it, every process with the device open.
std::vector<CPortHolder> FindPortHolders(const std::wstring& devicePath);

// The name of the group that owns the device ("dialout"); empty when unknown.
std::wstring DeviceGroupName(const std::wstring& devicePath);

// The user this process runs as ("alice"); empty when unknown.
std::wstring CurrentUserName();

// Whether this process may read and write the device (false also when it does not exist).
bool MayUseDevice(const std::wstring& devicePath);

// What stands at the path when it is there but is no serial port: "a file", "a folder",
// "a device that is no terminal" (/dev/null); empty for a terminal, a missing path, and
// where the system cannot tell.
std::wstring NotSerialPortKind(const std::wstring& devicePath);
