// The in-process simulated link on the message loop's virtual clock: replies come through
// the loop at line speed, and the device behaves as a port does when the adapter goes.
#include <gtest/gtest.h>

#include "platform/message_loop.h"
#include "sim/loop_clock.h"
#include "sim/sim_serial_device.h"

namespace {

class SimDevice : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(MessageLoop::UseVirtualClock(true)); }
    void TearDown() override {
        MessageLoop::PumpPending();
        MessageLoop::UseVirtualClock(false);
    }

    static CSimOptions Faults(const std::vector<std::string>& faults) {
        CSimOptions o;
        std::string error;
        for (const std::string& f : faults) EXPECT_TRUE(o.faults.Add(f, error)) << error;
        return o;
    }

    std::string Talk(CSimSerialDevice& device, const std::string& text, DWORD timeoutMs = 1000) {
        size_t written = 0;
        EXPECT_EQ(device.Write(reinterpret_cast<const uint8_t*>(text.data()), text.size(), written), 0u);
        EXPECT_EQ(written, text.size());
        std::string got;
        MessageLoop::RunUntil(
            [&]() {
                uint8_t buffer[64];
                size_t n = 0;
                while (device.Read(buffer, sizeof buffer, n) == 0 && n > 0) got.append(reinterpret_cast<char*>(buffer), n);
                return !got.empty() && got.back() == ';';
            },
            timeoutMs);
        return got;
    }

    CLoopClock clock;
};

TEST_F(SimDevice, RepliesArriveThroughTheLoopAtLineSpeed) {
    CSimulator sim(CSimOptions{}, clock);
    CSimSerialDevice device(sim);
    int calls = 0;
    device.SetBytesWaitingCallback([&]() { ++calls; });
    const DWORD start = GetTickCount();
    EXPECT_EQ(Talk(device, "I;"), "ZR8;");
    EXPECT_GE(GetTickCount() - start, 6u) << "six bytes at 9600 bit/s, in loop time";
    EXPECT_GE(calls, 1);
    EXPECT_EQ(Talk(device, "RV;"), "RV01.23;");
}

TEST_F(SimDevice, PurgeDiscardsWhatHasArrived) {
    CSimOptions options;
    options.baudModel = BaudModel::Instant;
    CSimulator sim(options, clock);
    CSimSerialDevice device(sim);
    size_t written;
    device.Write(reinterpret_cast<const uint8_t*>("I;"), 2, written);
    MessageLoop::RunUntil([&]() { return device.BytesWaiting() == 4; }, 100);
    EXPECT_EQ(device.PurgeReceive(), 0u);
    EXPECT_EQ(device.BytesWaiting(), 0u);
}

TEST_F(SimDevice, TheRadioHearsOnlyTheRateItRunsAt) {
    CSimulator sim(CSimOptions{}, clock);
    CSimSerialDevice device(sim);
    EXPECT_EQ(device.SetBaudRate(19200), 0u);
    EXPECT_EQ(Talk(device, "I;", 500), "");
    EXPECT_EQ(device.SetBaudRate(9600), 0u);
    EXPECT_EQ(Talk(device, "I;"), "ZR8;");
}

TEST_F(SimDevice, AVanishedLineFailsLikeAPulledAdapter) {
    CSimulator sim(Faults({"vanish=2"}), clock);
    CSimSerialDevice device(sim);
    bool told = false;
    device.SetBytesWaitingCallback([&]() { told = true; });
    EXPECT_EQ(Talk(device, "I;", 500), "") << "the line went with the second byte";
    EXPECT_TRUE(told);
    size_t n = 0;
    uint8_t buffer[4];
    EXPECT_EQ(device.Read(buffer, sizeof buffer, n), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(device.Write(buffer, 1, n), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(device.PurgeReceive(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    CSimSerialDevice reopened(sim);
    EXPECT_EQ(reopened.Write(buffer, 1, n), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << "gone for good";
}

TEST_F(SimDevice, TheRadioOutlivesThePortAndRepliesInFlightAreHarmless) {
    CSimulator sim(CSimOptions{}, clock);
    {
        CSimSerialDevice device(sim);
        size_t written;
        device.Write(reinterpret_cast<const uint8_t*>("I;SN;"), 5, written);
        MessageLoop::AdvanceVirtualClock(3);
    }  // closed with the answers still on the wire
    MessageLoop::AdvanceVirtualClock(100);
    CSimSerialDevice again(sim);
    EXPECT_EQ(Talk(again, "RV;"), "RV01.23;");
}

}  // namespace
