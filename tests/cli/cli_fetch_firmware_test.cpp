// zr8 fetch-firmware end to end against a real FTP server on 127.0.0.1: the choice of
// newer files, hostile names, a missing directory, a dropped and a refused connection,
// a corrupt HEX file, a refused folder creation and Ctrl-C during a slow fetch.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>

#include "firmware/firmware_files.h"
#include "ftp_server_process.h"
#include "platform/code_pages.h"
#include "zr8_process.h"

namespace {

namespace fs = std::filesystem;

class FetchFirmwareTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = home.Path() / "firmware";
        fs::create_directories(folder);
        fs::create_directories(server.FirmwareDirectory());
    }
    void ServerFirmware(unsigned version)
    {
        char name[32];
        std::snprintf(name, sizeof name, "zr8_%04u.hex", version);
        ASSERT_TRUE(MakeFirmware((server.FirmwareDirectory() / name).string(), {"--version", std::to_string(version)}));
    }
    void ServerFile(const std::string& name, const std::string& content)
    {
        std::ofstream(server.FirmwareDirectory() / name, std::ios::binary) << content;
    }
    void LocalFirmware(unsigned version)
    {
        char name[32];
        std::snprintf(name, sizeof name, "zr8_%04u.hex", version);
        ASSERT_TRUE(MakeFirmware((folder / name).string(), {"--version", std::to_string(version)}));
    }
    CZr8Result Fetch(const std::vector<std::string>& extra = {},
                     const std::function<void(const std::string&, int)>& onStderr = nullptr)
    {
        std::vector<std::string> args{"fetch-firmware", "--folder", folder.string(), "--server", server.Address()};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunZr8(home, args, 120000, onStderr);
    }
    std::vector<std::string> FolderNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Every file under the test's home and the server's root, wherever it is.
    std::vector<std::string> FilesNamed(const std::string& part) const
    {
        std::vector<std::string> found;
        for (const fs::path& top : {home.Path(), server.Root().parent_path()})
            for (const auto& entry : fs::recursive_directory_iterator(top))
                if (entry.path().filename().string().find(part) != std::string::npos)
                    found.push_back(entry.path().string());
        return found;
    }

    CZr8Home home;
    CFtpServerProcess server;
    fs::path folder;
};

TEST_F(FetchFirmwareTest, CopiesTheNewerFilesInListingOrderWithTheNotes)
{
    LocalFirmware(116);
    for (unsigned v : {115u, 117u, 118u})
        ServerFirmware(v);
    ServerFile("zr8fwnotes.rtf", "{\\rtf1 notes}");
    ASSERT_TRUE(server.Start({{"zr8_0115.hex", "zr8_0117.hex", "zr8_0118.hex", "zr8fwnotes.rtf"}}));

    const CZr8Result r = Fetch({"--trace"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> expected{"zr8_0116.hex", "zr8_0117.hex", "zr8_0118.hex", "zr8fwnotes.rtf"};
    EXPECT_EQ(FolderNames(), expected);
    const std::string lines[] = {"Open connection to " + server.Address(),
                                 "Connected to Orvandel server",
                                 "Navigate to ZR8/firmware",
                                 "Skipped zr8_0115.hex",
                                 "Found zr8_0117.hex",
                                 "Found zr8_0118.hex",
                                 "Found zr8fwnotes.rtf",
                                 "Copying files to " + folder.string(),
                                 "File verified zr8_0117.hex",
                                 "Copied zr8_0117.hex from Orvandel",
                                 "File verified zr8_0118.hex",
                                 "Copied zr8_0118.hex from Orvandel",
                                 "File verified zr8fwnotes.rtf",
                                 "Copied zr8fwnotes.rtf from Orvandel",
                                 "Copied 3 files from Orvandel to " + folder.string()};
    size_t at = 0;
    for (const std::string& line : lines) {
        const size_t found = r.err.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << "\n" << r.err;
        at = found + line.size();
    }
    EXPECT_EQ(ScanFirmwareFolder(CodePages::FromUtf8(folder.string())).m_version, 118);
}

struct NothingNewCase {
    const char* name;
    std::vector<unsigned> serverVersions;
};

class FetchNothingNew : public FetchFirmwareTest, public ::testing::WithParamInterface<NothingNewCase> {};

TEST_P(FetchNothingNew, CopiesNothingAndSaysNothingOfCopying)
{
    LocalFirmware(116);
    for (unsigned v : GetParam().serverVersions)
        ServerFirmware(v);
    ServerFile("zr8fwnotes.rtf", "{\\rtf1 notes}");
    ASSERT_TRUE(server.Start());

    const CZr8Result r = Fetch();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"zr8_0116.hex"});
    EXPECT_FALSE(Contains(r.err, "Copying files")) << r.err;
    EXPECT_FALSE(Contains(r.err, "completed with error")) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Listings, FetchNothingNew,
                         ::testing::Values(NothingNewCase{"OnlyTheNotes", {}},
                                           NothingNewCase{"NotesAndOlderFiles", {115, 116}}),
                         [](const ::testing::TestParamInfo<NothingNewCase>& info) { return info.param.name; });

