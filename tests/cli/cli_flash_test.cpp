// zr8 flash end to end: a generated firmware file into the radio in this process and into
// zr8sim on a pseudo-terminal, the version check, a file refused before the radio is
// touched, and Ctrl-C in the middle of a load.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "../sim/sim_process.h"
#include "zr8_process.h"

namespace {

const std::string kQuickRadio = "--baud-model instant --flash-ms 0 --restart-ms 10";

// zr8 with its standard error on a pseudo-terminal, as at a user's terminal; standard
// input and output go to /dev/null. Returns what the terminal showed, or "" on a failure
// to start.
std::string RunZr8OnTerminal(const CZr8Home& home, const std::vector<std::string>& args, int& exitCode) {
    exitCode = -1;
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return std::string();
    const std::string slave = ptsname(master);
    const pid_t pid = fork();
    if (pid == 0) {
        const int terminal = open(slave.c_str(), O_RDWR | O_NOCTTY);
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(terminal, STDERR_FILENO);
        close(master);
        setenv("XDG_CONFIG_HOME", home.ConfigHome().c_str(), 1);
        setenv("XDG_DATA_HOME", home.DataHome().c_str(), 1);
        std::vector<std::string> words{ZR8_PATH};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(&w[0]);
        argv.push_back(nullptr);
        execv(ZR8_PATH, argv.data());
        _exit(127);
    }
    std::string shown;
    int waited = 0;
    while (waited < 120000) {
        pollfd fd{master, POLLIN, 0};
        if (poll(&fd, 1, 50) == 0) {
            waited += 50;
            continue;
        }
        char buffer[4096];
        const ssize_t got = read(master, buffer, sizeof buffer);
        if (got > 0) shown.append(buffer, size_t(got));
        else if (got < 0 && errno == EINTR) continue;
        else break;  // EIO once the child has closed the terminal
    }
    if (waited >= 120000) kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    close(master);
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return shown;
}

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

TEST_F(FlashTest, DrawsAProgressBarOnATerminal) {
    int exitCode = -1;
    const std::string shown = RunZr8OnTerminal(home, {"--port", "sim", "--sim", kQuickRadio, "flash", firmware}, exitCode);
    EXPECT_EQ(exitCode, 0) << shown;
    EXPECT_TRUE(Contains(shown, "\r[" + std::string(40, '#') + "] 100% 63488/63488 bytes")) << shown;
    EXPECT_TRUE(Contains(shown, " 50% 31744/63488 bytes")) << shown;
    EXPECT_TRUE(Contains(shown, "s left")) << "no seconds remaining on the bar\n" << shown;
    EXPECT_FALSE(Contains(shown, "Progress ")) << "plain progress lines on a terminal";
    EXPECT_TRUE(Contains(shown, "MCU firmware version verified")) << shown;
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

// The radio restarts with another version than the file's name gives: the check after
// the fresh contact fails with both lines and 0xE2000046, with the radio in this process
// and with zr8sim on a pseudo-terminal.
TEST_F(FlashTest, VersionMismatchFailsWithBothLines) {
    const std::vector<std::string> simArgs{"--baud-model", "instant", "--flash-ms", "0", "--restart-ms", "10",
                                           "--load-version", "116"};
    for (const bool pty : {false, true}) {
        const std::string where = pty ? "pseudo-terminal" : "in process";
        std::unique_ptr<CSimProcess> sim;
        std::vector<std::string> args;
        if (pty) {
            sim = std::make_unique<CSimProcess>(simArgs);
            ASSERT_FALSE(sim->SlavePath().empty()) << sim->FirstLine();
            args = {"--port", sim->SlavePath(), "flash", firmware};
        } else {
            std::string joined;
            for (const std::string& a : simArgs) joined += (joined.empty() ? "" : " ") + a;
            args = {"--port", "sim", "--sim", joined, "flash", firmware};
        }
        const CZr8Result r = RunZr8(home, args);
        EXPECT_EQ(r.exitCode, 1) << where << "\n" << r.err;
        EXPECT_TRUE(Contains(r.err, "Sent MCU firmware file " + firmware + "\nZR8 responded with version 01.16\n"))
            << where << "\n" << r.err;
        EXPECT_TRUE(Contains(r.err, "Firmware version verify failed. Reload MCU firmware.\n")) << where << "\n" << r.err;
        EXPECT_TRUE(Contains(r.err, "Error code 0xE2000046: Version number verification failed\n"))
            << where << "\n" << r.err;
        EXPECT_TRUE(r.out.empty()) << where << "\n" << r.out;
    }
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
        // The load's own progress, not the configuration backup's before it.
        if (sent == 0 && Contains(err, "Progress 10%") && Contains(err, "of 63488 bytes)")) {
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
    EXPECT_FALSE(Contains(r.err, "Progress 100% (63488")) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Answers, FlashInterruptTest,
                         ::testing::Values(InterruptCase{"NoTerminalSecondCtrlC", {}, 2},
                                           InterruptCase{"YesOption", {"--yes"}, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
