#include "core/serial/port_event_relay.h"

#include "core/serial/serial_port.h"

namespace {
constexpr UINT kRelayEvent = WM_USER + 1;    // wParam: event word, lParam: session
constexpr UINT kRelayHangUp = WM_USER + 2;   // lParam: session
constexpr UINT kRelayCreateEventFailed = WM_USER + 3;    // wParam: code, lParam: session
constexpr UINT kRelayWaitCommEventFailed = WM_USER + 4;  // wParam: code, lParam: session
}  // namespace

CPortEventRelay::CPortEventRelay(CSerialPort& port) : m_port(port) {}

DWORD CPortEventRelay::Create()
{
    if (m_window.Handle())
        return 0;
    if (!m_window.Create([this](UINT message, WPARAM wParam, LPARAM lParam) {
            return OnMessage(message, wParam, lParam);
        })) {
        DWORD code = GetLastError();
        return code ? code : static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY);
    }
    return 0;
}

bool CPortEventRelay::PostEvent(unsigned session, WPARAM eventWord)
{
    return PostMessageW(Handle(), kRelayEvent, eventWord, static_cast<LPARAM>(session)) != FALSE;
}

bool CPortEventRelay::PostHangUp(unsigned session)
{
    return PostMessageW(Handle(), kRelayHangUp, 0, static_cast<LPARAM>(session)) != FALSE;
}

bool CPortEventRelay::PostFailure(unsigned session, Failure call, DWORD code)
{
    const UINT message = call == Failure::CreateEvent ? kRelayCreateEventFailed : kRelayWaitCommEventFailed;
    return PostMessageW(Handle(), message, code, static_cast<LPARAM>(session)) != FALSE;
}

LRESULT CPortEventRelay::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto session = static_cast<unsigned>(lParam);
    switch (message) {
    case kRelayEvent:
        m_port.OnListenerEvent(session, wParam);
        return 0;
    case kRelayHangUp:
        m_port.OnListenerHangUp(session);
        return 0;
    case kRelayCreateEventFailed:
        m_port.OnListenerFailure(session, L"CreateEvent", static_cast<DWORD>(wParam));
        return 0;
    case kRelayWaitCommEventFailed:
        m_port.OnListenerFailure(session, L"WaitCommEvent", static_cast<DWORD>(wParam));
        return 0;
    default:
        return 0;
    }
}
