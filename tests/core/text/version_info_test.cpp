#include <gtest/gtest.h>

#include "core/text/os_description.h"
#include "core/text/version_info.h"
#include "tests/case_name.h"

namespace {

// ZR8_TEST_VERSION is the project version, the one source of the version numbers.
const std::wstring kVersion = ZR8_TEST_VERSION;

TEST(VersionInfo, OwnVersionResourceCarriesTheProgramsFields)
{
    CFileVersionInfo info;
    ASSERT_TRUE(info.ReadOwnVersionInfo());
    EXPECT_EQ(info.Get(CFileVersionInfo::FileDescription), L"Orvandel ZR8 Utility");
    EXPECT_EQ(info.Get(CFileVersionInfo::ProductName), L"Orvandel ZR8 Utility");
    EXPECT_EQ(info.Get(CFileVersionInfo::InternalName), L"Orvandel ZR8 Utility");
    EXPECT_EQ(info.Get(CFileVersionInfo::OriginalFileName), L"ZR8Utility.exe");
    EXPECT_EQ(info.Get(CFileVersionInfo::CompanyName), L"Orvandel");
    EXPECT_FALSE(info.Get(CFileVersionInfo::LegalCopyright).empty());
    EXPECT_EQ(info.Get(CFileVersionInfo::FileVersion), kVersion);
    EXPECT_EQ(info.Get(CFileVersionInfo::ProductVersion), kVersion);
    EXPECT_EQ(info.Get(CFileVersionInfo::Comments), L"");
    EXPECT_EQ(info.Get(CFileVersionInfo::SpecialBuild), L"");
    // The fixed information says the same as the strings.
    std::wstring fixed = std::to_wstring(HIWORD(info.fileVersionMS)) + L"." + std::to_wstring(LOWORD(info.fileVersionMS)) +
                         L"." + std::to_wstring(HIWORD(info.fileVersionLS)) + L"." + std::to_wstring(LOWORD(info.fileVersionLS));
    EXPECT_EQ(fixed, kVersion);
    EXPECT_EQ(info.productVersionMS, info.fileVersionMS);
    EXPECT_EQ(info.productVersionLS, info.fileVersionLS);
}

TEST(VersionInfo, AppTitle)
{
    EXPECT_EQ(GetAppTitle(), L"Orvandel ZR8 Utility Version " + kVersion);
    EXPECT_EQ(&GetAppTitle(), &GetAppTitle()) << "built once and kept";

    CFileVersionInfo info;
    info.Set(CFileVersionInfo::FileDescription, L"Orvandel ZR8 Utility");
    info.fileVersionMS = 0x00010017;
    info.fileVersionLS = 0x000B0008;
    EXPECT_EQ(BuildAppTitle(info), L"Orvandel ZR8 Utility Version 1.23.11.8");
}

TEST(VersionInfo, ProductTitleNamesTheProductWhateverTheFile)
{
    EXPECT_EQ(GetProductTitle(), L"Orvandel ZR8 Utility Version " + kVersion);

    // zr8.exe's own description and file version do not reach the product title.
    CFileVersionInfo info;
    info.Set(CFileVersionInfo::FileDescription, L"Orvandel ZR8 command-line tool");
    info.Set(CFileVersionInfo::ProductName, L"Orvandel ZR8 Utility");
    info.fileVersionMS = 0x00020000;
    info.productVersionMS = 0x00010017;
    info.productVersionLS = 0x000B0008;
    EXPECT_EQ(BuildProductTitle(info), L"Orvandel ZR8 Utility Version 1.23.11.8");
    EXPECT_EQ(BuildAppTitle(info), L"Orvandel ZR8 command-line tool Version 2.0.0.0");
}

TEST(VersionInfo, FileWithoutVersionResource)
{
    CFileVersionInfo info;
    info.Set(CFileVersionInfo::Comments, L"stale");
    EXPECT_FALSE(info.ReadVersionInfo(L"no-such-file-here.exe"));
    EXPECT_EQ(info.Get(CFileVersionInfo::Comments), L"") << "a failed read leaves nothing behind";
    EXPECT_EQ(info.fileVersionMS, 0u);
}

TEST(VersionInfo, TheTwelveFieldNames)
{
    const wchar_t* expected[] = {L"CompanyName",    L"FileDescription", L"FileVersion", L"InternalName",
                                 L"LegalCopyright", L"OriginalFileName", L"ProductName", L"ProductVersion",
                                 L"Comments",       L"LegalTrademarks", L"PrivateBuild", L"SpecialBuild"};
    ASSERT_EQ(sizeof(expected) / sizeof(expected[0]), static_cast<size_t>(CFileVersionInfo::FieldCount));
    for (int i = 0; i < CFileVersionInfo::FieldCount; ++i)
        EXPECT_STREQ(CFileVersionInfo::FieldName(static_cast<CFileVersionInfo::Field>(i)), expected[i]);
}

struct ReleaseCase {
    DWORD major, minor;
    bool workstation;
    const wchar_t* name;  // null: no row
};

class WindowsRelease : public ::testing::TestWithParam<ReleaseCase> {};

TEST_P(WindowsRelease, Name)
{
    const ReleaseCase& c = GetParam();
    const wchar_t* name = WindowsReleaseName(c.major, c.minor, c.workstation);
    if (c.name == nullptr)
        EXPECT_EQ(name, nullptr);
    else
        EXPECT_STREQ(name, c.name);
}

INSTANTIATE_TEST_SUITE_P(Table, WindowsRelease,
                         ::testing::Values(ReleaseCase{10, 0, true, L"Windows 10"},
                                           ReleaseCase{10, 0, false, L"Windows Server 2016"},
                                           ReleaseCase{5, 2, true, L"Windows XP 64-Bit Edition"},
                                           ReleaseCase{5, 2, false, L"Windows Server 2003"},
                                           ReleaseCase{6, 1, true, L"Windows 7"},
                                           ReleaseCase{6, 3, false, L"Windows Server 2012 R2"},
                                           ReleaseCase{6, 4, true, nullptr},
                                           ReleaseCase{11, 0, true, nullptr}),
                         [](const auto& info) {
                             const ReleaseCase& c = info.param;
                             if (c.name) return CaseName(std::wstring_view(c.name));
                             return "NoName" + std::to_string(c.major) + "_" + std::to_string(c.minor) +
                                    (c.workstation ? "Workstation" : "Server");
                         });

TEST(OsDescription, VersionLineThenRelease)
{
    OsInfo::OsVersion v;
    v.major = 10;
    v.minor = 0;
    v.build = 19045;
    v.isWorkstation = true;
    v.kernelName = L"Linux 6.1.0";
#ifdef _WIN32
    EXPECT_EQ(DescribeOs(v), L"OS Version 10.0 Build 19045 Windows 10");
    v.major = 6;
    v.minor = 4;
    EXPECT_EQ(DescribeOs(v), L"OS Version 6.4 Build 19045 ") << "no row: ends with the space after the build";
#else
    EXPECT_EQ(DescribeOs(v), L"OS Version 10.0 Build 19045 Linux 6.1.0");
#endif
    EXPECT_EQ(GetOsDescription().rfind(L"OS Version ", 0), 0u);
}

}  // namespace
