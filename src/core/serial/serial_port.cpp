// Open, Close, ReportError and the data calls, the same over every device.
#include "core/serial/serial_port.h"

#include <algorithm>
#include <cwctype>
#include <string>

#include "core/serial/network_port_name.h"
#include "core/serial/port_event_relay.h"
#include "core/serial/serial_device.h"
#include "core/serial/serial_port_device.h"
#include "core/serial/serial_port_report.h"
#include "core/text/app_messages.h"
#include "core/text/error_codes.h"
#include "platform/code_pages.h"

namespace {

constexpr DWORD kAcceptedBaudRates[] = {4800, 9600, 19200, 38400, 57600, 115200, 230400};

// The two reports of a failing step of Open: under the system call's name and then,
// where there is one, under the step's name.
struct StepNames {
    const wchar_t* call;
    const wchar_t* step;  // null: one report only
};

}  // namespace

CSerialPort::CSerialPort() : m_relay(std::make_unique<CPortEventRelay>(*this)) {}

CSerialPort::~CSerialPort()
{
    Close();
}

bool CSerialPort::IsAcceptedBaudRate(DWORD rate)
{
    return std::find(std::begin(kAcceptedBaudRates), std::end(kAcceptedBaudRates), rate) !=
           std::end(kAcceptedBaudRates);
}

bool CSerialPort::IsOpen() const
{
    return m_device && m_device->HandleOpen();
}

DWORD CSerialPort::BaudRate() const
{
    return m_baudRate;
}

void CSerialPort::SetNotifyWindow(HWND window)
{
    m_notifyWindow = window;
}

HWND CSerialPort::NotifyWindow() const
{
    return m_notifyWindow;
}

const std::wstring& CSerialPort::PortName() const
{
    return m_portName;
}

DWORD CSerialPort::FailOpen(DWORD code)
{
    Close();
    SetLastError(code);
    return code;
}

DWORD CSerialPort::Open(const std::wstring& name)
{
    if (IsOpen())
        return 0;
    m_portName = name;
    if (name.empty()) {
        SetLastError(Zr8Error::PortNameMissing);
        return Zr8Error::PortNameMissing;
    }

    ++m_session;
    std::unique_ptr<ISerialDevice> inProcess = CreateRegisteredSerialDevice(name);
    if (inProcess)
        m_device = CreateInProcessSerialDevice(std::move(inProcess));
    else if (IsNetworkPortName(name))
        m_device = CreateNetworkSerialDevice();
    else
        m_device = CreateOsSerialDevice();

    DWORD code = m_device->CreateEvents();
    if (code) {
        ReportError(L"CreateEvent", code);
        return FailOpen(code);
    }
    // The caller reports a port that cannot be opened: it knows whether to say so.
    code = m_device->OpenHandle(name);
    if (code)
        return FailOpen(code);
    code = m_device->GetProperties();
    if (code)
        return FailOpen(code);

    auto fail = [this](StepNames names, DWORD failure) {
        ReportError(names.call, failure);
        if (names.step)
            ReportError(names.step, failure);
        return FailOpen(failure);
    };

    code = m_device->SetupQueues(kQueueSize, kQueueSize);
    if (code)
        return fail({L"SetupComm", nullptr}, code);
    code = m_device->GetState();
    if (code)
        return fail({L"GetCommState", L"SetCommState"}, code);
    code = m_device->SetState(kDefaultBaudRate);
    if (code)
        return fail({L"SetCommState", L"SetCommState"}, code);
    m_baudRate = kDefaultBaudRate;
    Sleep(kSettleMs);
    code = m_device->SetTimeouts();
    if (code)
        return fail({L"SetCommTimeouts", L"SetComTimeouts"}, code);
    code = m_device->SetEventMask();
    if (code)
        return fail({L"SetCommMask", L"SetCommMask"}, code);
    if (!m_device->ListenerRunning()) {
        code = m_relay->Create();
        if (!code)
            code = m_device->StartListener({m_relay.get(), m_session, &m_device->inputTaken});
        if (code)
            return fail({L"CreateThread", L"StartListener"}, code);
    }
    return 0;
}

void CSerialPort::Close()
{
    if (!m_device)
        return;
    // From here on the port counts as closed: a report made while closing (its box may
    // run a nested message loop) neither recovers the port nor reaches this device
    // again, and late listener messages are dropped.
    ++m_session;
    std::unique_ptr<Device> device = std::move(m_device);
    if (device->HandleOpen()) {
        if (device->ListenerRunning()) {
            DWORD code = device->BeginStop();
            if (code && code != ERROR_ACCESS_DENIED)
                ReportError(L"SetCommMask", code);
            device->FinishStop();
        }
        device->CloseHandle();
    }
    device->CloseEvents();
}

DWORD CSerialPort::SetBaudRate(DWORD rate)
{
    if (!IsAcceptedBaudRate(rate)) {
        SetLastError(static_cast<DWORD>(E_INVALIDARG));
        return static_cast<DWORD>(E_INVALIDARG);
    }
    if (rate == m_baudRate)
        return 0;
    if (!IsOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return ERROR_INVALID_HANDLE;
    }
    Sleep(kSettleMs);
    DWORD code = m_device->SetState(rate);
    if (code) {
        ReportError(L"SetCommState", code);
        SetLastError(code);
        return code;
    }
    m_baudRate = rate;
    Sleep(kSettleMs);
    return 0;
}

