#include "sim/sim_serial_device.h"

#include <algorithm>

CSimSerialDevice::CSimSerialDevice(CSimulator& simulator) : m_simulator(simulator) {
    m_simulator.Link().SetHostRate(9600);
    m_simulator.Link().AttachHost(this);
}

CSimSerialDevice::~CSimSerialDevice() { m_simulator.Link().DetachHost(this); }

void CSimSerialDevice::SetBytesWaitingCallback(std::function<void()> callback) { m_callback = std::move(callback); }

DWORD CSimSerialDevice::SetBaudRate(DWORD rate) {
    if (m_hungUp) return ERROR_ACCESS_DENIED;
    m_simulator.Link().SetHostRate(rate);
    return 0;
}

DWORD CSimSerialDevice::Write(const uint8_t* data, size_t length, size_t& written) {
    written = 0;
    // A pulled adapter: the same code the OS devices give for a vanished port.
    if (m_hungUp) return ERROR_ACCESS_DENIED;
    m_simulator.Link().FromHost(data, length);
    written = length;
    return 0;
}

DWORD CSimSerialDevice::Read(uint8_t* buffer, size_t length, size_t& count) {
    count = 0;
    if (m_hungUp && m_received.empty()) return ERROR_ACCESS_DENIED;
    count = std::min(length, m_received.size());
    std::copy_n(m_received.begin(), count, buffer);
    m_received.erase(m_received.begin(), m_received.begin() + static_cast<std::ptrdiff_t>(count));
    return 0;
}

DWORD CSimSerialDevice::PurgeReceive() {
    if (m_hungUp) return ERROR_ACCESS_DENIED;
    m_received.clear();
    return 0;
}

size_t CSimSerialDevice::BytesWaiting() const { return m_received.size(); }

void CSimSerialDevice::DeliverToHost(const uint8_t* bytes, size_t count) {
    m_received.insert(m_received.end(), bytes, bytes + count);
    if (m_callback) m_callback();
}

void CSimSerialDevice::HangUp() {
    m_hungUp = true;
    // The port learns of it the way it learns of data: through the callback.
    if (m_callback) m_callback();
}
