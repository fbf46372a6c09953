// The loop off Windows. With the virtual clock, whenever no posted message waits the
// loop moves the clock straight to the next timer or call. When nothing at all is due
// before the time-out, it first waits up to kIdleRealWaitMs of real time for another
// thread to post (a listener thread, a simulator thread); if nothing comes, a bounded
// RunUntil jumps to its time-out and returns, an unbounded one returns false at once,
// since nothing in the process could make the predicate true any more.
#include "platform/message_loop.h"

#include <limits>

#include "platform/message_queue_posix.h"

namespace MessageLoop {

namespace {
constexpr uint64_t kIdleRealWaitMs = 10;
constexpr uint64_t kForever = std::numeric_limits<uint64_t>::max();
}  // namespace

bool RunUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    auto& queue = CMessageQueue::Instance();
    const bool unbounded = timeoutMs == INFINITE_WAIT;
    const uint64_t deadline = unbounded ? kForever : queue.Now() + timeoutMs;
    for (;;) {
        if (done && done())
            return true;
        if (queue.QuitPending())
            return false;
        if (queue.DispatchOne())
            continue;
        if (queue.QuitPending())
            return false;
        if (!unbounded && queue.Now() >= deadline)
            return false;
        if (queue.IsVirtual()) {
            if (queue.AdvanceToNextDue(deadline))
                continue;
            if (queue.WaitForWork(deadline, kIdleRealWaitMs))
                continue;
            if (unbounded)
                return false;
            queue.AdvanceTo(deadline);
        } else {
            queue.WaitForWork(deadline, kForever);
        }
    }
}

void PumpPending()
{
    auto& queue = CMessageQueue::Instance();
    while (!queue.QuitPending() && queue.DispatchOne()) {
    }
}

int Run()
{
    auto& queue = CMessageQueue::Instance();
    for (;;) {
        int exitCode = 0;
        if (queue.TakeQuit(exitCode))
            return exitCode;
        if (queue.DispatchOne())
            continue;
        if (queue.IsVirtual() && queue.AdvanceToNextDue(kForever))
            continue;
        queue.WaitForWork(kForever, kForever);
    }
}

CallId ScheduleCall(DWORD delayMs, std::function<void()> call)
{
    return CMessageQueue::Instance().ScheduleCall(delayMs, std::move(call));
}

void CancelCall(CallId id)
{
    CMessageQueue::Instance().CancelCall(id);
}

bool UseVirtualClock(bool on)
{
    return CMessageQueue::Instance().UseVirtualClock(on);
}

bool IsVirtualClock()
{
    return CMessageQueue::Instance().IsVirtual();
}

void AdvanceVirtualClock(DWORD ms)
{
    auto& queue = CMessageQueue::Instance();
    if (!queue.IsVirtual())
        return;
    const uint64_t target = queue.Now() + ms;
    while (!queue.QuitPending()) {
        if (queue.DispatchOne())
            continue;
        if (!queue.AdvanceToNextDue(target))
            break;
    }
    queue.AdvanceTo(target);
}

}  // namespace MessageLoop
