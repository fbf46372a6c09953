// The simulated radio keeps its own time through this interface, so the same radio runs
// on the message loop's clock (in-process, virtual or real) and on the pseudo-terminal
// server's poll loop.
#pragma once

#include <cstdint>
#include <functional>

class ISimClock {
public:
    using TimerId = uint64_t;
    virtual ~ISimClock() = default;
    virtual uint64_t NowMs() const = 0;
    // Calls the function once, after the delay, on the thread that runs the clock.
    virtual TimerId After(uint32_t delayMs, std::function<void()> call) = 0;
    virtual void Cancel(TimerId id) = 0;
};
