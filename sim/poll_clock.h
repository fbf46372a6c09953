// The pseudo-terminal server's clock: the monotonic clock, with timers that its poll loop
// runs when they fall due.
#pragma once

#include <map>

#include "sim/sim_clock.h"

class CPollClock : public ISimClock {
public:
    uint64_t NowMs() const override;
    TimerId After(uint32_t delayMs, std::function<void()> call) override;
    void Cancel(TimerId id) override;

    void RunDue();           // every timer due by now, in time order
    int NextTimeoutMs() const;  // for poll: -1 when no timer is set

private:
    struct Timer { TimerId id; std::function<void()> call; };
    std::multimap<uint64_t, Timer> m_timers;  // by due time; equal times keep their order
    TimerId m_next = 1;
};
