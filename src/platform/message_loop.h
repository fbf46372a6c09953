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
constexpr DWORD INFINITE_WAIT = 0xFFFFFFFFu;
bool RunUntil(const std::function<bool()>& done, DWORD timeoutMs = INFINITE_WAIT);

// Handles everything already due, without waiting.
void PumpPending();

// Runs the loop until a quit message; returns its exit code.
int Run();

// Calls the function on the loop's thread after the delay (loop clock). Returns an
// identifier for CancelCall. Used by the in-process simulated radio for its line timing.
using CallId = unsigned long long;
CallId ScheduleCall(DWORD delayMs, std::function<void()> call);
void CancelCall(CallId id);

// The virtual clock (off Windows only; on Windows these report false / do nothing):
// while it is on, GetTickCount follows it, time-outs and timers cost no real time, and
// RunUntil advances the clock straight to the next due timer or call whenever nothing
// else is waiting. Posted messages from other threads are still taken.
bool UseVirtualClock(bool on);   // returns whether the virtual clock is now in use
bool IsVirtualClock();
void AdvanceVirtualClock(DWORD ms);  // runs everything due up to now + ms, in time order

}  // namespace MessageLoop
