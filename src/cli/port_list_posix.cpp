#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "cli/port_list.h"
#include "cli/system_roots.h"
#include "platform/code_pages.h"

namespace fs = std::filesystem;

namespace {
bool IsAdapterName(const std::string& name) {
    return (name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0) && name.size() > 6;
}
std::wstring Wide(const fs::path& path) { return CodePages::FromUtf8(path.string()); }
}  // namespace

std::vector<CPortEntry> ListSerialPortsUnder(const std::string& devRoot) {
    std::vector<CPortEntry> ports;
    std::set<std::string> covered;
    std::error_code ec;
    const fs::path root(devRoot);

    std::vector<CPortEntry> byId;
    for (const fs::directory_entry& entry : fs::directory_iterator(root / "serial" / "by-id", ec)) {
        std::error_code linkError;
        const fs::path target = fs::canonical(entry.path(), linkError);
        CPortEntry port{Wide(entry.path()), linkError ? std::wstring() : Wide(target)};
        if (!linkError) covered.insert(target.string());
        byId.push_back(port);
    }
    std::sort(byId.begin(), byId.end(), [](const CPortEntry& a, const CPortEntry& b) { return NaturalLess(a.name, b.name); });

    std::vector<CPortEntry> adapters;
    for (const fs::directory_entry& entry : fs::directory_iterator(root, ec)) {
        if (!IsAdapterName(entry.path().filename().string())) continue;
        std::error_code canonicalError;
        const fs::path real = fs::canonical(entry.path(), canonicalError);
        if (covered.count((canonicalError ? entry.path() : real).string())) continue;
        adapters.push_back({Wide(entry.path()), std::wstring()});
    }
    std::sort(adapters.begin(), adapters.end(),
              [](const CPortEntry& a, const CPortEntry& b) { return NaturalLess(a.name, b.name); });

    ports = byId;
    ports.insert(ports.end(), adapters.begin(), adapters.end());
    return ports;
}

std::vector<CPortEntry> ListSerialPorts() { return ListSerialPortsUnder(SystemRoots().dev.string()); }
