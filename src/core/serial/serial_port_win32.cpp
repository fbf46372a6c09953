// The OS serial port on Windows: an overlapped COM port handle and a listener thread
// that waits with WaitCommEvent. It runs the same under Wine, where a COM port is a
// Unix terminal underneath; the listener copes with the two ways Wine differs:
//  - EV_RXCHAR is a level there (it is reported while bytes wait), not an edge. The
//    listener therefore arms WaitCommEvent only on an empty queue and, while bytes
//    sit unread, looks at the queue in short ticks instead (listener_pacer.h).
//  - A read with the "return at once" time-outs still waits for data when the queue is
//    empty. So the port reads only what the queue holds, and an empty queue reads
//    nothing without asking the driver.
//  - On a pseudo-terminal a wait that does not complete at once ends about 1 ms later
//    with ERROR_OPERATION_ABORTED and no mask. That is "no event": the listener waits
//    a few milliseconds on the stop event and arms again, so it neither spins nor
//    floods the window.
// Only one wait is ever pending.
#ifdef _WIN32

#include "core/serial/listener_pacer.h"
#include "core/serial/serial_port_device.h"
#include "platform/win_types.h"

namespace {

constexpr DWORD kUnreadTickMs = 10;
constexpr DWORD kEmptyQueueTickMs = 5;

class CEventHandle {
public:
    CEventHandle() = default;
    ~CEventHandle() { Close(); }
    CEventHandle(const CEventHandle&) = delete;
    CEventHandle& operator=(const CEventHandle&) = delete;
    DWORD Create(BOOL manualReset)
    {
        Close();
        m_handle = CreateEventW(nullptr, manualReset, FALSE, nullptr);
        return m_handle ? 0 : GetLastError();
    }
    void Close()
    {
        if (m_handle)
            ::CloseHandle(m_handle);
        m_handle = nullptr;
    }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle = nullptr;
};

class CWin32SerialDevice final : public CSerialPort::Device {
public:
    ~CWin32SerialDevice() override
    {
        if (m_thread) {
            BeginStop();
            FinishStop();
        }
        CloseHandle();
    }

    DWORD CreateEvents() override
    {
        DWORD code = m_ioEvent.Create(TRUE);
        if (!code)
            code = m_stopEvent.Create(TRUE);
        if (!code)
            code = m_handledEvent.Create(FALSE);
        return code;
    }

    DWORD OpenHandle(const std::wstring& name) override
    {
        const std::wstring path = CSerialPort::DevicePath(name);
        m_port = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OVERLAPPED, nullptr);
        if (!HandleOpen()) {
            const DWORD code = GetLastError();
            m_port = INVALID_HANDLE_VALUE;
            return code ? code : static_cast<DWORD>(ERROR_FILE_NOT_FOUND);
        }
        return 0;
    }

    DWORD GetProperties() override
    {
        ZeroMemory(&m_properties, sizeof m_properties);
        return GetCommProperties(m_port, &m_properties) ? 0 : GetLastError();
    }

    DWORD SetupQueues(DWORD inputSize, DWORD outputSize) override
    {
        return SetupComm(m_port, inputSize, outputSize) ? 0 : GetLastError();
    }

    DWORD GetState() override
    {
        ZeroMemory(&m_dcb, sizeof m_dcb);
        m_dcb.DCBlength = sizeof m_dcb;
        if (!GetCommState(m_port, &m_dcb))
            return GetLastError();
        m_dcb.ByteSize = 8;
        m_dcb.Parity = NOPARITY;
        m_dcb.StopBits = ONESTOPBIT;
        m_dcb.fBinary = TRUE;
        m_dcb.fParity = FALSE;
        m_dcb.fOutxCtsFlow = FALSE;
        m_dcb.fOutxDsrFlow = FALSE;
        m_dcb.fDtrControl = DTR_CONTROL_DISABLE;
        m_dcb.fDsrSensitivity = FALSE;
        m_dcb.fTXContinueOnXoff = FALSE;
        m_dcb.fOutX = FALSE;
        m_dcb.fInX = FALSE;
        m_dcb.fErrorChar = FALSE;
        m_dcb.fNull = FALSE;
        m_dcb.fRtsControl = RTS_CONTROL_DISABLE;
        m_dcb.fAbortOnError = FALSE;
        DWORD limit = m_properties.dwCurrentRxQueue / 4;
        if (limit < 8)
            limit = 8;
        m_dcb.XonLim = static_cast<WORD>(limit);
        m_dcb.XoffLim = static_cast<WORD>(limit);
        m_dcb.XonChar = 0x11;
        m_dcb.XoffChar = 0x13;
        m_dcb.ErrorChar = 0x00;
        m_dcb.EofChar = 0x1A;
        m_dcb.EvtChar = ';';
        return 0;
    }

