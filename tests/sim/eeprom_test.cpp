// EEPROM blocks: checksums both ways, the address limit and the ranges the radio lets
// the host write.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "tests/sim/eeprom_protocol.h"
#include "tests/sim/sim_fixture.h"
#include "tests/case_name.h"

namespace {

std::vector<uint8_t> Slice(const std::vector<uint8_t>& all, uint32_t at, uint32_t count) {
    return std::vector<uint8_t>(all.begin() + at, all.begin() + at + count);
}

TEST(EepromRead, AnswersTheBlockWithItsChecksum) {
    CRadioOnLine radio;
    EXPECT_EQ(ReadCommand(0x0100, 64), "ER010040BF;");  // the example the program's docs give
    const std::string answer = radio.Talk("ER010040BF;");
    std::vector<uint8_t> data;
    ASSERT_TRUE(ParseReadAnswer(answer, 0x0100, 64, data)) << answer;
    EXPECT_EQ(data, Slice(radio.Radio().Eeprom().Bytes(), 0x0100, 64));
}

TEST(EepromRead, ReadsTheLastBlockBelowTheLimitInLowerCaseHexToo) {
    CRadioOnLine radio;
    std::vector<uint8_t> data;
    EXPECT_TRUE(ParseReadAnswer(radio.Talk(ReadCommand(0x83C0, 64)), 0x83C0, 64, data));
    std::string lower = ReadCommand(0x03F0, 16);
    for (size_t i = 2; i < lower.size(); ++i)
        if (lower[i] >= 'A' && lower[i] <= 'F') lower[i] = static_cast<char>(lower[i] - 'A' + 'a');
    EXPECT_TRUE(ParseReadAnswer(radio.Talk(lower), 0x03F0, 16, data));
}

TEST(EepromRead, FactoryBannerIsReadable) {
    CRadioOnLine radio;
    std::vector<uint8_t> data;
    ASSERT_TRUE(ParseReadAnswer(radio.Talk("ER03F010FD;"), 0x03F0, 16, data));
    EXPECT_EQ(std::string(data.begin(), data.begin() + 6), "ZR8 HF");
    EXPECT_EQ(data[6], 0);
}

TEST(EepromRead, RefusesBadCommands) {
    CRadioOnLine radio;
    const std::string refused[] = {
        "ER010040BE;",              // command checksum off by one
        "ER840001..;",              // not hexadecimal
        ReadCommand(0x83F8, 16),    // runs past 0x8400
        ReadCommand(0x00F0, 32),    // crosses the page boundary at 0x0100
        ReadCommand(0x0100, 65),    // more than 64 bytes
        ReadCommand(0x0100, 0),     // no bytes
        "ER010040BF00;",            // too long
    };
    for (const std::string& command : refused) EXPECT_EQ(radio.Talk(command), "?;") << command;
}

TEST(EepromWrite, WritesAndAcknowledges) {
    CRadioOnLine radio;
    const std::vector<uint8_t> data = {'H', 'E', 'L', 'L', 'O', 0};
    EXPECT_EQ(radio.Talk(WriteCommand(0x03F0, data)), WriteAck(0x03F0, 6));
    EXPECT_EQ(Slice(radio.Radio().Eeprom().Bytes(), 0x03F0, 6), data);
    ASSERT_EQ(radio.Radio().Eeprom().WriteLog().size(), 1u);
    EXPECT_EQ(radio.Radio().Eeprom().WriteLog()[0].address, 0x03F0u);
    EXPECT_EQ(radio.Radio().Eeprom().WriteLog()[0].bytes, data);
}

struct Block {
    uint32_t address;
    uint32_t count;
    bool writable;
};

class EepromWriteRanges : public ::testing::TestWithParam<Block> {};

TEST_P(EepromWriteRanges, OnlyWholeBlocksInsideOneRangeAreWritten) {
    CRadioOnLine radio;
    const Block b = GetParam();
    const std::vector<uint8_t> before = radio.Radio().Eeprom().Bytes();
    const std::string answer = radio.Talk(WriteCommand(b.address, std::vector<uint8_t>(b.count, 0x5A)));
    if (b.writable) {
        EXPECT_EQ(answer, WriteAck(b.address, b.count));
        EXPECT_EQ(radio.Radio().Eeprom().WriteLog().size(), 1u);
    } else {
        EXPECT_EQ(answer, "?;");
        EXPECT_TRUE(radio.Radio().Eeprom().WriteLog().empty());
        EXPECT_EQ(radio.Radio().Eeprom().Bytes(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Ranges, EepromWriteRanges,
                         ::testing::Values(Block{0x0000, 64, true}, Block{0x0080, 64, true},
                                           Block{0x00A0, 33, false},  // touches 0x00C0
                                           Block{0x00C0, 2, false}, Block{0x00C2, 57, true},
                                           Block{0x00C2, 58, false},  // touches 0x00FB
                                           Block{0x00FB, 5, false}, Block{0x00E0, 32, false},
                                           Block{0x0100, 64, true}, Block{0x03F0, 16, true},
                                           Block{0x03C0, 64, true}, Block{0x0400, 16, false},
                                           Block{0x1000, 1, false}, Block{0x01F0, 32, false}),  // crosses a page
                         [](const ::testing::TestParamInfo<Block>& info) {
                             char name[32];
                             snprintf(name, sizeof name, "At%04X_%uBytes", static_cast<unsigned>(info.param.address),
                                      static_cast<unsigned>(info.param.count));
                             return std::string(name);
                         });

TEST(EepromWrite, RefusesABadChecksumOrLength) {
    CRadioOnLine radio;
    std::string bad = WriteCommand(0x0100, {1, 2, 3});
    bad[bad.size() - 2] = bad[bad.size() - 2] == '0' ? '1' : '0';
    EXPECT_EQ(radio.Talk(bad), "?;");
    EXPECT_EQ(radio.Talk("EW010003010203;"), "?;") << "checksum missing";
    EXPECT_TRUE(radio.Radio().Eeprom().WriteLog().empty());
}

TEST(EepromFile, LoadsSavesAndLogsWrites) {
    const std::string file = ::testing::TempDir() + "zr8sim_eeprom.bin";
    const std::string log = ::testing::TempDir() + "zr8sim_writes.log";
    std::remove(file.c_str());
    std::remove(log.c_str());
    {
        std::ofstream out(file, std::ios::binary);
        out << "ABCD";  // a short file: the rest is erased
    }
    CSimOptions options = CRadioOnLine::Instant();
    options.eepromFile = file;
    options.writeLogFile = log;
    {
        CRadioOnLine radio(options);
        EXPECT_EQ(radio.Radio().Eeprom().At(0), 'A');
        EXPECT_EQ(radio.Radio().Eeprom().At(4), 0xFF);
        EXPECT_EQ(radio.Talk(WriteCommand(0x0010, {0x12, 0x34})), WriteAck(0x0010, 2));
    }
    CRadioOnLine again(options);
    EXPECT_EQ(again.Radio().Eeprom().At(0x10), 0x12) << "the write reached the file";
    EXPECT_EQ(again.Radio().Eeprom().Bytes().size(), 0x8400u);
    std::ifstream in(log);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "0010 2 1234");
}

TEST(EepromFile, RefusesAnOversizedFile) {
    const std::string file = ::testing::TempDir() + "zr8sim_big.bin";
    {
        std::ofstream out(file, std::ios::binary);
        out << std::string(0x8401, '\0');
    }
    CSimOptions options = CRadioOnLine::Instant();
    options.eepromFile = file;
    CRadioOnLine radio(options);
    EXPECT_FALSE(radio.Radio().StartError().empty());
}

}  // namespace
