#include "model_test_support.h"

#include <algorithm>

CRecordingWindow::CRecordingWindow()
{
    m_window.Create([this](UINT message, WPARAM wParam, LPARAM) -> LRESULT {
        m_messages.push_back({message, wParam});
        if (onMessage)
            onMessage(message, wParam);
        return 0;
    });
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
