#include "loader_fixture.h"

#include <algorithm>

#include "core/statemachine/progress_bar_state_host.h"
#include "core/text/app_messages.h"
#include "platform/message_loop.h"
#include "platform/settings_store.h"
#include "sim/sim_serial_device.h"

namespace {
const wchar_t kPortName[] = L"FWTESTSIM";
}

size_t LinkLog::Packets() const { return PacketWrites().size(); }

std::vector<std::string> LinkLog::PacketWrites() const {
    std::vector<std::string> packets;
    for (const std::string& w : writes)
        if (w.size() == 68) packets.push_back(w);
    return packets;
}

size_t LinkLog::Count(const std::string& text) const { return size_t(std::count(writes.begin(), writes.end(), text)); }

CInterceptingDevice::CInterceptingDevice(std::unique_ptr<ISerialDevice> inner, LinkLog& log,
                                         WriteInterceptor& interceptor)
    : m_inner(std::move(inner)), m_log(log), m_interceptor(interceptor) {}

CInterceptingDevice::~CInterceptingDevice() {
    for (auto id : m_pendingCalls) MessageLoop::CancelCall(id);
}

void CInterceptingDevice::SetBytesWaitingCallback(std::function<void()> callback) {
    m_callback = callback;
    m_inner->SetBytesWaitingCallback(std::move(callback));
}

DWORD CInterceptingDevice::Write(const uint8_t* data, size_t length, size_t& written) {
    const std::string bytes(reinterpret_cast<const char*>(data), length);
    m_log.writes.push_back(bytes);
    std::optional<std::string> answer;
    if (m_interceptor) answer = m_interceptor(bytes);
    if (m_log.failWrites != 0) {
        written = 0;
        return m_log.failWrites;
    }
    if (!answer) return m_inner->Write(data, length, written);
    written = length;
    if (!answer->empty()) {
        // As a radio would: a little after the write, not within it.
        const std::string reply = *answer;
        m_pendingCalls.push_back(MessageLoop::ScheduleCall(2, [this, reply] {
            m_injected.insert(m_injected.end(), reply.begin(), reply.end());
            if (m_callback) m_callback();
        }));
    }
    return 0;
}

DWORD CInterceptingDevice::Read(uint8_t* buffer, size_t length, size_t& count) {
    count = 0;
    while (count < length && !m_injected.empty()) {
        buffer[count++] = m_injected.front();
        m_injected.pop_front();
    }
    if (count == length) return 0;
    size_t more = 0;
    const DWORD rc = m_inner->Read(buffer + count, length - count, more);
    count += more;
    return rc;
}

DWORD CInterceptingDevice::PurgeReceive() {
    m_injected.clear();
    return m_inner->PurgeReceive();
}

LoaderTest::LoaderTest() {
    m_wasVirtual = MessageLoop::IsVirtualClock();
    MessageLoop::UseVirtualClock(true);
    simOptions.baudModel = BaudModel::Line;
    simOptions.flashMs = 8;

    mainWindow.Create([this](UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_APP_PORT_EVENT) model->RoutePortEvent(message, wParam, lParam);
        if (message == WM_TIMER) {
            ticks.push_back(wParam);
            model->RouteTimer(message, wParam, lParam);
        }
        return 0;
    });
    dialog.Create([this](UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_APP_LOG_TEXT) lines.push_back(reinterpret_cast<const wchar_t*>(lParam));
        if (message == WM_APP_MACHINE_DONE) completions.push_back(DWORD(wParam));
        return 0;
    });
    progressBar.Create(
        [this](UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message == PBM_SETPOS) progress.push_back(wParam);
            if (message == PBM_SETRANGE) progressRanges.push_back(lParam);
            return 0;
        },
        dialog.Handle(), CMcuLoaderStateMachine::kProgressBarId);

    model = std::make_unique<CModel>(CreateMemorySettingsStore());
    model->SetWindow(mainWindow.Handle());
    model->m_completionEvent.AddObserver(dialog.Handle());
}

LoaderTest::~LoaderTest() {
    machine.reset();
    model->ClosePort();
    UnregisterSerialDevice(kPortName);
    model.reset();
    sim.reset();
    MessageLoop::PumpPending();
    MessageLoop::UseVirtualClock(m_wasVirtual);
}

void LoaderTest::AddFault(const std::string& fault) {
    std::string error;
    ASSERT_TRUE(simOptions.faults.Add(fault, error)) << error;
}

void LoaderTest::Prepare(const CFirmwareGenOptions& firmware) {
    const std::string name = FirmwareFileName(firmware.version);
    firmwarePath = folder.Write(name, MakeFirmwareHex(firmware));
    clock = std::make_unique<CLoopClock>();
    sim = std::make_unique<CSimulator>(simOptions, *clock);
    CSimulator* radio = sim.get();
    RegisterSerialDevice(kPortName, [this, radio]() -> std::unique_ptr<ISerialDevice> {
        return std::make_unique<CInterceptingDevice>(std::make_unique<CSimSerialDevice>(*radio), link, interceptor);
    });
    model->m_port.Set(kPortName);
    ASSERT_EQ(model->OpenSerialPort(kPortName), 0u);
    machine = std::make_unique<CMcuLoaderStateMachine>(*model, L"MCU", firmwarePath);
}

BOOL LoaderTest::Start() {
    if (!machine) return FALSE;  // Prepare failed and said so
    model->AttachOperation(machine.get());
    return machine->Start(dialog.Handle());
}

bool LoaderTest::RunToCompletion(DWORD timeoutMs) {
    const size_t before = completions.size();
    return MessageLoop::RunUntil([&] { return completions.size() > before; }, timeoutMs);
}

bool LoaderTest::HasLine(const std::wstring& line) const { return LineIndex(line) != std::wstring::npos; }

size_t LoaderTest::LineIndex(const std::wstring& line) const {
    auto it = std::find(lines.begin(), lines.end(), line);
    return it == lines.end() ? std::wstring::npos : size_t(it - lines.begin());
}

std::vector<std::wstring> LoaderTest::LinesStartingWith(const std::wstring& prefix) const {
    std::vector<std::wstring> found;
    for (const std::wstring& l : lines)
        if (l.compare(0, prefix.size(), prefix) == 0) found.push_back(l);
    return found;
}
