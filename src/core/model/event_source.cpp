#include "core/model/event_source.h"

#include <algorithm>

#include "core/model/event_subscriber.h"

CEventSource::~CEventSource()
{
    const std::vector<CEventSubscriber*> subscribers = m_subscribers;
    for (CEventSubscriber* subscriber : subscribers)
        subscriber->ForgetSource(this);
}

bool CEventSource::AddObserver(HWND window)
{
    if (HasObserver(window))
        return false;
    m_observers.push_back(window);
    return true;
}

bool CEventSource::RemoveObserver(HWND window)
{
    auto it = std::find(m_observers.begin(), m_observers.end(), window);
    if (it == m_observers.end())
        return false;
    m_observers.erase(it);
    return true;
}

bool CEventSource::HasObserver(HWND window) const
{
    return std::find(m_observers.begin(), m_observers.end(), window) != m_observers.end();
}

void CEventSource::Notify(WPARAM wParam, LPARAM lParam) const
{
    // A copy, because a handler may change the list (a page that unsubscribes when a
    // value tells it to close, or one that subscribes another window).
    const std::vector<HWND> observers = m_observers;
    for (HWND window : observers) {
        if (HasObserver(window))
            SendMessageW(window, m_message, wParam, lParam);
    }
}

void CEventSource::Notify(HWND window) const
{
    SendMessageW(window, m_message, 0, 0);
}

void CEventSource::AttachSubscriber(CEventSubscriber* subscriber)
{
    if (std::find(m_subscribers.begin(), m_subscribers.end(), subscriber) == m_subscribers.end())
        m_subscribers.push_back(subscriber);
}

void CEventSource::DetachSubscriber(CEventSubscriber* subscriber)
{
    m_subscribers.erase(std::remove(m_subscribers.begin(), m_subscribers.end(), subscriber), m_subscribers.end());
}
