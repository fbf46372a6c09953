// The copy dialog against real FTP servers on 127.0.0.1 (ftp_servers_fixture.sh): the
// choice of newer files, a listing with nothing new, a missing directory, hostile names,
// a dropped and a refused connection, a corrupt HEX file, Cancel during a slow fetch and
// the missing-folder question.
#include <gtest/gtest.h>

#include "ftp_dialog_fixture.h"
#include "platform/folders.h"
#include "ui/ftp/ftp_request_worker.h"

namespace {

std::wstring AllLines(const std::vector<std::wstring>& lines)
{
    std::wstring all;
    for (const std::wstring& line : lines)
        all += line + L"\n";
    return all;
}

#define REQUIRE_SERVERS(fixture) \
    if (!(fixture).HaveServers()) \
    GTEST_SKIP() << "ZR8_FTP_SERVERS is not set (the ftp servers fixture did not run)"

TEST(FtpDialog, CopiesTheNewerFilesInListingOrderAndClosesByItself)
{
    CFtpDialogFixture f("newer");
    REQUIRE_SERVERS(f);
    f.LocalFirmware(116);
    ASSERT_TRUE(f.Open());
    ASSERT_TRUE(f.RunUntilSettled()) << f.Dialog().Transcript();

    EXPECT_EQ(f.Dialog().EndResult(), IDOK) << f.Dialog().Transcript();
    EXPECT_EQ(f.FolderNames(),
              (std::vector<std::wstring>{L"zr8_0116.hex", L"zr8_0117.hex", L"zr8_0118.hex", L"zr8fwnotes.rtf"}));
    const std::wstring& log = f.Dialog().Transcript();
    EXPECT_TRUE(Has(log, L"Connected to Orvandel server")) << log;
    // The report lines reach the main window too, in order.
    const std::vector<std::wstring> expected{
        L"Open connection to 127.0.0.1:", L"Copying files to " + f.Folder(), L"File verified zr8_0117.hex",
        L"Copied zr8_0117.hex from Orvandel", L"File verified zr8_0118.hex", L"Copied zr8_0118.hex from Orvandel",
        L"File verified zr8fwnotes.rtf", L"Copied zr8fwnotes.rtf from Orvandel",
        L"Copied 3 files from Orvandel to " + f.Folder()};
    ASSERT_EQ(f.HostLines().size(), expected.size()) << AllLines(f.HostLines());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(f.HostLines()[i].compare(0, expected[i].size(), expected[i]), 0) << f.HostLines()[i];
    EXPECT_EQ(f.Files().m_version, 118);
}

TEST(FtpDialog, WithTraceTheDialogStaysOpenWithItsTraceUntilClosed)
{
    CFtpDialogFixture f("newer");
    REQUIRE_SERVERS(f);
    f.Model().m_trace.Set(1);
    f.LocalFirmware(116);
    ASSERT_TRUE(f.Open());
    ASSERT_TRUE(f.RunUntilSettled());

    const std::wstring& log = f.Dialog().Transcript();
    for (const wchar_t* line : {L"Navigate to ZR8/firmware", L"Skipped zr8_0115.hex", L"Found zr8_0117.hex",
                                L"Found zr8_0118.hex", L"Found zr8fwnotes.rtf", L"Click \"Close\" to close this window"})
        EXPECT_TRUE(Has(log, line)) << line << "\n" << log;
    EXPECT_EQ(f.Dialog().EndResult(), -1);
    wchar_t text[32] = {};
    GetDlgItemTextW(f.DialogWindow(), IDCANCEL, text, 32);
    EXPECT_STREQ(text, L"Close");
    f.Click(IDCANCEL);
    ASSERT_TRUE(f.RunUntil([&] { return f.Dialog().EndResult() != -1; }, 5000));
    EXPECT_EQ(f.Dialog().EndResult(), IDOK);
}

struct NothingNewCase {
    const char* name;
    const char* server;
};

class FtpDialogNothingNew : public ::testing::TestWithParam<NothingNewCase> {};

TEST_P(FtpDialogNothingNew, CopiesNothingAndClosesByItself)
{
    CFtpDialogFixture f(GetParam().server);
    REQUIRE_SERVERS(f);
    f.LocalFirmware(116);
    ASSERT_TRUE(f.Open());
    ASSERT_TRUE(f.RunUntilSettled());
    EXPECT_EQ(f.Dialog().EndResult(), IDOK) << f.Dialog().Transcript();
    EXPECT_EQ(f.FolderNames(), std::vector<std::wstring>{L"zr8_0116.hex"});
    EXPECT_FALSE(Has(f.Dialog().Transcript(), L"Copying files")) << f.Dialog().Transcript();
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpDialogNothingNew,
                         ::testing::Values(NothingNewCase{"OnlyTheNotes", "notesonly"},
                                           NothingNewCase{"NotesAndOlderFiles", "older"}),
                         [](const ::testing::TestParamInfo<NothingNewCase>& info) { return info.param.name; });

TEST(FtpDialog, AMissingDirectoryIsReportedAndTheDialogStaysOpen)
{
    CFtpDialogFixture f("nodir");
    REQUIRE_SERVERS(f);
    ASSERT_TRUE(f.Open());
    ASSERT_TRUE(f.RunUntilSettled()) << f.Dialog().Transcript();
    const std::wstring& log = f.Dialog().Transcript();
    EXPECT_TRUE(Has(log, L"FtpSetCurrentDirectory completed with error 0x00002EE3: ")) << log;
    EXPECT_TRUE(Has(log, L"InternetGetLastResponseInfo returns 0x")) << log;
    // The server's own reply to the failing command, recorded where the call was made.
    const size_t reply = log.find(L"\r\nInternetGetLastResponseInfo returns 0x");
    ASSERT_NE(reply, std::wstring::npos) << log;
    EXPECT_TRUE(Has(log.substr(reply, log.find(L'\n', reply + 2) - reply),
                    L" 550 ZR8/firmware is not on this server (nodir)."))
        << log;
    EXPECT_TRUE(Has(log, L"Click \"Close\" to close this window")) << log;
    EXPECT_EQ(f.Dialog().Result(), 12003u);
    EXPECT_EQ(f.Dialog().State(), FtpIdle);
    SendMessageW(f.DialogWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(f.Dialog().EndResult(), CFtpDlg::kFailed);
}

TEST(FtpDialog, HostileNamesAreSkippedAndNothingLandsOutsideTheFolder)
{
    CFtpDialogFixture f("hostile");
    REQUIRE_SERVERS(f);
    f.LocalFirmware(116);
    ASSERT_TRUE(f.Open());
    ASSERT_TRUE(f.RunUntilSettled());
    const std::wstring& log = f.Dialog().Transcript();
    // The listing's entries hold at most 259 characters: the 300-character name arrives
    // cut, and is skipped as such.
    const std::vector<std::wstring> hostile{L"../zr8_0999.hex", L"sub/zr8_0999.hex", L"..\\zr8_0999.hex",
                                            L"C:zr8_0999.hex", L"CON.hex", L"zr8_" + std::wstring(200, L'a')};
    for (const std::wstring& name : hostile)
        EXPECT_TRUE(Has(log, L"Skipped " + name)) << name << "\n" << log;
    EXPECT_EQ(f.Dialog().EndResult(), IDOK) << log;
    EXPECT_EQ(f.FolderNames(), (std::vector<std::wstring>{L"zr8_0116.hex", L"zr8_0117.hex"}));
    const std::wstring parent = f.Folder().substr(0, f.Folder().find_last_of(L'\\'));
    EXPECT_FALSE(Folders::FileExists(Folders::Join(parent, L"zr8_0999.hex")));
    EXPECT_EQ(f.ServerLog("hostile").find("0999"), std::string::npos) << "no hostile name was asked for";
}

struct BrokenServerCase {
    const char* name;
    const char* server;
    const wchar_t* line;
};

class FtpDialogBrokenServer : public ::testing::TestWithParam<BrokenServerCase> {};

TEST_P(FtpDialogBrokenServer, OneClearErrorLineNothingPartialNoHang)
{
    CFtpDialogFixture f(GetParam().server);
    REQUIRE_SERVERS(f);
    ASSERT_TRUE(f.Open());
    ASSERT_TRUE(f.RunUntilSettled()) << f.Dialog().Transcript();
    const std::wstring& log = f.Dialog().Transcript();
    EXPECT_TRUE(Has(log, GetParam().line)) << log;
    size_t errors = 0;
    for (size_t at = log.find(L"completed with error"); at != std::wstring::npos;
         at = log.find(L"completed with error", at + 1))
        ++errors;
    EXPECT_EQ(errors, 1u) << log;
    EXPECT_TRUE(Has(log, L"Click \"Close\" to close this window")) << log;
    EXPECT_TRUE(f.FolderNames().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Servers, FtpDialogBrokenServer,
    ::testing::Values(BrokenServerCase{"DroppedMidTransfer", "drop", L"FtpGetFile completed with error 0x"},
                      BrokenServerCase{"ConnectionRefused", "refused", L"InternetConnect completed with error 0x"}),
    [](const ::testing::TestParamInfo<BrokenServerCase>& info) { return info.param.name; });

TEST(FtpDialog, ACorruptHexFileIsReportedAndNeverChosenByTheScan)
{
    CFtpDialogFixture f("corrupt");
    REQUIRE_SERVERS(f);
    f.LocalFirmware(116);
    ASSERT_TRUE(f.Open());
    ASSERT_TRUE(f.RunUntilSettled());
    const std::wstring& log = f.Dialog().Transcript();
    EXPECT_TRUE(Has(log, L"File zr8_0118.hex verify failed")) << log;
    EXPECT_TRUE(Has(log, L"Unable to copy file zr8_0118.hex")) << log;
    EXPECT_TRUE(Has(log, L"Copied zr8_0117.hex from Orvandel")) << log;
    EXPECT_EQ(ScanFirmwareFolder(f.Folder()).m_version, 117);
}

TEST(FtpDialog, CancelDuringAFetchEndsAtOnceAndLeavesNothingPartial)
{
    CFtpDialogFixture f("slow");
    REQUIRE_SERVERS(f);
    ASSERT_TRUE(f.Open());
    ASSERT_TRUE(f.RunUntil([&] {
        return !f.FolderNames().empty();  // the file is arriving
    })) << f.Dialog().Transcript();
    EXPECT_EQ(f.Dialog().State(), FtpGettingFile);
    const DWORD before = GetTickCount();
    f.Click(IDCANCEL);
    EXPECT_EQ(f.Dialog().EndResult(), IDCANCEL);
    EXPECT_LT(GetTickCount() - before, 4000u);
    EXPECT_EQ(f.DialogWindow(), nullptr);
    EXPECT_TRUE(f.FolderNames().empty());
    EXPECT_TRUE(Has(f.Dialog().Transcript(), L"Cancel Button completed with error 0x000004C7: "))
        << f.Dialog().Transcript();
}

TEST(FtpDialog, RefusingToCreateAMissingFolderClosesBeforeAnyConnection)
{
    CFtpDialogFixture f("untouched");
    REQUIRE_SERVERS(f);
    const std::wstring missing = Folders::Join(f.Folder(), L"new\\firmware");
    f.UseFolder(missing);
    ASSERT_TRUE(f.Open(IDNO));
    EXPECT_EQ(f.Dialog().EndResult(), CFtpDlg::kFailed);
    ASSERT_EQ(f.Boxes().size(), 1u);
    EXPECT_EQ(f.Boxes()[0], L"Folder \"" + missing + L"\" does not exist. Do you want to create it now?");
    EXPECT_FALSE(Folders::FolderExists(missing));
    f.RunUntil([] { return false; }, 300);
    EXPECT_EQ(f.ServerLog("untouched").find("session opened"), std::string::npos);
}

TEST(FtpDialog, AgreeingCreatesTheFolderAndCopies)
{
    CFtpDialogFixture f("newer");
    REQUIRE_SERVERS(f);
    const std::wstring base = f.Folder();
    f.UseFolder(Folders::Join(base, L"new\\firmware"));
    ASSERT_TRUE(f.Open(IDYES));
    ASSERT_TRUE(f.RunUntilSettled());
    EXPECT_EQ(f.Dialog().EndResult(), IDOK) << f.Dialog().Transcript();
    EXPECT_TRUE(Folders::FileExists(Folders::Join(f.Folder(), L"zr8_0118.hex")));
    f.UseFolder(base);  // removed with everything in it
}

}  // namespace

namespace {

TEST(FtpDialog, TheLogGrowsAndTheButtonFollowsTheCornerWhenResized)
{
    CFtpDialogFixture f("refused");
    REQUIRE_SERVERS(f);
    ASSERT_TRUE(f.Open());
    ASSERT_TRUE(f.RunUntilSettled());
    HWND dialog = f.DialogWindow();
    auto clientRect = [&](int id) {
        RECT r;
        GetWindowRect(GetDlgItem(dialog, id), &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    RECT window, client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    const RECT logBefore = clientRect(IDC_OUTPUT_WINDOW), buttonBefore = clientRect(IDCANCEL);
    SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + 100, window.bottom - window.top + 60,
                 SWP_NOMOVE | SWP_NOZORDER);
    RECT clientAfter;
    GetClientRect(dialog, &clientAfter);
    const LONG dx = clientAfter.right - client.right, dy = clientAfter.bottom - client.bottom;
    ASSERT_GT(dx, 0);
    const RECT logAfter = clientRect(IDC_OUTPUT_WINDOW), buttonAfter = clientRect(IDCANCEL);
    EXPECT_EQ(logAfter.right - logAfter.left, logBefore.right - logBefore.left + dx);
    EXPECT_EQ(logAfter.bottom - logAfter.top, logBefore.bottom - logBefore.top + dy);
    EXPECT_EQ(buttonAfter.left, buttonBefore.left + dx);
    EXPECT_EQ(buttonAfter.top, buttonBefore.top + dy);
    EXPECT_EQ(clientAfter.right - buttonAfter.right, client.right - buttonBefore.right);
}

// A failed Internet call that left no last error is still a failure with a code.
TEST(FtpRequestWorker, AFailureWithoutALastErrorIsAnInternalError)
{
    SetLastError(0);
    EXPECT_EQ(12004u, LastInternetError());
    SetLastError(12003);
    EXPECT_EQ(12003u, LastInternetError());
}

// The status callback's context lives as long as the worker, whose thread may outlive the
// dialog that made it.
TEST(FtpRequestWorker, KeepsTheCallbackContextAliveWhileItLives)
{
    auto context = std::make_shared<CFtpCallbackContext>();
    const std::weak_ptr<CFtpCallbackContext> watched = context;
    auto worker = std::make_unique<CFtpRequestWorker>(nullptr, context);
    context.reset();  // the dialog has gone
    EXPECT_FALSE(watched.expired());
    worker.reset();
    EXPECT_TRUE(watched.expired());
}

}  // namespace
