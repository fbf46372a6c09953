#include "scripted_link.h"

#include <algorithm>
#include <map>

#include "platform/message_loop.h"

namespace {

class CScriptedDevice : public ISerialDevice {
public:
    explicit CScriptedDevice(std::shared_ptr<CScriptedLink> link) : m_link(std::move(link)) { m_link->open = true; }
    ~CScriptedDevice() override
    {
        m_link->open = false;
        m_link->bytesWaiting = nullptr;
    }

    void SetBytesWaitingCallback(std::function<void()> callback) override { m_link->bytesWaiting = std::move(callback); }
    DWORD SetBaudRate(DWORD rate) override
    {
        m_link->rates.push_back(rate);
        return 0;
    }
    DWORD Write(const uint8_t* data, size_t length, size_t& written) override
    {
        written = 0;
        if (m_link->writeError)
            return m_link->writeError;
        std::string bytes(reinterpret_cast<const char*>(data), length);
        written = length;
        m_link->writes.push_back(bytes);
        if (m_link->onWrite)
            m_link->onWrite(bytes);
        return 0;
    }
    DWORD Read(uint8_t* buffer, size_t length, size_t& count) override
    {
        count = std::min(length, m_link->pending.size());
        std::copy(m_link->pending.begin(), m_link->pending.begin() + count, buffer);
        m_link->pending.erase(0, count);
        return 0;
    }
    DWORD PurgeReceive() override
    {
        ++m_link->purges;
        m_link->pending.clear();
        return 0;
    }
    size_t BytesWaiting() const override { return m_link->pending.size(); }

private:
    std::shared_ptr<CScriptedLink> m_link;
};

}  // namespace

void CScriptedLink::Deliver(const std::string& bytes)
{
    if (!open)
        return;
    pending += bytes;
    if (bytesWaiting)
        bytesWaiting();
}

void CScriptedLink::DeliverAfter(DWORD delayMs, const std::string& bytes)
{
    MessageLoop::ScheduleCall(delayMs, [self = shared_from_this(), bytes] { self->Deliver(bytes); });
}

void CScriptedLink::AnswerAlways(const std::string& command, const std::string& reply, DWORD delayMs)
{
    auto previous = onWrite;
    onWrite = [this, previous, command, reply, delayMs](const std::string& written) {
        if (written == command)
            DeliverAfter(delayMs, reply);
        else if (previous)
            previous(written);
    };
}

CScriptedPortRegistration::CScriptedPortRegistration(std::shared_ptr<CScriptedLink> link)
{
    RegisterSerialDevice(kScriptedPortName, [link] { return std::make_unique<CScriptedDevice>(link); });
}

CScriptedPortRegistration::~CScriptedPortRegistration()
{
    UnregisterSerialDevice(kScriptedPortName);
}

size_t CountWrites(const CScriptedLink& link, const std::string& text)
{
    return static_cast<size_t>(std::count(link.writes.begin(), link.writes.end(), text));
}
