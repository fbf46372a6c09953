#include "process_usage.h"

#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace ProcessUsage {

double SelfCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

ChildIo ReadChildIo(pid_t pid) {
    ChildIo io;
    std::ifstream file("/proc/" + std::to_string(pid) + "/io");
    std::string key;
    uint64_t value = 0;
    bool read = false, written = false;
    while (file >> key >> value) {
        if (key == "rchar:") io.bytesRead = value, read = true;
        if (key == "wchar:") io.bytesWritten = value, written = true;
    }
    io.known = read && written;
    return io;
}

double ChildCpuSeconds(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(file, line)) return -1;
    // The command name (field 2) may hold spaces; the fields after its ")" are plain.
    const size_t close = line.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(line.substr(close + 2));
    std::string field;
    unsigned long utime = 0, stime = 0;
    for (int number = 3; fields >> field; ++number) {
        if (number == 14) utime = std::stoul(field);
        if (number == 15) {
            stime = std::stoul(field);
            return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
        }
    }
    return -1;
}

}  // namespace ProcessUsage
