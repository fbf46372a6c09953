#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "firmware/server_files.h"
#include "hex_test_text.h"
#include "platform/folders.h"

namespace {

struct NameCase {
    const char* label;
    std::wstring name;
    bool safe;
};

class ServerFileName : public ::testing::TestWithParam<NameCase> {};

TEST_P(ServerFileName, OnlyPlainFileNamesAreSafe)
{
    EXPECT_EQ(IsSafeServerFileName(GetParam().name, L"/home/me/ZR8 Firmware"), GetParam().safe);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ServerFileName,
    ::testing::Values(NameCase{"Firmware", L"zr8_0117.hex", true}, NameCase{"Notes", L"zr8fwnotes.rtf", true},
                      NameCase{"DotsInside", L"zr8_01.17.hex", true}, NameCase{"Empty", L"", false},
                      NameCase{"ParentSlash", L"../zr8_0999.hex", false},
                      NameCase{"ParentBackslash", L"..\\zr8_0999.hex", false},
                      NameCase{"SubFolder", L"sub/zr8_0999.hex", false},
                      NameCase{"AbsoluteSlash", L"/etc/zr8_0999.hex", false},
                      NameCase{"DoubleDot", L"..", false}, NameCase{"DriveRelative", L"C:zr8_0999.hex", false},
                      NameCase{"Stream", L"zr8_0999.hex:evil", false}, NameCase{"Device", L"CON.hex", false},
                      NameCase{"DeviceLower", L"nul", false}, NameCase{"DeviceBlank", L"com1 .hex", false},
                      NameCase{"NotADevice", L"COM10.hex", true}, NameCase{"Control", L"zr8\x01.hex", false},
                      NameCase{"Wildcard", L"zr8*.hex", false}, NameCase{"TrailingDot", L"zr8_0999.hex.", false},
                      NameCase{"TrailingBlank", L"zr8_0999.hex ", false},
                      NameCase{"TooLong", L"zr8_" + std::wstring(288, L'a') + L"0999.hex", false}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return info.param.label; });

TEST(ServerFileName, TheLimitCountsTheFolderAndTheTemporaryName)
{
    const std::wstring folder(200, L'f');
    EXPECT_TRUE(IsSafeServerFileName(std::wstring(40, L'z'), folder));
    EXPECT_FALSE(IsSafeServerFileName(std::wstring(50, L'z'), folder));
}

TEST(ConsiderFile, TakesNamesNewerThanEverythingHeldInListingOrder)
{
    CFirmwareFiles files;
    files.m_version = 116;
    std::vector<std::wstring> taken;
    for (const wchar_t* name : {L"zr8_0115.hex", L"zr8_0118.hex", L"zr8_0117.hex", L"ZR8_0119.HEX", L"abc_0500.hex",
                                L"zr8_0500.txt", L"ZR8FWNOTES.RTF"})
        if (ConsiderFile(files, name))
            taken.push_back(name);
    EXPECT_EQ(taken, (std::vector<std::wstring>{L"zr8_0118.hex", L"ZR8_0119.HEX", L"ZR8FWNOTES.RTF"}));
    EXPECT_EQ(files.m_version, 119);
    EXPECT_TRUE(files.m_notesPresent);
}

TEST(DropLoneReleaseNotes, NotesAloneAreNotCopiedButNotesWithFirmwareAre)
{
    CFirmwareFiles files;
    files.m_notesPresent = true;
    std::vector<std::wstring> alone{L"zr8fwnotes.rtf"};
    EXPECT_TRUE(DropLoneReleaseNotes(files, alone));
    EXPECT_TRUE(alone.empty());
    std::vector<std::wstring> withFirmware{L"zr8_0117.hex", L"zr8fwnotes.rtf"};
    EXPECT_FALSE(DropLoneReleaseNotes(files, withFirmware));
    EXPECT_EQ(withFirmware.size(), 2u);
}

struct AddressCase {
    const char* label;
    std::wstring text;
    bool valid;
    std::wstring host;
    uint16_t port;
};

class FileServerSetting : public ::testing::TestWithParam<AddressCase> {};

TEST_P(FileServerSetting, IsHostWithAnOptionalPort)
{
    CFileServerAddress address{L"before", 7};
    EXPECT_EQ(ParseFileServerAddress(GetParam().text, address), GetParam().valid);
    EXPECT_EQ(address.host, GetParam().host);
    EXPECT_EQ(address.port, GetParam().port);
}

INSTANTIATE_TEST_SUITE_P(Settings, FileServerSetting,
                         ::testing::Values(AddressCase{"HostOnly", L"mirror.example", true, L"mirror.example", 0},
                                           AddressCase{"HostAndPort", L"127.0.0.1:2121", true, L"127.0.0.1", 2121},
                                           AddressCase{"PortZero", L"host:0", false, L"before", 7},
                                           AddressCase{"PortTooBig", L"host:65536", false, L"before", 7},
                                           AddressCase{"NoHost", L":21", false, L"before", 7},
                                           AddressCase{"Url", L"ftp://host", false, L"before", 7},
                                           AddressCase{"Letters", L"host:ftp", false, L"before", 7}),
                         [](const ::testing::TestParamInfo<AddressCase>& info) { return info.param.label; });

TEST(PlaceCopiedFile, AValidFileTakesItsNameACorruptOneIsPutAside)
{
    CScratchFolder folder;
    folder.Write("zr8_0117.hex.download", ":00000001FF\r\n");
    folder.Write("zr8_0118.hex.download", ":10000000GG\r\n");
    folder.Write("zr8fwnotes.rtf.download", "anything");
    DWORD error = 1;
    EXPECT_EQ(PlaceCopiedFile(folder.WidePath(), L"zr8_0117.hex", error), CopiedFile::Verified);
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(PlaceCopiedFile(folder.WidePath(), L"zr8_0118.hex", error), CopiedFile::VerifyFailed);
    EXPECT_EQ(PlaceCopiedFile(folder.WidePath(), L"zr8fwnotes.rtf", error), CopiedFile::Verified);
    for (const wchar_t* name : {L"zr8_0117.hex", L"zr8_0118.hex.corrupt", L"zr8fwnotes.rtf"})
        EXPECT_TRUE(Folders::FileExists(Folders::Join(folder.WidePath(), name))) << name;
    for (const wchar_t* name : {L"zr8_0118.hex", L"zr8_0117.hex.download", L"zr8_0118.hex.download"})
        EXPECT_FALSE(Folders::FileExists(Folders::Join(folder.WidePath(), name))) << name;
    EXPECT_EQ(ScanFirmwareFolder(folder.WidePath()).m_version, 117);
}

}  // namespace
