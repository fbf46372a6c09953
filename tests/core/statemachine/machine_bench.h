// A test bench for state machines: the virtual clock, a model over an in-memory store,
// a main window that routes port events and timer ticks through the model as the main
// frame does and records every line and completion, and the scripted link as the port.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/model/model_base.h"
#include "platform/message_window.h"
#include "platform/win_types.h"
#include "scripted_link.h"

class IStateMachine;

struct CRecordedBox {
    std::wstring text;
    std::wstring caption;
    UINT type;
};

class CMachineBench {
public:
    CMachineBench();
    ~CMachineBench();

    // Opens the scripted port through the model (port open status 0).
    bool OpenPort();

    // Runs the loop (virtual time) until the machine is idle or limitMs have passed.
    bool RunUntilIdle(IStateMachine& machine, DWORD limitMs = 60000);
    void RunFor(DWORD ms);
    // Runs until the link has seen count writes (or limitMs).
    bool RunUntilWrites(size_t count, DWORD limitMs = 60000);

    bool HasStatus(const std::wstring& text) const;
    bool HasLogContaining(const std::wstring& part) const;

    std::shared_ptr<CScriptedLink> link = std::make_shared<CScriptedLink>();
    CScriptedPortRegistration registration{link};
    CModel model;
    CMessageWindow window;  // main frame and owner window at once

    std::vector<std::wstring> statusTexts;  // WM_APP_STATUS_TEXT
    std::vector<std::wstring> logTexts;     // WM_APP_LOG_TEXT
    std::vector<DWORD> doneResults;         // WM_APP_MACHINE_DONE
    std::vector<WPARAM> foreignTimers;      // ticks nobody took
    std::vector<CRecordedBox> boxes;
    unsigned portEvents = 0;
};

// The machine's log lines that start with prefix.
std::vector<std::wstring> LinesStartingWith(const std::vector<std::wstring>& lines, const std::wstring& prefix);
