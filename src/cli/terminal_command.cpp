#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "cli/cli_session.h"
#include "cli/commands.h"
#include "cli/terminal_session.h"
#include "core/model/command_macros.h"
#include "core/text/error_codes.h"
#include "core/text/error_text.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "platform/code_pages.h"
#ifndef _WIN32
#include "platform/errno_codes.h"
#endif

namespace {
bool ParseWait(const std::string& text, DWORD& ms) {
    if (text.empty() || text.size() > 7 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    ms = static_cast<DWORD>(std::strtoul(text.c_str(), nullptr, 10));
    return true;
}

// Appends: an earlier session's log is never lost.
std::FILE* OpenLog(const std::string& path, DWORD& code) {
#ifdef _WIN32
    std::FILE* file = _wfopen(CodePages::FromUtf8(path).c_str(), L"ab");
    code = file ? 0 : (GetLastError() != 0 ? GetLastError() : static_cast<DWORD>(ERROR_INVALID_PARAMETER));
#else
    std::FILE* file = std::fopen(path.c_str(), "ab");
    code = file ? 0 : WinErrorFromErrno(errno);
#endif
    return file;
}

struct CLogFile {
    std::FILE* file = nullptr;
    ~CLogFile() {
        if (file) std::fclose(file);
    }
};
}  // namespace

int RunTerminalCommand(CCliSession& session, const CommandArgs& args) {
    const CCommand* command = FindCommand("terminal");
    CTerminalOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--timestamps") {
            options.timeStamps = true;
        } else if (arg == "--hex") {
            options.hex = true;
        } else if (arg == "--contact") {
            options.contact = true;
        } else if (arg == "--log") {
            if (i + 1 >= args.size() || args[i + 1].empty()) return UsageError(command, "--log needs a file name");
            options.logPath = args[++i];
        } else if (arg == "--wait") {
            if (i + 1 >= args.size() || !ParseWait(args[i + 1], options.waitMs))
                return UsageError(command, "--wait needs a number of milliseconds");
            ++i;
        } else {
            return UsageError(command, "unknown argument '" + arg + "'");
        }
    }

    const int rc = session.Open();
    if (rc != CliExit::Ok) return rc;
    CModel& model = session.Model();
    CConsoleOutput& out = session.Out();
    const std::wstring& port = session.PortName();
    if (port.empty()) {
        out.Error(LoadStringText(IDS_CLI_PORT_MISSING));
        return session.Fail(Zr8Error::PortNameMissing);
    }

    CLogFile log;
    if (!options.logPath.empty()) {
        DWORD code = 0;
        log.file = OpenLog(options.logPath, code);
        if (log.file == nullptr) {
            out.Error(FormatText(IDS_CLI_TERMINAL_LOG_FAILED, CodePages::FromUtf8(options.logPath).c_str(), unsigned(code),
                                 GetErrorText(code).c_str()));
            return session.Fail(code);
        }
    }

    session.SetActivity(CliActivity::RadioCommand);
    if (options.contact) {
        const DWORD code = session.RunContact();
        if (code != 0) return session.Fail(code);
    } else {
        const DWORD code = model.OpenSerialPort(port);
        if (code != 0) {
            out.Error(FormatText(IDS_CLI_PORT_NOT_OPENED, port.c_str()));  // its error follows
            return session.Fail(code);
        }
    }
    if (log.file) {
        const std::string first =
            CodePages::ToUtf8(FormatText(IDS_CLI_TERMINAL_LOG_START, port.c_str(), LocalDateTime().c_str())) + "\n";
        std::fwrite(first.data(), 1, first.size(), log.file);
        std::fflush(log.file);
    }

    // The macros the Command Tester page keeps; only their texts matter here.
    CCommandMacros macros;
    macros.texts.Load(model.SettingsKey());

    CTerminalSession terminal(session, options, macros, log.file);
    return terminal.Run();
}
