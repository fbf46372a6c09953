#include "cli/cli_session.h"

#include <atomic>
#include <cwchar>
#include <cstdio>
#include <iostream>
#include <thread>

#include "cli/command_table.h"
#include "cli/console.h"
#include "core/model/contact_state_machine.h"
#include "core/statemachine/state_machine.h"
#include "core/text/app_messages.h"
#include "core/text/error_codes.h"
#include "core/text/error_text.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "core/serial/serial_device.h"
#include "core/serial/serial_port.h"
#include "platform/code_pages.h"
#include "platform/message_loop.h"
#include "platform/settings_store.h"
#include "sim/loop_clock.h"
#include "sim/sim_serial_device.h"
#include "sim/simulator.h"

namespace {
// Not a machine's timer (machine_timer_ids.h): it only wakes the loop so that a Ctrl-C
// is seen within a tenth of a second even while a machine waits seconds for the radio.
constexpr UINT_PTR kInterruptTimerId = 0x7A01;
constexpr UINT kInterruptCheckMs = 100;
const wchar_t kSimPortName[] = L"SIM";

bool IsYesAnswer(const std::string& line) {
    size_t i = line.find_first_not_of(" \t");
    return i != std::string::npos && (line[i] == 'y' || line[i] == 'Y');
}

std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        if (c == ' ' || c == '\t') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word.push_back(c);
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}
// "Unable to open serial port "COM3". Error 0x00000002: ...": the run ends with that
// error's "Error code" line, so the status line keeps only what failed, and the error
// is printed once. Any other text is left as it is.
std::wstring WithoutOpenError(const std::wstring& text, const std::wstring& port) {
    for (size_t at = text.find(L"0x"); at != std::wstring::npos; at = text.find(L"0x", at + 2)) {
        const DWORD code = static_cast<DWORD>(std::wcstoul(text.c_str() + at + 2, nullptr, 16));
        if (text == FormatText(IDS_UNABLE_TO_OPEN_PORT, port.c_str(), unsigned(code), GetErrorText(code).c_str()))
            return FormatText(IDS_CLI_PORT_NOT_OPENED, port.c_str());
    }
    return text;
}
}  // namespace

// The answer to a question asked while a machine runs: read on a thread of its own so
// that the loop, and the load, go on meanwhile. -1 while nothing has been typed.
struct CPendingAnswer {
    std::atomic<int> answer{-1};
};

CCliSession::CCliSession(const CGlobalOptions& options)
    : m_options(options), m_out(options.verbose, Console::StderrIsTerminal(), options.json) {}

CCliSession::~CCliSession() {
    StopInterruptTimer();
    if (m_model) {
        m_model->ClosePort();
        m_model.reset();
    }
    if (m_simulator) {
        UnregisterSerialDevice(kSimPortName);
        m_simulator->Finish();
        m_simulator.reset();
    }
    MessageLoop::PumpPending();
    if (m_boxesTaken) MessageBoxes::SetHandler(m_previousBoxHandler);
}

int CCliSession::Open() {
    if (m_model) return CliExit::Ok;  // already open (a command that opens in two steps)
    UseBoxes();
    if (!m_window.Create([this](UINT message, WPARAM wParam, LPARAM lParam) { return OnMessage(message, wParam, lParam); })) {
        const DWORD code = GetLastError();
        m_out.Error(L"zr8: no message window");
        return Fail(code);
    }

    m_model = std::make_unique<CModel>(OpenPlatformSettingsStore());
    m_model->SetWindow(m_window.Handle());
    m_model->LoadSettings();
    m_model->m_completionEvent.AddObserver(m_window.Handle());
    // The contact machine has no owner in the program's windows, so its trace lines go
    // nowhere there; here they are the point of --trace.
    m_model->ContactMachine().SetOwnerWindow(m_window.Handle());
    if (m_options.trace) m_model->m_trace.Set(1);
    if (m_options.verbose) m_model->m_verboseLogging.Set(1);

    m_portName = m_options.portGiven ? m_options.port : m_model->m_port.Get();
    m_model->SerialPort().SetLineObserver(
        [this](bool sent, const BYTE* bytes, DWORD count) { m_line.OnBytes(sent, bytes, count); });
    if (IsSimulatedPortName(m_portName)) {
        m_portName = kSimPortName;
        const int rc = StartSimulator();
        if (rc != CliExit::Ok) return rc;
    }
    m_model->m_port.Set(m_portName);
    return CliExit::Ok;
}

void CCliSession::UseBoxes() {
    if (m_boxesTaken) return;
    m_boxesTaken = true;
    m_previousBoxHandler = MessageBoxes::SetHandler(
        [this](HWND, const std::wstring& text, const std::wstring& caption, UINT type) { return ShowBox(text, caption, type); });
}

int CCliSession::StartSimulator() {
    CSimCommandLine simLine;
    std::string error;
    if (!ParseSimCommandLine(SplitWords(m_options.simOptions), simLine, error))
        return UsageError(nullptr, "--sim: " + error);
    m_clock = std::make_unique<CLoopClock>();
    m_simulator = std::make_unique<CSimulator>(simLine.radio, *m_clock);
    RegisterSimulatedRadio(kSimPortName, *m_simulator);
    m_out.Verbose(L"Simulated radio in this process as port SIM");
    return CliExit::Ok;
}