TEST_F(FetchFirmwareTest, HostileNamesAreSkippedAndNothingLandsOutsideTheFolder)
{
    LocalFirmware(116);
    ServerFirmware(117);
    const std::string longName = "zr8_" + std::string(288, 'a') + "0999.hex";  // 300 characters
    const std::vector<std::string> hostile{"../zr8_0999.hex", "sub/zr8_0999.hex", "..\\zr8_0999.hex",
                                           "C:zr8_0999.hex", "CON.hex", longName};
    std::vector<std::string> listing = hostile;
    listing.push_back("zr8_0117.hex");
    ASSERT_TRUE(server.Start({listing}));

    const CZr8Result r = Fetch();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    for (const std::string& name : hostile)
        EXPECT_TRUE(Contains(r.err, "Skipped " + name)) << name << "\n" << r.err;
    EXPECT_TRUE(Contains(r.err, "Copied zr8_0117.hex from Orvandel")) << r.err;
    EXPECT_EQ(FolderNames(), (std::vector<std::string>{"zr8_0116.hex", "zr8_0117.hex"}));
    EXPECT_TRUE(FilesNamed("0999").empty());
    EXPECT_FALSE(Contains(server.Log(), "0999")) << "no hostile name was asked for";
}

TEST_F(FetchFirmwareTest, AMissingFirmwareDirectoryIsOneErrorWithTheServersReply)
{
    fs::remove_all(server.Root() / "ZR8");
    ASSERT_TRUE(server.Start());
    const CZr8Result r = Fetch();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "FtpSetCurrentDirectory completed with error 0x00002EE3: ")) << r.err;
    EXPECT_TRUE(Contains(r.err, "InternetGetLastResponseInfo returns 0x00000226 550 ")) << r.err;
    EXPECT_TRUE(FolderNames().empty());
}

TEST_F(FetchFirmwareTest, ADroppedConnectionLeavesNothingPartial)
{
    ServerFirmware(117);
    ASSERT_TRUE(server.Start({{}, 0, 20000}));
    const CZr8Result r = Fetch();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "FtpGetFile completed with error 0x00002EFE: ")) << r.err;
    EXPECT_TRUE(FolderNames().empty());
}

TEST_F(FetchFirmwareTest, NoServerIsOneClearError)
{
    const CZr8Result r = RunZr8(home, {"fetch-firmware", "--folder", folder.string(), "--server",
                                       "127.0.0.1:" + std::to_string(FreePort())});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "InternetConnect completed with error 0x00002EFD: ")) << r.err;
    EXPECT_TRUE(FolderNames().empty());
}

TEST_F(FetchFirmwareTest, ACorruptHexFileIsReportedAndNeverChosenByTheScan)
{
    LocalFirmware(116);
    ServerFirmware(117);
    ServerFile("zr8_0118.hex", ":10000000GG\r\nno end record\r\n");
    ASSERT_TRUE(server.Start());

    const CZr8Result r = Fetch();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "File zr8_0118.hex verify failed")) << r.err;
    EXPECT_TRUE(Contains(r.err, "Unable to copy file zr8_0118.hex")) << r.err;
    EXPECT_TRUE(Contains(r.err, "Copied zr8_0117.hex from Orvandel")) << r.err;
    const CFirmwareFiles scan = ScanFirmwareFolder(CodePages::FromUtf8(folder.string()));
    EXPECT_EQ(scan.m_version, 117);
    EXPECT_EQ(FolderNames(), (std::vector<std::string>{"zr8_0116.hex", "zr8_0117.hex", "zr8_0118.hex.corrupt"}));
}

TEST_F(FetchFirmwareTest, AMissingFolderIsCreatedOnlyWhenAsked)
{
    ServerFirmware(117);
    ASSERT_TRUE(server.Start());
    folder = home.Path() / "new" / "firmware";

    CZr8Result r = Fetch();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "does not exist. Do you want to create it now?")) << r.err;
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_FALSE(Contains(server.Log(), "session opened")) << "no connection before the folder exists";

    r = Fetch({"--yes"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"zr8_0117.hex"});
}

TEST_F(FetchFirmwareTest, CtrlCDuringASlowFetchEndsAtOnceAndLeavesNothingPartial)
{
    ServerFile("zr8_0117.hex", std::string(4 << 20, 'x'));
    ASSERT_TRUE(server.Start({{}, 65536}));
    bool sent = false;
    const CZr8Result r = Fetch({}, [&](const std::string& err, int pid) {
        if (!sent && Contains(err, "Progress ")) {  // the file is arriving
            sent = true;
            kill(pid, SIGINT);
        }
    });
    EXPECT_TRUE(sent);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(Contains(r.err, "File Copy Complete completed with error 0x000004C7: ")) << r.err;
    EXPECT_TRUE(FolderNames().empty());
}

}  // namespace
