#include "sim/loop_clock.h"

#include "platform/message_loop.h"
#include "platform/win_types.h"

uint64_t CLoopClock::NowMs() const {
    const uint32_t tick = GetTickCount();
    if (m_started && tick < m_lastTick) m_high += 0x100000000ull;
    m_started = true;
    m_lastTick = tick;
    return m_high + tick;
}

ISimClock::TimerId CLoopClock::After(uint32_t delayMs, std::function<void()> call) {
    return MessageLoop::ScheduleCall(delayMs, std::move(call));
}

void CLoopClock::Cancel(TimerId id) { MessageLoop::CancelCall(id); }
