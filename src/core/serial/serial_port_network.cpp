// The network device: a serial port at a server, reached by TCP, either raw
// ("socket://") or through Telnet with COM Port Control ("rfc2217://"), whose bytes
// CTelnetPortControl turns into serial data and back. Only the user-interface thread
// reads the socket; the listener thread only looks whether bytes wait, so the reads,
// the Telnet state and the data not yet taken belong to one thread.
#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

#include "core/serial/listener_pacer.h"
#include "core/serial/network_port_name.h"
#include "core/serial/serial_port_device.h"
#include "core/serial/tcp_link.h"
#include "core/serial/telnet_port_control.h"
#include "core/text/app_messages.h"
#include "core/text/error_codes.h"

namespace {

constexpr DWORD kConnectTimeoutMs = 4000;
// How long the server has to answer the opening negotiation and each rate change.
constexpr DWORD kAnswerTimeoutMs = 3000;
// As in the terminal device: a write the server does not take in this time (plus twice
// its line time) fails rather than hang the user-interface thread.
constexpr DWORD kWriteSlackMs = 2000;
constexpr int kUnreadTickMs = 10;
constexpr size_t kReceiveChunk = 4096;

class CNetworkSerialDevice final : public CSerialPort::Device {
public:
    CNetworkSerialDevice() : m_link(CTcpLink::Create()) {}
    ~CNetworkSerialDevice() override
    {
        if (m_listener.joinable()) {
            BeginStop();
            FinishStop();
        }
    }

    DWORD CreateEvents() override { return m_link->CreateSignals(); }

    DWORD OpenHandle(const std::wstring& name) override
    {
        CNetworkPortName address;
        if (!ParseNetworkPortName(name, address))
            return ERROR_INVALID_NAME;
        m_telnet = address.telnet;
        const DWORD code = m_link->Connect(address.host, address.port, kConnectTimeoutMs);
        if (code || !m_telnet)
            return code;
        CTelnetPortControl::Bytes out;
        m_control.Start(out);
        return SendAll(out);
    }

    // For Telnet: the server must answer the negotiation, or it is no Telnet server.
    DWORD GetProperties() override
    {
        if (!m_telnet)
            return 0;
        const DWORD code = ReceiveUntil([this] {
            return m_control.TelnetSeen() && m_control.ComPortState() != CTelnetPortControl::ComPort::Unanswered;
        });
        if (code)
            return code;
        return m_control.TelnetSeen() ? 0 : Zr8Error::NotTelnetServer;
    }

    DWORD SetupQueues(DWORD, DWORD) override { return 0; }
    DWORD GetState() override { return 0; }

    DWORD SetState(DWORD baudRate) override
    {
        m_rate = baudRate;
        if (!m_telnet || m_control.ComPortState() != CTelnetPortControl::ComPort::Accepted)
            return 0;  // the rate is the server's to set
        CTelnetPortControl::Bytes out;
        m_control.SetLine(baudRate, out);
        const unsigned answers = m_control.RateAnswers();
        DWORD code = SendAll(out);
        if (!code)
            code = ReceiveUntil([&] { return m_control.RateAnswers() != answers; });
        if (code)
            return code;
        // A server that refuses the rate says which one the line keeps: wrong is a
        // failure, right (or unsaid) is enough.
        const uint32_t reported = m_control.ReportedRate();
        if (m_control.RateAnswers() != answers && reported != 0 && reported != baudRate)
            return ERROR_INVALID_PARAMETER;
        return 0;
    }

    DWORD SetTimeouts() override { return 0; }
    DWORD SetEventMask() override { return 0; }

    DWORD StartListener(const CListenerLink& link) override
    {
        m_stopping = false;
        try {
            m_listener = std::thread([this, link] { Listen(link); });
        } catch (const std::system_error&) {
            return ERROR_NOT_ENOUGH_MEMORY;
        }
        return 0;
    }

    bool ListenerRunning() const override { return m_listener.joinable(); }

    DWORD BeginStop() override
    {
        m_stopping = true;
        return 0;
    }

    void FinishStop() override
    {
        m_link->SignalStop();
        if (m_listener.joinable())
            m_listener.join();
        m_link->ResetStop();
        m_stopping = false;
    }

    bool HandleOpen() const override { return m_link->Connected(); }
    void CloseHandle() override { m_link->Disconnect(); }
    void CloseEvents() override { m_link->CloseSignals(); }

    DWORD Purge() override
    {
        DWORD code = ReceiveAvailable();
        m_data.clear();
        m_dataStart = 0;
        m_dataWaiting = 0;
        if (code || !m_telnet || m_control.ComPortState() != CTelnetPortControl::ComPort::Accepted)
            return code;
        CTelnetPortControl::Bytes out;
        m_control.PurgeReceive(out);
        return SendAll(out);
    }

    DWORD Write(const void* data, DWORD length, DWORD& written) override
    {
        written = 0;
        const auto* bytes = static_cast<const uint8_t*>(data);
        CTelnetPortControl::Bytes encoded;
        if (m_telnet)
            CTelnetPortControl::Encode(bytes, length, encoded);
        else
            encoded.assign(bytes, bytes + length);
        const DWORD code = SendAll(encoded, &m_rate);
        if (code == 0 && !m_stopAbortedWrite)
            written = length;
        m_stopAbortedWrite = false;
        return code;
    }

