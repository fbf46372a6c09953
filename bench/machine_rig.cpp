#include "machine_rig.h"

#include <chrono>

#include "core/model/contact_state_machine.h"
#include "core/statemachine/state_machine.h"
#include "core/text/app_messages.h"
#include "core/text/error_codes.h"
#include "platform/code_pages.h"
#include "platform/message_loop.h"
#include "platform/settings_store.h"

namespace {
const auto kRigStart = std::chrono::steady_clock::now();
constexpr int kProgressBarId = 16010;  // the dialogs' progress bar
}  // namespace

CRigModel::CRigModel() : CModel(CreateMemorySettingsStore()) {}

BOOL CRigModel::WriteText(const wchar_t* text) {
    texts.push_back(CodePages::ToUtf8(text));
    const size_t length = texts.back().size();
    if (onWrite) onWrite(length);
    m_bytesOut += length;
    return CModel::WriteText(text);
}

BOOL CRigModel::WriteBytes(const void* buffer, DWORD length) {
    if (onWrite) onWrite(length);
    m_bytesOut += length;
    return CModel::WriteBytes(buffer, length);
}

CMachineRig::CMachineRig() {
    m_mainWindow.Create([this](UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_APP_PORT_EVENT) {
            ++m_portEvents;
            m_lastPortEventMs = NowMs();
            m_lastWasPortEvent = true;
            m_model.RoutePortEvent(message, wParam, lParam);
        } else if (message == WM_TIMER) {
            ++m_timerTicks;
            m_lastWasPortEvent = false;
            m_model.RouteTimer(message, wParam, lParam);
        }
        return 0;
    });
    m_owner.Create([this](UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_APP_LOG_TEXT) logLines.push_back(reinterpret_cast<const wchar_t*>(lParam));
        if (message == WM_APP_MACHINE_DONE) m_completions.push_back(DWORD(wParam));
        return 0;
    });
    m_progressBar.Create([](UINT, WPARAM, LPARAM) -> LRESULT { return 0; }, m_owner.Handle(), kProgressBarId);
    m_model.SetWindow(m_mainWindow.Handle());
    m_model.m_completionEvent.AddObserver(m_owner.Handle());
}

CMachineRig::~CMachineRig() {
    m_model.ClosePort();
    MessageLoop::PumpPending();
}

double CMachineRig::NowMs() const {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - kRigStart).count();
}

bool CMachineRig::WaitCompletion(size_t before, DWORD timeoutMs) {
    return MessageLoop::RunUntil([&] { return m_completions.size() > before; }, timeoutMs);
}

DWORD CMachineRig::Contact(const std::wstring& port, DWORD timeoutMs) {
    CContactStateMachine& contact = m_model.ContactMachine();
    m_model.m_port.Set(port);
    const size_t before = m_completions.size();
    contact.StartOpenPort();
    if (WaitCompletion(before, timeoutMs)) return m_completions[before];
    contact.SetResult(Zr8Error::NoResponseSemicolonPoll);  // as the command line gives up
    contact.TransitionTo(contact.FinalState());
    return Zr8Error::NoResponseSemicolonPoll;
}

DWORD CMachineRig::RunOperation(IStateMachine* machine, const std::function<BOOL()>& start, DWORD timeoutMs) {
    const size_t before = m_completions.size();
    m_model.AttachOperation(machine);
    if (!start()) {
        const DWORD code = GetLastError();
        m_model.DetachOperation();
        return m_completions.size() > before ? m_completions[before] : code;
    }
    const bool done = WaitCompletion(before, timeoutMs);
    m_model.DetachOperation();
    if (done) return m_completions[before];
    return ERROR_TIMEOUT;
}
