// What a serial port is, beyond its name: for a USB serial adapter its vendor and product
// ids, the maker and chip they stand for, the device's own strings, its serial number,
// its driver, its stable /dev/serial/by-id name and its latency timer. Linux reads sysfs
// (port_identity_sysfs.cpp), Windows SetupAPI and the driver's registry values
// (port_identity_win32.cpp). Whatever cannot be read stays empty.
#pragma once

#include <string>

struct CPortIdentity {
    std::wstring vendorId, productId;   // "0403", "6001": four lower-case hexadecimal digits
    std::wstring maker, chip;           // from the table of known adapters ("FTDI", "FT232R")
    std::wstring manufacturer, product; // the device's own strings
    std::wstring serialNumber;
    std::wstring driver;                // "ftdi_sio", "cp210x", "cdc_acm", ...
    std::wstring byId;                  // the /dev/serial/by-id name that points to the port
    std::wstring usbDevice;             // the kernel's name of the USB device ("1-2")
    std::wstring tty;                   // the kernel's name of the port ("ttyUSB0")
    int latencyMs = -1;                 // the adapter's latency timer; -1: not exposed
    std::wstring friendlyName;          // Windows: "USB Serial Port (COM5)"
    std::wstring hardwareId;            // Windows: "FTDIBUS\VID_0403+PID_6001+A10KA\0000"

    bool IsUsb() const { return !usbDevice.empty() || !vendorId.empty(); }
    bool Known() const { return IsUsb() || !friendlyName.empty() || !hardwareId.empty(); }
};

// The identity of the port as the user names it (a device, a by-id name, a COM name).
CPortIdentity IdentifyPort(const std::wstring& port);

// Fills maker and chip from the ids, else from the driver (the table of known adapters).
void NameAdapter(CPortIdentity& identity);
// The kernel module that drives a known adapter ("ch341" for a CH340); empty when unknown.
std::wstring AdapterDriverFor(const std::wstring& vendorId, const std::wstring& productId);
// True for the ids of an adapter the table knows as a USB serial chip.
bool IsKnownSerialAdapter(const std::wstring& vendorId, const std::wstring& productId);

// "0403" from text read from a device: four hexadecimal digits, else empty.
std::wstring UsbIdText(const std::string& raw);
// A string the device reports, as it may be shown: one line, printable, at most 126 characters.
std::wstring DeviceString(const std::string& raw);
