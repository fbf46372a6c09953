// CCliSession: what one run of zr8 works with. It owns the model (over the platform's
// settings store, changed only in memory: the tool never saves settings), a message
// window that stands for both the main frame and the owner of the running machine,
// the console output, the message-box handler, and for "--port sim" the simulated radio
// in this process. Machines run in the platform's message loop on the real clock.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "cli/cli_options.h"
#include "cli/console_output.h"
#include "cli/failure_advice.h"
#include "cli/line_watch.h"
#include "core/model/model_base.h"
#include "platform/message_box.h"
#include "platform/message_window.h"

class CSimulator;
class CLoopClock;
class IStateMachine;
struct CPendingAnswer;

// A machine run by RunOperation.
struct COperation {
    IStateMachine* machine = nullptr;
    std::function<BOOL()> start;         // the machine's own Start
    std::function<void(DWORD)> abandon;  // ends the machine at once with the code
    std::wstring question;               // asked at Ctrl-C; empty: Ctrl-C abandons at once
    std::function<void()> onLoop;        // after every message handled (progress)
};

class CCliSession {
public:
    static constexpr DWORD kCancelled = ERROR_CANCELLED;  // Ctrl-C, the user's No to going on

    explicit CCliSession(const CGlobalOptions& options);
    ~CCliSession();
    CCliSession(const CCliSession&) = delete;
    CCliSession& operator=(const CCliSession&) = delete;

    // Loads the settings, applies the options for this run and, for "sim", starts the
    // radio. Returns a CliExit code (Usage for bad --sim options).
    int Open();
    // Message boxes of the machines print on stderr (or as JSON "message" events) from
    // now on; Open does this, and a command that needs no port calls it itself.
    void UseBoxes();

    const CGlobalOptions& Options() const { return m_options; }
    CConsoleOutput& Out() { return m_out; }
    CModel& Model() { return *m_model; }
    HWND Window() const { return m_window.Handle(); }
    // --port, else the saved "Port" setting; "sim" in any case is the simulated radio "SIM".
    const std::wstring& PortName() const { return m_portName; }
    CSimulator* Simulator() { return m_simulator.get(); }

    // The contact machine from "OpenPort": opens the port, finds and identifies the
    // radio. 0 or the failure; after --timeout seconds without an answer 0xE2000049.
    DWORD RunContact();
    // Attaches the machine to the model, starts it and runs the loop until it reports
    // its end (for machines that restart the radio: until contact is made again).
    // Ctrl-C asks the question; Yes, --yes or a second Ctrl-C abandons with 1223.
    // Returns the result; a start refused without a completion returns its last error.
    DWORD RunOperation(const COperation& operation);
    // Runs the loop for a command that talks to the port itself (see SetPortListener).
    // False on the time-out, and on Ctrl-C, after which Interrupted() is true.
    bool RunUntil(const std::function<bool()>& done, DWORD timeoutMs);
    bool Interrupted() const { return m_interrupted; }
    // Port events that no busy machine takes go here.
    void SetPortListener(std::function<void()> listener) { m_portListener = std::move(listener); }

    // "Error code 0x%08X: %s" on stderr, then the line that says what happened and what
    // to do (ExplainFailure). When the port went away under the command, the code of
    // that first failure is the one shown, not what followed from it. Returns
    // CliExit::Failure.
    int Fail(DWORD code);
    // The same with the command's own advice line instead of ExplainFailure's (which
    // stands when advice is empty).
    int Fail(DWORD code, const std::wstring& advice);
    // The failure's lines without ending the command (one port of several): in JSON
    // "message" events unless endsCommand.
    void ShowFailure(DWORD code, const std::wstring& advice, bool endsCommand);
    // What the command is doing with the radio now, for the failure's advice line.
    void SetActivity(CliActivity activity) { m_activity = activity; }
    CliActivity Activity() const { return m_activity; }
    // What came over the line so far, and the context Fail explains a failure in.
    const CLineWatch& Line() const { return m_line; }
    CFailureContext FailureContext() const;
    // The code Fail shows for code: the port's first loss when there was one.
    DWORD FirstFailure(DWORD code) const;
    // A Yes/No question: --yes answers Yes; without a terminal to ask the answer is No,
    // and the tool says so.
    bool AskYesNo(const std::wstring& question);

    // Completions seen so far and the last result (WM_APP_MACHINE_DONE at the window).
    size_t CompletionCount() const { return m_completions; }
    DWORD LastResult() const { return m_lastResult; }

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void FlushHeldStatus();
    int StartSimulator();
    int ShowBox(const std::wstring& text, const std::wstring& caption, UINT type);
    void StartInterruptTimer();
    void StopInterruptTimer();

    CGlobalOptions m_options;
    CConsoleOutput m_out;
    std::unique_ptr<CLoopClock> m_clock;
    std::unique_ptr<CSimulator> m_simulator;  // outlives the model and its port
    std::unique_ptr<CModel> m_model;
    CMessageWindow m_window;
    MessageBoxes::Handler m_previousBoxHandler;
    std::shared_ptr<CPendingAnswer> m_pendingAnswer;
    std::function<void()> m_portListener;
    std::wstring m_portName;
    CLineWatch m_line;
    CliActivity m_activity = CliActivity::None;
    size_t m_completions = 0;
    DWORD m_lastResult = 0;
    bool m_interrupted = false;
    bool m_boxesTaken = false;
    unsigned m_dispatchDepth = 0;
    std::wstring m_heldStatus;  // see OnMessage
};
