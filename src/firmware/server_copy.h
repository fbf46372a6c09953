// One copy of new firmware from the file server over a blocking transport: connect, go
// to the firmware directory, list it, choose the names (ConsiderFile, safe names only),
// fetch each under its temporary name, validate it and put it in place. It writes the
// same report and trace lines as the copy dialog and keeps the first error as its result.
#pragma once

#include <functional>
#include <string>

#include "firmware/server_files.h"
#include "platform/ftp_transport.h"

struct CServerCopyOutput {
    std::function<void(const std::wstring&)> log;    // the report lines
    std::function<void(const std::wstring&)> trace;  // the trace lines
    // The file being fetched, bytes so far and the announced size (0: unknown).
    std::function<void(const std::wstring&, uint64_t, uint64_t)> progress;
    std::function<bool()> cancelled;  // looked at between steps and during a fetch
};

struct CServerCopyResult {
    DWORD error = 0;        // the first failure; 1223 after a cancel
    unsigned copied = 0;    // files in place and valid
    unsigned rejected = 0;  // fetched but failed validation, or could not be put in place
};

CServerCopyResult RunServerCopy(IFtpTransport& transport, const CFileServerAddress& server, const std::wstring& folder,
                                CFirmwareFiles& files, const CServerCopyOutput& output);

// "%s completed with error 0x%08X: %s" with the error's text; for 12003 the server's
// last reply follows as the copy dialog shows it.
std::wstring CompletedWithErrorLine(const std::wstring& operation, DWORD error, const IFtpTransport* transport);
// The same with the reply the server gave to the failing call (code and text), taken on
// the thread that made the call.
std::wstring CompletedWithErrorLine(const std::wstring& operation, DWORD error, DWORD replyCode,
                                    const std::wstring& replyText);
