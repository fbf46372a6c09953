#include "sim/poll_clock.h"

#include <time.h>

uint64_t CPollClock::NowUs() const {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000000 + uint64_t(ts.tv_nsec) / 1000;
}

ISimClock::TimerId CPollClock::After(uint32_t delayMs, std::function<void()> call) {
    return AfterUs(uint64_t(delayMs) * 1000, std::move(call));
}

ISimClock::TimerId CPollClock::AfterUs(uint64_t delayUs, std::function<void()> call) {
    const TimerId id = m_next++;
    m_timers.emplace(NowUs() + delayUs, Timer{id, std::move(call)});
    return id;
}

void CPollClock::Cancel(TimerId id) {
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
        if (it->second.id == id) {
            m_timers.erase(it);
            return;
        }
    }
}

void CPollClock::RunDue() {
    const uint64_t now = NowUs();
    while (!m_timers.empty() && m_timers.begin()->first <= now) {
        std::function<void()> call = std::move(m_timers.begin()->second.call);
        m_timers.erase(m_timers.begin());
        call();
    }
}

int64_t CPollClock::NextTimeoutUs() const {
    if (m_timers.empty()) return -1;
    const uint64_t now = NowUs();
    const uint64_t due = m_timers.begin()->first;
    return due <= now ? 0 : static_cast<int64_t>(due - now);
}
