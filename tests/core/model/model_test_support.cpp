#include "model_test_support.h"

#include <algorithm>

#include <gtest/gtest.h>

CRecordingWindow::CRecordingWindow()
{
    const bool created = m_window.Create([this](UINT message, WPARAM wParam, LPARAM) -> LRESULT {
        m_messages.push_back({message, wParam});
        if (onMessage)
            onMessage(message, wParam);
        return 0;
    });
    // Without its window every observer test would pass for the wrong reason.
    if (!created)
        ADD_FAILURE() << "no observer window, error " << GetLastError();
}

size_t CRecordingWindow::Count(UINT message) const
{
    return static_cast<size_t>(std::count_if(m_messages.begin(), m_messages.end(),
                                             [message](const ReceivedMessage& m) { return m.message == message; }));
}

CFakeDeviceRegistration::CFakeDeviceRegistration(const std::wstring& name) : m_name(name)
{
    auto shared = log;
    RegisterSerialDevice(name, [shared]() { return std::make_unique<CFakeSerialDevice>(shared); });
}

CFakeDeviceRegistration::~CFakeDeviceRegistration()
{
    UnregisterSerialDevice(m_name);
}

std::vector<WPARAM> CRecordingWindow::Params(UINT message) const
{
    std::vector<WPARAM> params;
    for (const ReceivedMessage& m : m_messages) {
        if (m.message == message)
            params.push_back(m.wParam);
    }
    return params;
}
