#include <gtest/gtest.h>

#include "core/text/error_codes.h"
#include "core/text/hex_text.h"

namespace {

struct ParseCase {
    const char* name;
    const wchar_t* text;
    size_t count;
    std::vector<BYTE> bytes;  // expected on success
    DWORD error;              // 0: success
};

class ParseHexBytesCase : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseHexBytesCase, Parses)
{
    const ParseCase& c = GetParam();
    std::vector<BYTE> bytes{0x55};
    SetLastError(0);
    bool ok = ParseHexBytes(c.text, c.count, bytes);
    if (c.error == 0) {
        ASSERT_TRUE(ok) << std::hex << GetLastError();
        EXPECT_EQ(bytes, c.bytes);
    } else {
        EXPECT_FALSE(ok);
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_EQ(bytes, std::vector<BYTE>{0x55}) << "a failed parse leaves the output alone";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseHexBytesCase,
    ::testing::Values(ParseCase{"BothCases", L"0A 1b", 2, {0x0A, 0x1B}, 0},
                      ParseCase{"WhiteSpaceAnywhereBetweenBytes", L"\t00FF\r\n7e ", 3, {0x00, 0xFF, 0x7E}, 0},
                      ParseCase{"NothingForNothing", L"", 0, {}, 0},
                      ParseCase{"HalfAByteShort", L"0A1", 2, {}, ERROR_INVALID_DATA},
                      ParseCase{"OneByteShort", L"0A", 2, {}, ERROR_INVALID_DATA},
                      ParseCase{"OneByteOver", L"0A1B2C", 2, {}, ERROR_INVALID_DATA},
                      ParseCase{"NotAHexDigit", L"0G", 1, {}, Zr8Error::UnexpectedHexCharacter},
                      ParseCase{"SpaceInsideAByte", L"0A 1 B", 2, {}, Zr8Error::UnexpectedHexCharacter},
                      ParseCase{"Semicolon", L"0A;", 2, {}, Zr8Error::UnexpectedHexCharacter}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HexPairToByte, AcceptsBothCasesAndRefusesOtherCharacters)
{
    BYTE value = 0;
    ASSERT_TRUE(HexPairToByte(L'a', L'F', value));
    EXPECT_EQ(value, 0xAF);
    ASSERT_TRUE(HexPairToByte(L'0', L'9', value));
    EXPECT_EQ(value, 0x09);
    for (wchar_t bad : {L'G', L'g', L' ', L'/', L':', L'@', L'`', static_cast<wchar_t>(0x0661)}) {
        SetLastError(0);
        EXPECT_FALSE(HexPairToByte(L'1', bad, value)) << static_cast<int>(bad);
        EXPECT_EQ(GetLastError(), Zr8Error::UnexpectedHexCharacter);
        EXPECT_FALSE(HexPairToByte(bad, L'1', value)) << static_cast<int>(bad);
    }
}

TEST(IsAllHexDigits, Texts)
{
    EXPECT_TRUE(IsAllHexDigits(L""));
    EXPECT_TRUE(IsAllHexDigits(L"0123456789abcdefABCDEF"));
    EXPECT_FALSE(IsAllHexDigits(L"12 34"));
    EXPECT_FALSE(IsAllHexDigits(L"0x12"));
}

TEST(BytesToHex, UpperCaseHighNibbleFirst)
{
    EXPECT_EQ(BytesToHex(std::vector<BYTE>{0x01, 0xAB, 0xF0, 0x00}), L"01ABF000");
    EXPECT_EQ(BytesToHex(nullptr, 0), L"");
}

TEST(BytesToHex, RoundTripsThroughParseHexBytes)
{
    std::vector<BYTE> all(256);
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = static_cast<BYTE>(i);
    std::vector<BYTE> back;
    ASSERT_TRUE(ParseHexBytes(BytesToHex(all), all.size(), back));
    EXPECT_EQ(back, all);
}

}  // namespace
