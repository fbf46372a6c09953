// The serial ports the Port page offers: the system's device map of serial ports
// (HKEY_LOCAL_MACHINE "HARDWARE\DEVICEMAP\SERIALCOMM"), read with the page's rules.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/serial_comm_ports.h"

// The device map's ports and the extra names (the simulated radio's "SIM"), ordered as
// the page's sorted list shows them: without regard to letter case.
std::vector<std::wstring> ListSerialPorts(const std::vector<std::wstring>& extraPorts,
                                          HKEY root = HKEY_LOCAL_MACHINE, const wchar_t* subkey = kSerialCommKey);
