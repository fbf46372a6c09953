#include "platform/message_queue_posix.h"

#include <algorithm>
#include <chrono>

#include "platform/message_target.h"

CMessageQueue& CMessageQueue::Instance()
{
    // Never destroyed: listener threads may still post while the program exits.
    static CMessageQueue* queue = new CMessageQueue();
    return *queue;
}

void CMessageQueue::Register(CMessageTarget* target)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_targets[target] = ++m_targetSequence;
}

std::vector<CMessageTarget*> CMessageQueue::Unregister(CMessageTarget* target)
{
    std::vector<CMessageTarget*> children;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_targets.erase(target) == 0)
        return children;
    // A later target may be built at the same address; it must not inherit these.
    m_posted.erase(std::remove_if(m_posted.begin(), m_posted.end(),
                                  [target](const Posted& p) { return p.window == target; }),
                   m_posted.end());
    RemoveTimersOf(target);
    for (const auto& entry : m_targets) {
        if (entry.first->Parent() == target)
            children.push_back(entry.first);
    }
    return children;
}

bool CMessageQueue::IsLive(CMessageTarget* target)
{
    if (target == nullptr)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_targets.count(target) != 0;
}

CMessageTarget* CMessageQueue::FindChild(CMessageTarget* parent, int controlId)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    CMessageTarget* found = nullptr;
    uint64_t foundOrder = 0;
    for (const auto& entry : m_targets) {
        if (entry.first->Parent() == parent && entry.first->ControlId() == controlId &&
            (found == nullptr || entry.second < foundOrder)) {
            found = entry.first;
            foundOrder = entry.second;
        }
    }
    return found;
}

bool CMessageQueue::Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (window != nullptr && m_targets.count(window) == 0)
            return false;
        m_posted.push_back(Posted{window, message, wParam, lParam});
        ++m_changes;
    }
    m_wake.notify_all();
    return true;
}

void CMessageQueue::PostQuit(int exitCode)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
        m_exitCode = exitCode;
        ++m_changes;
    }
    m_wake.notify_all();
}

bool CMessageQueue::QuitPending()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_quit;
}

bool CMessageQueue::TakeQuit(int& exitCode)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_quit)
        return false;
    m_quit = false;
    exitCode = m_exitCode;
    return true;
}

void CMessageQueue::RemoveTimersOf(HWND window)
{
    auto it = m_timers.lower_bound(std::make_pair(window, UINT_PTR(0)));
    while (it != m_timers.end() && it->first.first == window) {
        m_schedule.erase(it->second);
        it = m_timers.erase(it);
    }
}

bool CMessageQueue::SetTimer(HWND window, UINT_PTR id, UINT elapse)
{
    elapse = std::min(std::max(elapse, UINT(USER_TIMER_MINIMUM)), UINT(USER_TIMER_MAXIMUM));
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_targets.count(window) == 0)
            return false;
        auto existing = m_timers.find(std::make_pair(window, id));
        if (existing != m_timers.end()) {
            m_schedule.erase(existing->second);
            m_timers.erase(existing);
        }
        Key key = NewKey(NowLocked() + elapse);
        Item item;
        item.isTimer = true;
        item.window = window;
        item.timerId = id;
        item.period = elapse;
        m_schedule.emplace(key, std::move(item));
        m_timers.emplace(std::make_pair(window, id), key);
        ++m_changes;
    }
    m_wake.notify_all();
    return true;
}

bool CMessageQueue::KillTimer(HWND window, UINT_PTR id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_timers.find(std::make_pair(window, id));
    if (it == m_timers.end())
        return false;
    m_schedule.erase(it->second);
    m_timers.erase(it);
    return true;
}

CMessageQueue::CallId CMessageQueue::ScheduleCall(DWORD delayMs, std::function<void()> call)
{
    CallId id;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        id = ++m_nextCallId;
        Key key = NewKey(NowLocked() + delayMs);
        Item item;
        item.callId = id;
        item.call = std::move(call);
        m_schedule.emplace(key, std::move(item));
        m_calls.emplace(id, key);
        ++m_changes;
    }
    m_wake.notify_all();
    return id;
}

void CMessageQueue::CancelCall(CallId id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_calls.find(id);
    if (it == m_calls.end())
        return;
    m_schedule.erase(it->second);
    m_calls.erase(it);
}

