// The program's own formatter: Windows-style formats, the same result everywhere.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/wide_format.h"

namespace {

TEST(WideFormatTest, ProgramMessageFormats)
{
    struct Case {
        std::wstring got;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {FormatW(L"%s failed on \"%s\"\r\nError 0x%08X: %s", L"Open", L"COM5", 0xE200000Fu, L"No port"),
         L"Open failed on \"COM5\"\r\nError 0xE200000F: No port"},
        {FormatW(L"RV%02u.%02u;", 1u, 7u), L"RV01.07;"},
        {FormatW(L"SN%05u;", 42u), L"SN00042;"},
        {FormatW(L"%s waiting for firmware load on %s at %u bit/s", L"ZR8", L"COM3", 9600u),
         L"ZR8 waiting for firmware load on COM3 at 9600 bit/s"},
        {FormatW(L"MACRO%u", 16u), L"MACRO16"},
        {FormatW(L"100%%"), L"100%"},
        {FormatW(L"%c%c", L'Z', L'\u00e9'), L"Z\u00e9"},
        {FormatW(L"%hs|%S", "narrow", "also"), L"narrow|also"},
        {FormatW(L"%ls|%ws", L"wide", L"wide too"), L"wide|wide too"},
        {FormatW(L"%s", static_cast<const wchar_t*>(nullptr)), L"(null)"},
        {FormatW(L"%hs", static_cast<const char*>(nullptr)), L"(null)"},
        {FormatW(L"\u00c4%s\u00df", L"\u20ac"), L"\u00c4\u20ac\u00df"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.expected);
}

TEST(WideFormatTest, FlagsWidthAndPrecision)
{
    struct Case {
        std::wstring got;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {FormatW(L"[%5d|%-5d|%05d]", 42, 42, -42), L"[   42|42   |-0042]"},
        {FormatW(L"[%+d|% d|%+d]", 5, 5, -5), L"[+5| 5|-5]"},
        {FormatW(L"[%#x|%#X|%#o|%o]", 255u, 255u, 8u, 8u), L"[0xff|0XFF|010|10]"},
        {FormatW(L"[%.3d|%8.3d]", 7, 7), L"[007|     007]"},
        {FormatW(L"[%*d|%-*d|%*d]", 4, 1, 4, 2, -4, 3), L"[   1|2   |3   ]"},
        {FormatW(L"[%.2s|%6s|%-6s|%*.*s]", L"abcdef", L"ab", L"ab", 5, 1, L"xyz"),
         L"[ab|    ab|ab    |    x]"},
        {FormatW(L"[%.*s]", -1, L"all"), L"[all]"},
        {FormatW(L"[%3c|%-3c]", L'a', L'b'), L"[  a|b  ]"},
        {FormatW(L"[%.2f|%8.3e|%g]", 3.14159, 1234.5, 0.5), L"[3.14|1.234e+03|0.5]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.expected);
}

TEST(WideFormatTest, SizePrefixesReadTheWindowsSizes)
{
    struct Case {
        std::wstring got;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {FormatW(L"%hd %hu %hx", 70000, 70000, 0x12345), L"4464 4464 2345"},
        {FormatW(L"%hhu %hhd", 257, 255), L"1 -1"},
        {FormatW(L"%lu %ld %lx", uint32_t(4000000000u), int32_t(-7), uint32_t(0xDEADBEEF)), L"4000000000 -7 deadbeef"},
        {FormatW(L"%llu %lld", 18446744073709551615ull, -9000000000ll), L"18446744073709551615 -9000000000"},
        {FormatW(L"%I64u %I64X %I32d", uint64_t(1) << 40, uint64_t(0xABCDEF0123ull), int32_t(-3)),
         L"1099511627776 ABCDEF0123 -3"},
        {FormatW(L"%zu %Iu %zd", size_t(123456789012ull), size_t(5), ptrdiff_t(-5)), L"123456789012 5 -5"},
        {FormatW(L"%u %d %X", 0xFFFFFFFFu, int32_t(0x80000000u), 0xE2000052u), L"4294967295 -2147483648 E2000052"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.expected);
}

TEST(WideFormatTest, OddFormatsAreWrittenAsTheyStand)
{
    EXPECT_EQ(FormatW(L"50%"), L"50%");
    EXPECT_EQ(FormatW(L"%q and %d", 3), L"%q and 3");  // unknown takes no argument
    EXPECT_EQ(FormatW(L"%n%d", 4), L"%n4");  // never writes through a pointer
    EXPECT_EQ(FormatW(L""), L"");
}

TEST(WideFormatTest, LongOutputAndPointer)
{
    const std::wstring long_text(5000, L'x');
    EXPECT_EQ(FormatW(L"<%s>", long_text.c_str()), L"<" + long_text + L">");
    EXPECT_EQ(FormatW(L"%d", 1).size(), 1u);
    const std::wstring pointer = FormatW(L"%p", reinterpret_cast<void*>(uintptr_t(0xABC)));
    EXPECT_EQ(pointer, std::wstring(2 * sizeof(void*) - 3, L'0') + L"ABC");
}

}  // namespace
