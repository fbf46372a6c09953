#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "cli/port_diagnosis.h"
#include "core/text/string_table.h"
#include "platform/code_pages.h"

namespace {
std::string Native(const std::wstring& path) { return CodePages::ToNativePath(path); }

std::wstring ProcessName(int pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return CodePages::FromUtf8(name);
}

// /proc/locks: "1: FLOCK  ADVISORY  WRITE 4242 00:19:5 0 EOF" (major:minor:inode in hex).
int LockHolder(const struct stat& device) {
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream words(line);
        std::string number, kind, mode, access, pidText, id;
        if (!(words >> number >> kind)) continue;
        if (kind == "->") words >> kind;  // a waiter's line
        if (!(words >> mode >> access >> pidText >> id)) continue;
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(id.c_str(), "%x:%x:%llu", &major, &minor, &inode) != 3) continue;
        if (inode != device.st_ino || major != ::major(device.st_dev) || minor != ::minor(device.st_dev)) continue;
        const int pid = std::atoi(pidText.c_str());
        if (pid > 0 && pid != getpid()) return pid;
    }
    return 0;
}

bool HoldsOpen(int pid, const struct stat& device) {
    const std::string folder = "/proc/" + std::to_string(pid) + "/fd";
    DIR* fds = opendir(folder.c_str());
    if (!fds) return false;
    bool found = false;
    while (dirent* entry = readdir(fds)) {
        if (entry->d_name[0] == '.') continue;
        struct stat target {};
        if (stat((folder + "/" + entry->d_name).c_str(), &target) == 0 && S_ISCHR(target.st_mode) &&
            target.st_rdev == device.st_rdev) {
            found = true;
            break;
        }
    }
    closedir(fds);
    return found;
}
}  // namespace

std::vector<CPortHolder> FindPortHolders(const std::wstring& devicePath) {
    std::vector<CPortHolder> holders;
    struct stat device {};
    if (stat(Native(devicePath).c_str(), &device) != 0) return holders;
    if (const int pid = LockHolder(device)) {
        holders.push_back({pid, ProcessName(pid)});
        return holders;
    }
    if (!S_ISCHR(device.st_mode)) return holders;
    DIR* proc = opendir("/proc");
    if (!proc) return holders;
    while (dirent* entry = readdir(proc)) {
        const int pid = std::atoi(entry->d_name);
        if (pid <= 0 || pid == getpid()) continue;
        if (HoldsOpen(pid, device)) holders.push_back({pid, ProcessName(pid)});
    }
    closedir(proc);
    std::sort(holders.begin(), holders.end(), [](const CPortHolder& a, const CPortHolder& b) { return a.pid < b.pid; });
    return holders;
}

std::wstring DeviceGroupName(const std::wstring& devicePath) {
    struct stat device {};
    if (stat(Native(devicePath).c_str(), &device) != 0) return std::wstring();
    const group* entry = getgrgid(device.st_gid);
    return entry ? CodePages::FromUtf8(entry->gr_name) : std::to_wstring(device.st_gid);
}

std::wstring CurrentUserName() {
    const passwd* entry = getpwuid(geteuid());
    return entry ? CodePages::FromUtf8(entry->pw_name) : std::wstring();
}

bool MayUseDevice(const std::wstring& devicePath) { return access(Native(devicePath).c_str(), R_OK | W_OK) == 0; }

std::wstring NotSerialPortKind(const std::wstring& devicePath) {
    struct stat info {};
    if (::stat(Native(devicePath).c_str(), &info) != 0) return std::wstring();
    if (S_ISREG(info.st_mode)) return LoadStringText(IDS_CLI_NOT_SERIAL_FILE);
    if (S_ISDIR(info.st_mode)) return LoadStringText(IDS_CLI_NOT_SERIAL_FOLDER);
    if (!S_ISCHR(info.st_mode)) return std::wstring();
    const int fd = ::open(Native(devicePath).c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::wstring();  // held or forbidden: the open's own advice says so
    const bool terminal = ::isatty(fd) != 0;
    ::close(fd);
    return terminal ? std::wstring() : LoadStringText(IDS_CLI_NOT_SERIAL_DEVICE);
}
