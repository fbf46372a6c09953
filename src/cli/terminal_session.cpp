#include "cli/terminal_session.h"

#include <cstdlib>
#include <ctime>
#include <utility>

#include "cli/cli_session.h"
#include "cli/console.h"
#include "core/text/error_text.h"
#include "core/text/string_ids.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "platform/code_pages.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/message_window.h"

namespace {
constexpr UINT kInputMessage = WM_USER + 0x61;
constexpr UINT_PTR kTickTimer = 0x7A21;  // wakes the loop for Ctrl-C and the answer wait
constexpr UINT kTickMs = 50;
constexpr DWORD kReadChunk = 512;
const char kEraseLine[] = "\r\x1b[K";
const char kGreen[] = "\x1b[32m";
const char kPlain[] = "\x1b[0m";

unsigned CountSemicolons(const std::string& text) {
    unsigned count = 0;
    for (char c : text)
        if (c == ';') ++count;
    return count;
}

// "!5" -> 5; 0 when the rest is not a number.
unsigned MacroNumber(const std::string& line) {
    if (line.size() < 2 || line.size() > 4) return 0;
    unsigned number = 0;
    for (size_t i = 1; i < line.size(); ++i) {
        if (line[i] < '0' || line[i] > '9') return 0;
        number = number * 10 + static_cast<unsigned>(line[i] - '0');
    }
    return number;
}
}  // namespace

std::wstring LocalDateTime() {
    const std::time_t now = std::time(nullptr);
    char text[32] = "";
    if (const std::tm* local = std::localtime(&now)) std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", local);
    return CodePages::FromUtf8(text);
}

CTerminalSession::CTerminalSession(CCliSession& session, const CTerminalOptions& options,
                                   const CCommandMacros& macros, std::FILE* log)
    : m_session(session), m_options(options), m_macros(macros), m_log(log),
      m_interactive(Console::StdinIsTerminal()) {
    CTranscriptOptions view;
    view.timeStamps = options.timeStamps;
    view.hex = options.hex;
    view.colour = TerminalConsole::StdoutIsTerminal() && std::getenv("NO_COLOR") == nullptr;
    m_transcript = std::make_unique<CTerminalTranscript>(
        view, [this](const std::string& screen, const std::string& log) {
            if (m_session.Out().IsJson())
                WriteJsonTranscript(log);
            else
                WriteScreen(screen);
            WriteLog(log);
        },
        GetTickCount());
}

CTerminalSession::~CTerminalSession() { m_session.SetPortListener(nullptr); }

