// The serial device map, read with the Port page's rules (platform/serial_comm_ports.h),
// in natural order.
#include <algorithm>

#include "cli/port_list.h"

std::vector<CPortEntry> ListSerialPorts() {
    std::vector<CPortEntry> ports;
    for (std::wstring& name : EnumerateSerialPorts()) ports.push_back({std::move(name), std::wstring()});
    std::sort(ports.begin(), ports.end(), [](const CPortEntry& a, const CPortEntry& b) { return NaturalLess(a.name, b.name); });
    return ports;
}

std::vector<CPortEntry> ListSerialPortsUnder(const std::string&) { return ListSerialPorts(); }