    DWORD SetState(DWORD baudRate) override
    {
        const DWORD previous = m_dcb.BaudRate;
        m_dcb.BaudRate = baudRate;
        if (!SetCommState(m_port, &m_dcb)) {
            const DWORD code = GetLastError();
            m_dcb.BaudRate = previous;
            return code;
        }
        return 0;
    }

    DWORD SetTimeouts() override
    {
        COMMTIMEOUTS timeouts{};
        timeouts.ReadIntervalTimeout = MAXDWORD;  // a read returns at once with what is there
        return SetCommTimeouts(m_port, &timeouts) ? 0 : GetLastError();
    }

    DWORD SetEventMask() override { return SetCommMask(m_port, EV_RXCHAR) ? 0 : GetLastError(); }

    DWORD StartListener(const CListenerLink& link) override
    {
        m_link = link;
        m_stopping = FALSE;
        m_thread = CreateThread(nullptr, 0, &CWin32SerialDevice::ListenerThread, this, 0, nullptr);
        return m_thread ? 0 : GetLastError();
    }

    bool ListenerRunning() const override { return m_thread != nullptr; }

    DWORD BeginStop() override
    {
        InterlockedExchange(&m_stopping, TRUE);
        // Completes the listener's pending WaitCommEvent.
        return SetCommMask(m_port, EV_RXCHAR) ? 0 : GetLastError();
    }

    void FinishStop() override
    {
        SetEvent(m_stopEvent.Get());
        if (m_thread) {
            WaitForSingleObject(m_thread, INFINITE);
            ::CloseHandle(m_thread);
            m_thread = nullptr;
        }
        ResetEvent(m_stopEvent.Get());
        InterlockedExchange(&m_stopping, FALSE);
    }

    bool HandleOpen() const override { return m_port != INVALID_HANDLE_VALUE && m_port != nullptr; }

    void CloseHandle() override
    {
        if (HandleOpen())
            ::CloseHandle(m_port);
        m_port = INVALID_HANDLE_VALUE;
    }

    void CloseEvents() override
    {
        m_ioEvent.Close();
        m_stopEvent.Close();
        m_handledEvent.Close();
    }

    DWORD Purge() override { return PurgeComm(m_port, PURGE_RXCLEAR) ? 0 : GetLastError(); }

    DWORD Write(const void* data, DWORD length, DWORD& written) override
    {
        OVERLAPPED overlapped{};
        overlapped.hEvent = m_ioEvent.Get();
        written = 0;
        if (WriteFile(m_port, data, length, &written, &overlapped))
            return 0;
        const DWORD code = GetLastError();
        if (code != ERROR_IO_PENDING)
            return code;
        return WaitForIo(overlapped, written);
    }

    DWORD Read(void* buffer, DWORD length, DWORD& count) override
    {
        count = 0;
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(m_port, &errors, &status))
            return GetLastError();
        KeepLineErrors(errors);
        if (status.cbInQue == 0)
            return 0;
        OVERLAPPED overlapped{};
        overlapped.hEvent = m_ioEvent.Get();
        const DWORD want = status.cbInQue < length ? status.cbInQue : length;
        if (ReadFile(m_port, buffer, want, &count, &overlapped))
            return 0;
        const DWORD code = GetLastError();
        if (code != ERROR_IO_PENDING)
            return code;
        return WaitForIo(overlapped, count);
    }

    DWORD ClearErrors(DWORD& errors) override
    {
        errors = 0;
        COMSTAT status{};
        const DWORD code = ClearCommError(m_port, &errors, &status) ? 0 : GetLastError();
        errors |= TakeKeptLineErrors();
        return code;
    }

    void EventHandled() override { SetEvent(m_handledEvent.Get()); }

