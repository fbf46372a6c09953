// What zr8 flash makes sure of before the radio is touched: the configuration backup,
// the question before a downgrade or a reload, the file whose name gives no version,
// and a failed backup that stops everything before "LD;".
#include <gtest/gtest.h>

#include "../sim/sim_process.h"
#include "zr8_process.h"

namespace {

const std::string kQuickRadio = "--baud-model instant --flash-ms 0 --restart-ms 10";

// The path after "Configuration backed up in " on the error stream.
std::string BackupPath(const std::string& err) {
    const std::string lead = "Configuration backed up in ";
    const size_t at = err.find(lead);
    if (at == std::string::npos) return std::string();
    const size_t start = at + lead.size();
    return err.substr(start, err.find('\n', start) - start);
}

class FlashGateTest : public ::testing::Test {
protected:
    std::string Firmware(unsigned version, const std::string& name = std::string()) {
        char file[32];
        std::snprintf(file, sizeof file, "zr8_%04u.hex", version);
        const std::string path = (home.Path() / (name.empty() ? std::string(file) : name)).string();
        EXPECT_TRUE(MakeFirmware(path, {"--version", std::to_string(version)}));
        return path;
    }
    CZr8Home home;
};

// The backup is the radio's EEPROM as it was: a radio with bytes of its own (from an
// EEPROM file) compares equal to it.
TEST_F(FlashGateTest, BacksUpTheConfigurationFirst) {
    std::string eeprom(0x400, '\0');
    for (size_t i = 0; i < eeprom.size(); ++i) eeprom[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    const std::string eepromFile = home.WriteFile("radio.bin", eeprom);
    const std::string radio = kQuickRadio + " --eeprom " + eepromFile;
    const CZr8Result r = RunZr8(home, {"--port", "sim", "--sim", radio, "--trace", "flash", Firmware(124)});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.err, "Installed version 01.23 -> file version 01.24\n")) << r.err;
    const std::string backup = BackupPath(r.err);
    ASSERT_FALSE(backup.empty()) << r.err;
    EXPECT_TRUE(Contains(backup, home.DataHome() + "/Orvandel/ZR8 Configuration/SN12345.")) << backup;
    EXPECT_LT(r.err.find("Configuration backed up in"), r.err.find("send LD;")) << r.err;

    const CZr8Result same = RunZr8(home, {"--port", "sim", "--sim", radio, "diff", backup, "--radio"});
    EXPECT_EQ(same.exitCode, 0) << same.out << same.err;
    EXPECT_TRUE(Contains(same.out, "The configurations are equal\n")) << same.out;
}

TEST_F(FlashGateTest, NoBackupSkipsIt) {
    const CZr8Result r = RunZr8(home, {"--port", "sim", "--sim", kQuickRadio, "flash", "--no-backup", Firmware(124)});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.err, "No configuration backup (--no-backup)\n")) << r.err;
    EXPECT_TRUE(BackupPath(r.err).empty()) << r.err;
}

struct QuestionCase {
    const char* name;
    unsigned fileVersion;
    std::string question;
};
void PrintTo(const QuestionCase& c, std::ostream* os) { *os << c.name; }

class FlashQuestionTest : public FlashGateTest, public ::testing::WithParamInterface<QuestionCase> {};

TEST_P(FlashQuestionTest, AskedAndRefusedWithoutYes) {
    const std::string file = Firmware(GetParam().fileVersion);
    const CZr8Result refused = RunZr8(home, {"--port", "sim", "--sim", kQuickRadio, "--trace", "flash", file});
    EXPECT_EQ(refused.exitCode, 1) << refused.err;
    EXPECT_TRUE(Contains(refused.err, GetParam().question + " No: there is no terminal to ask")) << refused.err;
    EXPECT_TRUE(Contains(refused.err, "Firmware load not started; the radio is unchanged\n"
                                      "Error code 0x000004C7: The operation was canceled by the user.\n"))
        << refused.err;
    EXPECT_FALSE(Contains(refused.err, "LD;")) << refused.err;
    EXPECT_TRUE(BackupPath(refused.err).empty()) << refused.err;

    const CZr8Result yes = RunZr8(home, {"--port", "sim", "--sim", kQuickRadio, "--yes", "flash", file});
    EXPECT_EQ(yes.exitCode, 0) << yes.err;
    EXPECT_TRUE(Contains(yes.err, GetParam().question + " Yes (--yes)\n")) << yes.err;
    EXPECT_TRUE(Contains(yes.out, "MCU firmware load is complete\n")) << yes.out;
}

INSTANTIATE_TEST_SUITE_P(
    Versions, FlashQuestionTest,
    ::testing::Values(QuestionCase{"Downgrade", 116, "The file's version 01.16 is older than the radio's 01.23. Load it anyway?"},
                      QuestionCase{"SameVersion", 123, "The radio already runs version 01.23. Load it again?"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FlashGateTest, FileWithoutVersionInItsNameNeedsForce) {
    const std::string file = Firmware(124, "zr8-latest.hex");
    const CZr8Result refused = RunZr8(home, {"--port", "sim", "--sim", kQuickRadio, "flash", file});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(Contains(refused.err, "The version of " + file + " cannot be read from its name")) << refused.err;
    EXPECT_FALSE(Contains(refused.err, "Opening serial port")) << refused.err;

    const CZr8Result forced = RunZr8(home, {"--port", "sim", "--sim", kQuickRadio, "flash", "--force", file});
    EXPECT_EQ(forced.exitCode, 0) << forced.err;
    EXPECT_TRUE(Contains(forced.err, "the version the radio reports is not checked")) << forced.err;
}

// The radio answers contact and then falls silent: the backup fails, and the load never
// begins ("LD;" never goes out).
TEST_F(FlashGateTest, FailedBackupStopsBeforeTheRadioIsTouched) {
    CSimProcess sim({"--baud-model", "instant", "--fault", "silent=4"});
    ASSERT_FALSE(sim.SlavePath().empty()) << sim.FirstLine();
    const CZr8Result r = RunZr8(home, {"--port", sim.SlavePath(), "--trace", "flash", Firmware(124)});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(Contains(r.err, "Connected to ZR8 on " + sim.SlavePath())) << r.err;
    EXPECT_TRUE(Contains(r.err, "The configuration backup failed: the firmware load is not started and the radio is unchanged\n"
                                "Error code 0xE2000045: No response after reset\n"))
        << r.err;
    EXPECT_FALSE(Contains(r.err, "LD;")) << r.err;
}

}  // namespace
