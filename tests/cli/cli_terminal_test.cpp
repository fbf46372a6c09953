// zr8 terminal end to end against zr8sim on a pseudo-terminal: through a pipe (scripted)
// and typed on a real terminal, with the time-stamp and hexadecimal views, the log file,
// the macros of the settings and a radio whose line vanishes.
#include <gtest/gtest.h>

#include <regex>

#include "../sim/sim_process.h"
#include "zr8_terminal_driver.h"

namespace {
const char kGreen[] = "\x1b[32m";
const char kPlain[] = "\x1b[0m";

class TerminalTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(sim.SlavePath().empty()) << sim.FirstLine(); }

    std::vector<std::string> Args(std::vector<std::string> extra) const {
        std::vector<std::string> args{"--port", sim.SlavePath(), "terminal", "--wait", "300"};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }

    CZr8Home home;
    CSimProcess sim{{"--baud-model", "instant"}};
};

struct PipeCase {
    const char* name;
    std::vector<std::string> options;
    std::string settings;  // value lines of the settings file
    std::string input;
    std::string out;       // standard output, whole
    std::string errPart;   // part of standard error ("" for none expected)
};
void PrintTo(const PipeCase& c, std::ostream* os) { *os << c.name; }

class TerminalPipeTest : public TerminalTest, public ::testing::WithParamInterface<PipeCase> {};

TEST_P(TerminalPipeTest, ShowsEachLineAndItsAnswers) {
    const PipeCase& c = GetParam();
    if (!c.settings.empty()) home.WriteSettings(c.settings);
    const CZr8Result r = RunZr8WithInput(home, Args(c.options), c.input);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, c.out);
    if (c.errPart.empty())
        EXPECT_EQ(r.err, "");
    else
        EXPECT_TRUE(Contains(r.err, c.errPart)) << r.err;
}

const PipeCase kPipeCases[] = {
    {"CommandsAndAnswers", {}, "", "SN;\nI;\n", "SN;SN12345;\nI;ZR8;\n", ""},
    // Two commands on a line go out in one write, and both answers are awaited.
    {"TwoCommandsInOneLine", {}, "", "RV;SN;\nI;\n", "RV;SN;RV01.23;SN12345;\nI;ZR8;\n", ""},
    // Nothing is added: "SN" alone is not answered until the ";" of the next line.
    {"NothingIsAdded", {}, "", "SN\n;\n", "SN\n;SN12345;\n", ""},
    {"CrLfLinesAndEmptyLines", {}, "", "SN;\r\n\r\n\nRV;", "SN;SN12345;\nRV;RV01.23;\n", ""},
    {"AnswerlessCommand", {}, "", "TT0;\nI;\n", "TT0;\nI;ZR8;\n", ""},
    {"Macro", {}, "\"CommandText3\"=\"RV;SN;\"\r\n", "!3\n", "RV;SN;RV01.23;SN12345;\n", ""},
    {"EmptyMacro", {}, "", "!4\nI;\n", "I;ZR8;\n", "Macro 4 has no text"},
    {"NoSuchMacro", {}, "", "!17\nI;\n", "I;ZR8;\n", "No macro !17: the macros are !1 to !16"},
    {"EscapedBang", {}, "", "!!\n", "!\n", ""},
    {"Hex", {"--hex"}, "", "SN;\nRV;SN;\n",
     "SN; 53 4E 31 32 33 34 35 3B\nRV;SN; 52 56 30 31 2E 32 33 3B\n53 4E 31 32 33 34 35 3B\n", ""},
};

INSTANTIATE_TEST_SUITE_P(Lines, TerminalPipeTest, ::testing::ValuesIn(kPipeCases),
                         [](const ::testing::TestParamInfo<PipeCase>& info) { return std::string(info.param.name); });

