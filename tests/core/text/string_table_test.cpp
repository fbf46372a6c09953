#include <gtest/gtest.h>

#include "core/text/string_table.h"
#include "core/text/text_ref.h"

namespace {

TEST(StringTable, FormatsKeepTheirQuotesAndLineBreaks)
{
    EXPECT_EQ(LoadStringText(IDS_FAILED_ON), L"%s failed on \"%s\"\r\nError 0x%08X: %s");
    EXPECT_EQ(LoadStringText(IDS_PORT_ACCESS_DENIED),
              L"Serial port \"%s\" access denied; may be in use by another program or USB cable may have been removed.");
    EXPECT_EQ(LoadStringText(IDS_OS_VERSION), L"OS Version %u.%u Build %u ");
    EXPECT_EQ(LoadStringText(IDS_VERSION_NOT_AVAILABLE), L" N/A ");
    EXPECT_EQ(LoadStringText(IDS_VERSION_UNKNOWN), L"??.??");
    EXPECT_EQ(LoadStringText(IDS_READY), L"Ready");
}

TEST(StringTable, MissingEntryIsEmpty)
{
    EXPECT_EQ(LoadStringText(1), L"");
    EXPECT_EQ(LoadStringText(65535), L"");
}

TEST(TextRef, ValuesBelow0x10000AreIdentifiers)
{
    EXPECT_TRUE(CTextRef(0).IsNone());
    EXPECT_TRUE(CTextRef(static_cast<const wchar_t*>(nullptr)).IsNone());
    EXPECT_EQ(CTextRef(IDS_READY).Text(), L"Ready");
    // As with MAKEINTRESOURCE: a pointer value below 0x10000 is an identifier.
    EXPECT_EQ(CTextRef(reinterpret_cast<const wchar_t*>(static_cast<uintptr_t>(IDS_READY))).Text(), L"Ready");
    EXPECT_EQ(CTextRef(L"literal").Text(), L"literal");
    std::wstring s = L"owned";
    EXPECT_EQ(CTextRef(s).Text(), L"owned");
    EXPECT_EQ(CTextRef(L"").Text(), L"");
}

TEST(FormatText, FillsAStringTableFormat)
{
    EXPECT_EQ(FormatText(IDS_FAILED_ON, L"ReadFile", L"COM3", 5u, L"Access is denied."),
              L"ReadFile failed on \"COM3\"\r\nError 0x00000005: Access is denied.");
    EXPECT_EQ(FormatText(IDS_CONNECTED_TO, L"ZR8", L"COM3", 9600u), L"Connected to ZR8 on COM3 at 9600 bit/s");
    EXPECT_EQ(FormatText(L"%s=%u", L"x", 7u), L"x=7");
}

}  // namespace
