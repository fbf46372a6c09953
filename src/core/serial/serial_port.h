// CSerialPort: the one serial port through which the program talks to the radio.
// It opens and configures the port (9600 bit/s, 8N1, no handshake), changes the bit
// rate, writes command text, discards stale input, and runs a listener thread that
// tells the notify window (WM_APP_PORT_EVENT) whenever characters have arrived. It
// never interprets what it receives: the state-machine host reads the bytes, on the
// user-interface thread.
//
// Underneath are four devices, chosen by the port name at Open: a name registered
// with RegisterSerialDevice (serial_device.h) uses that in-process device; a name
// "rfc2217://HOST:PORT" or "socket://HOST:PORT" (network_port_name.h) a port at a
// server on the network; otherwise the OS port: Win32 (serial_port_win32.cpp) or POSIX
// termios (serial_port_posix.cpp).
//
// Port names off Windows (DevicePath):
//   "/dev/ttyUSB0", "/tmp/zr8sim-tty"  an absolute path is used as it stands,
//   "./tty", "../link"                  and so is a path from the current folder;
//   "COM1" .. "COM256"                  /dev/ttyS0 .. /dev/ttyS255 (COMn is ttyS(n-1),
//                                       as Wine numbers them);
//   "ttyUSB0", "pts/3"                  "/dev/" is put in front.
// On Windows the name is opened as "\\.\" + name.
//
// Notifications: the listener never sends anything to the notify window itself. It
// posts to a small message window of the port, which (on the user-interface thread)
// sends WM_APP_PORT_EVENT to the notify window and only then lets the listener go on.
// So at most one event is in flight, and a new one follows only when bytes are still
// waiting and something changed since the last one (more bytes arrived, or the reader
// took some). Failures the listener meets are reported on the user-interface thread
// the same way.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/win_types.h"

class CPortEventRelay;

class CSerialPort {
public:
    static constexpr DWORD kDefaultBaudRate = 9600;
    static constexpr DWORD kQueueSize = 16384;
    static constexpr DWORD kSettleMs = 50;

    CSerialPort();
    ~CSerialPort();  // closes the port
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // 0 on success, else the error code (also the last error). Already open: 0, nothing
    // changes. Empty name: 0xE200000F. A failure leaves the port closed with no thread.
    DWORD Open(const std::wstring& name);
    void Close();
    bool IsOpen() const;

    // 0 on success; E_INVALIDARG for a rate outside 4800..230400 of the accepted list;
    // else the system error (reported as "SetCommState", previous rate kept).
    DWORD SetBaudRate(DWORD rate);
    DWORD BaudRate() const;  // the rate last applied (the DCB's BaudRate)
    static bool IsAcceptedBaudRate(DWORD rate);

    // Windows booleans; on failure the last error holds the reason
    // (ERROR_INVALID_HANDLE when the port is not open).
    BOOL PurgeReceive();
    BOOL WriteBytes(const void* buffer, DWORD length);
    BOOL WriteText(const wchar_t* text);  // UTF-8, no terminator
    BOOL ReadBytes(void* buffer, DWORD length, DWORD* count);

    // Shows "COM Port Error" with format 10056, then recovers: access denied closes the
    // port, anything else clears the line errors. Returns the code it was given.
    DWORD ReportError(const wchar_t* callName, DWORD code);

    // Sees every byte written and every byte read, as it passes (the command-line tool
    // tells silence from noise and from an echo with it). Empty: nobody watches.
    using LineObserver = std::function<void(bool sent, const BYTE* bytes, DWORD count)>;
    void SetLineObserver(LineObserver observer) { m_lineObserver = std::move(observer); }
    // The code of the first failure that closed the port under its user (the device went
    // away) since ForgetLoss; 0 when none did. What fails afterwards only follows from it.
    DWORD LossCode() const { return m_lossCode; }
    void ForgetLoss() { m_lossCode = 0; }

    void SetNotifyWindow(HWND window);
    HWND NotifyWindow() const;
    const std::wstring& PortName() const;

    // The OS device a port name opens (see the naming rules above).
    static std::wstring DevicePath(const std::wstring& name);

    struct Device;  // the device in use while open (serial_port_device.h)

private:
    friend class CPortEventRelay;
    void OnListenerEvent(unsigned session, WPARAM eventWord);
    void OnListenerHangUp(unsigned session);
    void OnListenerFailure(unsigned session, const wchar_t* callName, DWORD code);
    DWORD FailOpen(DWORD code);

    std::unique_ptr<Device> m_device;
    std::unique_ptr<CPortEventRelay> m_relay;
    HWND m_notifyWindow = nullptr;
    std::wstring m_portName;
    DWORD m_baudRate = 0;
    unsigned m_session = 0;
    LineObserver m_lineObserver;
    DWORD m_lossCode = 0;  // counts opens, so a late message of an earlier open is dropped
};
