// zr8 run as a process: info against the radio in this process and on a pseudo-terminal,
// how it ends on usage errors and on ports that fail, and send on a pseudo-terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "../sim/sim_process.h"
#include "zr8_process.h"

namespace {

struct InfoCase {
    const char* name;
    std::vector<std::string> simOptions;
    std::vector<std::string> expected;  // lines on stdout
};
void PrintTo(const InfoCase& c, std::ostream* os) { *os << c.name; }


TEST(Zr8Version, PrintsTheProgramsVersionWithoutTouchingAPort) {
    CZr8Home home;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--version"}, std::vector<std::string>{"--port", "/dev/zr8-none", "--version"}}) {
        const CZr8Result r = RunZr8(home, args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, "zr8 1.23.11.8\n");
        EXPECT_EQ(r.err, "");
    }
}

class InfoTest : public ::testing::TestWithParam<InfoCase> {};

TEST_P(InfoTest, PrintsWhatContactFound) {
    CZr8Home home;
    std::vector<std::string> args{"--port", "sim"};
    std::string sim;
    for (const std::string& o : GetParam().simOptions) sim += o + " ";
    if (!sim.empty()) args.insert(args.end(), {"--sim", sim});
    args.push_back("info");
    const CZr8Result r = RunZr8(home, args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    for (const std::string& line : GetParam().expected) EXPECT_TRUE(Contains(r.out, line + "\n")) << line << "\n" << r.out;
    // The status lines of the contact, as they happened, on the error stream.
    EXPECT_TRUE(Contains(r.err, "Serial port SIM is open\n")) << r.err;
    EXPECT_TRUE(Contains(r.err, "Connected to ZR8 on SIM at 9600 bit/s\n")) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Radios, InfoTest,
    ::testing::Values(
        InfoCase{"Defaults", {},
                 {"ZR8 MCU version 01.23 on SIM at 9600 bit/s", "Device: ZR8", "Firmware status: application firmware",
                  "MCU version: 01.23", "Serial number: 12345", "Bit rate: 9600 bit/s"}},
        InfoCase{"OwnVersionAndSerial", {"--version", "117", "--serial", "42", "--baud-model", "instant"},
                 {"MCU version: 01.17", "Serial number: 00042"}},
        InfoCase{"BootLoader", {"--boot-loader"},
                 {"ZR8 waiting for firmware load on SIM at 9600 bit/s", "Firmware status: boot loader, waiting for a firmware load",
                  "MCU version: ??.??", "Serial number: not read"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CliTrace, ShowsTheExchangeOfContact) {
    CZr8Home home;
    const CZr8Result r = RunZr8(home, {"--port", "sim", "--trace", "info"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.err, "GetMcuVersion send RV;")) << r.err;
    EXPECT_TRUE(Contains(r.err, "GetMcuVersion response RV01.23;")) << r.err;
    const CZr8Result quiet = RunZr8(home, {"--port", "sim", "info"});
    EXPECT_FALSE(Contains(quiet.err, "send RV;")) << quiet.err;
}

TEST(CliUsage, WrongCommandLinesExitTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"bogus"},
        {"--port"},
        {"--bogus", "info"},
        {"--timeout", "0", "info"},
        {"info", "extra"},
        {"ports", "extra"},
        {"check"},
        {"check", "a.hex", "b.hex"},
        {"check", "notes.txt"},
        {"send"},
        {"send", "--wait", "soon", "RV"},
        {"flash", "a.hex", "b.hex"},
        {"flash", "--folder"},
        {"flash", "--bogus"},
        {"--port", "sim", "--sim", "--no-such-option", "info"},
    };
    CZr8Home home;
    for (const auto& args : cases) {
        std::string shown;
        for (const auto& a : args) shown += a + " ";
        const CZr8Result r = RunZr8(home, args);
        EXPECT_EQ(r.exitCode, 2) << shown << "\n" << r.err;
        EXPECT_EQ(r.err.rfind("zr8: ", 0), 0u) << shown << "\n" << r.err;
        EXPECT_TRUE(Contains(r.err, "usage: zr8")) << shown << "\n" << r.err;
        EXPECT_TRUE(r.out.empty()) << shown;
    }
}

TEST(CliUsage, HelpListsCommandsAndOptions) {
    CZr8Home home;
    const CZr8Result all = RunZr8(home, {"--help"});
    EXPECT_EQ(all.exitCode, 0);
    for (const char* name : {"ports", "info", "send", "sim", "flash", "check", "--port", "--trace", "--yes"})
        EXPECT_TRUE(Contains(all.out, name)) << name;
    const CZr8Result one = RunZr8(home, {"flash", "--help"});
    EXPECT_EQ(one.exitCode, 0);
    EXPECT_TRUE(Contains(one.out, "usage: zr8 [options] flash [--folder DIR] [--no-backup] [--force] [FILE]")) << one.out;

    // Every command has its help, wherever --help stands, and gets it without a port or
    // a radio; after "sim" it is the simulator's own.
    struct HelpCase {
        std::vector<std::string> args;
        const char* usage;
    };
    const HelpCase cases[] = {
        {{"ports", "--help"}, "usage: zr8 [options] ports\n"},
        {{"info", "--help"}, "usage: zr8 [options] info\n"},
        {{"--help", "send"}, "usage: zr8 [options] send [--wait MS] CMD...\n"},
        {{"check", "-h"}, "usage: zr8 [options] check "},
        {{"save-config", "--help"}, "usage: zr8 [options] save-config "},
        {{"restore-config", "--help"}, "usage: zr8 [options] restore-config "},
        {{"banner", "--help"}, "usage: zr8 [options] banner "},
        {{"sim", "--help"}, "--link"},
    };
    for (const HelpCase& c : cases) {
        const CZr8Result r = RunZr8(home, c.args);
        EXPECT_EQ(r.exitCode, 0) << c.args[0] << "\n" << r.err;
        EXPECT_TRUE(Contains(r.out + r.err, c.usage)) << c.args[0] << "\n" << r.out;
    }
}

struct PortCase {
    const char* name;
    std::string settings;             // lines of the settings file; empty: none
    std::vector<std::string> args;
    int exitCode;
    std::string errorLine;            // expected on stderr
};
void PrintTo(const PortCase& c, std::ostream* os) { *os << c.name; }


class PortChoiceTest : public ::testing::TestWithParam<PortCase> {};

TEST_P(PortChoiceTest, PortFromOptionOrSetting) {
    CZr8Home home;
    if (!GetParam().settings.empty()) home.WriteSettings(GetParam().settings);
    const CZr8Result r = RunZr8(home, GetParam().args);
    EXPECT_EQ(r.exitCode, GetParam().exitCode) << r.err;
    EXPECT_TRUE(Contains(r.err, GetParam().errorLine)) << r.err;
    // The tool never writes the settings back.
    if (!GetParam().settings.empty()) {
        EXPECT_TRUE(Contains(home.Read("config/Orvandel/ZR8 Utility.reg"), GetParam().settings));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ports, PortChoiceTest,
    ::testing::Values(
        PortCase{"MissingDevice", "", {"--port", "/nonexistent/zr8-tty", "info"}, 1,
                 "\nError code 0x00000002: The system cannot find the file specified.\n"},
        PortCase{"NoPortChosen", "", {"info"}, 1, "Error code 0xE200000F: Serial port name is missing\n"},
        PortCase{"SavedPort", "\"Port\"=\"sim\"\r\n", {"info"}, 0, "Connected to ZR8 on SIM at 9600 bit/s"},
        PortCase{"OptionBeatsSetting", "\"Port\"=\"/nonexistent/zr8-tty\"\r\n", {"info", "--port", "SIM"}, 0,
                 "Serial port SIM is open"},
        PortCase{"SendToMissingDevice", "", {"--port", "/nonexistent/zr8-tty", "send", "RV"}, 1,
                 "Error code 0x00000002: "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CliPty, InfoAndSendAgainstZr8sim) {
    CSimProcess sim({"--baud-model", "instant", "--version", "205"});
    ASSERT_FALSE(sim.SlavePath().empty()) << sim.FirstLine();
    CZr8Home home;
    const CZr8Result info = RunZr8(home, {"--port", sim.SlavePath(), "info"});
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_TRUE(Contains(info.out, "MCU version: 02.05\n")) << info.out;

    // "TT0;" answers nothing: a note on stderr and an empty line, so that line N is the
    // answer to command N, and the next command still gets its answer.
    const CZr8Result sent = RunZr8(home, {"--port", sim.SlavePath(), "send", "--wait", "300", "RV;", "TT0", "I", "XYZ"});
    EXPECT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_EQ(sent.out, "RV02.05;\n\nZR8;\n?;\n");
    EXPECT_TRUE(Contains(sent.err, "TT0;: no answer within 300 ms")) << sent.err;
}

// Ctrl-C while send waits for an answer that never comes ("TT0;" has none): the wait
// ends with the cancellation code, and the tool closes the port and exits cleanly.
TEST(CliSend, CtrlCDuringTheWaitEndsWithCancelled) {
    CZr8Home home;
    bool interrupted = false;
    const CZr8Result r = RunZr8(home, {"--port", "sim", "--trace", "send", "--wait", "60000", "TT0", "RV"}, 30000,
                                [&](const std::string& err, int pid) {
                                    if (interrupted || !Contains(err, "Command send TT0;")) return;
                                    interrupted = true;
                                    // The wait, which counts Ctrl-C, begins just after the trace line.
                                    std::this_thread::sleep_for(std::chrono::milliseconds(500));
                                    kill(pid, SIGINT);
                                });
    EXPECT_TRUE(interrupted) << r.err;
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(Contains(r.err, "Error code 0x000004C7: The operation was canceled by the user.\n")) << r.err;
    EXPECT_FALSE(Contains(r.err, "send RV;")) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
}

TEST(CliPty, SilentRadioEndsAfterTheTimeout) {
    CSimProcess sim({"--fault", "silent=0"});
    ASSERT_FALSE(sim.SlavePath().empty()) << sim.FirstLine();
    CZr8Home home;
    const CZr8Result r = RunZr8(home, {"--port", sim.SlavePath(), "--timeout", "1", "info"}, 30000);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(Contains(r.err, "No answer from the radio on " + sim.SlavePath() + " within 1 seconds")) << r.err;
    EXPECT_TRUE(Contains(r.err, "Error code 0xE2000049: No response to semicolon poll\n")) << r.err;
}

}  // namespace
