// The pseudo-terminal server's clock: the monotonic clock in microseconds, with timers
// that its poll loop runs when they fall due (ppoll waits to the nanosecond, so a byte's
// line time is kept to well under a millisecond).
#pragma once

#include <map>

#include "sim/sim_clock.h"

class CPollClock : public ISimClock {
public:
    uint64_t NowMs() const override { return NowUs() / 1000; }
    uint64_t NowUs() const override;
    TimerId After(uint32_t delayMs, std::function<void()> call) override;
    TimerId AfterUs(uint64_t delayUs, std::function<void()> call) override;
    void Cancel(TimerId id) override;

    void RunDue();                  // every timer due by now, in time order
    int64_t NextTimeoutUs() const;  // for ppoll: -1 when no timer is set

private:
    struct Timer { TimerId id; std::function<void()> call; };
    std::multimap<uint64_t, Timer> m_timers;  // by due time in µs; equal times keep their order
    TimerId m_next = 1;
};