BOOL CSerialPort::PurgeReceive()
{
    if (!IsOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DWORD code = m_device->Purge();
    if (code) {
        ReportError(L"PurgeComm", code);
        return FALSE;
    }
    ++m_device->inputTaken;
    return TRUE;
}

BOOL CSerialPort::WriteBytes(const void* buffer, DWORD length)
{
    if (!buffer || length == 0)
        return TRUE;
    if (!IsOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DWORD written = 0;
    DWORD code = m_device->Write(buffer, length, written);
    if (code) {
        ReportError(L"WriteFile", code);
        return FALSE;
    }
    if (m_lineObserver)
        m_lineObserver(true, static_cast<const BYTE*>(buffer), written);
    if (written != length) {
        // Released by the stop event while the port was closing.
        SetLastError(ERROR_OPERATION_ABORTED);
        return FALSE;
    }
    return TRUE;
}

BOOL CSerialPort::WriteText(const wchar_t* text)
{
    if (!text)
        return TRUE;
    const std::string bytes = CodePages::ToUtf8(text);
    return WriteBytes(bytes.data(), static_cast<DWORD>(bytes.size()));
}

BOOL CSerialPort::ReadBytes(void* buffer, DWORD length, DWORD* count)
{
    if (count)
        *count = 0;
    if (!IsOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!count || (!buffer && length)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (length == 0)
        return TRUE;
    DWORD got = 0;
    DWORD code = m_device->Read(buffer, length, got);
    if (code) {
        ReportError(L"ReadFile", code);
        return FALSE;
    }
    m_device->inputTaken += got;
    *count = got;
    if (m_lineObserver && got)
        m_lineObserver(false, static_cast<const BYTE*>(buffer), got);
    return TRUE;
}

DWORD CSerialPort::ReportError(const wchar_t* callName, DWORD code)
{
    const bool wasOpen = IsOpen();
    // Access denied means the device has gone (a USB adapter pulled out): nothing more
    // can be done with this handle. It is closed before the box goes up, so nothing
    // that runs while the box is shown can reach the dead device and report it again.
    if (wasOpen && code == ERROR_ACCESS_DENIED) {
        Close();
        if (m_lossCode == 0)
            m_lossCode = code;
    }
    ShowPortError(m_notifyWindow, callName, m_portName, code);
    if (wasOpen && code != ERROR_ACCESS_DENIED && IsOpen()) {
        DWORD errors = 0;
        const DWORD clearCode = m_device->ClearErrors(errors);
        if (clearCode == 0)
            LogLineErrors(m_notifyWindow, errors);
        else
            LogPortFailure(m_notifyWindow, L"ClearCommError", m_portName, clearCode);
    }
    // Callers hand the failure on through the last error.
    SetLastError(code);
    return code;
}

void CSerialPort::OnListenerEvent(unsigned session, WPARAM eventWord)
{
    if (session != m_session || !IsOpen())
        return;
    if (m_notifyWindow)
        SendMessageW(m_notifyWindow, WM_APP_PORT_EVENT, eventWord, 0);
    // The handler may have closed (or closed and reopened) the port.
    if (session == m_session && IsOpen())
        m_device->EventHandled();
}

void CSerialPort::OnListenerHangUp(unsigned session)
{
    if (session != m_session || !IsOpen())
        return;
    // A reader in the middle of an answer finds out by its failing read, and reports
    // that; if nobody reads, the port reports the loss itself. Either way once.
    if (m_notifyWindow)
        SendMessageW(m_notifyWindow, WM_APP_PORT_EVENT, MAKEWPARAM(kEventRxChar, 0), 0);
    if (session == m_session && IsOpen())
        ReportError(L"WaitCommEvent", ERROR_ACCESS_DENIED);
}

void CSerialPort::OnListenerFailure(unsigned session, const wchar_t* callName, DWORD code)
{
    if (session != m_session || !IsOpen())
        return;
    ReportError(callName, code);
}

#ifndef _WIN32
namespace {
// "./tty", "../link": a path from the current folder, used as it stands.
bool IsRelativePortPath(const std::wstring& name)
{
    return name.compare(0, 2, L"./") == 0 || name.compare(0, 3, L"../") == 0;
}
}  // namespace
#endif

std::wstring CSerialPort::DevicePath(const std::wstring& name)
{
#ifdef _WIN32
    return L"\\\\.\\" + name;
#else
    if ((!name.empty() && name[0] == L'/') || IsRelativePortPath(name))
        return name;
    if (name.size() > 3 && std::towupper(name[0]) == L'C' && std::towupper(name[1]) == L'O' &&
        std::towupper(name[2]) == L'M' && name.size() <= 6) {
        unsigned number = 0;
        bool digits = true;
        for (size_t i = 3; i < name.size(); ++i) {
            if (name[i] < L'0' || name[i] > L'9') {
                digits = false;
                break;
            }
            number = number * 10 + static_cast<unsigned>(name[i] - L'0');
        }
        if (digits && number >= 1 && number <= 256)
            return L"/dev/ttyS" + std::to_wstring(number - 1);
    }
    return L"/dev/" + name;
#endif
}
