#include "sim/adapter_buffer.h"

CAdapterBuffer::CAdapterBuffer(ISimClock& clock, uint32_t latencyMs, Deliver deliver)
    : m_clock(clock), m_latencyMs(latencyMs), m_deliver(std::move(deliver)) {}

CAdapterBuffer::~CAdapterBuffer() { Clear(); }

void CAdapterBuffer::Push(const uint8_t* bytes, size_t count) {
    if (m_latencyMs == 0) {
        m_deliver(bytes, count);
        return;
    }
    m_held.insert(m_held.end(), bytes, bytes + count);
    while (m_held.size() >= kPacketBytes) Flush(kPacketBytes);
    if (m_held.empty()) {
        if (m_armed) m_clock.Cancel(m_timer);
        m_armed = false;
        return;
    }
    // The timer runs from the first byte that waits, and a full packet leaves it running.
    if (m_armed) return;
    m_armed = true;
    m_timer = m_clock.After(m_latencyMs, [this] {
        m_armed = false;
        Flush(m_held.size());
    });
}

void CAdapterBuffer::Clear() {
    if (m_armed) m_clock.Cancel(m_timer);
    m_armed = false;
    m_held.clear();
}

void CAdapterBuffer::Flush(size_t count) {
    const std::vector<uint8_t> packet(m_held.begin(), m_held.begin() + static_cast<std::ptrdiff_t>(count));
    m_held.erase(m_held.begin(), m_held.begin() + static_cast<std::ptrdiff_t>(count));
    if (!packet.empty()) m_deliver(packet.data(), packet.size());
}
