// The simulator's clock on the thread's message loop: real time, or the virtual clock
// that tests advance, so a simulated 2-second wait costs a test nothing.
#pragma once

#include "sim/sim_clock.h"

class CLoopClock : public ISimClock {
public:
    uint64_t NowMs() const override;
    TimerId After(uint32_t delayMs, std::function<void()> call) override;
    void Cancel(TimerId id) override;

private:
    mutable uint32_t m_lastTick = 0;
    mutable uint64_t m_high = 0;  // carries the 32-bit tick count past its wrap
    mutable bool m_started = false;
};
