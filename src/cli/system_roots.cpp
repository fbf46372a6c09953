#include "cli/system_roots.h"

#include <cstdlib>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {
fs::path FromEnvironment(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return (value && *value) ? fs::path(value) : fs::path(fallback);
}
}  // namespace

CSystemRoots SystemRoots() {
    CSystemRoots roots;
    roots.sys = FromEnvironment("ZR8_SYSFS_ROOT", "/sys");
    roots.dev = FromEnvironment("ZR8_DEV_ROOT", "/dev");
    roots.proc = FromEnvironment("ZR8_PROC_ROOT", "/proc");
    roots.run = FromEnvironment("ZR8_RUN_ROOT", "/run");
    return roots;
}

bool ReadSmallFile(const fs::path& path, std::string& text) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    char buffer[4096];
    file.read(buffer, sizeof buffer);
    if (file.bad()) return false;
    text.assign(buffer, static_cast<size_t>(file.gcount()));
    return true;
}

std::string LinkName(const fs::path& link) {
    std::error_code ec;
    const fs::path target = fs::read_symlink(link, ec);
    return ec ? std::string() : target.filename().string();
}
