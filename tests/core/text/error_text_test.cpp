#include <gtest/gtest.h>

#include <cstdio>

#include "core/text/error_codes.h"
#include "core/text/error_text.h"
#include "core/text/text_tables.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>

#include "platform/errno_codes.h"
#include "tests/case_name.h"
#endif

namespace {

// Every named own code must have a text in the table, shown as written there.
TEST(ErrorText, EveryNamedOwnCodeHasItsText)
{
    const DWORD named[] = {
        Zr8Error::ChecksumWordZero, Zr8Error::NoResponsePacketWarning, Zr8Error::UnexpectedHexCharacter,
        Zr8Error::InvalidEepromAddress, Zr8Error::NoResponseFirmwareVersion, Zr8Error::PortNameMissing,
        Zr8Error::HexNoColon, Zr8Error::HexRecordType, Zr8Error::HexLineChecksum, Zr8Error::HexNoEndRecord,
        Zr8Error::ConfigIncomplete, Zr8Error::ConfigCorrupt, Zr8Error::ConfigSerialMismatch,
        Zr8Error::HexRecordLength, Zr8Error::HexImageChecksum, Zr8Error::LoaderNoEchoD,
        Zr8Error::RetryLimitExhausted, Zr8Error::NoResponseAfterReset, Zr8Error::VersionVerifyFailed,
        Zr8Error::NoResponseSyncPoll, Zr8Error::NoResponseSemicolonPoll, Zr8Error::NoResponsePacket,
        Zr8Error::UnexpectedDevice, Zr8Error::NoResponseReadEeprom, Zr8Error::NoResponseWriteEeprom,
        Zr8Error::MachineBusy, Zr8Error::MessageTooLong, Zr8Error::NoResponseBandNumber,
        Zr8Error::NoResponseVfoAndIcons, Zr8Error::NoResponseIconsAndStatus, Zr8Error::NoResponseCommandMode,
        Zr8Error::NoResponseMenuParameter, Zr8Error::NoResponseOptionModules, Zr8Error::NoResponsePower,
        Zr8Error::NoResponseRitOffset, Zr8Error::NoResponseRit, Zr8Error::NoResponseDspVersion,
        Zr8Error::NoResponseTransmitQuery, Zr8Error::NoResponseXit, Zr8Error::NoResponseSerialNumber, Zr8Error::NotTelnetServer,
    };
    EXPECT_EQ(sizeof(named) / sizeof(named[0]), kMessageTableSize);
    for (DWORD code : named) {
        const wchar_t* expected = FindTableText(kMessageTableEntries, kMessageTableSize, code);
        ASSERT_NE(expected, nullptr) << std::hex << code;
        EXPECT_EQ(GetErrorText(code), expected) << std::hex << code;
    }
}

struct KnownText {
    DWORD code;
    const wchar_t* text;
};

class OwnCodeText : public ::testing::TestWithParam<KnownText> {};

TEST_P(OwnCodeText, IsTheTableTextWithoutLineBreak)
{
    EXPECT_EQ(GetErrorText(GetParam().code), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Codes, OwnCodeText,
                         ::testing::Values(KnownText{0xE2000045, L"No response after reset"},
                                           KnownText{0xA2000047, L"The computed checksum reconciliation word is zero"},
                                           KnownText{0xE200004E, L"Unexpected device (e.g. T6 vs TV4)"},
                                           KnownText{0xE200050A, L"No response to Serial Number (SN)"}),
                         [](const auto& info) {
                             char name[16];
                             snprintf(name, sizeof name, "Code%08X", static_cast<unsigned>(info.param.code));
                             return std::string(name);
                         });

TEST(ErrorText, OwnCodeMissingFromTheTableIsEmpty)
{
    EXPECT_EQ(GetErrorText(0xE2000FFF), L"");
    EXPECT_EQ(GetErrorText(0xA2000001), L"");
}

TEST(ErrorText, SystemCodesHaveTextsWithoutLineBreaks)
{
    for (DWORD code : {2u, 5u, 6u, 87u, 122u, 995u, 997u, 1460u}) {
        std::wstring text = GetErrorText(code);
        ASSERT_FALSE(text.empty()) << code;
        EXPECT_NE(text.back(), L'\n') << code;
        EXPECT_NE(text.back(), L'\r') << code;
    }
}

TEST(ErrorText, LeavesTheLastErrorAlone)
{
    SetLastError(1234);
    GetErrorText(0xE2000045);
    GetErrorText(5);
    GetErrorText(0xE2000FFF);
    EXPECT_EQ(GetLastError(), 1234u);
}

#ifdef _WIN32

// What FormatMessage gives for the code from the module (or the system), line breaks stripped.
std::wstring TableText(DWORD flags, HMODULE module, DWORD code)
{
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | flags, module, code,
                                  0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n'))
        text.pop_back();
    return text;
}

class InternetErrorText : public ::testing::Test {
protected:
    // The texts of 12000-12175 are wininet.dll's, looked up only in the loaded module.
    void SetUp() override { m_wininet = LoadLibraryW(L"wininet.dll"); ASSERT_NE(m_wininet, nullptr); }
    void TearDown() override { FreeLibrary(m_wininet); }
    HMODULE m_wininet = nullptr;
};

TEST_F(InternetErrorText, ComesFromTheWininetModule)
{
    std::wstring text = GetErrorText(12002);  // ERROR_INTERNET_TIMEOUT
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text, TableText(FORMAT_MESSAGE_FROM_HMODULE, m_wininet, 12002));
    EXPECT_NE(text, TableText(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 12002)) << "not the system's table";
}

TEST_F(InternetErrorText, ExtendedErrorAppendsTheServerResponse)
{
    // No server has answered in this process: error 0 and an empty response.
    EXPECT_EQ(GetErrorText(12003), TableText(FORMAT_MESSAGE_FROM_HMODULE, m_wininet, 12003) +
                                       L"\r\nInternetGetLastResponseInfo returns 0x00000000 ");
}

TEST(ErrorTextWin32, SystemTextIsTheSystemsOwn)
{
    EXPECT_EQ(GetErrorText(ERROR_FILE_NOT_FOUND), TableText(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetErrorText(ERROR_ACCESS_DENIED), TableText(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED));
}

#else

TEST(ErrorTextPosix, WindowsTextsForTheCodesThePlatformMapsTo)
{
    EXPECT_EQ(GetErrorText(2), L"The system cannot find the file specified.");
    EXPECT_EQ(GetErrorText(ERROR_ACCESS_DENIED), L"Access is denied.");
    EXPECT_EQ(GetErrorText(995), L"The I/O operation has been aborted because of either a thread exit or an application request.");
    EXPECT_EQ(GetErrorText(12029), L"A connection with the server could not be established");
    // An HRESULT made from a Win32 code reads as that code.
    EXPECT_EQ(GetErrorText(0x80070057), L"The parameter is incorrect.");
    EXPECT_EQ(GetErrorText(0x1234567), L"");
}

TEST(ErrorTextPosix, EveryCodeThePlatformReportsHasAText)
{
    // What the platform turns a failed system call into, and the codes it sets itself.
    for (int error : {ENOENT, ENXIO, ENODEV, ENOTDIR, EACCES, EPERM, EBUSY, EIO, EISDIR, EWOULDBLOCK, EROFS, EBADF,
                      ENOMEM, EMFILE, ENFILE, EEXIST, EINVAL, ENOSPC, EDQUOT, ENAMETOOLONG, EPIPE, ETIMEDOUT,
                      ECANCELED, EINTR, ENOTSUP, ELOOP})
        EXPECT_FALSE(GetErrorText(WinErrorFromErrno(error)).empty()) << "errno " << error;
    for (DWORD code : {ERROR_INVALID_DATA, ERROR_OUTOFMEMORY, ERROR_WRITE_FAULT, ERROR_READ_FAULT,
                       ERROR_SHARING_VIOLATION, ERROR_HANDLE_EOF, ERROR_FILE_EXISTS, ERROR_INSUFFICIENT_BUFFER,
                       ERROR_INVALID_NAME, ERROR_MORE_DATA, ERROR_NO_MORE_ITEMS, ERROR_IO_INCOMPLETE, ERROR_IO_PENDING,
                       ERROR_NOACCESS, ERROR_CANCELLED, ERROR_BAD_PATHNAME, ERROR_DIRECTORY, ERROR_BAD_FORMAT,
                       ERROR_INVALID_WINDOW_HANDLE, ERROR_UNSUPPORTED_TYPE})
        EXPECT_FALSE(GetErrorText(code).empty()) << code;
    EXPECT_EQ(GetErrorText(ERROR_WRITE_PROTECT), L"The media is write protected.");
}

#endif

}  // namespace
