// The loader's remaining ways out, one case each, on the virtual clock: a boot loader that
// does not echo "D", a resynchronisation that never hears "N", the final packet's own
// retry, "LD;" left out for a radio known to wait in its boot loader, and a port write
// that fails.
#include <gtest/gtest.h>

#include <functional>

#include "core/model/contact_state_machine.h"
#include "core/text/error_codes.h"
#include "loader_fixture.h"
#include "platform/message_loop.h"

namespace {

uint32_t AddressOf(const std::string& packet) {
    return uint8_t(packet[64]) | uint32_t(uint8_t(packet[65])) << 8 | uint32_t(uint8_t(packet[66])) << 16;
}

bool IsFinalPacket(const std::string& written) { return written.size() == 68 && uint8_t(written[66]) == 2; }

struct FailurePath {
    const char* name;
    // Sets up the radio, the fault or the interceptor before the load starts.
    std::function<void(LoaderTest&)> arrange;
    DWORD result;
    // What the run must show beyond its result.
    std::function<void(LoaderTest&)> check;
};

class LoaderFailurePaths : public LoaderTest, public ::testing::WithParamInterface<FailurePath> {
public:
    // The fixture's parts, for the table's functions.
    using LoaderTest::completions;
    using LoaderTest::HasLine;
    using LoaderTest::interceptor;
    using LoaderTest::link;
    using LoaderTest::LinesStartingWith;
    using LoaderTest::machine;
    using LoaderTest::model;
    using LoaderTest::Prepare;
    using LoaderTest::sim;
    using LoaderTest::simOptions;
};

LoaderFailurePaths& Fixture(LoaderTest& test) { return static_cast<LoaderFailurePaths&>(test); }

TEST_P(LoaderFailurePaths, EndsAsDocumented) {
    const FailurePath& path = GetParam();
    path.arrange(*this);
    if (!machine) Prepare();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(RunToCompletion());
    EXPECT_EQ(completions, std::vector<DWORD>{path.result});
    EXPECT_TRUE(machine->IsIdle());
    path.check(*this);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LoaderFailurePaths,
    ::testing::Values(
        FailurePath{"NoEchoOfD",
                    [](LoaderTest& t) {
                        auto& f = Fixture(t);
                        f.Prepare();
                        f.interceptor = [](const std::string& written) -> std::optional<std::string> {
                            if (written == "D") return std::string();
                            return std::nullopt;
                        };
                    },
                    Zr8Error::LoaderNoEchoD,
                    [](LoaderTest& t) {
                        auto& f = Fixture(t);
                        EXPECT_TRUE(f.HasLine(L"ZR8 Bootstrap Loader did not echo \"D\"\r\nRemove power and retry firmware load"));
                        EXPECT_EQ(f.link.Packets(), 0u);
                        EXPECT_EQ(f.link.Count("D"), 1u);
                        // The radio is left as unknown: the device reset.
                        EXPECT_EQ(f.model->m_mcuVersion.Get(), 0);
                        EXPECT_EQ(f.model->m_serialNumber.Get(), kSerialNumberNone);
                        EXPECT_EQ(f.model->m_firmwareStatus.Get(), FirmwareStatusNone);
                    }},
        FailurePath{"SixtyEightPollsWithoutN",
                    [](LoaderTest& t) {
                        auto& f = Fixture(t);
                        f.Prepare();
                        // The packet at 0x0A00 is always refused and every poll after that goes
                        // unanswered.
                        f.interceptor = [refused = 0](const std::string& written) mutable
                            -> std::optional<std::string> {
                            if (written.size() == 68 && AddressOf(written) == 0x0A00) {
                                ++refused;
                                return std::string("N");
                            }
                            if (written == ";" && refused > 0) return std::string();
                            return std::nullopt;
                        };
                    },
                    Zr8Error::NoResponseSyncPoll,
                    [](LoaderTest& t) {
                        auto& f = Fixture(t);
                        EXPECT_EQ(f.link.Count(";"), 1u + 68);  // the speed search's, then the resynchronisation's
                        EXPECT_EQ(f.link.Packets(), (0x0A00 - 0x0800) / 64 + 5u);
                        // A failed resynchronisation ends without the load state's line.
                        EXPECT_TRUE(f.LinesStartingWith(L"Send MCU firmware failed").empty());
                        EXPECT_EQ(f.model->m_firmwareStatus.Get(), FirmwareStatusNone);
                    }},
        FailurePath{"FinalPacketRefusedOnce",
                    [](LoaderTest& t) {
                        auto& f = Fixture(t);
                        std::string error;
                        ASSERT_TRUE(f.simOptions.faults.Add("refuse-packet=lastx1", error)) << error;
                        f.Prepare();
                    },
                    0,
                    [](LoaderTest& t) {
                        auto& f = Fixture(t);
                        size_t finals = 0;
                        for (const std::string& packet : f.link.PacketWrites())
                            if (IsFinalPacket(packet)) ++finals;
                        EXPECT_EQ(finals, 2u);
                        EXPECT_EQ(f.link.Packets(), 994u);
                        EXPECT_EQ(f.LinesStartingWith(L"Retry 1 succeeded at address x").size(), 1u);
                        EXPECT_EQ(f.machine->TotalRetries(), 1u);
                        EXPECT_EQ(f.sim->Radio().FirmwareLoads(), 1u);
                    }},
        FailurePath{"NoLDForARadioKnownInItsBootLoader",
                    [](LoaderTest& t) {
                        auto& f = Fixture(t);
                        f.simOptions.startInBootLoader = true;
                        f.Prepare();
                        f.model->m_firmwareStatus.Set(FirmwareStatusBootLoader);
                        // Its answer to "I;" is lost: only the status the model knows skips "LD;".
                        f.interceptor = [swallowed = false](const std::string& written) mutable
                            -> std::optional<std::string> {
                            if (written == "I;" && !swallowed) {
                                swallowed = true;
                                return std::string();
                            }
                            return std::nullopt;
                        };
                    },
                    0,
                    [](LoaderTest& t) {
                        auto& f = Fixture(t);
                        EXPECT_EQ(f.link.Count("LD;"), 0u);
                        EXPECT_EQ(f.link.Count("D"), 1u);
                        EXPECT_EQ(f.link.Packets(), 993u);
                        EXPECT_EQ(f.sim->Radio().FirmwareLoads(), 1u);
                    }},
        FailurePath{"PortWriteFailsUnderAPacket",
                    [](LoaderTest& t) {
                        auto& f = Fixture(t);
                        f.Prepare();
                        // The write of the packet at 0x0A00 fails, as on an adapter in trouble.
                        LinkLog* link = &f.link;
                        f.interceptor = [link](const std::string& written) -> std::optional<std::string> {
                            if (written.size() == 68 && AddressOf(written) == 0x0A00) link->failWrites = ERROR_GEN_FAILURE;
                            return std::nullopt;
                        };
                    },
                    ERROR_GEN_FAILURE,
                    [](LoaderTest& t) {
                        auto& f = Fixture(t);
                        EXPECT_EQ(f.link.Packets(), (0x0A00 - 0x0800) / 64 + 1u);
                        EXPECT_EQ(f.link.Count(";"), 1u) << "no resynchronisation after a failed write";
                        EXPECT_TRUE(f.LinesStartingWith(L"Send MCU firmware failed").empty());
                        EXPECT_EQ(f.model->m_firmwareStatus.Get(), FirmwareStatusNone);
                    }}),
    [](const ::testing::TestParamInfo<FailurePath>& info) { return std::string(info.param.name); });

}  // namespace
