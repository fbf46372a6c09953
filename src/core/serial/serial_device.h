// The device interface under CSerialPort for links that are not an OS serial port:
// the in-process simulated radio plugs in here. All calls run on the user-interface
// thread; reads never block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/win_types.h"

class ISerialDevice {
public:
    virtual ~ISerialDevice() = default;
    // Called once after opening: the device calls it (on the loop thread) whenever
    // bytes have arrived that the port has not yet read.
    virtual void SetBytesWaitingCallback(std::function<void()> callback) = 0;
    virtual DWORD SetBaudRate(DWORD rate) = 0;  // Windows error code, 0 success
    virtual DWORD Write(const uint8_t* data, size_t length, size_t& written) = 0;
    virtual DWORD Read(uint8_t* buffer, size_t length, size_t& count) = 0;  // count may be 0
    virtual DWORD PurgeReceive() = 0;
    virtual size_t BytesWaiting() const = 0;
};

// Named in-process devices: a port opened under this name (compared without regard to
// case) uses the device the factory makes instead of an OS port. The programs register
// "SIM" when started with --simulate / --port sim; tests register their own.
using SerialDeviceFactory = std::function<std::unique_ptr<ISerialDevice>()>;
void RegisterSerialDevice(const std::wstring& name, SerialDeviceFactory factory);
void UnregisterSerialDevice(const std::wstring& name);
std::unique_ptr<ISerialDevice> CreateRegisteredSerialDevice(const std::wstring& name);  // null if none