TEST_F(TerminalTest, TimeStampsGiveEachAnswerItsLatency) {
    const CZr8Result r = RunZr8WithInput(home, Args({"--timestamps"}), "RV;SN;\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(std::regex_match(r.out, std::regex("RV;SN; \\[[0-9]+ ms\\] RV01\\.23; \\[[0-9]+ ms\\] SN12345;\n")))
        << r.out;
    const CZr8Result hex = RunZr8WithInput(home, Args({"--timestamps", "--hex"}), "SN;\n");
    EXPECT_TRUE(std::regex_match(hex.out, std::regex("SN; \\[[0-9]+ ms\\] 53 4E 31 32 33 34 35 3B\n"))) << hex.out;
}

TEST_F(TerminalTest, LogFileHoldsEverySessionWhole) {
    const std::string log = (home.Path() / "session.log").string();
    home.WriteFile("session.log", "earlier\n");
    ASSERT_EQ(RunZr8WithInput(home, Args({"--log", log}), "SN;\nI;\n").exitCode, 0);
    ASSERT_EQ(RunZr8WithInput(home, Args({"--log", log, "--hex"}), "I;\n").exitCode, 0);
    const std::string text = home.Read("session.log");
    const std::string stamp = "[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}";
    const std::string port = std::regex_replace(sim.SlavePath(), std::regex("[/.]"), "\\$&");
    EXPECT_TRUE(std::regex_match(text, std::regex("earlier\n"
                                                  "--- zr8 terminal on " + port + ", " + stamp + " ---\n"
                                                  "SN;SN12345;\nI;ZR8;\n"
                                                  "--- ended " + stamp + " ---\n"
                                                  "--- zr8 terminal on " + port + ", " + stamp + " ---\n"
                                                  "I; 5A 52 38 3B\n"
                                                  "--- ended " + stamp + " ---\n")))
        << text;
}

TEST_F(TerminalTest, LogFileThatCannotBeOpenedStopsBeforeThePort) {
    const CZr8Result r = RunZr8WithInput(home, Args({"--log", (home.Path() / "no" / "such.log").string()}), "SN;\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "Cannot open the log file")) << r.err;
    // The folder is missing: "not found" (2 here, 3 on Windows).
    EXPECT_TRUE(Contains(r.err, "Error code 0x00000002: ") || Contains(r.err, "Error code 0x00000003: ")) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST_F(TerminalTest, UsageErrors) {
    for (const std::vector<std::string>& extra : {std::vector<std::string>{"--wait"}, {"--log"}, {"--bogus"}}) {
        const CZr8Result r = RunZr8WithInput(home, Args(extra), "");
        EXPECT_EQ(r.exitCode, 2) << extra[0] << "\n" << r.err;
        EXPECT_TRUE(Contains(r.err, "usage: zr8 [options] terminal")) << r.err;
    }
}

TEST_F(TerminalTest, ContactFirstWhenAsked) {
    const CZr8Result r = RunZr8WithInput(home, Args({"--contact"}), "SN;\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.err, "Connected to ZR8 on")) << r.err;
    EXPECT_EQ(r.out, "SN;SN12345;\n");
}

TEST(TerminalVanish, PipeEndsWithTheCodeOfTheLostLine) {
    CZr8Home home;
    CSimProcess sim({"--baud-model", "instant", "--fault", "vanish=3"});
    ASSERT_FALSE(sim.SlavePath().empty()) << sim.FirstLine();
    const std::string log = (home.Path() / "vanish.log").string();
    const CZr8Result r = RunZr8WithInput(home, {"--port", sim.SlavePath(), "terminal", "--log", log}, "SN;\nRV;\n", 20000);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(Contains(r.err, "Error code 0x00000005: ")) << r.err;
    EXPECT_TRUE(Contains(home.Read("vanish.log"), "with error code 0x00000005: ")) << home.Read("vanish.log");
}

TEST(TerminalVanish, TerminalEndsWithTheCodeOfTheLostLine) {
    CZr8Home home;
    CSimProcess sim({"--baud-model", "instant", "--fault", "vanish=3"});
    ASSERT_FALSE(sim.SlavePath().empty()) << sim.FirstLine();
    CZr8OnTerminal zr8(home, {"--port", sim.SlavePath(), "terminal"});
    ASSERT_TRUE(zr8.WaitFor("Ctrl-C ends.")) << zr8.Screen();
    zr8.Type("SN;");
    EXPECT_EQ(zr8.WaitExit(), 1) << zr8.Screen();
    EXPECT_TRUE(Contains(zr8.Screen(), "Error code 0x00000005: ")) << zr8.Screen();
    EXPECT_TRUE(zr8.TerminalIsCooked());
}

// Typed on a real terminal: ";" sends at once, Enter sends the line as it stands, the
// commands show in green, and the terminal is given back as it was.
TEST_F(TerminalTest, TypedCommandsGoOutAtTheSemicolonOrEnter) {
    home.WriteSettings("\"CommandText2\"=\"I;\"\r\n");
    CZr8OnTerminal zr8(home, {"--port", sim.SlavePath(), "terminal"});
    ASSERT_TRUE(zr8.Started());
    ASSERT_TRUE(zr8.WaitFor("Ctrl-D or Ctrl-C ends.\r\n")) << zr8.Screen();
    EXPECT_FALSE(zr8.TerminalIsCooked());

    zr8.Type("SN;");
    EXPECT_TRUE(zr8.WaitFor(std::string(kGreen) + "SN;" + kPlain + "SN12345;")) << zr8.Screen();

    // "RV" and Enter: out without a semicolon, so the radio waits; the ";" typed next
    // goes out at once and completes the command.
    zr8.Type("RV\r");
    EXPECT_TRUE(zr8.WaitFor(std::string(kGreen) + "RV" + kPlain)) << zr8.Screen();
    zr8.Type(";");
    EXPECT_TRUE(zr8.WaitFor(std::string("\r\n") + kGreen + ";" + kPlain + "RV01.23;")) << zr8.Screen();

    // Backspace takes a character back; a macro waits for Enter.
    zr8.Type("XI\x7f\x7f!2\r");
    EXPECT_TRUE(zr8.WaitFor(std::string(kGreen) + "I;" + kPlain + "ZR8;")) << zr8.Screen();

    zr8.Type("\x04");  // Ctrl-D
    EXPECT_EQ(zr8.WaitExit(), 0) << zr8.Screen();
    EXPECT_TRUE(zr8.TerminalIsCooked());
}

TEST_F(TerminalTest, CtrlCEndsATypedSessionCleanly) {
    CZr8OnTerminal zr8(home, {"--port", sim.SlavePath(), "terminal", "--hex", "--timestamps"});
    ASSERT_TRUE(zr8.WaitFor("Ctrl-C ends.")) << zr8.Screen();
    zr8.Type("I;");
    EXPECT_TRUE(zr8.WaitFor(" ms] 5A 52 38 3B")) << zr8.Screen();
    zr8.Interrupt();
    EXPECT_EQ(zr8.WaitExit(), 0) << zr8.Screen();
    EXPECT_TRUE(zr8.TerminalIsCooked());
}

}  // namespace
