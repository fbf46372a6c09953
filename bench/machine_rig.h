// CMachineRig: what a dialog gives a machine, for the programs in bench/: the model over
// the platform's in-memory settings, the main window routing port events and ticks to the
// busy machine, and an owner window that hears completions and log lines; machines run
// on the real clock. Counts port events and ticks, and the bytes the machines write.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/model/model_base.h"
#include "platform/message_window.h"

class CRigModel : public CModel {
public:
    CRigModel();
    BOOL WriteText(const wchar_t* text) override;
    BOOL WriteBytes(const void* buffer, DWORD length) override;
    uint64_t BytesOut() const { return m_bytesOut; }
    std::function<void(size_t length)> onWrite;  // before each write reaches the port
    std::vector<std::string> texts;               // every text written, in UTF-8

private:
    uint64_t m_bytesOut = 0;
};

class CMachineRig {
public:
    CMachineRig();
    ~CMachineRig();

    CRigModel& Model() { return m_model; }
    HWND Owner() const { return m_owner.Handle(); }

    // Opens the port by name and makes contact from "OpenPort". 0 or the failure.
    DWORD Contact(const std::wstring& port, DWORD timeoutMs);
    // Attaches the machine, starts it and runs until its completion reaches the owner.
    // The result; ERROR_TIMEOUT when none came (the machine is then ended with it).
    DWORD RunOperation(IStateMachine* machine, const std::function<BOOL()>& start, DWORD timeoutMs);

    uint64_t PortEvents() const { return m_portEvents; }
    uint64_t TimerTicks() const { return m_timerTicks; }
    size_t Completions() const { return m_completions.size(); }
    // The time the last port event was dispatched (steady clock, in ms since the rig began).
    double LastPortEventMs() const { return m_lastPortEventMs; }
    bool LastWasPortEvent() const { return m_lastWasPortEvent; }  // rather than a timer tick
    double NowMs() const;
    std::vector<std::wstring> logLines;

private:
    bool WaitCompletion(size_t before, DWORD timeoutMs);

    CRigModel m_model;
    CMessageWindow m_mainWindow;
    CMessageWindow m_owner;
    CMessageWindow m_progressBar;
    std::vector<DWORD> m_completions;
    uint64_t m_portEvents = 0;
    uint64_t m_timerTicks = 0;
    double m_lastPortEventMs = 0;
    bool m_lastWasPortEvent = false;
};
