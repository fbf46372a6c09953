// zr8 save-config, restore-config, banner and check of configuration files end to end:
// the built program against the simulated radio in its own process (--port sim) and
// against zr8sim on a pseudo-terminal, the EEPROM kept in files the tests read.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../sim/sim_process.h"
#include "zr8_process.h"

namespace {

const std::string kQuick = "--baud-model instant";

std::string Pattern(unsigned seed) {
    std::string bytes(0x8400, '\0');
    for (size_t a = 0; a < bytes.size(); ++a) bytes[a] = char((a * seed + 11) & 0xFF);
    return bytes;
}

bool IsProtected(size_t a) { return (a >= 0x0C0 && a <= 0x0C1) || (a >= 0x0FB && a <= 0x0FF); }

class ConfigCliTest : public ::testing::Test {
protected:
    std::string Radio(const std::string& eepromFile, const std::string& more = "") const {
        return kQuick + " --eeprom " + eepromFile + (more.empty() ? "" : " " + more);
    }
    std::vector<std::filesystem::path> SavedFiles() const {
        std::vector<std::filesystem::path> files;
        const auto folder = std::filesystem::path(home.DataHome()) / "Orvandel" / "ZR8 Configuration";
        if (std::filesystem::exists(folder))
            for (const auto& entry : std::filesystem::directory_iterator(folder)) files.push_back(entry.path());
        return files;
    }
    CZr8Home home;
};

TEST_F(ConfigCliTest, SaveToTheDefaultFolderCheckAndRestoreIntoAnotherRadio) {
    const std::string a = home.WriteFile("a.bin", Pattern(37));
    const CZr8Result save = RunZr8(home, {"--port", "sim", "--sim", Radio(a), "save-config"});
    ASSERT_EQ(save.exitCode, 0) << save.err;
    const auto files = SavedFiles();
    ASSERT_EQ(files.size(), 1u);
    const std::string name = files[0].filename().string();
    EXPECT_EQ(name.rfind("SN12345.", 0), 0u) << name;
    EXPECT_EQ(name.substr(name.size() - 10), ".ZR8Config") << name;
    EXPECT_EQ(save.out, "Configuration saved in " + files[0].string() + "\n");
    EXPECT_TRUE(Contains(save.err, "Progress 100% (1024 of 1024 bytes)\n")) << save.err;

    const CZr8Result check = RunZr8(home, {"check", files[0].string()});
    EXPECT_EQ(check.exitCode, 0) << check.err;
    EXPECT_EQ(check.out,
              "Integrity value and completeness verified\n"
              "5 runs of bytes, 1017 bytes to restore\n"
              "  0x000-0x0BF 192 bytes\n"
              "  0x0C2-0x0FA  57 bytes\n"
              "  0x100-0x1FF 256 bytes\n"
              "  0x200-0x2FF 256 bytes\n"
              "  0x300-0x3FF 256 bytes\n"
              "Serial number in the file: 12345\n");

    const std::string b = home.WriteFile("b.bin", Pattern(91));
    const CZr8Result restore = RunZr8(home, {"--port", "sim", "--sim", Radio(b), "restore-config", files[0].string()});
    ASSERT_EQ(restore.exitCode, 0) << restore.err;
    EXPECT_EQ(restore.out, "Configuration was restored\n");
    EXPECT_TRUE(Contains(restore.err, "Turn power off and back on.\n")) << restore.err;
    const std::string before = Pattern(91), source = Pattern(37), after = home.Read("b.bin");
    ASSERT_EQ(after.size(), before.size());
    for (size_t addr = 0; addr < 0x400; ++addr)
        ASSERT_EQ(after[addr], IsProtected(addr) ? before[addr] : source[addr]) << std::hex << addr;
    EXPECT_EQ(after.substr(0x400), before.substr(0x400));
}

TEST_F(ConfigCliTest, RefusedFilesNeverReachTheRadio) {
    const std::string a = home.WriteFile("a.bin", Pattern(37));
    const std::string file = (home.Path() / "radio.ZR8Config").string();
    ASSERT_EQ(RunZr8(home, {"--port", "sim", "--sim", Radio(a), "save-config", file}).exitCode, 0);
    std::string text = home.Read("radio.ZR8Config");
    const size_t at = text.find("MEM2 01 00 20 ") + 14;
    text[at] = text[at] == '0' ? '1' : '0';
    const std::string altered = home.WriteFile("altered.ZR8Config", text);

    struct Case {
        const char* name;
        std::string radio;
        std::vector<std::string> args;
        std::string error;
    };
    const Case cases[] = {
        {"altered", "", {"restore-config", altered}, "Error code 0xE2000031: Corrupt configuration file\n"},
        {"another radio", "--serial 777 ", {"restore-config", file},
         "Error code 0xE2000032: TV4 serial number does not match the restore file serial number\n"},
        {"another radio, advanced, no terminal to ask", "--serial 777 ", {"restore-config", "--advanced", file},
         "Error code 0xE2000032: TV4 serial number does not match the restore file serial number\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string b = home.WriteFile("b.bin", Pattern(91));
        std::vector<std::string> args = {"--port", "sim", "--sim", Radio(b, c.radio + "--write-log " + (home.Path() / "writes.txt").string())};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CZr8Result r = RunZr8(home, args);
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_TRUE(Contains(r.err, c.error)) << r.err;
        EXPECT_EQ(home.Read("b.bin"), Pattern(91));
        EXPECT_FALSE(std::filesystem::exists(home.Path() / "writes.txt"));
    }
    const CZr8Result check = RunZr8(home, {"check", altered});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_TRUE(Contains(check.err, "The configuration file has been altered after it was saved.")) << check.err;

    // --yes answers the question of advanced mode.
    const std::string b = home.WriteFile("b.bin", Pattern(91));
    const CZr8Result yes = RunZr8(home, {"--port", "sim", "--sim", Radio(b, "--serial 777"), "--yes", "restore-config", "--advanced", file});
    EXPECT_EQ(yes.exitCode, 0) << yes.err;
    EXPECT_TRUE(Contains(yes.err, "Press Yes to continue anyway. Yes (--yes)\n")) << yes.err;
    EXPECT_EQ(home.Read("b.bin").substr(0x100, 0x300), Pattern(37).substr(0x100, 0x300));
}

TEST_F(ConfigCliTest, ExistingFileIsReplacedOnlyWithConsent) {
    const std::string file = home.WriteFile("keep.ZR8Config", "earlier\r\n");
    const CZr8Result no = RunZr8(home, {"--port", "sim", "--sim", kQuick, "save-config", file});
    EXPECT_EQ(no.exitCode, 1) << no.err;
    EXPECT_TRUE(Contains(no.err, "Error code 0x000004C7: ")) << no.err;
    EXPECT_EQ(home.Read("keep.ZR8Config"), "earlier\r\n");
    const CZr8Result yes = RunZr8(home, {"--port", "sim", "--sim", kQuick, "--yes", "save-config", file});
    EXPECT_EQ(yes.exitCode, 0) << yes.err;
    EXPECT_EQ(home.Read("keep.ZR8Config").rfind("*Configuration saved on ", 0), 0u);
}

TEST_F(ConfigCliTest, Banner) {
    const std::string e = home.WriteFile("e.bin", Pattern(37));
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string out;
    };
    const Case cases[] = {
        {{"banner"}, 0, "Power-on banner: \"ZR8 HF\"\n"},  // a fresh radio (no EEPROM file)
        {{"banner", "  CQ DX   "}, 0, "Power-on banner: \"  CQ DX\"\n"},
        {{"banner", "ABCDEFGHIJKLMNOPQ"}, 2, ""},
        {{"banner", "a", "b"}, 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        std::vector<std::string> args = {"--port", "sim", "--sim", kQuick};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CZr8Result r = RunZr8(home, args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        EXPECT_EQ(r.out, c.out);
    }
    const CZr8Result write = RunZr8(home, {"--port", "sim", "--sim", Radio(e), "banner", "HELLO"});
    ASSERT_EQ(write.exitCode, 0) << write.err;
    const std::string after = home.Read("e.bin"), before = Pattern(37);
    EXPECT_EQ(after.substr(0x3F0, 6), std::string("HELLO\0", 6));
    EXPECT_EQ(after.substr(0x3F6, 10), before.substr(0x3F6, 10));
}

TEST_F(ConfigCliTest, SaveRestoreAndBannerOverAPseudoTerminal) {
    const std::string a = home.WriteFile("a.bin", Pattern(53));
    CSimProcess sim({"--baud-model", "instant", "--eeprom", a});
    ASSERT_FALSE(sim.SlavePath().empty()) << sim.FirstLine();
    const std::string file = (home.Path() / "pty.ZR8Config").string();
    const CZr8Result save = RunZr8(home, {"--port", sim.SlavePath(), "save-config", file});
    ASSERT_EQ(save.exitCode, 0) << save.err;

    // Change the radio, then put the saved configuration back.
    const CZr8Result banner = RunZr8(home, {"--port", sim.SlavePath(), "banner", "CHANGED"});
    ASSERT_EQ(banner.exitCode, 0) << banner.err;
    EXPECT_EQ(banner.out, "Power-on banner: \"CHANGED\"\n");
    const CZr8Result restore = RunZr8(home, {"--port", sim.SlavePath(), "restore-config", file});
    ASSERT_EQ(restore.exitCode, 0) << restore.err;
    const CZr8Result back = RunZr8(home, {"--port", sim.SlavePath(), "banner"});
    EXPECT_EQ(back.exitCode, 0) << back.err;
    EXPECT_EQ(home.Read("a.bin").substr(0, 0x400), Pattern(53).substr(0, 0x400));
}

}  // namespace
