// zr8sim on a real pseudo-terminal, talked to through the slave side as the program's
// serial port talks to a USB adapter.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>

#include "sim/firmware_gen.h"
#include "sim/sim_options.h"
#include "tests/sim/sim_process.h"

namespace {

TEST(Pty, PrintsTheSlaveAndAnswersTheTextProtocol) {
    CSimProcess sim({"--baud-model", "instant", "--version", "205", "--serial", "777"});
    ASSERT_EQ(sim.FirstLine().compare(0, 9, "PTY /dev/"), 0) << sim.FirstLine();
    CSlavePort port(sim.SlavePath());
    ASSERT_TRUE(port.IsOpen());
    const char* exchanges[][2] = {{";", "?;"}, {"I;", "ZR8;"}, {"RV;", "RV02.05;"}, {"SN;", "SN00777;"}, {"ER03F010FD;", nullptr}};
    for (auto& e : exchanges) {
        ASSERT_TRUE(port.Write(e[0]));
        const std::string answer = port.ReadUntil(';', 2000);
        if (e[1]) EXPECT_EQ(answer, e[1]) << e[0];
        else EXPECT_EQ(answer.size(), 11u + 32u) << answer;
    }
    EXPECT_EQ(sim.Stop(), 0);
}

TEST(Pty, LineModelStillAnswersAtNinetySixHundred) {
    CSimProcess sim({});
    CSlavePort port(sim.SlavePath());
    ASSERT_TRUE(port.Write("I;"));
    EXPECT_EQ(port.ReadUntil(';', 2000), "ZR8;");
}

TEST(Pty, ReadsTheBitRateTheProgramSet) {
    CSimProcess sim({"--baud-model", "instant", "--fault", "other-rate=19200"});
    CSlavePort port(sim.SlavePath());
    ASSERT_TRUE(port.Write("I;"));
    EXPECT_EQ(port.ReadUntil(';', 300), "") << "9600 is not the radio's rate";
    port.SetSpeed(B19200);
    ASSERT_TRUE(port.Write("I;"));
    EXPECT_EQ(port.ReadUntil(';', 2000), "ZR8;");
}

TEST(Pty, LinkPointsAtTheSlaveAndGoesAtTheEnd) {
    const std::string link = ::testing::TempDir() + "zr8sim-link";
    CSimProcess sim({"--link", link, "--baud-model", "instant"});
    char target[256] = {};
    ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(sim.SlavePath(), target);
    CSlavePort port(link);
    ASSERT_TRUE(port.Write("I;"));
    EXPECT_EQ(port.ReadUntil(';', 2000), "ZR8;");
    EXPECT_EQ(sim.Stop(), 0);
    struct stat st;
    EXPECT_NE(lstat(link.c_str(), &st), 0);
}

TEST(Pty, LinkReplacesAnOldLinkButNoFile) {
    const std::string link = ::testing::TempDir() + "zr8sim-link-kept";
    unlink(link.c_str());
    ASSERT_EQ(symlink("/dev/null", link.c_str()), 0);  // left by a run that was killed
    {
        CSimProcess sim({"--link", link, "--baud-model", "instant"});
        char target[256] = {};
        ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
        EXPECT_EQ(sim.SlavePath(), target);
    }
    {
        FILE* f = std::fopen(link.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("notes", f);
        std::fclose(f);
    }
    CSimProcess refused({"--link", link});
    EXPECT_EQ(refused.WaitExit(5000), 1);
    char text[16] = {};
    FILE* f = std::fopen(link.c_str(), "r");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(std::fread(text, 1, sizeof text - 1, f), 5u);
    std::fclose(f);
    EXPECT_STREQ(text, "notes");
    unlink(link.c_str());
}

TEST(Pty, TheProgramMayCloseAndReopenThePort) {
    CSimProcess sim({"--baud-model", "instant"});
    {
        CSlavePort first(sim.SlavePath());
        ASSERT_TRUE(first.Write("I;"));
        EXPECT_EQ(first.ReadUntil(';', 2000), "ZR8;");
    }
    CSlavePort second(sim.SlavePath());
    ASSERT_TRUE(second.Write("SN;"));
    EXPECT_EQ(second.ReadUntil(';', 2000), "SN12345;");
}

TEST(Pty, VanishHangsUpTheSlave) {
    CSimProcess sim({"--baud-model", "instant", "--fault", "vanish=3"});
    CSlavePort port(sim.SlavePath());
    ASSERT_TRUE(port.Write("I;"));
    EXPECT_EQ(port.ReadUntil(';', 2000), "ZR8;");
    ASSERT_TRUE(port.Write("R"));
    port.ReadUntil(';', 2000);
    EXPECT_TRUE(port.SawHangUp());
    char c;
    errno = 0;
    const ssize_t n = read(port.fd(), &c, 1);
    EXPECT_TRUE(n == 0 || (n < 0 && errno == EIO)) << "read gave " << n << " errno " << errno;
    errno = 0;
    EXPECT_EQ(write(port.fd(), "x", 1), -1);
    EXPECT_EQ(errno, EIO);
    EXPECT_EQ(sim.WaitExit(5000), 0) << "nothing left to serve";
}

TEST(Pty, StdinEndStopsItWhenAsked) {
    CSimProcess sim({"--stdin-eof-exits"});
    ASSERT_FALSE(sim.SlavePath().empty());
    sim.CloseStdin();
    EXPECT_EQ(sim.WaitExit(5000), 0);
}

TEST(Pty, PowerCycleOnSignalRevivesADeadRadio) {
    CSimProcess sim({"--baud-model", "instant", "--fault", "power-loss=1:0"});
    CSlavePort port(sim.SlavePath());
    ASSERT_TRUE(port.Write("EW00000101FE;"));
    EXPECT_EQ(port.ReadUntil(';', 300), "");
    sim.Signal(SIGUSR1);
    usleep(100000);
    ASSERT_TRUE(port.Write("I;"));
    EXPECT_EQ(port.ReadUntil(';', 2000), "ZR8;");
}

TEST(Pty, MakesFirmwareFiles) {
    const std::string path = ::testing::TempDir() + "zr8_0131.hex";
    CSimProcess sim({"--make-firmware", path, "--version", "131", "--lf", "--no-reconciliation"});
    EXPECT_EQ(sim.WaitExit(5000), 0);
    CFirmwareGenOptions expected;
    expected.version = 131;
    expected.crlf = false;
    expected.reconciliationWord = false;
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, MakeFirmwareHex(expected));
}

TEST(Pty, HelpAndBadOptions) {
    CSimProcess help({"--help"});
    EXPECT_EQ(help.FirstLine(), "Usage: zr8sim [options]");
    EXPECT_EQ(help.WaitExit(5000), 0);
    CSimProcess bad({"--fault", "nonsense=1"});
    EXPECT_EQ(bad.WaitExit(5000), 2);
}

TEST(Pty, VersionAloneIsTheProgramsAndWithANumberTheRadios) {
    CSimProcess version({"--version"});
    EXPECT_EQ(version.FirstLine(), "zr8sim 1.23.11.8");
    EXPECT_EQ(version.WaitExit(5000), 0);
    CSimCommandLine commandLine;
    std::string error;
    ASSERT_TRUE(ParseSimCommandLine({"--version", "117", "--serial", "42"}, commandLine, error)) << error;
    EXPECT_FALSE(commandLine.printVersion);
    EXPECT_EQ(commandLine.radio.version, 117);
    ASSERT_TRUE(ParseSimCommandLine({"--serial", "42", "--version"}, commandLine, error)) << error;
    EXPECT_TRUE(commandLine.printVersion);
}

}  // namespace