void CTerminalSession::WriteScreen(const std::string& text) {
    if (m_session.Out().IsJson()) return;  // standard output carries the events alone
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

// With --json each finished line of the transcript is one "output" event.
void CTerminalSession::WriteJsonTranscript(const std::string& text) {
    m_jsonLine += text;
    size_t lineFeed;
    while ((lineFeed = m_jsonLine.find('\n')) != std::string::npos) {
        m_session.Out().Result(CodePages::FromUtf8(m_jsonLine.substr(0, lineFeed)));
        m_jsonLine.erase(0, lineFeed + 1);
    }
}

void CTerminalSession::WriteLog(const std::string& text) {
    if (m_log == nullptr) return;
    std::fwrite(text.data(), 1, text.size(), m_log);
    std::fflush(m_log);
}

void CTerminalSession::ErasePendingLine() {
    if (!m_pendingShown) return;
    WriteScreen(kEraseLine);
    m_pendingShown = false;
}

void CTerminalSession::DrawPendingLine() {
    const std::string& line = m_editor.Line();
    // Drawn only where it can be taken back: never into a file or a pipe.
    if (!m_interactive || line.empty() || !TerminalConsole::StdoutIsTerminal()) return;
    // The line being typed stands on a line of its own below the transcript.
    m_transcript->EndLine();
    const bool colour = TerminalConsole::StdoutIsTerminal() && std::getenv("NO_COLOR") == nullptr;
    WriteScreen(std::string(kEraseLine) + (colour ? kGreen + line + kPlain : line));
    m_pendingShown = true;
}

void CTerminalSession::Note(const std::wstring& text) {
    ErasePendingLine();
    m_transcript->EndLine();
    m_session.Out().Error(text);
    DrawPendingLine();
}

void CTerminalSession::OnPortEvent() {
    BYTE buffer[kReadChunk];
    for (;;) {
        DWORD count = 0;
        if (!m_session.Model().SerialPort().ReadBytes(buffer, sizeof(buffer), &count)) {
            // The port has shown its "COM Port Error" already.
            m_portError = GetLastError() != 0 ? GetLastError() : static_cast<DWORD>(ERROR_INVALID_HANDLE);
            return;
        }
        if (count == 0) break;
        ErasePendingLine();
        m_transcript->Received(buffer, count, GetTickCount());
        m_lastActivity = GetTickCount();
    }
    DrawPendingLine();
}

std::string CTerminalSession::Resolve(const std::string& line) {
    if (!CLineEditor::IsTerminalCommand(line)) return line;
    if (line.size() > 1 && line[1] == '!') return line.substr(1);  // "!!x" sends "!x"
    const unsigned number = MacroNumber(line);
    if (number < 1 || number > CCommandMacros::kCount) {
        Note(FormatText(IDS_CLI_TERMINAL_NO_MACRO, CodePages::FromUtf8(line).c_str()));
        return std::string();
    }
    const std::wstring& text = m_macros.texts.GetAt(number - 1);
    if (text.empty()) Note(FormatText(IDS_CLI_TERMINAL_EMPTY_MACRO, number));
    return CodePages::ToUtf8(text);
}

void CTerminalSession::Send(const std::string& text) {
    const DWORD now = GetTickCount();
    m_transcript->Sent(text, now);
    m_sentAny = true;
    m_expectedAnswers = CountSemicolons(text);
    m_lastActivity = now;
    // Exactly the text: no terminator is added and nothing is awaited here. A failed
    // write has been reported by the port.
    if (!m_session.Model().WriteBytes(text.data(), static_cast<DWORD>(text.size())))
        m_portError = GetLastError() != 0 ? GetLastError() : static_cast<DWORD>(ERROR_INVALID_HANDLE);
}

void CTerminalSession::OnLine(const std::string& line) {
    const std::string text = Resolve(line);
    if (!text.empty()) Send(text);
}

bool CTerminalSession::AwaitingAnswers() const {
    if (!m_sentAny) return false;
    if (m_expectedAnswers > 0 && m_transcript->AnswersSinceSend() >= m_expectedAnswers) return false;
    return GetTickCount() - m_lastActivity < m_options.waitMs;
}

void CTerminalSession::TakeInput() {
    std::string bytes;
    const bool ended = m_reader.Take(bytes);
    if (m_interactive) {
        for (const CLineEditor::Event& event : m_editor.Feed(bytes)) {
            ErasePendingLine();
            if (event.kind == CLineEditor::Kind::Send) OnLine(event.text);
            if (event.kind == CLineEditor::Kind::End) m_inputEnded = true;
            DrawPendingLine();
        }
    } else {
        m_pipeBytes += bytes;
        size_t lineFeed;
        while ((lineFeed = m_pipeBytes.find('\n')) != std::string::npos) {
            std::string line = m_pipeBytes.substr(0, lineFeed);
            m_pipeBytes.erase(0, lineFeed + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();  // a CR LF file
            m_lines.push_back(line);
        }
        if (ended && !m_pipeBytes.empty()) {
            m_lines.push_back(m_pipeBytes);
            m_pipeBytes.clear();
        }
    }
    if (ended) m_inputEnded = true;
}

int CTerminalSession::Run() {
    bool woken = false;
    CMessageWindow wake;
    if (!wake.Create([&](UINT message, WPARAM, LPARAM) {
            if (message == kInputMessage || message == WM_TIMER) woken = true;
            return LRESULT(0);
        }))
        return m_session.Fail(GetLastError());
    SetTimer(wake.Handle(), kTickTimer, kTickMs, nullptr);

    // Ctrl-C only counts from here on, so it can never end the process with the terminal raw.
    Console::CInterruptGuard guard;
    const unsigned interrupts = Console::InterruptCount();
    TerminalConsole::CRawKeys rawKeys;
    // A box of the port (a read or write failure) stands on a line of its own.
    MessageBoxes::Handler previous;
    previous = MessageBoxes::SetHandler([&](HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
        ErasePendingLine();
        m_transcript->EndLine();
        const int answer = previous ? previous(owner, text, caption, type) : IDOK;
        DrawPendingLine();
        return answer;
    });
    struct CRestoreBoxes {
        MessageBoxes::Handler& handler;
        ~CRestoreBoxes() { MessageBoxes::SetHandler(handler); }
    } restoreBoxes{previous};

    m_session.SetPortListener([&] {
        OnPortEvent();
        woken = true;
    });
    m_reader.Start(wake.Handle(), kInputMessage);
    if (m_interactive) {
        CModel& model = m_session.Model();
        Note(FormatText(IDS_CLI_TERMINAL_READY, m_session.PortName().c_str(), unsigned(model.SerialPort().BaudRate())));
    }

    End end = End::None;
    while (end == End::None) {
        MessageLoop::RunUntil([&] { return std::exchange(woken, false) || Console::InterruptCount() != interrupts; });
        if (Console::InterruptCount() != interrupts) {
            end = End::Interrupt;
            break;
        }
        // The port closes itself only when the device has gone (access denied).
        if (m_portError == 0 && !m_session.Model().SerialPort().IsOpen()) m_portError = ERROR_ACCESS_DENIED;
        if (m_portError != 0) {
            end = End::PortFailure;
            break;
        }
        TakeInput();
        while (!m_lines.empty() && !AwaitingAnswers() && m_portError == 0) {
            const std::string line = m_lines.front();
            m_lines.pop_front();
            OnLine(line);
        }
        if (m_portError != 0)
            end = End::PortFailure;
        else if (m_inputEnded && m_lines.empty() && !AwaitingAnswers())
            end = End::Input;
    }
    KillTimer(wake.Handle(), kTickTimer);
    m_session.SetPortListener(nullptr);
    return Finish(end);
}

int CTerminalSession::Finish(End end) {
    ErasePendingLine();
    m_transcript->EndLine();
    DWORD code = 0;
    if (end == End::PortFailure)
        code = m_portError;
    else if (end == End::Interrupt && !m_interactive)
        code = CCliSession::kCancelled;  // a script that did not run to its end
    const std::wstring when = LocalDateTime();
    if (code == 0) {
        WriteLog(CodePages::ToUtf8(FormatText(IDS_CLI_TERMINAL_LOG_END, when.c_str())) + "\n");
        return CliExit::Ok;
    }
    if (end == End::Interrupt) m_session.Out().Error(LoadStringText(IDS_CLI_INTERRUPTED));
    WriteLog(CodePages::ToUtf8(FormatText(IDS_CLI_TERMINAL_LOG_ERROR, when.c_str(), unsigned(code),
                                          GetErrorText(code).c_str())) +
             "\n");
    return m_session.Fail(code);
}
