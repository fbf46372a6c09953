// Every failure ends with "Error code 0x%08X: %s" and one line that says what to do: the
// exact last two lines of the error stream for files that are missing, empty or broken,
// a load cut in the boot loader, EEPROM writes cut by a power loss, a terminal whose
// port is missing, ports that are no serial ports, and diff naming the damaged one of its files. Also: send
// keeps line N of its output the answer to command N when answers come late, and
// options are checked before the radio is touched.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "zr8_process.h"

namespace {

const std::string kQuick = "--baud-model instant --flash-ms 0 --restart-ms 10";

// The last two lines of the text.
std::string LastTwoLines(const std::string& text) {
    size_t end = text.size();
    if (end > 0 && text[end - 1] == '\n') --end;
    size_t at = text.rfind('\n', end - 1);
    if (at == std::string::npos) return text;
    at = text.rfind('\n', at - 1);
    return at == std::string::npos ? text : text.substr(at + 1);
}

void Replace(std::string& text, const std::string& what, const std::string& with) {
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

struct AdviceCase {
    const char* name;
    std::vector<std::string> args;  // "{home}" stands for the home folder
    std::string lastTwo;            // the same
    int exitCode;
};
void PrintTo(const AdviceCase& c, std::ostream* os) { *os << c.name; }

class FailureAdviceTest : public ::testing::TestWithParam<AdviceCase> {
protected:
    void SetUp() override {
        m_root = m_home.Path().string();
        ASSERT_TRUE(MakeFirmware(m_root + "/zr8_0124.hex", {"--version", "124"}));
        m_home.WriteFile("empty.hex", "");
        m_home.WriteFile("broken.hex", ":020000040000FA\n:10ZZ\n");
        m_home.WriteFile("notes.txt", "not a port\n");
        const CZr8Result saved = RunZr8(m_home, {"--port", "sim", "--sim", "--baud-model instant", "save-config",
                                                 m_root + "/a.ZR8Config"});
        ASSERT_EQ(saved.exitCode, 0) << saved.err;
        std::string bytes = m_home.Read("a.ZR8Config");
        bytes[100] = static_cast<char>(bytes[100] ^ 1);
        m_home.WriteFile("b.ZR8Config", bytes);
    }
    std::string Expand(std::string text) const {
        Replace(text, "{home}", m_root);
        Replace(text, "{quick}", kQuick);
        return text;
    }
    CZr8Home m_home;
    std::string m_root;
};

TEST_P(FailureAdviceTest, EndsWithTheCodeAndWhatToDo) {
    std::vector<std::string> args;
    for (const std::string& arg : GetParam().args) args.push_back(Expand(arg));
    const CZr8Result r = RunZr8(m_home, args);
    EXPECT_EQ(r.exitCode, GetParam().exitCode) << r.err;
    EXPECT_EQ(LastTwoLines(r.err), Expand(GetParam().lastTwo)) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailureAdviceTest,
    ::testing::Values(
        AdviceCase{"CheckBrokenHex", {"check", "{home}/broken.hex"},
                   "Error code 0xE200000B: Unexpected hex character\n"
                   "{home}/broken.hex is not a firmware file the loader takes: line 2 is wrong. Fetch the file again "
                   "(zr8 fetch-firmware), or copy it again from where it came.\n",
                   1},
        AdviceCase{"CheckEmptyHex", {"check", "{home}/empty.hex"},
                   "Error code 0x000003EE: The volume for a file has been externally altered so that the opened file is "
                   "no longer valid.\n"
                   "{home}/empty.hex holds no firmware image: it is empty, or has no data records. Fetch the file again "
                   "(zr8 fetch-firmware), or copy it again from where it came.\n",
                   1},
        AdviceCase{"FlashMissingFile", {"--port", "sim", "flash", "{home}/zr8_0199.hex"},
                   "Error code 0x00000002: The system cannot find the file specified.\n"
                   "There is no file {home}/zr8_0199.hex: check its name and its folder.\n",
                   1},
        AdviceCase{"FlashMissingFolder", {"--port", "sim", "flash", "--folder", "{home}/none"},
                   "Error code 0x00000003: The system cannot find the path specified.\n"
                   "The folder {home}/none does not exist: give one that does with --folder, or correct the "
                   "\"FirmwareFolder\" setting.\n",
                   1},
        AdviceCase{"FlashCutInTheBootLoader",
                   {"--port", "sim", "--sim", "{quick} --fault silent=40", "flash", "--no-backup", "{home}/zr8_0124.hex"},
                   "Error code 0xE2000048: No response to poll while synchronizing to buffer boundary\n"
                   "The firmware load failed on SIM: the radio waits in its boot loader, and the next zr8 flash finds "
                   "it there. Run zr8 flash again.\n",
                   1},
        AdviceCase{"RestoreCutByPowerLoss",
                   {"--port", "sim", "--sim", "--baud-model instant --fault power-loss=1", "restore-config",
                    "{home}/a.ZR8Config"},
                   "Error code 0xE2000051: No response to Write EEPROM block\n"
                   "The radio on SIM stopped answering while its configuration was written, as after a power loss: the "
                   "configuration is partly written. Switch the radio off and on, then restore the file again.\n",
                   1},
        AdviceCase{"BannerCutByPowerLoss",
                   {"--port", "sim", "--sim", "--baud-model instant --fault power-loss=1", "banner", "HELLO"},
                   "Error code 0xE2000051: No response to Write EEPROM block\n"
                   "The radio on SIM stopped answering while the banner was written, as after a power loss: the banner "
                   "is partly written. Switch the radio off and on, then write the banner again.\n",
                   1},
        AdviceCase{"DiffNamesTheDamagedFile", {"diff", "{home}/a.ZR8Config", "{home}/b.ZR8Config"},
                   "Error code 0xE2000031: Corrupt configuration file\n"
                   "{home}/b.ZR8Config fails its check: it is damaged, or not a complete configuration file. Use "
                   "another copy, or save the radio's configuration again (zr8 save-config).\n",
                   2},
        AdviceCase{"PortIsAFile", {"--port", "{home}/notes.txt", "info"},
                   "Error code 0x00000001: Incorrect function.\n"
                   "{home}/notes.txt is not a serial port but a file. Give the radio's port with --port (\"zr8 ports\" "
                   "lists them).\n",
                   1},
        AdviceCase{"PortIsAFolder", {"--port", "{home}", "info"},
                   "Error code 0x0000001F: A device attached to the system is not functioning.\n"
                   "{home} is not a serial port but a folder. Give the radio's port with --port (\"zr8 ports\" lists "
                   "them).\n",
                   1},
        AdviceCase{"PortIsDevNull", {"--port", "/dev/null", "info"},
                   "Error code 0x00000001: Incorrect function.\n"
                   "/dev/null is not a serial port but a device that is no terminal. Give the radio's port with --port "
                   "(\"zr8 ports\" lists them).\n",
                   1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TerminalFailure, AMissingPortSaysSo) {
    CZr8Home home;
    const std::string missing = (home.Path() / "ttyUSB9").string();
    const CZr8Result r = RunZr8(home, {"--port", missing, "terminal"});
    EXPECT_EQ(r.exitCode, 1);
    const std::string last = LastTwoLines(r.err);
    EXPECT_EQ(last.rfind("Error code 0x00000002: The system cannot find the file specified.\nThe port " + missing +
                             " does not exist",
                         0),
              0u)
        << r.err;
}

TEST(SendLateAnswers, LineNIsAlwaysTheAnswerToCommandN) {
    CZr8Home home;
    // Every reply leaves 1.5 s late, past the 1 s wait.
    const CZr8Result r =
        RunZr8(home, {"--port", "sim", "--sim", "--baud-model instant --fault late=1500", "send", "RV", "SN", "I"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "RV01.23;\nSN12345;\nZR8;\n");
    for (const char* command : {"RV;", "SN;", "I;"}) {
        EXPECT_TRUE(Contains(r.err, std::string(command) + ": no answer within 1000 ms\n")) << r.err;
        EXPECT_TRUE(Contains(r.err, std::string(command) + ": the answer came late, after ")) << r.err;
    }
}

TEST(SendLateAnswers, ACommandWithoutAnAnswerKeepsItsLine) {
    CZr8Home home;
    const CZr8Result r = RunZr8(home, {"--port", "sim", "--sim", "--baud-model instant", "send", "--wait", "200", "TT0",
                                       "RV"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "\nRV01.23;\n");
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    std::string message;  // the "zr8: ..." line
};
void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }

class UsageBeforeTheRadioTest : public ::testing::TestWithParam<UsageCase> {};

// The radio is never reached: nothing is written, exit 2, and the line says what is wrong.
TEST_P(UsageBeforeTheRadioTest, IsAUsageError) {
    CZr8Home home;
    const CZr8Result r = RunZr8(home, GetParam().args);
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "zr8: " + GetParam().message) << r.err;
    EXPECT_FALSE(Contains(r.err, "Opening serial port")) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, UsageBeforeTheRadioTest,
    ::testing::Values(
        UsageCase{"BannerOption", {"--port", "sim", "banner", "--bogus"},
                  "unknown option --bogus (a text that begins with \"-\" goes after --)"},
        UsageCase{"SendOption", {"--port", "sim", "send", "--bogus", "RV"},
                  "unknown option --bogus (a command that begins with \"-\" goes after --)"},
        UsageCase{"InfoOption", {"--port", "sim", "info", "--bogus"}, "info takes no options, not --bogus"},
        UsageCase{"InfoArgument", {"--port", "sim", "info", "extra"}, "info takes no arguments, not 'extra'"},
        UsageCase{"FlashNotHex", {"--port", "sim", "flash", "zr8_0124.bin"},
                  "flash takes an Intel HEX file (.hex), not 'zr8_0124.bin'"},
        UsageCase{"SimWithoutPortSim", {"--sim", "--version 117", "info"},
                  "--sim sets up the simulated radio of --port sim; give --port sim with it"},
        UsageCase{"EmptyServer", {"fetch-firmware", "--server", ""}, "--server needs a value, not an empty one"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BannerText, ADashTextGoesAfterTheEndOfOptions) {
    CZr8Home home;
    const CZr8Result r = RunZr8(home, {"--port", "sim", "--sim", "--baud-model instant", "banner", "--", "-73-"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Power-on banner: \"-73-\"\n");
}

TEST(PortNames, ARelativePathIsUsedAsItStands) {
    CZr8Home home;
    home.WriteFile("link", "");
    const std::string relative =
        std::filesystem::relative(home.Path() / "link", std::filesystem::current_path()).string();
    ASSERT_EQ(relative.rfind("../", 0), 0u) << relative;
    const CZr8Result r = RunZr8(home, {"--port", relative, "info"});
    // A file, not the /dev/ name: the tool looked where it was told.
    EXPECT_TRUE(Contains(r.err, relative + " is not a serial port but a file.")) << r.err;
}

}  // namespace
