// The thread's message loop, as the portable programs and tests use it.
// On Windows these run GetMessage/DispatchMessage with MsgWaitForMultipleObjects;
// elsewhere they drive our own loop of posted messages, timers and scheduled calls.
#pragma once

#include <functional>

#include "platform/win_types.h"

namespace MessageLoop {

// Handles posted messages, due timers and scheduled calls until the predicate is
// true, a quit message arrives, or the time-out passes (in the loop's own clock:
// virtual milliseconds under the virtual clock). Returns true when the predicate
// became true. A time-out of INFINITE_WAIT waits without limit.
// Order: posted messages first, in the order posted; then timers and calls in
// due-time order (the same due time: in the order they were set).
// A quit (PostQuitMessage, or WM_QUIT posted to a null window) stays pending until
// Run takes it: RunUntil and PumpPending stop at it and leave it for the outer loop.
// Under the virtual clock, when nothing is due before the time-out and no message
// waits, RunUntil waits up to 10 ms of real time for a post from another thread; if
// none comes it jumps the clock to the time-out and returns false (without a
// time-out it returns false at once, since nothing could change any more).
constexpr DWORD INFINITE_WAIT = 0xFFFFFFFFu;
bool RunUntil(const std::function<bool()>& done, DWORD timeoutMs = INFINITE_WAIT);

// Handles everything already due, without waiting.
void PumpPending();

// Runs the loop until a quit message; returns its exit code.
int Run();

// Calls the function on the loop's thread after the delay (loop clock), once. Returns
// an identifier for CancelCall. Used by the in-process simulated radio for its line
// timing. Off Windows callable from any thread; on Windows from the loop's thread.
using CallId = unsigned long long;
CallId ScheduleCall(DWORD delayMs, std::function<void()> call);
void CancelCall(CallId id);

// The virtual clock (off Windows only; on Windows these report false / do nothing):
// while it is on, GetTickCount follows it, time-outs and timers cost no real time, and
// RunUntil advances the clock straight to the next due timer or call whenever nothing
// else is waiting. Posted messages from other threads are still taken.
// Switching keeps the remaining delay of every pending timer and call; the virtual
// clock starts at the real tick count.
bool UseVirtualClock(bool on);   // returns whether the virtual clock is now in use
bool IsVirtualClock();
void AdvanceVirtualClock(DWORD ms);  // runs everything due up to now + ms, in time order

}  // namespace MessageLoop