// A status text sent while a message is being handled may be the text of the box that
// follows at once (ShowError logs its text, then shows it): it is held until that
// handling ends, so that the box prints it once, with its caption.
LRESULT CCliSession::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    ++m_dispatchDepth;
    const LRESULT result = Dispatch(message, wParam, lParam);
    if (--m_dispatchDepth == 0) FlushHeldStatus();
    return result;
}

void CCliSession::FlushHeldStatus() {
    if (m_heldStatus.empty()) return;
    const std::wstring text = std::move(m_heldStatus);
    m_heldStatus.clear();
    m_out.Status(text);
}

LRESULT CCliSession::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_APP_PORT_EVENT:
        if (!m_model || !m_model->RoutePortEvent(message, wParam, lParam))
            if (m_portListener) m_portListener();
        return 0;
    case WM_TIMER:
        if (wParam != kInterruptTimerId && m_model) m_model->RouteTimer(message, wParam, lParam);
        return 0;
    case WM_APP_STATUS_TEXT: {
        FlushHeldStatus();
        const std::wstring text = WithoutOpenError(reinterpret_cast<const wchar_t*>(lParam), m_portName);
        if (m_dispatchDepth > 1)
            m_heldStatus = text;
        else
            m_out.Status(text);
        return 0;
    }
    case WM_APP_LOG_TEXT:
        FlushHeldStatus();
        m_out.Log(WithoutOpenError(reinterpret_cast<const wchar_t*>(lParam), m_portName));
        return 0;
    case WM_APP_MACHINE_DONE:
        ++m_completions;
        m_lastResult = static_cast<DWORD>(wParam);
        return 0;
    default:
        return 0;
    }
}

void CCliSession::StartInterruptTimer() { SetTimer(m_window.Handle(), kInterruptTimerId, kInterruptCheckMs, nullptr); }
void CCliSession::StopInterruptTimer() {
    if (m_window.Handle()) KillTimer(m_window.Handle(), kInterruptTimerId);
}

bool CCliSession::RunUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    Console::CInterruptGuard guard;
    const unsigned interrupts = Console::InterruptCount();
    StartInterruptTimer();
    bool ok = MessageLoop::RunUntil([&] { return done() || Console::InterruptCount() != interrupts; }, timeoutMs);
    StopInterruptTimer();
    if (Console::InterruptCount() != interrupts) {
        m_interrupted = true;
        m_out.Error(LoadStringText(IDS_CLI_INTERRUPTED));
        return false;
    }
    return ok;
}

DWORD CCliSession::RunContact() {
    CContactStateMachine& contact = m_model->ContactMachine();
    if (m_activity == CliActivity::None) m_activity = CliActivity::Contact;
    if (m_portName.empty()) m_out.Error(LoadStringText(IDS_CLI_PORT_MISSING));
    m_out.Verbose(FormatText(IDS_CLI_LOOKING_FOR_RADIO, m_portName.c_str()));

    Console::CInterruptGuard guard;
    const unsigned interrupts = Console::InterruptCount();
    const size_t before = m_completions;
    StartInterruptTimer();
    contact.StartOpenPort();
    const bool done = MessageLoop::RunUntil(
        [&] { return m_completions > before || Console::InterruptCount() != interrupts; },
        m_options.timeoutSeconds * 1000u);
    StopInterruptTimer();
    if (m_completions > before) return m_lastResult;

    DWORD code = kCancelled;
    if (Console::InterruptCount() != interrupts) {
        m_out.Error(LoadStringText(IDS_CLI_INTERRUPTED));
    } else {
        (void)done;
        code = Zr8Error::NoResponseSemicolonPoll;
        m_out.Error(FormatText(IDS_CLI_NO_CONTACT, m_portName.c_str(), m_options.timeoutSeconds));
    }
    contact.SetResult(code);
    contact.TransitionTo(contact.FinalState());
    return m_completions > before ? m_lastResult : code;
}

