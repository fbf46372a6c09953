// On Windows the loop is the thread's own message queue. Scheduled calls ride on the
// timers of one hidden window of the loop's thread; the virtual clock does not exist.
#include "platform/message_loop.h"

#include <map>
#include <mutex>
#include <utility>

#include "platform/message_window.h"

namespace MessageLoop {

namespace {

constexpr UINT kRunCallNow = WM_APP + 0x3F0;

class CCallScheduler {
public:
    CallId Schedule(DWORD delayMs, std::function<void()> call)
    {
        if (!EnsureWindow())
            return 0;
        CallId id;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            id = ++m_nextId;
            m_calls.emplace(id, std::move(call));
        }
        // A call due now goes through the queue: timers cannot fire in less than 10 ms.
        const BOOL ok = delayMs == 0 ? PostMessageW(m_window.Handle(), kRunCallNow, WPARAM(id), 0)
                                     : SetTimer(m_window.Handle(), UINT_PTR(id), delayMs, nullptr) != 0;
        if (!ok) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_calls.erase(id);
            return 0;
        }
        return id;
    }

    void Cancel(CallId id)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_calls.erase(id) != 0 && m_window.Handle() != nullptr)
            KillTimer(m_window.Handle(), UINT_PTR(id));
    }

private:
    bool EnsureWindow()
    {
        if (m_window.Handle() != nullptr)
            return true;
        return m_window.Create([this](UINT message, WPARAM wParam, LPARAM) -> LRESULT {
            if (message == WM_TIMER || message == kRunCallNow)
                Run(CallId(wParam), message == WM_TIMER);
            return 0;
        });
    }

    void Run(CallId id, bool fromTimer)
    {
        if (fromTimer)
            KillTimer(m_window.Handle(), UINT_PTR(id));
        std::function<void()> call;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            auto it = m_calls.find(id);
            if (it == m_calls.end())
                return;  // cancelled
            call = std::move(it->second);
            m_calls.erase(it);
        }
        if (call)
            call();
    }

    std::mutex m_mutex;
    std::map<CallId, std::function<void()>> m_calls;
    CallId m_nextId = 0;
    CMessageWindow m_window;
};

CCallScheduler& Scheduler()
{
    // Left alive at exit: its window belongs to a thread that may already be gone.
    static CCallScheduler* scheduler = new CCallScheduler();
    return *scheduler;
}

// A WM_QUIT that a nested loop took is put back for the outer loop, as modal loops do.
bool Dispatch(MSG& msg)
{
    if (msg.message == WM_QUIT) {
        PostQuitMessage(int(msg.wParam));
        return false;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

}  // namespace

bool RunUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (done && done())
            return true;
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!Dispatch(msg))
                return false;
            continue;
        }
        DWORD wait = INFINITE;
        if (timeoutMs != INFINITE_WAIT) {
            const DWORD elapsed = GetTickCount() - start;
            if (elapsed >= timeoutMs)
                return false;
            wait = timeoutMs - elapsed;
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

void PumpPending()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!Dispatch(msg))
            return;
    }
}

int Run()
{
    MSG msg;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1)
            return -1;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return int(msg.wParam);
}

CallId ScheduleCall(DWORD delayMs, std::function<void()> call)
{
    return Scheduler().Schedule(delayMs, std::move(call));
}

void CancelCall(CallId id)
{
    Scheduler().Cancel(id);
}

bool UseVirtualClock(bool)
{
    return false;
}

bool IsVirtualClock()
{
    return false;
}

void AdvanceVirtualClock(DWORD)
{
}

}  // namespace MessageLoop
