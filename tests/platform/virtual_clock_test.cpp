// The loop off Windows under the virtual clock, and its real clock waking for posts
// from other threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/message_loop.h"
#include "platform/message_window.h"

namespace {

constexpr UINT kPosted = WM_APP + 5;

// Records "<what>@<virtual ms since the test started>" for each event.
class VirtualClockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(MessageLoop::UseVirtualClock(true));
        m_start = GetTickCount();
        ASSERT_TRUE(m_window.Create([this](UINT message, WPARAM wParam, LPARAM) -> LRESULT {
            if (message == WM_TIMER)
                Log("timer" + std::to_string(wParam));
            else if (message == kPosted)
                Log("post" + std::to_string(wParam));
            return 0;
        }));
    }
    void TearDown() override
    {
        m_window.Destroy();
        MessageLoop::UseVirtualClock(false);
    }

    void Log(const std::string& what) { events.push_back(what + "@" + std::to_string(Elapsed())); }
    DWORD Elapsed() const { return GetTickCount() - m_start; }
    HWND Window() const { return m_window.Handle(); }

    std::vector<std::string> events;

private:
    CMessageWindow m_window;
    DWORD m_start = 0;
};

TEST_F(VirtualClockTest, SleepMovesTheClockAndLeavesDueTimersToTheLoop)
{
    ASSERT_NE(SetTimer(Window(), 1, 30, nullptr), 0u);
    const auto realStart = std::chrono::steady_clock::now();
    Sleep(10 * 60 * 1000);  // ten minutes: a real pause would outlast the test's time-out
    EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::seconds(5));
    EXPECT_EQ(Elapsed(), DWORD(10 * 60 * 1000));
    EXPECT_TRUE(events.empty()) << "a pause runs nothing";
    MessageLoop::PumpPending();
    EXPECT_EQ(events, (std::vector<std::string>{"timer1@600000"}));
    KillTimer(Window(), 1);
}

TEST_F(VirtualClockTest, LongTimeOutsCostNoRealTime)
{
    // A day of timers and a day-long time-out: with a real clock this test would never end.
    ASSERT_NE(SetTimer(Window(), 1, 2000, nullptr), 0u);
    ASSERT_TRUE(MessageLoop::RunUntil([&] { return events.size() == 1; }, 5000));
    EXPECT_EQ(events, (std::vector<std::string>{"timer1@2000"}));
    KillTimer(Window(), 1);

    EXPECT_FALSE(MessageLoop::RunUntil([] { return false; }, 24 * 3600 * 1000));
    EXPECT_EQ(Elapsed(), DWORD(2000 + 24 * 3600 * 1000));
}

TEST_F(VirtualClockTest, TimersAndCallsFireInDueOrderPeriodicTimersRepeat)
{
    ASSERT_NE(SetTimer(Window(), 1, 300, nullptr), 0u);
    ASSERT_NE(SetTimer(Window(), 2, 200, nullptr), 0u);
    MessageLoop::ScheduleCall(250, [&] { Log("call"); });
    MessageLoop::ScheduleCall(200, [&] { Log("same-due call"); });  // due with timer 2, set after it

    ASSERT_TRUE(MessageLoop::RunUntil([&] { return events.size() == 7; }, 10000));
    EXPECT_EQ(events, (std::vector<std::string>{"timer2@200", "same-due call@200", "call@250", "timer1@300",
                                                "timer2@400", "timer1@600", "timer2@600"}));
    KillTimer(Window(), 1);
    KillTimer(Window(), 2);
}

TEST_F(VirtualClockTest, TimerChangedInsideItsHandler)
{
    // A state machine re-arms its time-out from the timer handler: the new period counts
    // from that moment, and a kill inside the handler means no further tick.
    int ticks = 0;
    CMessageWindow window;
    ASSERT_TRUE(window.Create([&](UINT message, WPARAM, LPARAM) -> LRESULT {
        if (message != WM_TIMER)
            return 0;
        ++ticks;
        Log("tick");
        if (ticks == 1)
            SetTimer(window.Handle(), 9, 50, nullptr);
        else
            KillTimer(window.Handle(), 9);
        return 0;
    }));
    ASSERT_NE(SetTimer(window.Handle(), 9, 100, nullptr), 0u);
    EXPECT_FALSE(MessageLoop::RunUntil([] { return false; }, 1000));
    EXPECT_EQ(events, (std::vector<std::string>{"tick@100", "tick@150"}));
}

TEST_F(VirtualClockTest, PeriodBelowTheMinimumIsClamped)
{
    ASSERT_NE(SetTimer(Window(), 4, 0, nullptr), 0u);
    ASSERT_TRUE(MessageLoop::RunUntil([&] { return events.size() == 2; }, 1000));
    EXPECT_EQ(events, (std::vector<std::string>{"timer4@10", "timer4@20"}));
    KillTimer(Window(), 4);
}

