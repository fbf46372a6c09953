// A USB serial adapter's receive buffer, as the program sees it: the chip holds what the
// radio sends until its latency timer runs out or a USB packet's worth (62 bytes) waits,
// then hands it over at once. A latency of 0 is a plain line: every byte passes as it comes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "sim/sim_clock.h"

class CAdapterBuffer {
public:
    static constexpr size_t kPacketBytes = 62;  // 64 bytes a USB packet, less 2 status bytes
    using Deliver = std::function<void(const uint8_t* bytes, size_t count)>;

    CAdapterBuffer(ISimClock& clock, uint32_t latencyMs, Deliver deliver);
    ~CAdapterBuffer();
    CAdapterBuffer(const CAdapterBuffer&) = delete;
    CAdapterBuffer& operator=(const CAdapterBuffer&) = delete;

    void Push(const uint8_t* bytes, size_t count);
    void Clear();  // the line has gone: what waits is lost
    size_t Held() const { return m_held.size(); }

private:
    void Flush(size_t count);

    ISimClock& m_clock;
    uint32_t m_latencyMs;
    Deliver m_deliver;
    std::vector<uint8_t> m_held;
    bool m_armed = false;
    ISimClock::TimerId m_timer = 0;
};
