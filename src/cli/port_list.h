// The serial ports of this computer, for "zr8 ports".
#pragma once

#include <string>
#include <vector>

#include "platform/serial_comm_ports.h"  // the Windows device map's rules
#include "platform/win_types.h"

struct CPortEntry {
    std::wstring name;    // what --port takes
    std::wstring device;  // the device a /dev/serial/by-id name points to; else empty
};

// Linux: /dev/serial/by-id names with their devices, then the ttyUSB and ttyACM devices
// that no by-id name covers (under ZR8_DEV_ROOT when it is set). Windows: the serial device map of the registry.
std::vector<CPortEntry> ListSerialPorts();

// The same Linux listing under another root in place of /dev (tests).
std::vector<CPortEntry> ListSerialPortsUnder(const std::string& devRoot);

// Names in the order people expect: digits compare as numbers (COM2 before COM10).
bool NaturalLess(const std::wstring& a, const std::wstring& b);
