// zr8 diff: configuration files saved from the radio in this process, compared with one
// another and with the radio; exit status as diff's.
#include <gtest/gtest.h>

#include <string>

#include "zr8_process.h"

namespace {

std::string Eeprom(unsigned seed) {
    std::string bytes(0x8400, '\0');
    for (size_t a = 0; a < bytes.size(); ++a) bytes[a] = char((a * seed + 11) & 0xFF);
    bytes.replace(0x3F0, 16, std::string("ZR8 HF\0\0\0\0\0\0\0\0\0\xFF", 16));
    return bytes;
}

class DiffTest : public ::testing::Test {
protected:
    std::string Radio(const std::string& eeprom, const std::string& more = "") const {
        return "--baud-model instant --eeprom " + eeprom + (more.empty() ? "" : " " + more);
    }
    std::string Save(const std::string& radio, const std::string& name) const {
        const std::string path = (home.Path() / name).string();
        const CZr8Result r = RunZr8(home, {"--port", "sim", "--sim", radio, "save-config", path});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return path;
    }
    CZr8Home home;
};

TEST_F(DiffTest, TwoSavesOfOneRadioAreEqual) {
    const std::string radio = Radio(home.WriteFile("radio.bin", Eeprom(37)));
    const std::string a = Save(radio, "a.ZR8Config");
    const std::string b = Save(radio, "b.ZR8Config");
    const CZr8Result r = RunZr8(home, {"diff", a, b});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "The configurations are equal\n");

    const CZr8Result radioSide = RunZr8(home, {"--port", "sim", "--sim", radio, "diff", a, "--radio"});
    EXPECT_EQ(radioSide.exitCode, 0) << radioSide.err;
    EXPECT_EQ(radioSide.out, "The configurations are equal\n");
}

TEST_F(DiffTest, BannerChangeNamesItsBytesAndBothTexts) {
    const std::string eeprom = home.WriteFile("radio.bin", Eeprom(37));
    const std::string before = Save(Radio(eeprom), "before.ZR8Config");
    ASSERT_EQ(RunZr8(home, {"--port", "sim", "--sim", Radio(eeprom), "banner", "HELLO"}).exitCode, 0);
    const std::string after = Save(Radio(eeprom), "after.ZR8Config");

    const CZr8Result r = RunZr8(home, {"diff", before, after});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(Contains(r.out, "0x3F0-0x3F5   6 bytes: 5A 52 38 20 48 46 -> 48 45 4C 4C 4F 00\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "Banner: \"ZR8 HF\" -> \"HELLO\"\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "Serial number: 12345 -> 12345\n")) << r.out;
    EXPECT_FALSE(Contains(r.out, "A restore would not write")) << r.out;
    EXPECT_TRUE(Contains(r.out, "6 bytes differ in 1 range\n")) << r.out;
}

// Another radio's file differs in the bytes that belong to each radio alone as well:
// those are named as the ones a restore would leave as they are.
TEST_F(DiffTest, AnotherRadiosFileNamesTheProtectedBytes) {
    const std::string mine = Save(Radio(home.WriteFile("mine.bin", Eeprom(37))), "mine.ZR8Config");
    const std::string other = Save(Radio(home.WriteFile("other.bin", Eeprom(41)), "--serial 4242"), "other.ZR8Config");
    const CZr8Result r = RunZr8(home, {"diff", mine, other});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(Contains(r.out, "Serial number: 12345 -> 04242\n")) << r.out;
    // The two patterns meet at every 64th address, 0x0C0 among them.
    EXPECT_TRUE(Contains(r.out, "0x0C1-0x0FF  63 bytes: ")) << r.out;
    EXPECT_TRUE(Contains(r.out, "A restore would not write: 0x0C1, 0x0FB-0x0FF\n")) << r.out;
}

TEST_F(DiffTest, CorruptFileIsTroubleNotADifference) {
    const std::string good = Save(Radio(home.WriteFile("radio.bin", Eeprom(37))), "good.ZR8Config");
    std::string text = home.Read("good.ZR8Config");
    const size_t at = text.find("MEM2 00 20 20 ");
    ASSERT_NE(at, std::string::npos);
    text[at + 14] = text[at + 14] == '0' ? '1' : '0';
    const std::string corrupt = home.WriteFile("corrupt.ZR8Config", text);
    for (const auto& args : {std::vector<std::string>{"diff", good, corrupt}, std::vector<std::string>{"diff", corrupt, good}}) {
        const CZr8Result r = RunZr8(home, args);
        EXPECT_EQ(r.exitCode, 2) << r.err;
        EXPECT_TRUE(Contains(r.err, "Error code 0xE2000031: Corrupt configuration file\n")) << r.err;
        EXPECT_FALSE(Contains(r.out, "differ")) << r.out;
    }
    const CZr8Result usage = RunZr8(home, {"diff", good});
    EXPECT_EQ(usage.exitCode, 2);
}

}  // namespace
