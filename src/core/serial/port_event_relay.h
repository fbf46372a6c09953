// The port's own message window, on the user-interface thread. The listener thread
// posts here and never to the notify window: the relay sends WM_APP_PORT_EVENT to the
// notify window (synchronously, so the reader drains the port before the listener
// looks again) and reports the listener's failures, so message boxes and log lines
// are only ever made on the user-interface thread.
#pragma once

#include "platform/message_window.h"
#include "platform/win_types.h"

class CSerialPort;

class CPortEventRelay {
public:
    enum class Failure { CreateEvent, WaitCommEvent };

    explicit CPortEventRelay(CSerialPort& port);
    CPortEventRelay(const CPortEventRelay&) = delete;
    CPortEventRelay& operator=(const CPortEventRelay&) = delete;

    DWORD Create();  // on the user-interface thread; 0 or the error code
    HWND Handle() const { return m_window.Handle(); }

    // From the listener thread. Each carries the port's open count ("session") so a
    // message that arrives after the port was closed or reopened is dropped.
    bool PostEvent(unsigned session, WPARAM eventWord);
    bool PostHangUp(unsigned session);
    bool PostFailure(unsigned session, Failure call, DWORD code);

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    CSerialPort& m_port;
    CMessageWindow m_window;
};
