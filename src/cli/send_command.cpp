#include <cstdlib>
#include <functional>

#include "cli/cli_session.h"
#include "cli/command_arguments.h"
#include "cli/commands.h"
#include "core/statemachine/state_host2.h"
#include "core/text/display_text.h"
#include "core/text/error_codes.h"
#include "core/text/error_text.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "platform/code_pages.h"

namespace {
constexpr DWORD kDefaultWaitMs = 1000;
constexpr const wchar_t* kTraceName = L"Command";

// The listener reads into the command's own locals: it must be gone on every way out,
// before the session closes the port and dispatches the port events still queued.
class CPortListenerScope {
public:
    CPortListenerScope(CCliSession& session, std::function<void()> listener) : m_session(session) {
        m_session.SetPortListener(std::move(listener));
    }
    ~CPortListenerScope() { m_session.SetPortListener(nullptr); }
    CPortListenerScope(const CPortListenerScope&) = delete;
    CPortListenerScope& operator=(const CPortListenerScope&) = delete;

private:
    CCliSession& m_session;
};

bool ParseWait(const std::string& text, DWORD& ms) {
    if (text.empty() || text.size() > 7 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    ms = static_cast<DWORD>(std::strtoul(text.c_str(), nullptr, 10));
    return true;
}
}  // namespace

int RunSendCommand(CCliSession& session, const CommandArgs& args) {
    const CCommand* command = FindCommand("send");
    CParsedArguments parsed;
    std::string error;
    if (!ParseCommandArguments(args, {{"--wait", true}}, parsed, error))
        return UsageError(command, error + " (a command that begins with \"-\" goes after --)");
    DWORD waitMs = kDefaultWaitMs;
    if (const std::string* wait = parsed.Value("--wait"))
        if (!ParseWait(*wait, waitMs)) return UsageError(command, "--wait needs a number of milliseconds");
    std::vector<std::wstring> texts;
    for (const std::string& arg : parsed.operands) {
        if (arg.empty()) return UsageError(command, "an empty command");
        std::wstring text = CodePages::FromUtf8(arg);
        if (text.back() != L';') text.push_back(L';');
        texts.push_back(text);
    }
    if (texts.empty()) return UsageError(command, "send needs at least one command");

    const int rc = session.Open();
    if (rc != CliExit::Ok) return rc;
    CModel& model = session.Model();
    CConsoleOutput& out = session.Out();
    const std::wstring& port = session.PortName();
    if (port.empty()) {
        out.Error(LoadStringText(IDS_CLI_PORT_MISSING));
        return session.Fail(Zr8Error::PortNameMissing);
    }
    session.SetActivity(CliActivity::RadioCommand);
    const DWORD openCode = model.OpenSerialPort(port);
    if (openCode != 0) {
        out.Error(FormatText(IDS_CLI_PORT_NOT_OPENED, port.c_str()));  // its error follows
        return session.Fail(openCode);
    }

    std::wstring answer;
    DWORD readError = 0;
    const CPortListenerScope listening(session, [&] {
        for (;;) {
            BYTE byte = 0;
            DWORD count = 0;
            if (!model.SerialPort().ReadBytes(&byte, 1, &count)) {
                readError = GetLastError();
                return;
            }
            if (count == 0) return;
            answer.push_back(static_cast<wchar_t>(byte));
            if (byte == ';') return;  // the rest waits for the next command's purge
        }
    });
    const bool trace = session.Options().trace;
    auto answered = [&] { return readError != 0 || (!answer.empty() && answer.back() == L';'); };

    // Line N of the output is always the answer to command N: an answer that misses
    // the wait is still awaited for one more wait, printed as its command's and noted
    // late; a command left without one gets an empty line.
    for (const std::wstring& text : texts) {
        answer.clear();
        if (!model.PurgeReceive() || !model.WriteText(text.c_str())) return session.Fail(GetLastError());
        if (trace) out.Log(FormatText(StateTrace::kSend, kTraceName, EscapeForDisplay(text).c_str()));
        const DWORD start = GetTickCount();
        bool complete = session.RunUntil(answered, waitMs);
        bool late = false;
        if (!complete && !session.Interrupted() && readError == 0) {
            out.Error(FormatText(IDS_CLI_NO_ANSWER, EscapeForDisplay(text).c_str(), unsigned(waitMs)));
            late = complete = session.RunUntil(answered, waitMs);
        }
        if (session.Interrupted()) return session.Fail(CCliSession::kCancelled);
        if (readError != 0) return session.Fail(readError);
        const unsigned elapsed = unsigned(GetTickCount() - start);
        if (trace && complete)
            out.Log(FormatText(StateTrace::kResponse, kTraceName, EscapeForDisplay(answer).c_str(), elapsed));
        if (late) out.Error(FormatText(IDS_CLI_LATE_ANSWER, EscapeForDisplay(text).c_str(), elapsed));
        out.Result(EscapeForDisplay(answer));
    }
    return CliExit::Ok;
}