    DWORD Read(void* buffer, DWORD length, DWORD& count) override
    {
        count = 0;
        if (DataLeft() == 0) {
            const DWORD code = ReceiveAvailable();
            if (code && DataLeft() == 0)
                return code;
        }
        const size_t n = std::min<size_t>(length, DataLeft());
        std::copy_n(m_data.begin() + static_cast<std::ptrdiff_t>(m_dataStart), n, static_cast<uint8_t*>(buffer));
        m_dataStart += n;
        if (m_dataStart == m_data.size()) {
            m_data.clear();
            m_dataStart = 0;
        }
        m_dataWaiting = DataLeft();
        count = static_cast<DWORD>(n);
        return 0;
    }

    DWORD ClearErrors(DWORD& errors) override
    {
        errors = 0;
        return 0;
    }

    void EventHandled() override { m_link->SignalHandled(); }

private:
    size_t DataLeft() const { return m_data.size() - m_dataStart; }

    // Takes in what the socket holds now: data into m_data, Telnet answers sent back.
    DWORD ReceiveAvailable()
    {
        uint8_t chunk[kReceiveChunk];
        for (;;) {
            size_t got = 0;
            const DWORD code = m_link->Receive(chunk, sizeof chunk, got);
            if (code || got == 0)
                return code;
            if (!m_telnet) {
                m_data.insert(m_data.end(), chunk, chunk + got);
            } else {
                CTelnetPortControl::Bytes answers;
                m_control.Receive(chunk, got, m_data, answers);
                const DWORD sendCode = SendAll(answers);
                if (sendCode)
                    return sendCode;
            }
            m_dataWaiting = DataLeft();
        }
    }

    template <typename Done>
    DWORD ReceiveUntil(Done done)
    {
        const DWORD start = GetTickCount();
        for (;;) {
            const DWORD code = ReceiveAvailable();
            if (code)
                return code;
            const DWORD elapsed = GetTickCount() - start;
            if (done() || elapsed >= kAnswerTimeoutMs)
                return 0;
            const CTcpLink::Wake wake = m_link->Wait(true, false, false, static_cast<int>(kAnswerTimeoutMs - elapsed));
            if (wake == CTcpLink::Wake::Failed || wake == CTcpLink::Wake::Closed)
                return ERROR_ACCESS_DENIED;
        }
    }

    // Sends every byte, waiting for room in the socket's queue; the stop signal ends
    // the wait early (m_stopAbortedWrite).
    DWORD SendAll(const CTelnetPortControl::Bytes& bytes, const DWORD* lineRate = nullptr)
    {
        const DWORD rate = lineRate && *lineRate ? *lineRate : CSerialPort::kDefaultBaudRate;
        const DWORD limitMs = kWriteSlackMs + static_cast<DWORD>(uint64_t{bytes.size()} * 20000 / rate);
        const DWORD start = GetTickCount();
        size_t done = 0;
        while (done < bytes.size()) {
            size_t sent = 0;
            const DWORD code = m_link->Send(bytes.data() + done, bytes.size() - done, sent);
            if (code)
                return code;
            done += sent;
            if (done == bytes.size())
                break;
            const DWORD elapsed = GetTickCount() - start;
            if (elapsed >= limitMs)
                return ERROR_TIMEOUT;
            switch (m_link->Wait(false, true, false, static_cast<int>(limitMs - elapsed))) {
            case CTcpLink::Wake::Stop: m_stopAbortedWrite = true; return 0;
            case CTcpLink::Wake::Failed: return ERROR_ACCESS_DENIED;
            default: break;
            }
        }
        return 0;
    }

    void Listen(const CListenerLink& link)
    {
        CListenerPacer pacer;
        while (!m_stopping) {
            const uint64_t readTotal = link.inputTaken->load();
            size_t onSocket = 0;
            if (!m_link->Pending(onSocket)) {
                link.relay->PostHangUp(link.session);
                return;
            }
            const uint64_t waiting = onSocket + m_dataWaiting.load();
            CTcpLink::Wake wake;
            if (waiting == 0) {
                pacer.Mark(0, readTotal);
                wake = m_link->Wait(true, false, false, -1);
            } else if (pacer.ShouldPost(waiting, readTotal)) {
                pacer.Mark(waiting, readTotal);
                if (link.relay->PostEvent(link.session, MAKEWPARAM(kEventRxChar, 0)))
                    wake = m_link->Wait(false, false, true, -1);
                else
                    wake = m_link->Wait(false, false, false, kUnreadTickMs);
            } else {
                wake = m_link->Wait(false, false, false, kUnreadTickMs);
            }
            if (wake == CTcpLink::Wake::Stop || m_stopping)
                return;
            if (wake == CTcpLink::Wake::Failed || wake == CTcpLink::Wake::Closed) {
                link.relay->PostHangUp(link.session);
                return;
            }
        }
    }

    std::unique_ptr<CTcpLink> m_link;
    CTelnetPortControl m_control;
    bool m_telnet = false;
    DWORD m_rate = 0;
    bool m_stopAbortedWrite = false;
    std::vector<uint8_t> m_data;  // serial data received and not yet read
    size_t m_dataStart = 0;
    std::atomic<size_t> m_dataWaiting{0};  // DataLeft(), for the listener
    std::atomic<bool> m_stopping{false};
    std::thread m_listener;
};

}  // namespace

std::unique_ptr<CSerialPort::Device> CreateNetworkSerialDevice()
{
    return std::make_unique<CNetworkSerialDevice>();
}
