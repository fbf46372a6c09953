// CEventSource: a message identifier and the windows that want it. Every change of a
// model value is announced by sending the value's own message to each observer, in
// registration order, synchronously; the observer reads the value back in its handler.
//
// A source also knows the subscribers that joined it, so whichever of the two ends first
// (a dialog's subscriber or a value of its own) the other is never left pointing at it.
#pragma once

#include <vector>

#include "platform/win_types.h"

class CEventSubscriber;

class CEventSource {
public:
    explicit CEventSource(UINT message) : m_message(message) {}
    virtual ~CEventSource();  // the subscribers that still hold it let it go
    CEventSource(const CEventSource&) = delete;
    CEventSource& operator=(const CEventSource&) = delete;

    UINT Message() const { return m_message; }

    // Appends the window unless it is already an observer. False when it was there.
    bool AddObserver(HWND window);
    // Removes the first occurrence of the window, keeping the order of the others.
    // False when it was not an observer.
    bool RemoveObserver(HWND window);
    bool HasObserver(HWND window) const;
    const std::vector<HWND>& Observers() const { return m_observers; }

    // SendMessageW(observer, Message(), wParam, lParam) for each observer in turn. A
    // handler may subscribe or unsubscribe windows: the walk goes over the observers
    // registered when it began and skips any that have left meanwhile.
    void Notify(WPARAM wParam = 0, LPARAM lParam = 0) const;
    // Announces the value to one window only (whether or not it observes), so a window
    // that has just subscribed can fill itself through its usual handler: the message
    // with wParam 0 and lParam 0; a value of N elements sends it N times (below).
    virtual void Notify(HWND window) const;

private:
    friend class CEventSubscriber;
    void AttachSubscriber(CEventSubscriber* subscriber);
    void DetachSubscriber(CEventSubscriber* subscriber);

    UINT m_message;
    std::vector<HWND> m_observers;
    std::vector<CEventSubscriber*> m_subscribers;
};
