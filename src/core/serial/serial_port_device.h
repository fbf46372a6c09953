// What CSerialPort asks of the device under it. The calls follow the Win32 ones
// CSerialPort was first written against, one for one, so that Open, Close and
// ReportError are the same for every device and only these calls differ: the Win32
// port (serial_port_win32.cpp), the POSIX terminal (serial_port_posix.cpp), a
// registered in-process device (serial_port_in_process.cpp) and a port at a server on
// the network (serial_port_network.cpp).
// Every call runs on the user-interface thread and returns 0 or a Windows error code.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "core/serial/port_event_relay.h"
#include "core/serial/serial_device.h"
#include "core/serial/serial_port.h"
#include "platform/win_types.h"

// What the listener needs to reach the user-interface thread.
struct CListenerLink {
    CPortEventRelay* relay = nullptr;
    unsigned session = 0;
    // Moves whenever the program takes input out of the queue: by the bytes it reads,
    // and by one for every purge (the queue may refill to the same size at once).
    const std::atomic<uint64_t>* inputTaken = nullptr;
};

struct CSerialPort::Device {
    virtual ~Device() = default;

    // Open, in order. None of them reports; CSerialPort does.
    virtual DWORD CreateEvents() = 0;
    virtual DWORD OpenHandle(const std::wstring& name) = 0;  // the name as the user gave it
    virtual DWORD GetProperties() = 0;
    virtual DWORD SetupQueues(DWORD inputSize, DWORD outputSize) = 0;
    // Reads the current line settings and puts the program's settings over them
    // (8N1, no handshake, no XON/XOFF); nothing is applied yet.
    virtual DWORD GetState() = 0;
    // Applies the prepared settings at this rate. On failure the prepared settings keep
    // the previous rate.
    virtual DWORD SetState(DWORD baudRate) = 0;
    virtual DWORD SetTimeouts() = 0;
    virtual DWORD SetEventMask() = 0;
    virtual DWORD StartListener(const CListenerLink& link) = 0;
    virtual bool ListenerRunning() const = 0;

    // Close: BeginStop marks the listener as stopping and wakes its wait (the result is
    // that of the wake-up call, SetCommMask on Win32); FinishStop releases every wait,
    // waits for the thread and forgets it.
    virtual DWORD BeginStop() = 0;
    virtual void FinishStop() = 0;
    virtual bool HandleOpen() const = 0;
    virtual void CloseHandle() = 0;
    virtual void CloseEvents() = 0;

    virtual DWORD Purge() = 0;
    // Waits for the write to be taken. The stop event ends the wait early with fewer
    // bytes written and 0 as the result.
    virtual DWORD Write(const void* data, DWORD length, DWORD& written) = 0;
    virtual DWORD Read(void* buffer, DWORD length, DWORD& count) = 0;  // never waits
    virtual DWORD ClearErrors(DWORD& errors) = 0;  // fetches and clears the line errors

    // On the user-interface thread, once the notify window has handled an event.
    virtual void EventHandled() = 0;

    std::atomic<uint64_t> inputTaken{0};
};

// The devices. The OS one is the Win32 port on Windows and the terminal elsewhere.
std::unique_ptr<CSerialPort::Device> CreateOsSerialDevice();
std::unique_ptr<CSerialPort::Device> CreateInProcessSerialDevice(std::unique_ptr<ISerialDevice> device);
// A serial port at a server (network_port_name.h): serial_port_network.cpp.
std::unique_ptr<CSerialPort::Device> CreateNetworkSerialDevice();
