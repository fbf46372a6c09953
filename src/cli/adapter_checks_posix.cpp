// The doctor's adapter checks on Linux, from sysfs, /proc and udev's database under /run.
#include <cctype>
#include <sstream>
#include <system_error>

#include "cli/adapter_checks.h"
#include "cli/port_identity_sysfs.h"
#include "cli/port_identity_text.h"
#include "cli/port_list.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "platform/code_pages.h"

namespace fs = std::filesystem;

namespace {

std::string Trimmed(std::string text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    return text;
}

bool ProcessRunning(const CSystemRoots& roots, const std::string& name) {
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(roots.proc, ec)) {
        const std::string pid = entry.path().filename().string();
        if (pid.empty() || !std::isdigit(static_cast<unsigned char>(pid[0]))) continue;
        std::string comm;
        if (ReadSmallFile(entry.path() / "comm", comm) && Trimmed(comm) == name) return true;
    }
    return false;
}

// udev's database entry of the tty ("c188:0") holds the properties its rules set.
bool UdevSaysIgnore(const CSystemRoots& roots, const std::wstring& tty) {
    std::string dev;
    if (!ReadSmallFile(roots.sys / "class" / "tty" / CodePages::ToUtf8(tty) / "dev", dev)) return false;
    std::string data;
    if (!ReadSmallFile(roots.run / "udev" / "data" / ("c" + Trimmed(dev)), data)) return false;
    std::istringstream lines(data);
    std::string line;
    while (std::getline(lines, line)) {
        line = Trimmed(line);
        if (line == "E:ID_MM_DEVICE_IGNORE=1" || line == "E:ID_MM_PORT_IGNORE=1") return true;
    }
    return false;
}

bool HasTty(const fs::path& usbDevice) {
    std::error_code ec;
    for (fs::recursive_directory_iterator it(usbDevice, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name == "tty" || name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0) return true;
        if (it.depth() >= 2) it.disable_recursion_pending();
    }
    return false;
}

// The driver of the device's first interface ("usbfs" when a program has claimed it).
std::string InterfaceDriver(const fs::path& usbDevice) {
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(usbDevice, ec)) {
        std::error_code probe;
        if (entry.path().filename().string().find(':') == std::string::npos ||
            !fs::exists(entry.path() / "bInterfaceClass", probe))
            continue;
        return LinkName(entry.path() / "driver");
    }
    return std::string();
}

bool LooksLikeAdapterPort(const fs::path& path) {
    const std::string name = path.filename().string();
    return name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0 ||
           path.parent_path().filename() == "by-id";
}

}  // namespace

std::vector<CAdapterFinding> MachineFindings() {
    const CSystemRoots roots = SystemRoots();
    std::vector<CAdapterFinding> findings;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(roots.sys / "bus" / "usb" / "devices", ec)) {
        if (entry.path().filename().string().find(':') != std::string::npos) continue;  // an interface
        std::error_code real;
        const fs::path device = fs::canonical(entry.path(), real);
        if (real) continue;
        CPortIdentity identity;
        ReadUsbDevice(device, identity);
        if (!IsKnownSerialAdapter(identity.vendorId, identity.productId) || HasTty(device)) continue;
        NameAdapter(identity);
        const std::wstring title = AdapterTitle(identity), usb = identity.usbDevice;
        const std::string driver = InterfaceDriver(device);
        const std::wstring module = AdapterDriverFor(identity.vendorId, identity.productId);
        if (driver == "usbfs" && (ProcessRunning(roots, "brltty") || module == L"ch341"))
            findings.push_back({L"", FormatText(IDS_CLI_BRLTTY, title.c_str(), usb.c_str()), LoadStringText(IDS_CLI_BRLTTY_FIX)});
        else if (driver == "usbfs")
            findings.push_back({L"", FormatText(IDS_CLI_USBFS_HOLDER, title.c_str(), usb.c_str()), LoadStringText(IDS_CLI_USBFS_FIX)});
        else if (driver.empty())
            findings.push_back({L"", FormatText(IDS_CLI_NO_DRIVER, title.c_str(), usb.c_str()),
                                FormatText(IDS_CLI_NO_DRIVER_FIX, module.c_str())});
    }
    return findings;
}

std::vector<CAdapterFinding> PortFindings(const std::wstring& port, const CPortIdentity& identity) {
    std::vector<CAdapterFinding> findings;
    if (!identity.IsUsb()) return findings;
    CAdapterFinding latency;
    if (LatencyFinding(port, identity, latency)) findings.push_back(latency);
    const CSystemRoots roots = SystemRoots();
    if (ProcessRunning(roots, "ModemManager") && !UdevSaysIgnore(roots, identity.tty))
        findings.push_back({port, FormatText(IDS_CLI_MODEMMANAGER, port.c_str()),
                            FormatText(IDS_CLI_MODEMMANAGER_FIX, identity.vendorId.c_str(), identity.productId.c_str())});
    return findings;
}

std::vector<CAdapterFinding> VanishedPortFindings(const std::wstring& port) {
    std::vector<CAdapterFinding> findings;
    const fs::path path(CodePages::ToNativePath(port));
    std::error_code ec;
    if (fs::exists(path, ec) || !LooksLikeAdapterPort(path)) return findings;
    for (const CPortEntry& entry : ListSerialPorts()) {
        if (!IdentifyPort(entry.name).IsUsb()) continue;
        const std::wstring device = entry.device.empty() ? entry.name : entry.device;
        findings.push_back({port, FormatText(IDS_CLI_PORT_MOVED, port.c_str(), device.c_str()),
                            FormatText(IDS_CLI_PORT_MOVED_FIX, entry.name.c_str())});
        break;
    }
    return findings;
}

std::wstring LatencyFix(const std::wstring&, const CPortIdentity& identity) {
    return FormatText(IDS_CLI_LATENCY_FIX_LINUX, identity.tty.c_str());
}
