// What a process has used so far: CPU time of this process (getrusage) and, for a child
// such as zr8sim, its CPU time and the bytes it has read and written (/proc/PID/io), which
// for zr8sim are the bytes that crossed its end of the pseudo-terminal.
#pragma once

#include <cstdint>
#include <sys/types.h>

namespace ProcessUsage {

double SelfCpuSeconds();  // user + system

struct ChildIo {
    bool known = false;
    uint64_t bytesRead = 0;     // rchar
    uint64_t bytesWritten = 0;  // wchar
};
ChildIo ReadChildIo(pid_t pid);
double ChildCpuSeconds(pid_t pid);  // user + system from /proc/PID/stat; negative when unknown

}  // namespace ProcessUsage
