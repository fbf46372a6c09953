// The same choice of files, safety rules and lines as the copy dialog of the Firmware
// page, over libcurl on Linux and the Internet functions in zr8.exe. Report lines go to stderr as status lines, trace lines with
// --trace, and on a terminal a progress bar per file.
#include "cli/fetch_firmware_command.h"

#include "cli/cli_session.h"
#include "cli/console.h"
#ifndef _WIN32
#include "cli/ftp_transport_curl.h"
#endif
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "firmware/server_copy.h"
#include "platform/code_pages.h"
#include "platform/folders.h"
#include "platform/wide_format.h"

namespace {

// The folder must be there before anything goes over the network; a missing one is
// created only when the user agrees.
bool MakeSureFolderExists(CCliSession& session, const std::wstring& folder)
{
    if (Folders::FolderExists(folder))
        return true;
    if (!session.AskYesNo(FormatText(IDS_CREATE_FOLDER_QUESTION, folder.c_str())))
        return false;
    return Folders::CreateFolderTree(folder) && Folders::FolderExists(folder);
}

}  // namespace

int RunFetchFirmwareCommand(CCliSession& session, const CommandArgs& args)
{
    const CCommand* command = FindCommand("fetch-firmware");
    std::wstring folder, serverText;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--folder" || args[i] == "--server") {
            if (i + 1 >= args.size())
                return UsageError(command, args[i] + " needs a value");
            if (args[i + 1].empty())
                return UsageError(command, args[i] + " needs a value, not an empty one");
            (args[i] == "--folder" ? folder : serverText) = CodePages::FromUtf8(args[i + 1]);
            ++i;
        } else {
            return UsageError(command, "unknown argument " + args[i]);
        }
    }
    CFileServerAddress server;
    if (!serverText.empty() && !ParseFileServerAddress(serverText, server))
        return UsageError(command, "--server takes HOST or HOST:PORT");

    const int rc = session.Open();
    if (rc != CliExit::Ok)
        return rc;
    CModel& model = session.Model();
    CConsoleOutput& out = session.Out();
    if (serverText.empty())
        server = FileServerAddress(model.SettingsStore());
    if (folder.empty())
        folder = model.m_firmwareFolder.Get();
    folder = Folders::StripTrailingSeparators(folder);

    if (!MakeSureFolderExists(session, folder)) {
        out.Error(FormatText(IDS_CLI_FETCH_FOLDER_NOT_CREATED, folder.c_str()));
        return session.Fail(ERROR_PATH_NOT_FOUND);
    }

    CFirmwareFiles files = ScanFirmwareFolder(folder);
    const bool trace = model.m_trace.Get() != 0;
    Console::CInterruptGuard interrupts;
    CServerCopyOutput output;
    output.log = [&](const std::wstring& line) {
        out.EndProgress();  // a file's bar ends before the lines about it
        out.Status(line);
    };
    output.trace = [&](const std::wstring& line) {
        if (trace)
            out.Status(line);
    };
    output.progress = [&](const std::wstring&, uint64_t got, uint64_t total) {
        if (total == 0)
            return;
        out.Progress(DWORD(got), DWORD(total));
    };
    output.cancelled = [] { return Console::InterruptCount() != 0; };

#ifdef _WIN32
    auto transport = CreateWinInetFtpTransport(FormatText(IDS_INTERNET_AGENT, L"ZR8"));
#else
    auto transport = CreateCurlFtpTransport();
#endif
    const CServerCopyResult result = RunServerCopy(*transport, server, folder, files, output);
    out.EndProgress();
    if (result.error != 0)
        return session.Fail(result.error);
    if (result.rejected != 0)
        return session.Fail(ERROR_INVALID_DATA);
    return CliExit::Ok;
}