private:
    // Line errors fetched by a read, for the listener's next event (ClearCommError
    // clears them as it reports them).
    void KeepLineErrors(DWORD errors)
    {
        if (errors)
            InterlockedOr(&m_keptLineErrors, static_cast<LONG>(errors));
    }
    DWORD TakeKeptLineErrors() { return static_cast<DWORD>(InterlockedExchange(&m_keptLineErrors, 0)); }

    // Waits for a pending operation or the stop event. Released by the stop event, the
    // operation is cancelled (its OVERLAPPED lives on the caller's stack) and counts 0.
    DWORD WaitForIo(OVERLAPPED& overlapped, DWORD& count)
    {
        count = 0;
        HANDLE handles[2] = {m_stopEvent.Get(), overlapped.hEvent};
        const DWORD which = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (which == WAIT_OBJECT_0) {
            DWORD ignored = 0;
            CancelIo(m_port);
            GetOverlappedResult(m_port, &overlapped, &ignored, TRUE);
            return 0;
        }
        if (which == WAIT_OBJECT_0 + 1)
            return GetOverlappedResult(m_port, &overlapped, &count, FALSE) ? 0 : GetLastError();
        const DWORD code = GetLastError();
        return code ? code : static_cast<DWORD>(ERROR_GEN_FAILURE);
    }

    static DWORD WINAPI ListenerThread(LPVOID parameter)
    {
        return static_cast<CWin32SerialDevice*>(parameter)->Listen();
    }

    // Posts one event and waits until the notify window has handled it (or the port
    // closes).
    void PostAndWait(WPARAM eventWord)
    {
        if (!m_link.relay->PostEvent(m_link.session, eventWord)) {
            WaitForSingleObject(m_stopEvent.Get(), kUnreadTickMs);
            return;
        }
        HANDLE handles[2] = {m_stopEvent.Get(), m_handledEvent.Get()};
        WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    }

    DWORD Listen()
    {
        CEventHandle waitEvent;
        if (DWORD code = waitEvent.Create(TRUE)) {
            m_link.relay->PostFailure(m_link.session, CPortEventRelay::Failure::CreateEvent, code);
            return 0;
        }
        CListenerPacer pacer;
        DWORD exitCode = 0;
        DWORD lineErrors = 0;
        while (!m_stopping) {
            DWORD errors = 0;
            COMSTAT status{};
            ClearCommError(m_port, &errors, &status);
            lineErrors |= errors | TakeKeptLineErrors();
            const uint64_t readTotal = m_link.inputTaken->load();
            if (status.cbInQue > 0) {
                if (pacer.ShouldPost(status.cbInQue, readTotal)) {
                    pacer.Mark(status.cbInQue, readTotal);
                    PostAndWait(MAKEWPARAM(EV_RXCHAR, LOWORD(lineErrors)));
                    lineErrors = 0;
                } else {
                    WaitForSingleObject(m_stopEvent.Get(), kUnreadTickMs);
                }
                continue;
            }
            pacer.Mark(0, readTotal);

            OVERLAPPED overlapped{};
            overlapped.hEvent = waitEvent.Get();
            DWORD mask = 0;
            if (!WaitCommEvent(m_port, &mask, &overlapped)) {
                const DWORD code = GetLastError();
                if (code == ERROR_ACCESS_DENIED)
                    break;  // the device has gone; the next call on the port reports it
                if (code == ERROR_IO_PENDING) {
                    DWORD ignored = 0;
                    if (WaitForIo(overlapped, ignored) != 0)
                        mask = 0;
                } else if (code != ERROR_INVALID_PARAMETER) {
                    m_link.relay->PostFailure(m_link.session, CPortEventRelay::Failure::WaitCommEvent, code);
                    exitCode = code;
                    break;
                }
            }
            if (m_stopping)
                break;
            ClearCommError(m_port, &errors, &status);
            lineErrors |= errors;
            if (mask != 0) {
                pacer.Mark(status.cbInQue, m_link.inputTaken->load());
                PostAndWait(MAKEWPARAM(LOWORD(mask), LOWORD(lineErrors)));
                lineErrors = 0;
            } else if (status.cbInQue == 0) {
                WaitForSingleObject(m_stopEvent.Get(), kEmptyQueueTickMs);
            }
        }
        return exitCode;
    }

    COMMPROP m_properties{};
    DCB m_dcb{};
    CEventHandle m_ioEvent;
    CEventHandle m_stopEvent;
    CEventHandle m_handledEvent;
    volatile LONG m_stopping = FALSE;
    volatile LONG m_keptLineErrors = 0;
    HANDLE m_port = INVALID_HANDLE_VALUE;
    HANDLE m_thread = nullptr;
    CListenerLink m_link;
};

}  // namespace

std::unique_ptr<CSerialPort::Device> CreateOsSerialDevice()
{
    return std::make_unique<CWin32SerialDevice>();
}

#endif  // _WIN32
