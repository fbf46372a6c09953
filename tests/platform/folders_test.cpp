#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/code_pages.h"
#include "platform/folders.h"
#include "platform/os_info.h"
#include "temp_folder.h"

namespace {

TEST(FoldersTest, JoinAndStripUseThePlatformSeparator)
{
#ifdef _WIN32
    EXPECT_EQ(Folders::Separator(), L'\\');
    EXPECT_EQ(Folders::Join(L"C:\\Data\\\\", L"ZR8 Firmware"), L"C:\\Data\\ZR8 Firmware");
    EXPECT_EQ(Folders::Join(L"C:\\Data/", L"x"), L"C:\\Data\\x");
    EXPECT_EQ(Folders::Join(L"C:\\", L"x"), L"C:\\x");
    EXPECT_EQ(Folders::StripTrailingSeparators(L"C:\\\\"), L"C:\\");
#else
    struct Case {
        const wchar_t* folder;
        const wchar_t* name;
        const wchar_t* joined;
    };
    const Case cases[] = {
        {L"/home/u/.local/share", L"Orvandel", L"/home/u/.local/share/Orvandel"},
        {L"/home/u//", L"Orvandel", L"/home/u/Orvandel"},
        {L"/", L"tmp", L"/tmp"},
        {L"", L"relative", L"relative"},
        {L"folder", L"file.hex", L"folder/file.hex"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Folders::Join(c.folder, c.name), c.joined);
    EXPECT_EQ(Folders::StripTrailingSeparators(L"///"), L"/");
    EXPECT_EQ(Folders::StripTrailingSeparators(L"/a/b/"), L"/a/b");
#endif
}

TEST(FoldersTest, CreateFolderTreeAndExistence)
{
    CTempFolder temp;
    const std::wstring base = temp.WidePath();
    const std::wstring deep = Folders::Join(Folders::Join(base, L"Orvandel"), L"ZR8 Firmware \u00e4");
    EXPECT_FALSE(Folders::CreateFolder(Folders::Join(deep, L"x")));  // parent missing
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    ASSERT_TRUE(Folders::CreateFolderTree(deep));
    EXPECT_TRUE(Folders::FolderExists(deep));
    EXPECT_TRUE(Folders::CreateFolder(deep));  // already there as a folder: fine
    EXPECT_FALSE(Folders::FileExists(deep));

    const std::wstring file = Folders::Join(deep, L"zr8fwnotes.rtf");
    CTempFolder::WriteText(CTempFolder::FromWide(file), "{\\rtf1}");
    EXPECT_TRUE(Folders::FileExists(file));
    EXPECT_FALSE(Folders::FolderExists(file));
    EXPECT_FALSE(Folders::CreateFolder(file));  // a file is in the way
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
}

TEST(FoldersTest, UserFoldersAreFound)
{
    EXPECT_FALSE(Folders::AppData().empty());
    EXPECT_FALSE(Folders::Documents().empty());
}

#ifndef _WIN32
TEST(FoldersTest, XdgVariablesWinWhenAbsolute)
{
    const char* oldData = std::getenv("XDG_DATA_HOME");
    const std::string saved = oldData ? oldData : "";
    setenv("XDG_DATA_HOME", "/srv/data", 1);
    EXPECT_EQ(Folders::AppData(), L"/srv/data");
    setenv("XDG_DATA_HOME", "relative/ignored", 1);
    const char* home = std::getenv("HOME");
    ASSERT_NE(home, nullptr);
    EXPECT_EQ(Folders::AppData(), CodePages::FromUtf8(std::string(home) + "/.local/share"));
    if (oldData)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}
#endif

TEST(OsInfoTest, VersionAndModulePath)
{
    const OsInfo::OsVersion version = OsInfo::QueryOsVersion();
    EXPECT_GT(version.major, 0u);
    const std::wstring path = OsInfo::ModulePath();
    EXPECT_NE(path.find(L"zr8_platform_tests"), std::wstring::npos);
#ifndef _WIN32
    EXPECT_EQ(version.kernelName.compare(0, 6, L"Linux "), 0);
#endif
}

}  // namespace
