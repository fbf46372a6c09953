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
    // The same in microseconds, for the line's byte times. A clock that counts whole
    // milliseconds (the message loop's) rounds a delay up, so nothing is early.
    virtual uint64_t NowUs() const { return NowMs() * 1000; }
    virtual TimerId AfterUs(uint64_t delayUs, std::function<void()> call) {
        return After(static_cast<uint32_t>((delayUs + 999) / 1000), std::move(call));
    }
};
