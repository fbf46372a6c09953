#include <cstdlib>
#include <functional>

#include "cli/cli_session.h"
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
    DWORD waitMs = kDefaultWaitMs;
    std::vector<std::wstring> texts;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--wait") {
            if (i + 1 >= args.size() || !ParseWait(args[i + 1], waitMs))
                return UsageError(command, "--wait needs a number of milliseconds");
            ++i;
            continue;
        }
        if (args[i].empty()) return UsageError(command, "an empty command");
        std::wstring text = CodePages::FromUtf8(args[i]);
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
        out.Error(FormatText(IDS_UNABLE_TO_OPEN_PORT, port.c_str(), unsigned(openCode), GetErrorText(openCode).c_str()));
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

    for (const std::wstring& text : texts) {
        answer.clear();
        if (!model.PurgeReceive() || !model.WriteText(text.c_str())) return session.Fail(GetLastError());
        if (trace) out.Log(FormatText(StateTrace::kSend, kTraceName, EscapeForDisplay(text).c_str()));
        const DWORD start = GetTickCount();
        const bool complete = session.RunUntil([&] { return readError != 0 || (!answer.empty() && answer.back() == L';'); }, waitMs);
        if (session.Interrupted()) return session.Fail(CCliSession::kCancelled);
        if (readError != 0) return session.Fail(readError);
        if (trace && complete)
            out.Log(FormatText(StateTrace::kResponse, kTraceName, EscapeForDisplay(answer).c_str(), unsigned(GetTickCount() - start)));
        if (complete) {
            out.Result(EscapeForDisplay(answer));
        } else {
            if (!answer.empty()) out.Result(EscapeForDisplay(answer));
            out.Error(FormatText(IDS_CLI_NO_ANSWER, EscapeForDisplay(text).c_str(), unsigned(waitMs)));
        }
    }
    return CliExit::Ok;
}
