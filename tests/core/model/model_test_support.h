// Small parts the model tests share: a window that records what it is sent, a settings
// store whose writes can be made to fail, and a serial device that records what the
// port asks of it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/serial/serial_device.h"
#include "platform/message_window.h"
#include "platform/settings_store.h"
#include "platform/win_types.h"

struct ReceivedMessage {
    UINT message;
    WPARAM wParam;
    bool operator==(const ReceivedMessage& other) const
    {
        return message == other.message && wParam == other.wParam;
    }
};

// An observer window. Each message is recorded; an optional hook runs inside the
// handler, where an observer of the program reads the value back.
class CRecordingWindow {
public:
    CRecordingWindow();
    HWND Handle() const { return m_window.Handle(); }
    const std::vector<ReceivedMessage>& Messages() const { return m_messages; }
    size_t Count(UINT message) const;
    // The wParam of each message of this kind, in arrival order.
    std::vector<WPARAM> Params(UINT message) const;
    void Clear() { m_messages.clear(); }
    std::function<void(UINT message, WPARAM wParam)> onMessage;

private:
    std::vector<ReceivedMessage> m_messages;
    CMessageWindow m_window;
};

// Over the in-memory store. While failCode is non-zero writes fail with it, once
// failAfterWrites further writes have succeeded (at once when the count is -1).
class CFailingSettingsStore : public ISettingsStore {
public:
    CFailingSettingsStore() : m_inner(CreateMemorySettingsStore()) {}

    DWORD ReadValue(const std::wstring& subKey, const std::wstring& name, DWORD& type,
                    std::vector<uint8_t>& data) override
    {
        return m_inner->ReadValue(subKey, name, type, data);
    }
    DWORD WriteValue(const std::wstring& subKey, const std::wstring& name, DWORD type,
                     const std::vector<uint8_t>& data) override
    {
        if (failCode != 0 && failAfterWrites <= 0)
            return failCode;
        if (failAfterWrites > 0)
            --failAfterWrites;
        DWORD rc = m_inner->WriteValue(subKey, name, type, data);
        if (rc == 0) {
            ++m_writes;
            written.push_back(name);
        }
        return rc;
    }
    DWORD DeleteValue(const std::wstring& subKey, const std::wstring& name) override
    {
        return m_inner->DeleteValue(subKey, name);
    }

    DWORD failCode = 0;
    int failAfterWrites = -1;  // -1: the count does not apply
    std::vector<std::wstring> written;

private:
    std::unique_ptr<ISettingsStore> m_inner;
};

// What the model asked of the port's device.
struct FakeDeviceLog {
    std::vector<DWORD> rates;
    std::string written;
    int purges = 0;
    DWORD failRate = 0;  // SetBaudRate of this rate fails with ERROR_GEN_FAILURE
};

class CFakeSerialDevice : public ISerialDevice {
public:
    explicit CFakeSerialDevice(std::shared_ptr<FakeDeviceLog> log) : m_log(std::move(log)) {}
    void SetBytesWaitingCallback(std::function<void()>) override {}
    DWORD SetBaudRate(DWORD rate) override
    {
        if (rate == m_log->failRate)
            return ERROR_GEN_FAILURE;
        m_log->rates.push_back(rate);
        return 0;
    }
    DWORD Write(const uint8_t* data, size_t length, size_t& written) override
    {
        m_log->written.append(reinterpret_cast<const char*>(data), length);
        written = length;
        return 0;
    }
    DWORD Read(uint8_t*, size_t, size_t& count) override
    {
        count = 0;
        return 0;
    }
    DWORD PurgeReceive() override
    {
        ++m_log->purges;
        return 0;
    }
    size_t BytesWaiting() const override { return 0; }

private:
    std::shared_ptr<FakeDeviceLog> m_log;
};

// Registers a fake device under a name for the life of the object.
class CFakeDeviceRegistration {
public:
    explicit CFakeDeviceRegistration(const std::wstring& name);
    ~CFakeDeviceRegistration();
    const std::wstring& Name() const { return m_name; }
    std::shared_ptr<FakeDeviceLog> log = std::make_shared<FakeDeviceLog>();

private:
    std::wstring m_name;
};