TEST_F(VirtualClockTest, AdvanceRunsEverythingDueInTimeOrder)
{
    MessageLoop::ScheduleCall(70, [&] { Log("late"); });
    MessageLoop::ScheduleCall(30, [&] { Log("early"); });
    MessageLoop::CallId later = MessageLoop::ScheduleCall(150, [&] { Log("later"); });
    MessageLoop::AdvanceVirtualClock(100);
    EXPECT_EQ(events, (std::vector<std::string>{"early@30", "late@70"}));
    EXPECT_EQ(Elapsed(), 100u);
    MessageLoop::CancelCall(later);
}

TEST_F(VirtualClockTest, PostedMessageIsTakenBeforeTheClockMoves)
{
    ASSERT_NE(SetTimer(Window(), 1, 1000, nullptr), 0u);
    std::thread poster([&] { PostMessageW(Window(), kPosted, 1, 0); });
    poster.join();
    ASSERT_TRUE(MessageLoop::RunUntil([&] { return events.size() == 2; }, 5000));
    EXPECT_EQ(events, (std::vector<std::string>{"post1@0", "timer1@1000"}));
    KillTimer(Window(), 1);
}

TEST_F(VirtualClockTest, PostFromAnotherThreadWhileIdleIsTaken)
{
    // The loop has nothing due; it must take the post when it comes, not return for
    // good. Each idle RunUntil waits a few real milliseconds for a post, so retry: the
    // point is that the post is handled, at virtual time 0, without a timer to wake on.
    std::mutex mutex;
    std::condition_variable cv;
    bool go = false;
    std::thread poster([&] {
        std::unique_lock<std::mutex> lock(mutex);
        cv.wait(lock, [&] { return go; });
        PostMessageW(Window(), kPosted, 2, 0);
    });
    {
        std::lock_guard<std::mutex> lock(mutex);
        go = true;
    }
    cv.notify_all();
    bool taken = false;
    for (int attempt = 0; attempt < 500 && !taken; ++attempt)
        taken = MessageLoop::RunUntil([&] { return !events.empty(); });
    poster.join();
    ASSERT_TRUE(taken);
    EXPECT_EQ(events, (std::vector<std::string>{"post2@0"}));
}

TEST_F(VirtualClockTest, UnboundedRunWithNothingToDoReturns)
{
    EXPECT_FALSE(MessageLoop::RunUntil([] { return false; }));
}

TEST_F(VirtualClockTest, SwitchingClocksKeepsTheRemainingDelay)
{
    ASSERT_NE(SetTimer(Window(), 1, 500, nullptr), 0u);
    MessageLoop::AdvanceVirtualClock(400);
    MessageLoop::UseVirtualClock(false);
    MessageLoop::UseVirtualClock(true);
    const DWORD resumed = Elapsed();
    ASSERT_TRUE(MessageLoop::RunUntil([&] { return !events.empty(); }, 5000));
    // 100 ms were left when the clocks changed (a few real milliseconds may pass
    // between the two switches); the tick count went on from where it was.
    EXPECT_GE(resumed, 400u);
    EXPECT_LE(Elapsed() - resumed, 100u);
    EXPECT_EQ(events.size(), 1u);
    KillTimer(Window(), 1);
}

TEST(RealClockTest, PostFromAnotherThreadWakesAWaitingLoop)
{
    ASSERT_FALSE(MessageLoop::IsVirtualClock());
    bool got = false;
    CMessageWindow window;
    ASSERT_TRUE(window.Create([&](UINT message, WPARAM, LPARAM) -> LRESULT {
        got |= message == kPosted;
        return 0;
    }));
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        PostMessageW(window.Handle(), kPosted, 0, 0);
    });
    // No timer and no time-out: only the post can end this wait.
    EXPECT_TRUE(MessageLoop::RunUntil([&] { return got; }));
    poster.join();
}

TEST(RealClockTest, TimerSetFromAnotherThreadIsNotSleptThrough)
{
    bool fired = false;
    CMessageWindow window;
    ASSERT_TRUE(window.Create([&](UINT message, WPARAM, LPARAM) -> LRESULT {
        fired |= message == WM_TIMER;
        return 0;
    }));
    // The loop first waits for a day-long timer; a short one set meanwhile must end it.
    ASSERT_NE(SetTimer(window.Handle(), 1, 24 * 3600 * 1000, nullptr), 0u);
    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        SetTimer(window.Handle(), 2, 10, nullptr);
    });
    EXPECT_TRUE(MessageLoop::RunUntil([&] { return fired; }));
    setter.join();
}

}  // namespace
