// CEventSubscriber: the subscriptions of one window. A page subscribes to the model's
// values while it shows them and drops them all at once when it is hidden or destroyed.
// The destructor drops whatever is still subscribed, so a window can never be left
// behind as an observer of a value; a source that ends first takes itself off the list.
#pragma once

#include <vector>

#include "core/model/event_source.h"

class CEventSubscriber {
public:
    CEventSubscriber() = default;
    ~CEventSubscriber() { UnsubscribeAll(); }
    CEventSubscriber(const CEventSubscriber&) = delete;
    CEventSubscriber& operator=(const CEventSubscriber&) = delete;

    // The first call fixes the window; later calls for another window are refused
    // (false), since one subscriber belongs to one window.
    bool Subscribe(HWND window, CEventSource& source);
    void UnsubscribeAll();

    HWND Window() const { return m_window; }
    bool IsSubscribed(const CEventSource& source) const;

private:
    friend class CEventSource;
    void ForgetSource(CEventSource* source);

    HWND m_window = nullptr;
    std::vector<CEventSource*> m_sources;
};
