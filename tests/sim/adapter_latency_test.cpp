// The USB adapter's latency timer in front of the program: bytes wait until the timer runs
// out or a packet's worth has gathered.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/adapter_buffer.h"
#include "tests/sim/sim_fixture.h"

namespace {

struct Arrival {
    uint64_t atMs;  // since the first push
    size_t count;
};

struct BufferCase {
    const char* name;
    uint32_t latencyMs;
    std::vector<Arrival> pushes;
    std::vector<Arrival> expected;  // each hand-over: when, how many bytes
};

TEST(AdapterBuffer, HandsOverWhenTheTimerRunsOutOrAPacketIsFull) {
    const std::vector<BufferCase> cases = {
        {"NoLatencyPassesAtOnce", 0, {{0, 1}, {3, 5}}, {{0, 1}, {3, 5}}},
        {"OneByteWaitsTheWholeTimer", 16, {{0, 1}}, {{16, 1}}},
        {"LaterBytesRideWithTheFirst", 16, {{0, 1}, {10, 3}}, {{16, 4}}},
        {"TimerRestartsAfterAHandOver", 16, {{0, 1}, {20, 2}}, {{16, 1}, {36, 2}}},
        {"FullPacketGoesAtOnce", 16, {{0, 62}}, {{0, 62}}},
        {"RestOfAPacketWaitsForTheTimer", 16, {{0, 70}}, {{0, 62}, {16, 8}}},
        {"PacketFilledLaterKeepsTheTimer", 16, {{0, 40}, {5, 40}}, {{5, 62}, {16, 18}}},
        {"OneMillisecond", 1, {{0, 1}}, {{1, 1}}},
    };
    for (const BufferCase& c : cases) {
        CManualClock clock;
        const uint64_t start = clock.NowMs();
        std::vector<Arrival> got;
        size_t total = 0;
        CAdapterBuffer buffer(clock, c.latencyMs, [&](const uint8_t*, size_t count) {
            got.push_back({clock.NowMs() - start, count});
            total += count;
        });
        const std::vector<uint8_t> bytes(100, 'A');
        for (const Arrival& push : c.pushes) {
            clock.Advance(start + push.atMs - clock.NowMs());
            buffer.Push(bytes.data(), push.count);
        }
        clock.Advance(1000);
        ASSERT_EQ(got.size(), c.expected.size()) << c.name;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].atMs, c.expected[i].atMs) << c.name << " hand-over " << i;
            EXPECT_EQ(got[i].count, c.expected[i].count) << c.name << " hand-over " << i;
        }
        EXPECT_EQ(buffer.Held(), 0u) << c.name;
        EXPECT_EQ(clock.PendingTimers(), 0u) << c.name;
    }
}

TEST(AdapterBuffer, ClearedBufferLosesWhatWaitsAndStopsItsTimer) {
    CManualClock clock;
    size_t delivered = 0;
    CAdapterBuffer buffer(clock, 16, [&](const uint8_t*, size_t count) { delivered += count; });
    const uint8_t byte = 'A';
    buffer.Push(&byte, 1);
    buffer.Clear();
    clock.Advance(100);
    EXPECT_EQ(delivered, 0u);
    EXPECT_EQ(clock.PendingTimers(), 0u);
}

TEST(AdapterBuffer, RadioRepliesReachTheProgramAfterTheTimer) {
    CSimOptions options = CRadioOnLine::Instant();
    options.adapterLatencyMs = 16;
    CRadioOnLine radio(options);
    EXPECT_EQ(radio.Talk("RV;", 15), "");
    radio.clock.Advance(1);
    EXPECT_EQ(radio.host.received, "RV01.23;");
}

TEST(AdapterBuffer, OptionTakesMillisecondsUpTo255) {
    struct Case {
        std::vector<std::string> args;
        bool ok;
        uint32_t latencyMs;
    };
    const std::vector<Case> cases = {
        {{"--adapter-latency", "16"}, true, 16}, {{"--adapter-latency", "0"}, true, 0},
        {{"--adapter-latency", "255"}, true, 255}, {{"--adapter-latency", "256"}, false, 0},
        {{"--adapter-latency", "1.5"}, false, 0}, {{"--adapter-latency"}, false, 0},
        {{}, true, 0},
    };
    for (const Case& c : cases) {
        CSimCommandLine line;
        std::string error;
        EXPECT_EQ(ParseSimCommandLine(c.args, line, error), c.ok) << error;
        if (c.ok) EXPECT_EQ(line.radio.adapterLatencyMs, c.latencyMs);
        else EXPECT_FALSE(error.empty());
    }
}

}  // namespace
