#include "config_machine_fixture.h"

#include "core/model/contact_state_machine.h"
#include "core/serial/serial_device.h"
#include "core/statemachine/progress_bar_state_host.h"
#include "core/text/app_messages.h"
#include "platform/message_loop.h"
#include "platform/settings_store.h"
#include "sim/sim_serial_device.h"

namespace {

const wchar_t kPortName[] = L"CONFIGTESTSIM";

// Passes everything on to the radio and keeps a copy of each write.
class CRecordingDevice : public ISerialDevice {
public:
    CRecordingDevice(std::unique_ptr<ISerialDevice> inner, std::vector<std::string>& log)
        : m_inner(std::move(inner)), m_log(log) {}
    void SetBytesWaitingCallback(std::function<void()> callback) override {
        m_inner->SetBytesWaitingCallback(std::move(callback));
    }
    DWORD SetBaudRate(DWORD rate) override { return m_inner->SetBaudRate(rate); }
    DWORD Write(const uint8_t* data, size_t length, size_t& written) override {
        m_log.emplace_back(reinterpret_cast<const char*>(data), length);
        return m_inner->Write(data, length, written);
    }
    DWORD Read(uint8_t* buffer, size_t length, size_t& count) override { return m_inner->Read(buffer, length, count); }
    DWORD PurgeReceive() override { return m_inner->PurgeReceive(); }
    size_t BytesWaiting() const override { return m_inner->BytesWaiting(); }

private:
    std::unique_ptr<ISerialDevice> m_inner;
    std::vector<std::string>& m_log;
};

}  // namespace

ConfigMachineTest::ConfigMachineTest() {
    m_wasVirtual = MessageLoop::IsVirtualClock();
    MessageLoop::UseVirtualClock(true);
    simOptions.baudModel = BaudModel::Line;

    mainWindow.Create([this](UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_APP_PORT_EVENT) model->RoutePortEvent(message, wParam, lParam);
        if (message == WM_TIMER) model->RouteTimer(message, wParam, lParam);
        return 0;
    });
    dialog.Create([this](UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_APP_LOG_TEXT) lines.push_back(reinterpret_cast<const wchar_t*>(lParam));
        if (message == WM_APP_STATUS_TEXT) logLines.push_back(reinterpret_cast<const wchar_t*>(lParam));
        if (message == WM_APP_MACHINE_DONE) completions.push_back(DWORD(wParam));
        return 0;
    });
    progressBar.Create(
        [this](UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message == PBM_SETPOS) progress.push_back(wParam);
            if (message == PBM_SETRANGE) progressRanges.push_back(lParam);
            return 0;
        },
        dialog.Handle(), 16010);

    model = std::make_unique<CModel>(CreateMemorySettingsStore());
    model->SetWindow(mainWindow.Handle());
}

ConfigMachineTest::~ConfigMachineTest() {
    model->ClosePort();
    UnregisterSerialDevice(kPortName);
    model.reset();
    sim.reset();
    MessageLoop::PumpPending();
    MessageLoop::UseVirtualClock(m_wasVirtual);
}

void ConfigMachineTest::Connect() {
    clock = std::make_unique<CLoopClock>();
    sim = std::make_unique<CSimulator>(simOptions, *clock);
    CSimulator* radio = sim.get();
    RegisterSerialDevice(kPortName, [this, radio]() -> std::unique_ptr<ISerialDevice> {
        return std::make_unique<CRecordingDevice>(std::make_unique<CSimSerialDevice>(*radio), writes);
    });
    model->m_port.Set(kPortName);
    model->ContactMachine().StartOpenPort();
    ASSERT_TRUE(MessageLoop::RunUntil([&] { return model->ContactMachine().IsIdle(); }, kLongEnoughMs));
    ASSERT_EQ(model->ContactMachine().Result(), 0u);
    ASSERT_EQ(model->m_firmwareStatus.Get(), FirmwareStatusApplication);
    // From here on the dialog hears the completions, as a dialog that has subscribed.
    model->m_completionEvent.AddObserver(dialog.Handle());
    writes.clear();
}

void ConfigMachineTest::AddFault(const std::string& fault) {
    std::string error;
    ASSERT_TRUE(simOptions.faults.Add(fault, error)) << error;
}

bool ConfigMachineTest::RunToCompletion(DWORD timeoutMs) {
    const size_t before = completions.size();
    return MessageLoop::RunUntil([&] { return completions.size() > before; }, timeoutMs);
}

bool ConfigMachineTest::RunUntilWrites(size_t count, DWORD timeoutMs) {
    return MessageLoop::RunUntil([&] { return writes.size() >= count; }, timeoutMs);
}

size_t ConfigMachineTest::CountWrites(const std::string& prefix) const {
    size_t n = 0;
    for (const std::string& w : writes)
        if (w.compare(0, prefix.size(), prefix) == 0) ++n;
    return n;
}
