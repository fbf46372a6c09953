#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "firmware/firmware_files.h"
#include "hex_test_text.h"
#include "platform/folder_listing.h"
#include "platform/folders.h"
#include "tests/case_name.h"

namespace {

struct VersionCase {
    const wchar_t* path;
    uint16_t version;
};

class VersionFromName : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionFromName, TakesTheNumberBeforeTheExtension) {
    EXPECT_EQ(VersionFromFileName(GetParam().path), GetParam().version) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(Names, VersionFromName,
                         ::testing::Values(VersionCase{L"zr8_0205.HEX", 205}, VersionCase{L"zr8.hex", 8},
                                           VersionCase{L"abc.hex", 0}, VersionCase{L"zr8mcu_0117.hex", 117},
                                           VersionCase{L"C:\\Firmware\\zr8_0117.hex", 117},
                                           VersionCase{L"/home/me/fw.1/zr8_0300.hex", 300},
                                           VersionCase{L"zr8_0300", 300}, VersionCase{L"zr8_12.1.hex", 1},
                                           VersionCase{L"12345.hex", 0}, VersionCase{L"zr8_70000.hex", 70000 % 65536}),
                         [](const auto& info) { return CaseName(std::wstring_view(info.param.path)); });

TEST(FirmwareFileName, NeedsThePrefixAndTheExtensionInAnyCase) {
    EXPECT_TRUE(IsFirmwareFileName(L"ZR8A_0100.hex"));
    EXPECT_TRUE(IsFirmwareFileName(L"zr8c_0117.HEX"));
    EXPECT_FALSE(IsFirmwareFileName(L"xzr8_0100.hex"));
    EXPECT_FALSE(IsFirmwareFileName(L"zr8_0100.hex.txt"));
    EXPECT_FALSE(IsFirmwareFileName(L"zr8_0100"));
}

TEST(ScanFirmwareFolder, PicksTheHighestVersionFirstEnumeratedAmongEquals) {
    CScratchFolder folder;
    for (const char* name : {"ZR8A_0100.hex", "zr8b_0117.hex", "zr8c_0117.HEX", "abc_0500.hex", "zr8_0900.txt",
                             "ZR8FWNOTES.RTF"})
        folder.Write(name, ":00000001FF\r\n");
    folder.MakeFolder("zr8_0999.hex");  // a folder is no firmware file

    std::vector<FolderEntry> entries;
    ASSERT_EQ(ListFolder(folder.WidePath(), entries), 0u);
    std::wstring firstOf117;
    for (const FolderEntry& entry : entries)
        if (firstOf117.empty() && (entry.name == L"zr8b_0117.hex" || entry.name == L"zr8c_0117.HEX"))
            firstOf117 = entry.name;

    const CFirmwareFiles files = ScanFirmwareFolder(folder.WidePath());
    EXPECT_EQ(files.m_version, 117);
    EXPECT_EQ(files.m_firmwarePath, Folders::Join(folder.WidePath(), firstOf117));
    EXPECT_TRUE(files.m_notesPresent);
    EXPECT_EQ(VersionText(files.m_version), L"01.17");
}

TEST(ScanFirmwareFolder, VersionZeroAndMissingFoldersGiveNothing) {
    CScratchFolder folder;
    folder.Write("zr8_0000.hex", "");
    CFirmwareFiles files = ScanFirmwareFolder(folder.WidePath());
    EXPECT_FALSE(files.HasFirmware());
    folder.Write("zr8mcu.hex", "");  // version 8, the prefix's digit
    files = ScanFirmwareFolder(folder.WidePath());
    EXPECT_EQ(files.m_version, 8);
    EXPECT_EQ(files.m_firmwarePath, Folders::Join(folder.WidePath(), L"zr8mcu.hex"));
    EXPECT_FALSE(files.m_notesPresent);

    files = ScanFirmwareFolder((folder.Path() / "nowhere").wstring());
    EXPECT_FALSE(files.HasFirmware());
    EXPECT_EQ(files.m_version, 0);
}

TEST(ScanFirmwareFolder, AnEmptyFolderNameListsNothingNotTheCurrentDirectory) {
    CScratchFolder folder;
    folder.Write("zr8_0117.hex", ":00000001FF\r\n");
    folder.Write("zr8fwnotes.rtf", "");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    const CFirmwareFiles files = ScanFirmwareFolder(L"");
    std::filesystem::current_path(previous);
    EXPECT_FALSE(files.HasFirmware()) << "chosen: " << std::string(files.m_firmwarePath.begin(), files.m_firmwarePath.end());
    EXPECT_EQ(files.m_version, 0);
    EXPECT_FALSE(files.m_notesPresent);
}

}  // namespace
