// A registered in-process device (the simulated radio) under CSerialPort. There is no
// thread: the device calls back on the loop thread when bytes arrive, and this side
// posts to the port's relay the same one-in-flight way the OS listeners do.
#include <utility>

#include "core/serial/listener_pacer.h"
#include "core/serial/serial_port_device.h"
#include "core/text/app_messages.h"

namespace {

class CInProcessPortDevice final : public CSerialPort::Device {
public:
    explicit CInProcessPortDevice(std::unique_ptr<ISerialDevice> device) : m_device(std::move(device)) {}
    ~CInProcessPortDevice() override { CloseHandle(); }

    DWORD CreateEvents() override { return 0; }
    DWORD OpenHandle(const std::wstring&) override
    {
        m_open = m_device != nullptr;
        return m_open ? 0 : static_cast<DWORD>(ERROR_FILE_NOT_FOUND);
    }
    DWORD GetProperties() override { return 0; }
    DWORD SetupQueues(DWORD, DWORD) override { return 0; }
    DWORD GetState() override { return 0; }
    DWORD SetState(DWORD baudRate) override { return m_device->SetBaudRate(baudRate); }
    DWORD SetTimeouts() override { return 0; }
    DWORD SetEventMask() override { return 0; }

    DWORD StartListener(const CListenerLink& link) override
    {
        m_link = link;
        m_listening = true;
        m_device->SetBytesWaitingCallback([this] { OnBytesArrived(); });
        if (m_device->BytesWaiting() > 0)
            OnBytesArrived();  // bytes that came before the callback was in place
        return 0;
    }
    bool ListenerRunning() const override { return m_listening; }

    DWORD BeginStop() override
    {
        m_listening = false;
        m_device->SetBytesWaitingCallback(nullptr);
        return 0;
    }
    void FinishStop() override { m_inFlight = false; }

    bool HandleOpen() const override { return m_open; }
    void CloseHandle() override
    {
        if (m_device)
            m_device->SetBytesWaitingCallback(nullptr);
        m_listening = false;
        m_open = false;
        m_device.reset();
    }
    void CloseEvents() override {}

    DWORD Purge() override { return m_device->PurgeReceive(); }

    DWORD Write(const void* data, DWORD length, DWORD& written) override
    {
        size_t count = 0;
        const DWORD code = m_device->Write(static_cast<const uint8_t*>(data), length, count);
        written = static_cast<DWORD>(count);
        return code;
    }

    DWORD Read(void* buffer, DWORD length, DWORD& count) override
    {
        size_t got = 0;
        const DWORD code = m_device->Read(static_cast<uint8_t*>(buffer), length, got);
        count = static_cast<DWORD>(got);
        return code;
    }

    DWORD ClearErrors(DWORD& errors) override
    {
        errors = 0;
        return 0;
    }

    void EventHandled() override
    {
        m_inFlight = false;
        if (!m_listening)
            return;
        const uint64_t waiting = m_device->BytesWaiting();
        const uint64_t readTotal = inputTaken.load();
        const bool calledMeanwhile = m_calledWhileInFlight;
        m_calledWhileInFlight = false;
        if (calledMeanwhile || m_pacer.ShouldPost(waiting, readTotal))
            Post(waiting, readTotal);
        else if (waiting == 0)
            m_pacer.Mark(0, readTotal);
    }

private:
    // The device calls for new bytes and when its line has gone; in both cases the
    // reader must look (a read after a hang-up fails with access denied), so a call
    // posts even when no bytes wait.
    void OnBytesArrived()
    {
        if (!m_listening)
            return;
        if (m_inFlight) {
            m_calledWhileInFlight = true;  // EventHandled posts again
            return;
        }
        Post(m_device->BytesWaiting(), inputTaken.load());
    }

    void Post(uint64_t waiting, uint64_t readTotal)
    {
        m_pacer.Mark(waiting, readTotal);
        m_inFlight = m_link.relay->PostEvent(m_link.session, MAKEWPARAM(kEventRxChar, 0));
    }

    std::unique_ptr<ISerialDevice> m_device;
    CListenerLink m_link;
    CListenerPacer m_pacer;
    bool m_open = false;
    bool m_listening = false;
    bool m_inFlight = false;
    bool m_calledWhileInFlight = false;
};

}  // namespace

std::unique_ptr<CSerialPort::Device> CreateInProcessSerialDevice(std::unique_ptr<ISerialDevice> device)
{
    return std::make_unique<CInProcessPortDevice>(std::move(device));
}
