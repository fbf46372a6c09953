#include "hostile_radio_device.h"

CHostileRadioDevice::~CHostileRadioDevice() {
    for (MessageLoop::CallId id : m_calls) MessageLoop::CancelCall(id);
}

DWORD CHostileRadioDevice::Write(const uint8_t* data, size_t length, size_t& written) {
    m_observer(std::string(reinterpret_cast<const char*>(data), length));
    written = length;
    uint32_t delay = 0;
    for (CHostilePiece& piece : m_script.NextAnswer()) {
        delay += piece.delayMs;
        m_calls.push_back(MessageLoop::ScheduleCall(delay, [this, bytes = std::move(piece.bytes)] { Deliver(bytes); }));
    }
    return 0;
}

void CHostileRadioDevice::Deliver(const std::string& bytes) {
    m_received.insert(m_received.end(), bytes.begin(), bytes.end());
    if (m_callback) m_callback();
}

DWORD CHostileRadioDevice::Read(uint8_t* buffer, size_t length, size_t& count) {
    count = 0;
    while (count < length && !m_received.empty()) {
        buffer[count++] = m_received.front();
        m_received.pop_front();
    }
    return 0;
}

DWORD CHostileRadioDevice::PurgeReceive() {
    m_received.clear();
    return 0;
}
