#include "core/model/event_subscriber.h"

#include <algorithm>

bool CEventSubscriber::Subscribe(HWND window, CEventSource& source)
{
    if (m_window == nullptr)
        m_window = window;
    else if (window != m_window)
        return false;
    m_sources.push_back(&source);
    source.AddObserver(m_window);
    source.AttachSubscriber(this);
    return true;
}

void CEventSubscriber::UnsubscribeAll()
{
    for (CEventSource* source : m_sources) {
        source->RemoveObserver(m_window);
        source->DetachSubscriber(this);
    }
    m_sources.clear();
    m_window = nullptr;  // a window created anew may subscribe again
}

bool CEventSubscriber::IsSubscribed(const CEventSource& source) const
{
    return std::find(m_sources.begin(), m_sources.end(), &source) != m_sources.end();
}

void CEventSubscriber::ForgetSource(CEventSource* source)
{
    m_sources.erase(std::remove(m_sources.begin(), m_sources.end(), source), m_sources.end());
}
