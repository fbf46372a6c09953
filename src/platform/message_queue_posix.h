// The process's message queue off Windows: the registry of live message targets,
// posted messages, window timers, scheduled calls and the loop clock (real or virtual).
// Internal to the platform layer: win_types_posix.cpp, message_target_posix.cpp and
// message_loop_posix.cpp are its only users.
#pragma once
#ifndef _WIN32

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/win_types.h"

class CMessageQueue {
public:
    using CallId = unsigned long long;

    static CMessageQueue& Instance();

    // Targets
    void Register(CMessageTarget* target);
    // Removes the target, its queued messages and its timers; returns its children.
    std::vector<CMessageTarget*> Unregister(CMessageTarget* target);
    bool IsLive(CMessageTarget* target);
    CMessageTarget* FindChild(CMessageTarget* parent, int controlId);

    // Messages
    bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void PostQuit(int exitCode);
    bool QuitPending();
    bool TakeQuit(int& exitCode);  // consumes a pending quit

    // Timers and calls, due in loop-clock milliseconds.
    bool SetTimer(HWND window, UINT_PTR id, UINT elapse);
    bool KillTimer(HWND window, UINT_PTR id);
    CallId ScheduleCall(DWORD delayMs, std::function<void()> call);
    void CancelCall(CallId id);

    // Clock
    uint64_t Now();
    bool UseVirtualClock(bool on);
    bool IsVirtual();

    // Loop steps. DispatchOne handles the oldest posted message, else the earliest
    // timer or call that is due; false when nothing was ready.
    bool DispatchOne();
    // Virtual clock only: moves the clock to the earliest timer or call if it is due
    // at or before the limit; false when there is none.
    bool AdvanceToNextDue(uint64_t limit);
    void AdvanceTo(uint64_t time);  // virtual clock only; never goes back
    // Waits in real time until a message is posted, a quit is pending, or (real clock)
    // the next timer or call is due, or the real wait or the deadline runs out.
    // Returns true when a message or quit is waiting.
    bool WaitForWork(uint64_t deadline, uint64_t maxRealWaitMs);

private:
    CMessageQueue() = default;

    struct Posted {
        HWND window;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    using Key = std::pair<uint64_t, uint64_t>;  // due time, order of scheduling
    struct Item {
        bool isTimer = false;
        HWND window = nullptr;
        UINT_PTR timerId = 0;
        UINT period = 0;
        CallId callId = 0;
        std::function<void()> call;
    };

    uint64_t RealNow() const;
    uint64_t NowLocked() const;
    Key NewKey(uint64_t due) { return Key(due, ++m_sequence); }
    void RemoveTimersOf(HWND window);

    std::mutex m_mutex;
    std::condition_variable m_wake;

    std::unordered_map<CMessageTarget*, uint64_t> m_targets;  // target -> creation order
    uint64_t m_targetSequence = 0;

    std::deque<Posted> m_posted;
    bool m_quit = false;
    int m_exitCode = 0;

    std::map<Key, Item> m_schedule;
    std::map<std::pair<HWND, UINT_PTR>, Key> m_timers;
    std::unordered_map<CallId, Key> m_calls;
    uint64_t m_sequence = 0;
    CallId m_nextCallId = 0;

    uint64_t m_changes = 0;  // counts every change a waiting loop must look at

    bool m_virtual = false;
    uint64_t m_realOffset = 0;  // added to the real clock after the virtual one ran ahead
    uint64_t m_virtualNow = 0;
};

#endif
