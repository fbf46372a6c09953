// CHostileRadioDevice: a serial device whose far end is a script instead of a radio.
// Every write of the program goes to the observer first; then the script's next answer
// arrives on the loop's clock, piece by piece, each piece one bytes-waiting callback.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/serial/serial_device.h"
#include "hostile_script.h"
#include "platform/message_loop.h"

class CHostileRadioDevice : public ISerialDevice {
public:
    using WriteObserver = std::function<void(const std::string& written)>;

    CHostileRadioDevice(CHostileScript& script, WriteObserver observer)
        : m_script(script), m_observer(std::move(observer)) {}
    ~CHostileRadioDevice() override;

    void SetBytesWaitingCallback(std::function<void()> callback) override { m_callback = std::move(callback); }
    DWORD SetBaudRate(DWORD) override { return 0; }
    DWORD Write(const uint8_t* data, size_t length, size_t& written) override;
    DWORD Read(uint8_t* buffer, size_t length, size_t& count) override;
    DWORD PurgeReceive() override;
    size_t BytesWaiting() const override { return m_received.size(); }

private:
    void Deliver(const std::string& bytes);

    CHostileScript& m_script;
    WriteObserver m_observer;
    std::function<void()> m_callback;
    std::deque<uint8_t> m_received;
    std::vector<MessageLoop::CallId> m_calls;
};
