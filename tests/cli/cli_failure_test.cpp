// How zr8 ends a failure: the "Error code" line with the first failure's code, then one
// line that says what happened and what to do. Every case is produced for real: ports
// that do not exist, are held or forbidden, zr8sim on a pseudo-terminal that falls
// silent, sends noise, only echoes, or vanishes in the middle of an operation.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "../sim/sim_process.h"
#include "zr8_process.h"

namespace {

const std::vector<std::string> kQuick{"--baud-model", "instant", "--flash-ms", "0", "--restart-ms", "10"};

// The line that follows "Error code ...: ...\n" on the error stream, or "" when none.
std::string AdviceAfter(const std::string& err, const std::string& codeLine) {
    const size_t at = err.find(codeLine + "\n");
    if (at == std::string::npos) return std::string();
    const size_t start = at + codeLine.size() + 1;
    const size_t end = err.find('\n', start);
    return err.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct LineCase {
    const char* name;
    std::vector<std::string> simOptions;
    std::string command;
    std::string codeLine;
    std::string advice;  // the start of the advice line
};
void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class LineFailureTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineFailureTest, NamesWhatCameOverTheLine) {
    CSimProcess sim(Join(kQuick, GetParam().simOptions));
    ASSERT_FALSE(sim.SlavePath().empty()) << sim.FirstLine();
    CZr8Home home;
    const CZr8Result r = RunZr8(home, {"--port", sim.SlavePath(), "--timeout", "3", GetParam().command});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(AdviceAfter(r.err, GetParam().codeLine).rfind(GetParam().advice + sim.SlavePath(), 0), 0u) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Radios, LineFailureTest,
    ::testing::Values(
        LineCase{"Silent", {"--fault", "silent=0"}, "info", "Error code 0xE2000049: No response to semicolon poll",
                 "Nothing at all came back on "},
        // The radio listens at 4800 bit/s: what it is sent at 9600 never reaches it, so
        // it says nothing at all.
        LineCase{"OtherRate", {"--fault", "other-rate=4800"}, "info", "Error code 0xE2000049: No response to semicolon poll",
                 "Nothing at all came back on "},
        LineCase{"NoiseOnly", {"--fault", "silent=0", "--fault", "garbage=1x20"}, "info",
                 "Error code 0xE2000049: No response to semicolon poll", "Bytes came back on "},
        LineCase{"EchoOnlyBootLoader", {"--boot-loader", "--echo-only"}, "save-config",
                 "Error code 0x00000032: The request is not supported.", "The device on "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PortFailure, MissingDeviceSaysSoAndListsThePorts) {
    CZr8Home home;
    const std::string missing = (home.Path() / "ttyUSB9").string();
    const CZr8Result r = RunZr8(home, {"--port", missing, "info"});
    EXPECT_EQ(r.exitCode, 1);
    const std::string advice = AdviceAfter(r.err, "Error code 0x00000002: The system cannot find the file specified.");
    EXPECT_EQ(advice.rfind("The port " + missing + " does not exist", 0), 0u) << r.err;
    // The ports that exist (this machine may have none, and then says so).
    EXPECT_TRUE(Contains(advice, "Ports on this computer: ") || Contains(advice, "shows no serial ports")) << advice;
}

TEST(PortFailure, HeldPortNamesTheProcessThatHoldsIt) {
    CSimProcess sim(kQuick);
    ASSERT_FALSE(sim.SlavePath().empty()) << sim.FirstLine();
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    if (holder == 0) {
        const int fd = open(sim.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        const bool locked = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0;
        (void)!write(ready[1], locked ? "1" : "0", 1);
        if (locked) execl("/bin/sleep", "sleep", "60", static_cast<char*>(nullptr));
        _exit(1);
    }
    close(ready[1]);
    char locked = 0;
    ASSERT_EQ(read(ready[0], &locked, 1), 1);
    close(ready[0]);
    ASSERT_EQ(locked, '1');

    CZr8Home home;
    const CZr8Result r = RunZr8(home, {"--port", sim.SlavePath(), "info"});
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_EQ(r.exitCode, 1);
    const std::string advice = AdviceAfter(r.err, "Error code 0x00000005: Access is denied.");
    EXPECT_EQ(advice.rfind("Another program holds " + sim.SlavePath() + ": process " + std::to_string(holder) + " (", 0), 0u)
        << r.err;
}

// zr8 run as the user nobody, its output captured; the homes must be open to it.
CZr8Result RunZr8AsNobody(const std::string& home, const std::vector<std::string>& args) {
    CZr8Result result;
    int out[2];
    if (pipe(out) != 0) return result;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(out[1], STDERR_FILENO);
        close(out[0]);
        close(out[1]);
        const int null = open("/dev/null", O_RDONLY);
        dup2(null, STDIN_FILENO);
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(126);
        setenv("XDG_CONFIG_HOME", home.c_str(), 1);
        setenv("XDG_DATA_HOME", home.c_str(), 1);
        std::vector<std::string> words{ZR8_PATH};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(&w[0]);
        argv.push_back(nullptr);
        execv(ZR8_PATH, argv.data());
        _exit(127);
    }
    close(out[1]);
    char buffer[4096];
    ssize_t got;
    while ((got = read(out[0], buffer, sizeof buffer)) > 0) result.err.append(buffer, size_t(got));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

TEST(PortFailure, ForbiddenDeviceNamesItsGroupAndHowToJoinIt) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to run zr8 as another user";
    CSimProcess sim(kQuick);
    ASSERT_FALSE(sim.SlavePath().empty()) << sim.FirstLine();
    const group* dialout = getgrnam("dialout");
    const gid_t gid = dialout ? dialout->gr_gid : 5;
    const std::string groupName = dialout ? "dialout" : std::to_string(gid);
    ASSERT_EQ(chown(sim.SlavePath().c_str(), 0, gid), 0);
    ASSERT_EQ(chmod(sim.SlavePath().c_str(), 0660), 0);

    CZr8Home home;
    std::filesystem::permissions(home.Path(), std::filesystem::perms::all);
    const CZr8Result r = RunZr8AsNobody(home.Path().string(), {"--port", sim.SlavePath(), "info"});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    const std::string advice = AdviceAfter(r.err, "Error code 0x00000005: Access is denied.");
    EXPECT_EQ(advice, "You may not use " + sim.SlavePath() + ": it belongs to the group " + groupName +
                          ". Join the group with \"sudo usermod -aG " + groupName + " nobody\", then log out and in again.")
        << r.err;
}

struct VanishCase {
    const char* name;
    const char* vanishAfter;  // bytes the radio receives before the line goes
    std::vector<std::string> command;
    std::string advice;  // after "The adapter on <port> went away "
};
void PrintTo(const VanishCase& c, std::ostream* os) { *os << c.name; }

class VanishTest : public ::testing::TestWithParam<VanishCase> {
protected:
    CZr8Home home;
};

// The adapter goes in the middle: the code is the first failure's (5, access denied as
// a pulled adapter gives it), never what follows from the closed port (6), and the
// advice tells the radio's state.
TEST_P(VanishTest, TellsWhatStateTheRadioIsIn) {
    const std::string firmware = (home.Path() / "zr8_0124.hex").string();
    ASSERT_TRUE(MakeFirmware(firmware, {"--version", "124"}));
    // A file of this radio for the restore, saved from the radio in this process.
    const std::string config = (home.Path() / "radio.ZR8Config").string();
    ASSERT_EQ(RunZr8(home, {"--port", "sim", "--sim", "--baud-model instant", "save-config", config}).exitCode, 0);

    CSimProcess sim(Join(kQuick, {"--fault", std::string("vanish=") + GetParam().vanishAfter}));
    ASSERT_FALSE(sim.SlavePath().empty()) << sim.FirstLine();
    std::vector<std::string> args{"--port", sim.SlavePath(), "--timeout", "5"};
    for (std::string word : GetParam().command) {
        if (word == "FIRMWARE") word = firmware;
        if (word == "CONFIG") word = config;
        if (word == "SAVED") word = (home.Path() / "saved.ZR8Config").string();
        args.push_back(word);
    }
    const CZr8Result r = RunZr8(home, args);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_FALSE(Contains(r.err, "Error code 0x00000006")) << r.err;
    EXPECT_EQ(AdviceAfter(r.err, "Error code 0x00000005: Access is denied."),
              "The adapter on " + sim.SlavePath() + " went away " + GetParam().advice)
        << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Operations, VanishTest,
    ::testing::Values(
        VanishCase{"Flash", "3000", {"flash", "--no-backup", "FIRMWARE"},
                   "during the firmware load: the radio is left in its boot loader. Plug the cable in again and run zr8 flash "
                   "again."},
        VanishCase{"FlashBackup", "60", {"flash", "FIRMWARE"},
                   "before the firmware load began: the radio still runs its firmware. Plug the cable in again and run "
                   "zr8 flash again."},
        VanishCase{"SaveConfig", "60", {"save-config", "SAVED"},
                   "while the configuration was read: no file was written and the radio is unchanged. Plug the cable in "
                   "again and save again."},
        VanishCase{"RestoreConfig", "400", {"restore-config", "CONFIG"},
                   "during the restore: the radio's configuration is partly written. Plug the cable in again, switch the "
                   "radio off and on, and restore the file again."}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