DWORD CCliSession::RunOperation(const COperation& operation) {
    Console::CInterruptGuard guard;
    unsigned interrupts = Console::InterruptCount();
    bool questionOpen = false;
    std::shared_ptr<CPendingAnswer> answer;
    const size_t before = m_completions;

    m_model->AttachOperation(operation.machine);
    SetLastError(0);
    if (!operation.start() && m_completions == before) {
        DWORD code = GetLastError();
        if (code == 0) code = Zr8Error::MachineBusy;
        if (m_model->AttachedOperation() == operation.machine) m_model->DetachOperation();
        return code;
    }

    auto abandon = [&] {
        if (questionOpen) m_out.Prompt(L"\n");
        questionOpen = false;
        operation.abandon(kCancelled);
    };

    StartInterruptTimer();
    while (m_completions == before) {
        MessageLoop::RunUntil([&] {
            if (operation.onLoop) operation.onLoop();
            return m_completions > before || Console::InterruptCount() != interrupts ||
                   (answer && answer->answer.load() >= 0);
        });
        if (m_completions > before) break;

        if (answer && answer->answer.load() >= 0) {
            const bool yes = answer->answer.load() == 1;
            m_out.QuestionAnswered(operation.question, yes, "terminal");
            answer.reset();
            m_pendingAnswer.reset();
            questionOpen = false;
            if (yes) {
                abandon();
            } else {
                m_out.Error(LoadStringText(IDS_CLI_GOES_ON));
            }
            continue;
        }
        if (Console::InterruptCount() == interrupts) continue;  // the loop ended for nothing
        interrupts = Console::InterruptCount();

        if (questionOpen || operation.question.empty() || m_options.yes) {
            if (!questionOpen && !operation.question.empty()) m_out.QuestionAnswered(operation.question, true, "--yes");
            abandon();
            continue;
        }
        questionOpen = true;
        if (!Console::StdinIsTerminal()) {
            m_out.QuestionAnswered(operation.question, false, "no terminal");
            m_out.Error(FormatText(IDS_CLI_ANSWER_NO_CTRL_C, operation.question.c_str()));
            continue;  // stays open: the next Ctrl-C abandons
        }
        m_out.Prompt(L"\n" + operation.question + LoadStringText(IDS_CLI_YES_NO_SUFFIX));
        // One reader at a time on standard input: a question still unanswered keeps it.
        if (!m_pendingAnswer) {
            m_pendingAnswer = std::make_shared<CPendingAnswer>();
            std::thread([pending = m_pendingAnswer] {
                std::string line;
                const bool got = static_cast<bool>(std::getline(std::cin, line));
                pending->answer = got && IsYesAnswer(line) ? 1 : 0;
            }).detach();
        }
        answer = m_pendingAnswer;
    }
    StopInterruptTimer();
    if (questionOpen) m_out.Prompt(L"\n");
    if (m_model->AttachedOperation() == operation.machine) m_model->DetachOperation();
    return m_lastResult;
}

CFailureContext CCliSession::FailureContext() const {
    CFailureContext context;
    context.port = m_portName;  // as the port reports it: "SIM" for "sim"
    context.devicePath = CSerialPort::DevicePath(m_portName);
    context.activity = m_activity;
    context.portOpened = m_line.PortUsed() || (m_model && m_model->IsPortOpen());
    context.portLost = m_model && m_model->SerialPort().LossCode() != 0;
    context.bootLoaderEntered = m_line.BootLoaderEntered();
    context.line = m_line.Kind();
    return context;
}

DWORD CCliSession::FirstFailure(DWORD code) const {
    const DWORD loss = m_model ? m_model->SerialPort().LossCode() : 0;
    return loss != 0 ? loss : code;
}

int CCliSession::Fail(DWORD code) { return Fail(code, std::wstring()); }

int CCliSession::Fail(DWORD code, const std::wstring& advice) {
    ShowFailure(code, advice, true);
    return CliExit::Failure;
}

void CCliSession::ShowFailure(DWORD code, const std::wstring& advice, bool endsCommand) {
    code = FirstFailure(code);
    const std::wstring hint = advice.empty() ? ExplainFailure(code, FailureContext()) : advice;
    m_out.ErrorCode(code, GetErrorText(code), hint, endsCommand);
}

bool CCliSession::AskYesNo(const std::wstring& question) {
    if (m_options.yes) {
        if (m_out.IsJson())
            m_out.QuestionAnswered(question, true, "--yes");
        else
            m_out.Error(FormatText(IDS_CLI_ANSWER_YES, question.c_str()));
        return true;
    }
    if (!Console::StdinIsTerminal()) {
        if (m_out.IsJson())
            m_out.QuestionAnswered(question, false, "no terminal");
        else
            m_out.Error(FormatText(IDS_CLI_ANSWER_NO, question.c_str()));
        return false;
    }
    m_out.Prompt(question + LoadStringText(IDS_CLI_YES_NO_SUFFIX));
    std::string line;
    const bool yes = std::getline(std::cin, line) && IsYesAnswer(line);
    m_out.QuestionAnswered(question, yes, "terminal");
    return yes;
}

int CCliSession::ShowBox(const std::wstring& text, const std::wstring& caption, UINT type) {
    const UINT buttons = type & 0x0Fu;
    const std::wstring line = caption.empty() ? text : caption + L": " + text;
    const bool repeatsHeld = !m_heldStatus.empty() && NormaliseLines(m_heldStatus) == NormaliseLines(text);
    if (repeatsHeld)
        m_heldStatus.clear();  // the box says it, with its caption
    else
        FlushHeldStatus();
    if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) return AskYesNo(line) ? IDYES : IDNO;
    if (buttons == MB_OKCANCEL) return AskYesNo(line) ? IDOK : IDCANCEL;
    // ShowError has logged the text just before; print it again only when it was not.
    if (repeatsHeld || m_out.IsJson() || !m_out.IsLastLine(text)) m_out.Box(caption, text);
    return IDOK;
}
