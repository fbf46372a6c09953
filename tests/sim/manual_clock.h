// A clock the test moves by hand: timers run in time order as it advances.
#pragma once

#include <map>

#include "sim/sim_clock.h"

class CManualClock : public ISimClock {
public:
    uint64_t NowMs() const override { return m_now; }
    TimerId After(uint32_t delayMs, std::function<void()> call) override {
        const TimerId id = m_next++;
        m_timers.emplace(std::make_pair(m_now + delayMs, id), std::move(call));
        return id;
    }
    void Cancel(TimerId id) override {
        for (auto it = m_timers.begin(); it != m_timers.end(); ++it)
            if (it->first.second == id) {
                m_timers.erase(it);
                return;
            }
    }
    void Advance(uint64_t ms) {
        const uint64_t until = m_now + ms;
        while (!m_timers.empty() && m_timers.begin()->first.first <= until) {
            auto it = m_timers.begin();
            m_now = it->first.first;
            std::function<void()> call = std::move(it->second);
            m_timers.erase(it);
            call();
        }
        m_now = until;
    }
    size_t PendingTimers() const { return m_timers.size(); }

private:
    uint64_t m_now = 1000;
    TimerId m_next = 1;
    std::map<std::pair<uint64_t, TimerId>, std::function<void()>> m_timers;
};
