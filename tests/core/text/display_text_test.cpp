#include <gtest/gtest.h>

#include "core/text/display_text.h"

namespace {

TEST(EscapeForDisplay, ControlCharactersBecomeHexEscapes)
{
    EXPECT_EQ(EscapeForDisplay(L"A\r\n"), L"A\\x0D\\x0A");
    EXPECT_EQ(EscapeForDisplay(L"RV01.23; ~"), L"RV01.23; ~");
    EXPECT_EQ(EscapeForDisplay(std::wstring(L"\0\x7F", 2)), L"\\x00\\x7F");
    // Received text holds one character per byte: a byte above 0x7E shows as its value.
    EXPECT_EQ(EscapeForDisplay(L"\xC8\xFF"), L"\\xC8\\xFF");
    // Wider characters show their low byte.
    EXPECT_EQ(EscapeForDisplay(L"\x263A"), L"\\x3A");
    EXPECT_EQ(EscapeForDisplay(L""), L"");
}

TEST(EscapeChar, SameRuleForOneCharacter)
{
    EXPECT_EQ(EscapeChar(L';'), L";");
    EXPECT_EQ(EscapeChar(L'\x1A'), L"\\x1A");
}

struct SplitCase {
    const char* name;
    const wchar_t* text;
    std::vector<std::wstring> pieces;
};

class SplitOnSpacesCase : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitOnSpacesCase, Splits)
{
    EXPECT_EQ(SplitOnSpaces(GetParam().text), GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(Texts, SplitOnSpacesCase,
                         ::testing::Values(SplitCase{"DoubleAndTrailingSpace", L"A  B ", {L"A", L"", L"B"}},
                                           SplitCase{"MemoryLine", L"MEM2 00 20 20 0102",
                                                     {L"MEM2", L"00", L"20", L"20", L"0102"}},
                                           SplitCase{"LeadingSpace", L" A", {L"", L"A"}},
                                           SplitCase{"TabIsNoSpace", L"A\tB", {L"A\tB"}},
                                           SplitCase{"Empty", L"", {}},
                                           SplitCase{"OneSpace", L" ", {L""}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TimeStamp, HoursMinutesSecondsAndASpace)
{
    EXPECT_EQ(FormatTimeStamp(7, 5, 9), L"07:05:09 ");
    std::wstring now = TimeStamp();
    ASSERT_EQ(now.size(), 9u);
    EXPECT_EQ(now[2], L':');
    EXPECT_EQ(now[5], L':');
    EXPECT_EQ(now[8], L' ');
}

}  // namespace
