// CObservable<T, N>: a value (or N elements) that announces its changes. Set sends the
// value's message to every observer unless the new value equals both the current value
// and the value last announced; the last-announced copy is what lets a value that was
// loaded behind the observers' backs still be announced when it is set again.
#pragma once

#include <array>
#include <cstddef>

#include "core/model/event_source.h"

template <class T, size_t N>
class CObservable : public CEventSource {
    static_assert(N >= 1, "an observable holds at least one element");

public:
    static constexpr size_t kCount = N;

    CObservable(UINT message, const T& defaultValue) : CEventSource(message)
    {
        m_values.fill(defaultValue);
        m_announced.fill(defaultValue);
    }

    using CEventSource::Notify;

    // Every element to one window, the element index 0..N-1 in wParam (0 for N = 1).
    void Notify(HWND window) const override
    {
        for (size_t i = 0; i < N; ++i)
            SendMessageW(window, this->Message(), static_cast<WPARAM>(i), 0);
    }

    const T& Get() const { return m_values[0]; }
    operator const T&() const { return m_values[0]; }
    void Set(const T& value) { SetAt(0, value); }

    // Element access; the message carries the element index in wParam (0 for a single
    // value). An index outside 0..N-1 reads the first element and sets nothing.
    const T& GetAt(size_t index) const { return m_values[index < N ? index : 0]; }
    void SetAt(size_t index, const T& value)
    {
        if (index >= N)
            return;
        if (value == m_values[index] && value == m_announced[index])
            return;
        m_values[index] = value;
        m_announced[index] = value;
        Notify(static_cast<WPARAM>(N > 1 ? index : 0), 0);
    }

protected:
    // For loading: changes the current value without telling anyone.
    void SetQuietly(size_t index, const T& value) { m_values[index] = value; }

private:
    std::array<T, N> m_values;
    std::array<T, N> m_announced;
};
