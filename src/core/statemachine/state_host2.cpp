#include "core/statemachine/state_host2.h"

#include <cstdarg>
#include <vector>

#include "core/model/contact_state_machine.h"
#include "core/model/model_base.h"
#include "core/text/app_messages.h"
#include "core/text/error_codes.h"
#include "core/text/display_text.h"
#include "core/text/string_table.h"
#include "platform/wide_format.h"

CStateHost2::CStateHost2(CModelBase& model, UINT_PTR timerId) : m_model(model), m_timerId(timerId) {}

CStateHost2::~CStateHost2() = default;

void CStateHost2::Output(const wchar_t* text)
{
    if (m_ownerWindow)
        SendMessageW(m_ownerWindow, WM_APP_LOG_TEXT, 0, reinterpret_cast<LPARAM>(text));
}

void CStateHost2::OnComplete()
{
    // A window may leave the list while it handles the message; walk a copy.
    std::vector<HWND> observers = m_model.m_completionEvent.Observers();
    for (HWND window : observers)
        if (m_model.m_completionEvent.HasObserver(window))
            SendMessageW(window, WM_APP_MACHINE_DONE, static_cast<WPARAM>(m_result), 0);
}

void CStateHost2::OnCompleteReconnect()
{
    if (IsFailure(m_result) && m_result != Zr8Error::UnexpectedDevice) {
        m_model.m_firmwareStatus.Set(FirmwareStatusNone);
        CStateHost2::OnComplete();
        return;
    }
    if (m_model.AttachedOperation()) {
        // The owner hears the contact machine's result once the radio is back.
        m_model.DetachOperation();
        m_model.ContactMachine().StartFindSpeed();
        return;
    }
    CStateHost2::OnComplete();
}

void CStateHost2::Trace(const wchar_t* format, ...)
{
    if (m_model.m_trace.Get() == 0)
        return;
    va_list args;
    va_start(args, format);
    std::wstring line = FormatV(format, args);
    va_end(args);
    Output(line.c_str());
}

void CStateHost2::Log(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    std::wstring line = FormatV(format, args);
    va_end(args);
    LogText(line);
}

void CStateHost2::Log(UINT stringId, ...)
{
    std::wstring format = LoadStringText(stringId);
    va_list args;
    va_start(args, stringId);
    std::wstring line = FormatV(format.c_str(), args);
    va_end(args);
    LogText(line);
}

void CStateHost2::LogText(const std::wstring& text)
{
    Output(text.c_str());
    StatusText(text);
}

void CStateHost2::StatusText(const std::wstring& text)
{
    HWND main = m_model.MainWindow();
    if (!main)
        return;
    HWND top = GetAncestor(main, GA_ROOT);
    SendMessageW(top ? top : main, WM_APP_STATUS_TEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void CStateHost2::StartTimer(DWORD milliseconds)
{
    SetTimer(m_model.MainWindow(), m_timerId, milliseconds, nullptr);
    m_timerStart = GetTickCount();
}

void CStateHost2::StopTimer()
{
    KillTimer(m_model.MainWindow(), m_timerId);
}

bool CStateHost2::ReadAvailable()
{
    // One byte at a time so that bytes after the first terminator stay in the driver's
    // queue for the next port event: each event hands over at most one response.
    for (;;) {
        BYTE byte = 0;
        DWORD count = 0;
        if (!m_model.SerialPort().ReadBytes(&byte, 1, &count))
            return false;
        if (count == 0)
            return true;
        wchar_t c = static_cast<wchar_t>(byte);
        m_receivedText.push_back(c);
        if (!m_terminators.empty() && m_terminators.find(c) != std::wstring::npos)
            return true;
    }
}

bool CStateHost2::IsResponseComplete() const
{
    return !m_receivedText.empty() && !m_terminators.empty() &&
           m_terminators.find(m_receivedText.back()) != std::wstring::npos;
}

void CStateHost2::TraceResponse(const wchar_t* stateName)
{
    if (m_model.m_trace.Get() == 0)
        return;
    Trace(StateTrace::kResponse, stateName, EscapeForDisplay(m_receivedText).c_str(),
          static_cast<unsigned>(GetTickCount() - m_timerStart));
}

FirmwareStatusEnum CStateHost2::CurrentFirmwareStatus() const
{
    return m_model.m_firmwareStatus.Get();
}

BOOL CStateHost2::PurgeAndWrite(const std::wstring& text)
{
    if (!m_model.PurgeReceive())
        return FALSE;
    return m_model.WriteText(text.c_str());
}

void CStateHost2::ForgetOperation(IStateMachine* machine)
{
    if (m_model.AttachedOperation() == machine)
        m_model.DetachOperation();
}
