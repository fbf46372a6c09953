// zr8 flash end to end: a generated firmware file into the radio in this process and into
// zr8sim on a pseudo-terminal, the version check, a file refused before the radio is
// touched, and Ctrl-C in the middle of a load.
#include <gtest/gtest.h>

#include <csignal>

#include "../sim/sim_process.h"
#include "zr8_process.h"

namespace {

const std::string kQuickRadio = "--baud-model instant --flash-ms 0 --restart-ms 10";

class FlashTest : public ::testing::Test {
protected:
    void SetUp() override {
        firmware = (home.Path() / "zr8_0124.hex").string();
        ASSERT_TRUE(MakeFirmware(firmware, {"--version", "124"}));
    }
    CZr8Home home;
    std::string firmware;
};

TEST_F(FlashTest, LoadsAndVerifiesWithPlainProgressWhenPiped) {
    const CZr8Result r = RunZr8(home, {"--port", "sim", "--sim", kQuickRadio, "flash", firmware});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "MCU firmware load is complete\n");
    for (const std::string& line : {"Sending MCU firmware file " + firmware, std::string("Progress 50% (31744 of 63488 bytes)"),
                                    std::string("Progress 100% (63488 of 63488 bytes)"), std::string("Waiting 4 seconds for reset"),
                                    std::string("MCU firmware version verified")})
        EXPECT_TRUE(Contains(r.err, line + "\n")) << line << "\n" << r.err;
    EXPECT_FALSE(Contains(r.err, "\r")) << "a bar drawn on a pipe";
    EXPECT_FALSE(Contains(r.err, "retries")) << r.err;
}

TEST_F(FlashTest, NewestFileOfTheFolder) {
    const std::string folder = (home.Path() / "firmware").string();
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(MakeFirmware(folder + "/zr8_0116.hex", {"--version", "116"}));
    ASSERT_TRUE(MakeFirmware(folder + "/zr8_0124.hex", {"--version", "124"}));
    const CZr8Result r = RunZr8(home, {"--port", "sim", "--sim", kQuickRadio, "flash", "--folder", folder});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.err, "Sending MCU firmware file " + folder + "/zr8_0124.hex\n")) << r.err;

    const CZr8Result empty = RunZr8(home, {"--port", "sim", "flash", "--folder", (home.Path() / "nothing").string()});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_TRUE(Contains(empty.err, "No firmware file (zr8*.hex) in")) << empty.err;
    EXPECT_FALSE(Contains(empty.err, "Opening serial port")) << empty.err;
}

TEST_F(FlashTest, VersionMismatchFailsWithBothLines) {
    const CZr8Result r = RunZr8(home, {"--port", "sim", "--sim", kQuickRadio + " --load-version 116", "flash", firmware});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(Contains(r.err, "Sent MCU firmware file " + firmware + "\nZR8 responded with version 01.16\n")) << r.err;
    EXPECT_TRUE(Contains(r.err, "Firmware version verify failed. Reload MCU firmware.\n")) << r.err;
    EXPECT_TRUE(Contains(r.err, "Error code 0xE2000046: Version number verification failed\n")) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
}

TEST_F(FlashTest, BrokenFileRefusedBeforeThePortIsOpened) {
    std::string text = home.Read("zr8_0124.hex");
    text.replace(text.find(":10080000EB"), 11, ":10080000XB");
    const std::string broken = home.WriteFile("zr8_0125.hex", text);
    const CZr8Result r = RunZr8(home, {"--port", "sim", "flash", broken});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "Line 2, error code 0xE200000B: Unexpected hex character\n")) << r.err;
    EXPECT_TRUE(Contains(r.err, "Error code 0xE200000B: Unexpected hex character\n")) << r.err;
    EXPECT_FALSE(Contains(r.err, "Opening serial port")) << r.err;
}

TEST_F(FlashTest, RefusedPacketsOnAPseudoTerminalShowTheRetries) {
    CSimProcess sim({"--baud-model", "instant", "--flash-ms", "0", "--restart-ms", "10", "--fault", "refuse-packet=3x4"});
    ASSERT_FALSE(sim.SlavePath().empty()) << sim.FirstLine();
    const CZr8Result r = RunZr8(home, {"--port", sim.SlavePath(), "flash", firmware});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.err, "Retry 4 succeeded at address x08C0\n")) << r.err;
    EXPECT_TRUE(Contains(r.err, "Total number of retries was 4\nHighest number of retries for any block was 4\n")) << r.err;
    EXPECT_TRUE(Contains(r.err, "MCU firmware version verified\n")) << r.err;
}

struct InterruptCase {
    const char* name;
    std::vector<std::string> extraArgs;
    int interrupts;  // Ctrl-C sent before the load ends
};
void PrintTo(const InterruptCase& c, std::ostream* os) { *os << c.name; }


class FlashInterruptTest : public FlashTest, public ::testing::WithParamInterface<InterruptCase> {};

TEST_P(FlashInterruptTest, CtrlCAbandonsAfterAskingAndClosesThePort) {
    // A slow boot loader, so the load is surely still running when Ctrl-C comes.
    std::vector<std::string> args{"--port", "sim", "--sim", "--baud-model instant --flash-ms 30"};
    args.insert(args.end(), GetParam().extraArgs.begin(), GetParam().extraArgs.end());
    args.insert(args.end(), {"flash", firmware});
    int sent = 0;
    const CZr8Result r = RunZr8(home, args, 120000, [&](const std::string& err, int pid) {
        if (sent == 0 && Contains(err, "Progress 10%")) {
            kill(pid, SIGINT);
            ++sent;
        } else if (sent == 1 && sent < GetParam().interrupts && Contains(err, "Ctrl-C again abandons")) {
            kill(pid, SIGINT);
            ++sent;
        }
    });
    EXPECT_EQ(sent, GetParam().interrupts);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(Contains(r.err, "Firmware load abandoned; the port is closed")) << r.err;
    EXPECT_TRUE(Contains(r.err, "Error code 0x000004C7: The operation was canceled by the user.\n")) << r.err;
    EXPECT_FALSE(Contains(r.err, "Progress 100%")) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Answers, FlashInterruptTest,
                         ::testing::Values(InterruptCase{"NoTerminalSecondCtrlC", {}, 2},
                                           InterruptCase{"YesOption", {"--yes"}, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
