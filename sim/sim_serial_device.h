// The in-process simulated link: an ISerialDevice over a CSimulator. Reply bytes reach
// the port through the message loop at line speed (or at once), so under the virtual
// clock a whole firmware load runs in a blink of real time.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "core/serial/serial_device.h"
#include "sim/sim_link.h"
#include "sim/simulator.h"

class CSimSerialDevice : public ISerialDevice, private ISimHostSide {
public:
    explicit CSimSerialDevice(CSimulator& simulator);
    ~CSimSerialDevice() override;

    void SetBytesWaitingCallback(std::function<void()> callback) override;
    DWORD SetBaudRate(DWORD rate) override;
    DWORD Write(const uint8_t* data, size_t length, size_t& written) override;
    DWORD Read(uint8_t* buffer, size_t length, size_t& count) override;
    DWORD PurgeReceive() override;
    size_t BytesWaiting() const override;

private:
    void DeliverToHost(const uint8_t* bytes, size_t count) override;
    void HangUp() override;

    CSimulator& m_simulator;
    std::function<void()> m_callback;
    std::deque<uint8_t> m_received;
    bool m_hungUp = false;
};

// Registers the simulator under a port name ("SIM" for the programs); every open of that
// name gets a new device on the same radio. The simulator must outlive the registration.
inline void RegisterSimulatedRadio(const std::wstring& name, CSimulator& simulator) {
    CSimulator* sim = &simulator;
    RegisterSerialDevice(name, [sim]() -> std::unique_ptr<ISerialDevice> { return std::make_unique<CSimSerialDevice>(*sim); });
}
