#include "firmware/server_copy.h"

#include <vector>

#include "core/text/display_text.h"
#include "core/text/error_text.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "platform/wide_format.h"

namespace {

constexpr DWORD kExtendedError = 12003;

class CCopyRun {
public:
    CCopyRun(IFtpTransport& transport, const std::wstring& folder, const CServerCopyOutput& output)
        : m_transport(transport), m_folder(folder), m_output(output)
    {
    }

    void Log(const std::wstring& line)
    {
        if (m_output.log)
            m_output.log(line);
    }
    void Trace(const std::wstring& line)
    {
        if (m_output.trace)
            m_output.trace(line);
    }
    bool Cancelled() const { return m_output.cancelled && m_output.cancelled(); }

    // Ends the run: the first error stays the result; a forced report shows even 0.
    void Finish(const wchar_t* operation, DWORD error, bool force)
    {
        if (error != 0 && m_result.error == 0)
            m_result.error = error;
        if (force || error != 0)
            Log(CompletedWithErrorLine(operation, error, &m_transport));
    }

    bool Stop(const wchar_t* operation)
    {
        if (!Cancelled())
            return false;
        Finish(operation, ERROR_CANCELLED, true);
        return true;
    }

    CServerCopyResult Run(const CFileServerAddress& server, CFirmwareFiles& files);

private:
    void ListAndChoose(const std::vector<CServerEntry>& entries, CFirmwareFiles& files,
                       std::vector<CServerEntry>& chosen);
    bool CopyOne(const std::wstring& name, uint64_t listedSize);

    IFtpTransport& m_transport;
    std::wstring m_folder;
    const CServerCopyOutput& m_output;
    CServerCopyResult m_result;
};

void CCopyRun::ListAndChoose(const std::vector<CServerEntry>& entries, CFirmwareFiles& files,
                             std::vector<CServerEntry>& chosen)
{
    for (const CServerEntry& entry : entries) {
        if (entry.isFolder)
            continue;
        if (entry.cut || !IsSafeServerFileName(entry.name, m_folder)) {
            // A name that could reach outside the folder is reported, not only traced.
            Log(FormatText(IDS_FTP_SKIPPED, EscapeForDisplay(entry.name).c_str()));
            continue;
        }
        if (ConsiderFile(files, entry.name)) {
            chosen.push_back(entry);
            Trace(FormatText(IDS_FTP_FOUND, entry.name.c_str()));
        } else {
            Trace(FormatText(IDS_FTP_SKIPPED, entry.name.c_str()));
        }
    }
}

bool CCopyRun::CopyOne(const std::wstring& name, uint64_t listedSize)
{
    const std::wstring arriving = DownloadPath(m_folder, name);
    const DWORD error = m_transport.Fetch(name, arriving, listedSize, [&](uint64_t got, uint64_t total) {
        if (m_output.progress)
            m_output.progress(name, got, total);
        return !Cancelled();
    });
    if (error != 0) {
        DiscardDownload(m_folder, name);
        if (error == ERROR_CANCELLED)
            Finish(L"File Copy Complete", error, true);
        else
            Finish(L"FtpGetFile", error, true);
        return false;
    }
    DWORD placeError = 0;
    const CopiedFile placed = PlaceCopiedFile(m_folder, name, placeError);
    if (placed == CopiedFile::VerifyFailed)
        Log(FormatText(IDS_FTP_FILE_VERIFY_FAILED, name.c_str()));
    else if (placed == CopiedFile::Verified)
        Log(FormatText(IDS_FTP_FILE_VERIFIED, name.c_str()));
    if (placed == CopiedFile::Verified) {
        ++m_result.copied;
        Log(FormatText(IDS_FTP_COPIED_FILE, name.c_str()));
    } else {
        ++m_result.rejected;
        if (placeError != 0)
            Log(CompletedWithErrorLine(L"Rename", placeError, nullptr));
        Log(FormatText(IDS_FTP_UNABLE_TO_COPY, name.c_str()));
    }
    return true;
}

CServerCopyResult CCopyRun::Run(const CFileServerAddress& server, CFirmwareFiles& files)
{
    Log(FormatText(IDS_FTP_OPEN_CONNECTION, FileServerText(server).c_str()));
    DWORD error = m_transport.Connect(server.host, server.port);
    if (error != 0) {
        Finish(L"InternetConnect", error, false);
        return m_result;
    }
    Log(LoadStringText(IDS_FTP_CONNECTED));
    if (Stop(L"Open Session"))
        return m_result;

    const std::wstring directory = ServerFirmwareDirectory();
    Trace(FormatText(IDS_FTP_NAVIGATE, directory.c_str()));
    error = m_transport.ChangeDirectory(directory);
    if (error != 0) {
        Trace(FormatW(L"OnInternetStatusRequestComplete NavigatingDirectory dwResult %u dwError 0x%08X", 0u,
                      unsigned(error)));
        Finish(L"FtpSetCurrentDirectory", error, true);
        return m_result;
    }
    if (Stop(L"Directory Navigation Complete"))
        return m_result;

    std::vector<CServerEntry> entries;
    error = m_transport.List(entries);
    if (error != 0) {
        Finish(L"FtpFindFile", error, true);
        return m_result;
    }
    if (Stop(L"File Find Complete"))
        return m_result;
    std::vector<CServerEntry> chosen;
    ListAndChoose(entries, files, chosen);
    std::vector<std::wstring> names;
    for (const CServerEntry& entry : chosen)
        names.push_back(entry.name);
    if (DropLoneReleaseNotes(files, names)) {
        chosen.clear();
        Trace(FormatText(IDS_FTP_SKIPPED, kFirmwareNotesName));
    }
    if (Stop(L"Directory Read Complete") || chosen.empty())
        return m_result;

    Log(FormatText(IDS_FTP_COPYING_TO, m_folder.c_str()));
    for (const CServerEntry& entry : chosen) {
        if (Stop(L"File Copy"))
            return m_result;
        if (!CopyOne(entry.name, entry.size))
            return m_result;
    }
    Log(FormatText(IDS_FTP_COPIED_FILES, unsigned(chosen.size()), m_folder.c_str()));
    return m_result;
}

}  // namespace

std::wstring CompletedWithErrorLine(const std::wstring& operation, DWORD error, const IFtpTransport* transport)
{
    if (error == kExtendedError && transport != nullptr)
        return CompletedWithErrorLine(operation, error, transport->LastResponseCode(), transport->LastResponseText());
    return FormatText(IDS_COMPLETED_WITH_ERROR, operation.c_str(), unsigned(error), GetErrorText(error).c_str());
}

std::wstring CompletedWithErrorLine(const std::wstring& operation, DWORD error, DWORD replyCode,
                                    const std::wstring& replyText)
{
    std::wstring text = GetErrorText(error);
    if (error == kExtendedError) {
        // The error text asks for the reply on this thread (on Windows), or cannot ask at
        // all: the reply recorded where the call failed replaces what it found.
        const size_t marker = text.find(L"\r\nInternetGetLastResponseInfo");
        if (marker != std::wstring::npos)
            text.erase(marker);
        text += FormatW(L"\r\nInternetGetLastResponseInfo returns 0x%08X %s", unsigned(replyCode), replyText.c_str());
    }
    return FormatText(IDS_COMPLETED_WITH_ERROR, operation.c_str(), unsigned(error), text.c_str());
}

CServerCopyResult RunServerCopy(IFtpTransport& transport, const CFileServerAddress& server, const std::wstring& folder,
                                CFirmwareFiles& files, const CServerCopyOutput& output)
{
    CCopyRun run(transport, folder, output);
    return run.Run(server, files);
}
