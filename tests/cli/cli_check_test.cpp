// zr8 check of firmware files: the values of a good file, the line and code of a bad one.
#include <gtest/gtest.h>

#include "zr8_process.h"

namespace {

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

class CheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        good = (home.Path() / "zr8_0124.hex").string();
        ASSERT_TRUE(MakeFirmware(good, {"--version", "124"}));
        goodText = home.Read("zr8_0124.hex");
    }
    CZr8Home home;
    std::string good, goodText;
};

TEST_F(CheckTest, GoodFileShowsItsValues) {
    const CZr8Result r = RunZr8(home, {"check", good});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "MCU firmware file " + good + " checksum reconciliation value is 0x")) << r.out;
    EXPECT_TRUE(Contains(r.out, "Image checksum 0x0000\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "Version 01.24\n")) << r.out;
}

TEST_F(CheckTest, ZeroWordIsComputed) {
    const std::string path = (home.Path() / "zr8_0130.HEX").string();
    ASSERT_TRUE(MakeFirmware(path, {"--version", "130", "--no-reconciliation"}));
    const CZr8Result r = RunZr8(home, {"check", path});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "MCU computed checksum reconciliation value is 0x")) << r.out;
    EXPECT_TRUE(Contains(r.out, "Version 01.30\n")) << r.out;
}

struct BrokenCase {
    const char* name;
    std::function<std::string(const std::string&)> spoil;
    std::string expected;  // on stderr
};

TEST_F(CheckTest, BrokenFilesNameLineAndCode) {
    const std::vector<BrokenCase> cases = {
        {"LetterG", [](const std::string& t) { return Replace(t, ":10080000EB", ":10080000GB"); },
         "Line 2, error code 0xE200000B: Unexpected hex character\n"},
        {"LineChecksum", [](const std::string& t) { return Replace(t, "4D4355206669726D7761726572", "4D4355206669726D7761726573"); },
         "Line 3, error code 0xE2000022: intel hex line checksum error\n"},
        {"NoEndRecord", [](const std::string& t) { return Replace(t, ":00000001FF", ""); },
         "error code 0xE2000023: Missing intel hex end-of-file record\n"},
        {"RecordType", [](const std::string& t) { return Replace(t, ":020000040000FA", ":020000060000F8"); },
         "Line 1, error code 0xE2000021: Unrecognized intel hex record type\n"},
        {"Empty", [](const std::string&) { return std::string(); }, "error code 0x"},
    };
    for (const BrokenCase& c : cases) {
        const std::string path = home.WriteFile(std::string("zr8_") + c.name + ".hex", c.spoil(goodText));
        const CZr8Result r = RunZr8(home, {"check", path});
        EXPECT_EQ(r.exitCode, 1) << c.name << "\n" << r.err;
        EXPECT_TRUE(Contains(r.err, c.expected)) << c.name << "\n" << r.err;
        EXPECT_TRUE(r.out.empty()) << c.name << "\n" << r.out;
    }
    const CZr8Result missing = RunZr8(home, {"check", (home.Path() / "zr8_none.hex").string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(Contains(missing.err, "error code 0x00000002: The system cannot find the file specified.")) << missing.err;
}

TEST_F(CheckTest, WrongReconciliationWordFails) {
    const std::string path = (home.Path() / "zr8_0125.hex").string();
    ASSERT_TRUE(MakeFirmware(path, {"--version", "125", "--bad-reconciliation"}));
    const CZr8Result r = RunZr8(home, {"check", path});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(Contains(r.out, "File does not checksum to zero. Checksum is 0x")) << r.out;
    EXPECT_TRUE(Contains(r.err, "Error code 0xE2000041: Input hex file is corrupt, check sum is not zero\n")) << r.err;
}

}  // namespace
