#include <gtest/gtest.h>

#include <string>

#include "platform/code_pages.h"

namespace {

using CodePages::FromAnsi;
using CodePages::FromUtf8;
using CodePages::ToAnsi;
using CodePages::ToUtf8;

TEST(CodePagesTest, Utf8RoundTrip)
{
    // ASCII, Latin-1, the euro sign, and one character beyond the 16-bit plane.
    const std::wstring text = L"ZR8 \u00e4\u00df \u20ac \U0001F4FB";
    const std::string utf8 = ToUtf8(text);
    EXPECT_EQ(utf8, "ZR8 \xC3\xA4\xC3\x9F \xE2\x82\xAC \xF0\x9F\x93\xBB");
    EXPECT_EQ(FromUtf8(utf8), text);
    EXPECT_EQ(ToUtf8(L""), "");
    EXPECT_EQ(FromUtf8(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(CodePagesTest, InvalidUtf8BecomesReplacementCharacters)
{
    struct Case {
        std::string bytes;
        std::wstring expected;
    };
    const Case cases[] = {
        {"a\xFF" "b", L"a\uFFFDb"},                 // never valid
        {"\xC3", L"\uFFFD"},                        // cut short at the end
        {"\xE2\x82" "x", L"\uFFFDx"},               // cut short: one replacement for the piece
        {"\xC0\xAF", L"\uFFFD\uFFFD"},              // overlong
        {"\x80" "ok", L"\uFFFDok"},                 // lone continuation byte
    };
    for (const Case& c : cases)
        EXPECT_EQ(FromUtf8(c.bytes), c.expected) << "bytes of length " << c.bytes.size();

    // How many replacements these get differs between Windows versions and Wine; what
    // matters is that no character comes out of them.
    for (const std::string bytes : {"\xED\xA0\x80" /* a surrogate */, "\xF4\x90\x80\x80" /* past U+10FFFF */}) {
        const std::wstring text = FromUtf8(bytes);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text.find_first_not_of(L'\uFFFD'), std::wstring::npos);
    }
}

#ifndef _WIN32
// Off Windows the ANSI code page is Windows-1252 (on Windows it is the machine's).
TEST(CodePagesTest, Windows1252BothWays)
{
    struct Case {
        unsigned char byte;
        wchar_t character;
    };
    const Case cases[] = {
        {0x41, L'A'},      {0x80, L'\u20ac'}, {0x82, L'\u201a'}, {0x8a, L'\u0160'}, {0x92, L'\u2019'},
        {0x96, L'\u2013'}, {0x99, L'\u2122'}, {0x9f, L'\u0178'}, {0xa0, L'\u00a0'}, {0xe9, L'\u00e9'},
        {0xff, L'\u00ff'},
        {0x81, L'\u0081'}, {0x8d, L'\u008d'}, {0x8f, L'\u008f'}, {0x90, L'\u0090'}, {0x9d, L'\u009d'},
    };
    for (const Case& c : cases) {
        const std::string byte(1, char(c.byte));
        EXPECT_EQ(FromAnsi(byte), std::wstring(1, c.character)) << int(c.byte);
        EXPECT_EQ(ToAnsi(std::wstring(1, c.character)), byte) << int(c.byte);
    }
}

TEST(CodePagesTest, CharactersWithoutAnAnsiByteBecomeQuestionMarks)
{
    EXPECT_EQ(ToAnsi(L"a\u0100b\u0080c\u4e2d\U0001F4FB"), "a?b?c??");
}

TEST(CodePagesTest, NativePathsAreUtf8)
{
    EXPECT_EQ(CodePages::ToNativePath(L"/tmp/\u00e4.ZR8Config"), "/tmp/\xC3\xA4.ZR8Config");
}
#endif

}  // namespace
