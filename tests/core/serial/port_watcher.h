// The window a test gives the port as its notify window: it counts WM_APP_PORT_EVENT,
// reads what the port has (all of it, one byte per event, or nothing), keeps the log
// lines that reach it, and records every message box the port shows.
#pragma once

#include <string>
#include <vector>

#include "core/serial/serial_port.h"
#include "platform/message_box.h"
#include "platform/message_window.h"

struct RecordedBox {
    std::wstring caption;
    std::wstring text;
};

class CPortWatcher {
public:
    enum class Reading { All, OneByte, None };

    explicit CPortWatcher(CSerialPort& port);
    ~CPortWatcher();

    void SetReading(Reading reading) { m_reading = reading; }
    HWND Handle() const { return m_window.Handle(); }

    // Runs the message loop until the predicate holds or the time-out passes.
    bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 5000);
    // Runs the loop until the received text ends with the terminator.
    bool WaitForAnswer(DWORD timeoutMs = 5000);
    // Runs the loop for a while (loop time) whatever happens.
    void Pump(DWORD ms);

    std::string TakeReceived();
    const std::string& Received() const { return m_received; }
    int Events() const { return m_events; }
    int EventsWithBytes() const { return m_eventsWithBytes; }
    const std::vector<RecordedBox>& Boxes() const { return m_boxes; }
    const std::vector<std::wstring>& LogLines() const { return m_logLines; }
    bool ReadFailed() const { return m_readFailed; }
    DWORD LastReadError() const { return m_lastReadError; }

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    CSerialPort& m_port;
    CMessageWindow m_window;
    MessageBoxes::Handler m_previousHandler;
    Reading m_reading = Reading::All;
    std::string m_received;
    int m_events = 0;
    int m_eventsWithBytes = 0;
    bool m_readFailed = false;
    DWORD m_lastReadError = 0;
    std::vector<RecordedBox> m_boxes;
    std::vector<std::wstring> m_logLines;
};
