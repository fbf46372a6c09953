// A port's USB identity from sysfs, as the kernel lays it out: /sys/class/tty/NAME, its
// `device` (the usb-serial port, which holds latency_timer, or the interface itself for
// CDC-ACM), the interface with its `driver` link, and above it the USB device with
// idVendor, idProduct, manufacturer, product and serial.
#include <cctype>
#include <system_error>

#include "cli/port_identity.h"
#include "cli/port_identity_sysfs.h"
#include "platform/code_pages.h"

namespace fs = std::filesystem;

namespace {

bool Exists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

fs::path Canonical(const fs::path& path) {
    std::error_code ec;
    const fs::path real = fs::canonical(path, ec);
    return ec ? path.lexically_normal() : real;
}

std::wstring ReadString(const fs::path& path) {
    std::string text;
    return ReadSmallFile(path, text) ? DeviceString(text) : std::wstring();
}

// "16\n": the timer in milliseconds (the chip takes 0 to 255); anything else is unknown.
int ParseLatency(const std::string& raw) {
    std::string text = raw;
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    if (text.empty() || text.size() > 3) return -1;
    int value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
        value = value * 10 + (c - '0');
    }
    return value <= 255 ? value : -1;
}

bool Inside(const fs::path& path, const fs::path& root) {
    const std::string p = path.string(), r = root.string();
    return p.size() > r.size() && p.compare(0, r.size(), r) == 0 && p[r.size()] == '/';
}

}  // namespace

void ReadUsbDevice(const fs::path& usbDevice, CPortIdentity& identity) {
    std::string text;
    if (ReadSmallFile(usbDevice / "idVendor", text)) identity.vendorId = UsbIdText(text);
    if (ReadSmallFile(usbDevice / "idProduct", text)) identity.productId = UsbIdText(text);
    identity.manufacturer = ReadString(usbDevice / "manufacturer");
    identity.product = ReadString(usbDevice / "product");
    identity.serialNumber = ReadString(usbDevice / "serial");
    identity.usbDevice = CodePages::FromUtf8(usbDevice.filename().string());
}

CPortIdentity IdentifyTty(const CSystemRoots& roots, const std::string& tty) {
    CPortIdentity identity;
    const fs::path sys = Canonical(roots.sys);
    const fs::path classEntry = roots.sys / "class" / "tty" / tty;
    if (tty.empty() || !Exists(classEntry)) return identity;
    identity.tty = CodePages::FromUtf8(tty);
    const fs::path device = Canonical(classEntry / "device");
    std::string driver;
    for (fs::path dir = device; Inside(dir, sys); dir = dir.parent_path()) {
        std::string text;
        if (identity.latencyMs < 0 && ReadSmallFile(dir / "latency_timer", text)) identity.latencyMs = ParseLatency(text);
        if (driver.empty() && Exists(dir / "bInterfaceClass")) driver = LinkName(dir / "driver");
        if (Exists(dir / "idVendor")) {
            ReadUsbDevice(dir, identity);
            break;
        }
    }
    if (!identity.IsUsb()) return CPortIdentity{};  // a built-in port, a console, ...
    if (driver.empty()) driver = LinkName(device / "driver");
    identity.driver = CodePages::FromUtf8(driver);

    const fs::path port = Canonical(roots.dev / tty);
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(roots.dev / "serial" / "by-id", ec))
        if (Canonical(entry.path()) == port) {
            identity.byId = CodePages::FromUtf8(entry.path().string());
            break;
        }
    NameAdapter(identity);
    return identity;
}

std::string KernelTtyName(const CSystemRoots& roots, const std::wstring& port) {
    const fs::path real = Canonical(fs::path(CodePages::ToNativePath(port)));
    // Only a device right in /dev is a tty of its own name: /dev/pts/3 is a pseudo-terminal.
    if (real.parent_path() != Canonical(roots.dev)) return std::string();
    return real.filename().string();
}

CPortIdentity IdentifyPortUnder(const CSystemRoots& roots, const std::wstring& port) {
    return IdentifyTty(roots, KernelTtyName(roots, port));
}

CPortIdentity IdentifyPort(const std::wstring& port) { return IdentifyPortUnder(SystemRoots(), port); }
