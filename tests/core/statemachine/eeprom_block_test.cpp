// The EEPROM block rules on their own: cutting a range into blocks, the address
// limits, the command texts and the judging of the radio's answers.
#include <gtest/gtest.h>

#include <vector>

#include "core/statemachine/eeprom_block.h"
#include "core/text/error_codes.h"

namespace {

TEST(EepromBlockTest, BlocksAreAtMost64BytesAndStopAtThePageEnd)
{
    struct Case {
        DWORD address, remaining, expected;
    };
    const Case cases[] = {
        {0x0100, 256, 64}, {0x0140, 192, 64}, {0x00C2, 57, 57}, {0x00E0, 64, 32},
        {0x00FF, 10, 1},   {0x0000, 0, 0},    {0x03F0, 16, 16}, {0x83C0, 64, 64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << "0x" << c.address << " +" << std::dec << c.remaining);
        EXPECT_EQ(EepromBlock::NextBlockLength(c.address, c.remaining), c.expected);
    }
}

TEST(EepromBlockTest, ReadableBelowTheEndOfTheAddressSpace)
{
    EXPECT_TRUE(EepromBlock::IsReadable(0x83C0, 64));
    EXPECT_FALSE(EepromBlock::IsReadable(0x83C1, 64));
    EXPECT_FALSE(EepromBlock::IsReadable(0x8400, 1));
    EXPECT_FALSE(EepromBlock::IsReadable(0xFFFFFFF0, 0x20));  // no wrap-around
}

TEST(EepromBlockTest, WritableOnlyWhollyInsideOneRange)
{
    struct Case {
        DWORD address, length;
        bool writable;
    };
    const Case cases[] = {
        {0x0000, 64, true},  {0x0080, 64, true},  {0x00A0, 33, false}, {0x00BF, 1, true},
        {0x00C0, 2, false},  {0x00C1, 1, false},  {0x00C2, 57, true},  {0x00C2, 58, false},
        {0x00FB, 5, false},  {0x00FA, 1, true},   {0x00FF, 1, false},  {0x01C0, 64, true},
        {0x01F0, 32, false}, {0x03F0, 16, true},  {0x0400, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << "0x" << c.address << " +" << std::dec << c.length);
        EXPECT_EQ(EepromBlock::IsWritable(c.address, c.length), c.writable);
    }
}

TEST(EepromBlockTest, CommandsCarryAddressCountDataAndChecksum)
{
    EXPECT_EQ(EepromBlock::ReadCommand(0x0100, 64), L"ER010040BF;");
    EXPECT_EQ(EepromBlock::ReadCommand(0x03F0, 16), L"ER03F010FD;");
    const BYTE data[] = {0x41, 0x42, 0xFF};
    // 0x00 + 0xC2 + 0x03 + 0x41 + 0x42 + 0xFF = 0x247 -> checksum 0xB9
    EXPECT_EQ(EepromBlock::WriteCommand(0x00C2, 3, data), L"EW00C2034142FFB9;");
}

TEST(EepromBlockTest, ReadAnswerIsJudgedAgainstItsCommand)
{
    const std::wstring command = L"ER03F00409;";  // 4 bytes at 0x03F0
    struct Case {
        const wchar_t* answer;
        bool valid;
    };
    // 03 + F0 + 04 + 11 + 22 + 33 + 44 = 0x1A1 -> checksum 0x5F
    const Case cases[] = {
        {L"ER03F004112233445F;", true},
        {L"er03f004112233445f;", true},  // letters in any case
        {L"ER03F0041122334460;", false},  // wrong checksum
        {L"ER03F0041122335F;", false},    // too short for its count
        {L"ER03F104112233445E;", false},  // another address
        {L"ER03F00411G233445F;", false},  // not hexadecimal
        {L"EW03F004112233445F;", false},  // another command
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.answer);
        BYTE out[4] = {0, 0, 0, 0};
        EXPECT_EQ(EepromBlock::ParseReadResponse(c.answer, command, 4, out), c.valid);
        if (c.valid) {
            EXPECT_EQ(std::vector<BYTE>(out, out + 4), (std::vector<BYTE>{0x11, 0x22, 0x33, 0x44}));
        } else {
            EXPECT_EQ(std::vector<BYTE>(out, out + 4), (std::vector<BYTE>{0, 0, 0, 0}));  // untouched
        }
    }
}

TEST(EepromBlockTest, NonHexadecimalCharacterLeavesItsErrorCode)
{
    SetLastError(0);
    BYTE out[4];
    EXPECT_FALSE(EepromBlock::ParseReadResponse(L"ER03F00411Z233445F;", L"ER03F00409;", 4, out));
    EXPECT_EQ(GetLastError(), Zr8Error::UnexpectedHexCharacter);
}

TEST(EepromBlockTest, AnswerWithMoreBytesThanAskedIsRefused)
{
    // A radio answering a 2-byte request with 4 valid bytes would overrun the block.
    BYTE out[2];
    EXPECT_FALSE(EepromBlock::ParseReadResponse(L"ER03F004112233445F;", L"ER03F00409;", 2, out));
}

TEST(EepromBlockTest, WriteAcknowledgementIsElevenCharactersThatSumToZero)
{
    const std::wstring command = L"EW00C2034142FFB9;";
    EXPECT_TRUE(EepromBlock::ParseWriteAcknowledgement(L"EW00C2033B;", command));  // 00+C2+03+3B = 0x100
    EXPECT_TRUE(EepromBlock::ParseWriteAcknowledgement(L"ew00c2033b;", command));
    EXPECT_FALSE(EepromBlock::ParseWriteAcknowledgement(L"EW00C2033C;", command));
    EXPECT_FALSE(EepromBlock::ParseWriteAcknowledgement(L"EW00C2043A;", command));  // another count
    EXPECT_FALSE(EepromBlock::ParseWriteAcknowledgement(L"EW00C2033B0;", command));
    EXPECT_FALSE(EepromBlock::ParseWriteAcknowledgement(L"?;", command));
}

}  // namespace
