// The Linux half of port_identity.h, with the roots given (tests and the doctor's checks).
#pragma once

#include <filesystem>
#include <string>

#include "cli/port_identity.h"
#include "cli/system_roots.h"

CPortIdentity IdentifyPortUnder(const CSystemRoots& roots, const std::wstring& port);
// The identity of the tty the kernel calls NAME ("ttyUSB0"); empty when it is no USB port.
CPortIdentity IdentifyTty(const CSystemRoots& roots, const std::string& tty);
// The kernel's name of the tty a port path leads to ("ttyUSB0" for a by-id name); empty
// when the path leads elsewhere than a device right in the /dev root.
std::string KernelTtyName(const CSystemRoots& roots, const std::wstring& port);
// idVendor, idProduct, manufacturer, product and serial of a USB device folder.
void ReadUsbDevice(const std::filesystem::path& usbDevice, CPortIdentity& identity);
