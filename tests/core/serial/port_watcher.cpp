#include "port_watcher.h"

#include "core/text/app_messages.h"
#include "platform/message_loop.h"

CPortWatcher::CPortWatcher(CSerialPort& port) : m_port(port)
{
    m_window.Create([this](UINT message, WPARAM wParam, LPARAM lParam) { return OnMessage(message, wParam, lParam); });
    m_previousHandler = MessageBoxes::SetHandler([this](HWND, const std::wstring& text, const std::wstring& caption, UINT) {
        m_boxes.push_back({caption, text});
        return IDOK;
    });
    m_port.SetNotifyWindow(m_window.Handle());
}

CPortWatcher::~CPortWatcher()
{
    m_port.SetNotifyWindow(nullptr);
    MessageBoxes::SetHandler(m_previousHandler);
}

bool CPortWatcher::WaitFor(const std::function<bool()>& done, DWORD timeoutMs)
{
    return MessageLoop::RunUntil(done, timeoutMs);
}

bool CPortWatcher::WaitForAnswer(DWORD timeoutMs)
{
    return WaitFor([this] { return !m_received.empty() && m_received.back() == ';'; }, timeoutMs);
}

void CPortWatcher::Pump(DWORD ms)
{
    MessageLoop::RunUntil(nullptr, ms);
}

std::string CPortWatcher::TakeReceived()
{
    std::string text;
    text.swap(m_received);
    return text;
}

LRESULT CPortWatcher::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP_STATUS_TEXT) {
        m_logLines.emplace_back(reinterpret_cast<const wchar_t*>(lParam));
        return 0;
    }
    if (message != WM_APP_PORT_EVENT)
        return 0;
    ++m_events;
    if (m_reading == Reading::None)
        return 0;
    char buffer[256];
    const DWORD want = m_reading == Reading::OneByte ? 1 : sizeof buffer;
    bool gotAny = false;
    for (;;) {
        DWORD count = 0;
        if (!m_port.ReadBytes(buffer, want, &count)) {
            m_readFailed = true;
            m_lastReadError = GetLastError();
            break;
        }
        if (count == 0)
            break;
        gotAny = true;
        m_received.append(buffer, count);
        if (m_reading == Reading::OneByte)
            break;
    }
    if (gotAny)
        ++m_eventsWithBytes;
    return 0;
}