uint64_t CMessageQueue::RealNow() const
{
    // The monotonic clock counts from boot, as the Windows tick count does.
    using namespace std::chrono;
    return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count()) + m_realOffset;
}

uint64_t CMessageQueue::NowLocked() const
{
    return m_virtual ? m_virtualNow : RealNow();
}

uint64_t CMessageQueue::Now()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return NowLocked();
}

bool CMessageQueue::IsVirtual()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_virtual;
}

bool CMessageQueue::UseVirtualClock(bool on)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (on == m_virtual)
            return m_virtual;
        // The virtual clock takes over from the real time and back; pending timers and
        // calls keep their remaining delays across the switch.
        const uint64_t from = NowLocked();
        m_virtual = on;
        if (on)
            m_virtualNow = from;
        else if (from > RealNow())
            m_realOffset += from - RealNow();  // the tick count never runs backwards
        const uint64_t to = NowLocked();
        std::map<Key, Item> moved;
        for (auto& entry : m_schedule) {
            uint64_t due = entry.first.first;
            due = due > from ? to + (due - from) : to;
            Key key(due, entry.first.second);
            if (entry.second.isTimer)
                m_timers[std::make_pair(entry.second.window, entry.second.timerId)] = key;
            else
                m_calls[entry.second.callId] = key;
            moved.emplace(key, std::move(entry.second));
        }
        m_schedule.swap(moved);
        ++m_changes;
    }
    m_wake.notify_all();
    return on;
}

bool CMessageQueue::DispatchOne()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_posted.empty()) {
        Posted p = m_posted.front();
        m_posted.pop_front();
        if (p.window == nullptr) {
            if (p.message == WM_QUIT) {
                m_quit = true;
                m_exitCode = int(p.wParam);
            }
            return true;
        }
        if (m_targets.count(p.window) == 0)
            return true;
        lock.unlock();
        p.window->WindowProc(p.message, p.wParam, p.lParam);
        return true;
    }

    const uint64_t now = NowLocked();
    auto it = m_schedule.begin();
    if (it == m_schedule.end() || it->first.first > now)
        return false;

    Item item = std::move(it->second);
    m_schedule.erase(it);
    if (item.isTimer) {
        // Rescheduled before the handler runs, so KillTimer or SetTimer inside it win.
        Key key = NewKey(now + item.period);
        m_timers[std::make_pair(item.window, item.timerId)] = key;
        HWND window = item.window;
        UINT_PTR id = item.timerId;
        m_schedule.emplace(key, std::move(item));
        lock.unlock();
        window->WindowProc(WM_TIMER, WPARAM(id), 0);
    } else {
        m_calls.erase(item.callId);
        lock.unlock();
        if (item.call)
            item.call();
    }
    return true;
}

bool CMessageQueue::AdvanceToNextDue(uint64_t limit)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_virtual || m_schedule.empty())
        return false;
    const uint64_t due = m_schedule.begin()->first.first;
    if (due > limit)
        return false;
    m_virtualNow = std::max(m_virtualNow, due);
    return true;
}

void CMessageQueue::AdvanceTo(uint64_t time)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_virtual)
        m_virtualNow = std::max(m_virtualNow, time);
}

bool CMessageQueue::WaitForWork(uint64_t deadline, uint64_t maxRealWaitMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    auto ready = [this] { return !m_posted.empty() || m_quit; };
    if (ready())
        return true;
    const uint64_t changes = m_changes;
    uint64_t wait = maxRealWaitMs;
    if (!m_virtual) {
        const uint64_t now = RealNow();
        uint64_t until = deadline;
        if (!m_schedule.empty())
            until = std::min(until, m_schedule.begin()->first.first);
        wait = std::min(wait, until > now ? until - now : 0);
    }
    if (wait == 0)
        return false;
    // Bounded so that a time point far in the future cannot overflow the clock.
    wait = std::min<uint64_t>(wait, 24ull * 3600 * 1000);
    // Any change (a post, a new timer or call, a clock switch) ends the wait, so that a
    // timer set from another thread is not slept through.
    m_wake.wait_for(lock, std::chrono::milliseconds(wait),
                    [&] { return ready() || m_changes != changes; });
    return ready();
}
