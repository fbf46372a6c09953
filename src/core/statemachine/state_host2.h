// CStateHost2: the part of every machine's host that does not depend on the machine
// class: result code, retry limit, timer bookkeeping, receive buffer, terminators and
// the output paths (owner window, main frame status text, completion observers).
#pragma once

#include <string>

#include "core/model/radio_types.h"
#include "platform/win_types.h"

class CModelBase;
class IStateMachine;

// Formats of the trace lines of the hosts and command states.
namespace StateTrace {
constexpr const wchar_t* kSend = L"%s send %s";
constexpr const wchar_t* kResponse = L"%s response %s %3u ms";
constexpr const wchar_t* kElapsed = L"%s elapsed %3u ms";
}  // namespace StateTrace

class CStateHost2 {
public:
    static constexpr DWORD kDefaultRetryLimit = 8;

    CStateHost2(CModelBase& model, UINT_PTR timerId);
    virtual ~CStateHost2();
    CStateHost2(const CStateHost2&) = delete;
    CStateHost2& operator=(const CStateHost2&) = delete;

    // Sends the line to the owner window as WM_APP_LOG_TEXT (nothing without an owner).
    virtual void Output(const wchar_t* text);
    // Tells every window registered with the model's completion event the result.
    virtual void OnComplete();
    // For machines that restart the radio (they override OnComplete to call this): a
    // success, or an unexpected device, first re-establishes contact, so the owner hears
    // the outcome after the radio is back. It tells the observers with the host's own
    // notification, never through the override.
    virtual void OnCompleteReconnect();

    // Output only when the model's "Trace" setting is on; formatted only then.
    void Trace(const wchar_t* format, ...);
    // Output, and status text for the main frame's top-level window.
    void Log(const wchar_t* format, ...);
    void Log(UINT stringId, ...);
    // Status text only (WM_APP_STATUS_TEXT to the main frame's top-level window).
    void StatusText(const std::wstring& text);

    void StartTimer(DWORD milliseconds);
    void StopTimer();
    UINT_PTR TimerId() const { return m_timerId; }

    // Drains the port one byte at a time up to and including the first terminator.
    // False when the read failed (port closed: ERROR_INVALID_HANDLE).
    bool ReadAvailable();
    bool IsResponseComplete() const;

    CModelBase& Model() const { return m_model; }
    DWORD Result() const { return m_result; }
    void SetResult(DWORD result) { m_result = result; }
    DWORD RetryLimit() const { return m_retryLimit; }
    void SetRetryLimit(DWORD limit) { m_retryLimit = limit; }
    DWORD TimerStart() const { return m_timerStart; }
    FirmwareStatusEnum FirmwareStatusToPublish() const { return m_firmwareStatusToPublish; }
    void SetFirmwareStatusToPublish(FirmwareStatusEnum status) { m_firmwareStatusToPublish = status; }
    HWND OwnerWindow() const { return m_ownerWindow; }
    void SetOwnerWindow(HWND window) { m_ownerWindow = window; }
    const std::wstring& ReceivedText() const { return m_receivedText; }
    void ClearReceivedText() { m_receivedText.clear(); }
    const std::wstring& Terminators() const { return m_terminators; }
    void SetTerminators(const std::wstring& terminators) { m_terminators = terminators; }

    // "%s response %s %3u ms" with the state name, the escaped text and the time taken.
    void TraceResponse(const wchar_t* stateName);

protected:
    FirmwareStatusEnum CurrentFirmwareStatus() const;  // the model's
    void ForgetOperation(IStateMachine* machine);     // detaches it if it is attached
    BOOL PurgeAndWrite(const std::wstring& text);     // through the model
    void LogText(const std::wstring& text);

    DWORD m_result = 0;
    DWORD m_retryLimit = kDefaultRetryLimit;
    DWORD m_timerStart = 0;
    FirmwareStatusEnum m_firmwareStatusToPublish = FirmwareStatusNone;
    HWND m_ownerWindow = nullptr;
    std::wstring m_receivedText;
    std::wstring m_terminators;

private:
    CModelBase& m_model;
    UINT_PTR m_timerId;
};
