#include "machine_run.h"

#include <cstdlib>
#include <unistd.h>

#include "config/banner_state_machine.h"
#include "config/config_restore_state_machine.h"
#include "config/config_save_state_machine.h"
#include "core/model/contact_state_machine.h"
#include "core/model/model_base.h"
#include "core/text/app_messages.h"
#include "core/text/error_codes.h"
#include "core/text/system_error_texts.h"
#include "core/text/text_tables.h"
#include "firmware/mcu_loader_state_machine.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/message_window.h"
#include "platform/settings_store.h"
#include "sim/firmware_gen.h"
#include "write_checks.h"

namespace {

const wchar_t kPortName[] = L"HOSTILERADIO";

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// The device the port keeps open: it passes everything to the device of the current run
// (none between runs: writes then vanish, reads find nothing).
class CSwitchedDevice : public ISerialDevice {
public:
    void SetInner(std::unique_ptr<ISerialDevice> inner) {
        m_inner = std::move(inner);
        if (m_inner) m_inner->SetBytesWaitingCallback(m_callback);
    }
    void SetBytesWaitingCallback(std::function<void()> callback) override {
        m_callback = std::move(callback);
        if (m_inner) m_inner->SetBytesWaitingCallback(m_callback);
    }
    DWORD SetBaudRate(DWORD rate) override { return m_inner ? m_inner->SetBaudRate(rate) : 0; }
    DWORD Write(const uint8_t* data, size_t length, size_t& written) override {
        written = length;
        return m_inner ? m_inner->Write(data, length, written) : 0;
    }
    DWORD Read(uint8_t* buffer, size_t length, size_t& count) override {
        count = 0;
        return m_inner ? m_inner->Read(buffer, length, count) : 0;
    }
    DWORD PurgeReceive() override { return m_inner ? m_inner->PurgeReceive() : 0; }
    size_t BytesWaiting() const override { return m_inner ? m_inner->BytesWaiting() : 0; }

private:
    std::unique_ptr<ISerialDevice> m_inner;
    std::function<void()> m_callback;
};

struct CHarness {
    std::wstring firmwarePath;
    CSwitchedDevice* device = nullptr;  // owned by the port
    std::unique_ptr<CModel> model;
    CMessageWindow mainWindow;
    CMessageWindow owner;
    std::function<void(DWORD)> onCompletion;
    std::function<void(const std::string&)> onWrite;
};

CHarness* g_harness = nullptr;

}  // namespace

bool CMachineRun::Prepare(std::string& error) {
    MessageLoop::UseVirtualClock(true);
    MessageBoxes::SetHandler([](HWND, const std::wstring&, const std::wstring&, UINT type) {
        return (type & 0xF) == MB_YESNO ? IDNO : IDOK;
    });
    char folder[] = "/tmp/zr8-hostile-XXXXXX";
    if (!mkdtemp(folder)) {
        error = "no temporary folder";
        return false;
    }
    CFirmwareGenOptions firmware;
    firmware.codeEnd = 0x0A00;  // a small file: the packets still cover the whole image
    const std::string path = std::string(folder) + "/" + FirmwareFileName(firmware.version);
    if (!WriteFirmwareFile(path, firmware, error)) return false;

    g_harness = new CHarness;  // lives as long as the process
    CHarness& h = *g_harness;
    h.firmwarePath = Widen(path);
    h.mainWindow.Create([&h](UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_APP_PORT_EVENT) h.model->RoutePortEvent(message, wParam, lParam);
        if (message == WM_TIMER) h.model->RouteTimer(message, wParam, lParam);
        return 0;
    });
    h.owner.Create([&h](UINT message, WPARAM wParam, LPARAM) -> LRESULT {
        if (message == WM_APP_MACHINE_DONE && h.onCompletion) h.onCompletion(DWORD(wParam));
        return 0;
    });
    RegisterSerialDevice(kPortName, [&h]() -> std::unique_ptr<ISerialDevice> {
        auto device = std::make_unique<CSwitchedDevice>();
        h.device = device.get();
        return device;
    });
    h.model = std::make_unique<CModel>(CreateMemorySettingsStore());
    h.model->SetWindow(h.mainWindow.Handle());
    h.model->m_port.Set(kPortName);
    h.model->m_completionEvent.AddObserver(h.owner.Handle());
    if (h.model->OpenSerialPort(kPortName) != 0 || !h.device) {
        error = "the port does not open";
        return false;
    }
    return true;
}

const std::wstring& CMachineRun::FirmwarePath() { return g_harness->firmwarePath; }

std::vector<uint8_t> CMachineRun::StandardEeprom() {
    std::vector<uint8_t> bytes(ConfigFormat::kConfigAreaSize);
    for (size_t a = 0; a < bytes.size(); ++a) bytes[a] = uint8_t(a * 37 + 11);
    return bytes;
}

bool IsKnownResult(DWORD code) {
    if (code == 0) return true;
    if (IsOwnCode(code)) return FindTableText(kMessageTableEntries, kMessageTableSize, code) != nullptr;
    return FindSystemErrorText(code) != nullptr;
}

CMachineOutcome CMachineRun::Run(const CHostileStart& start, const DeviceMaker& makeDevice,
                                 const std::function<bool()>& deviceDone) {
    CHarness& h = *g_harness;
    CModel& model = *h.model;
    CMachineOutcome outcome;
    const std::string banner = kBannerText;
    const std::vector<uint8_t> eeprom = StandardEeprom();
    CRestoreRecords standardRecords;
    for (DWORD a = 0; a < eeprom.size(); ++a) standardRecords.StoreRestoreByte(a, eeprom[a]);

    std::unique_ptr<CMcuLoaderStateMachine> loader;
    std::unique_ptr<CConfigSaveStateMachine> save;
    std::unique_ptr<CConfigRestoreStateMachine> restore;
    std::unique_ptr<CBannerStateMachine> bannerMachine;
    std::unique_ptr<CWriteChecks> checks;

    h.onCompletion = [&](DWORD code) {
        if (outcome.completions++ == 0) outcome.result = code;
    };
    h.onWrite = [&](const std::string& written) {
        ++outcome.writes;
        if (outcome.completions > 0) ++outcome.writesAfterEnd;
        if (outcome.violation.empty() && checks) outcome.violation = checks->Check(written);
    };
    h.device->SetInner(makeDevice([&h](const std::string& written) { h.onWrite(written); }));

    // A radio found at 9600 bit/s, as the contact machine leaves it.
    model.m_trace.Set(start.trace ? 1 : 0);
    model.m_speed.Set(9600);
    model.m_device.Set(DeviceZR8);
    model.m_mcuVersion.Set(123);
    model.m_serialNumber.Set(12345);
    model.m_firmwareStatus.Set(start.knownBootLoader ? FirmwareStatusBootLoader : FirmwareStatusApplication);

    const DWORD started = GetTickCount();
    switch (start.machine) {
    case HostileMachine::Contact:
        checks = std::make_unique<CWriteChecks>(start.machine, nullptr, nullptr, banner);
        model.ResetDeviceInfo();
        model.ContactMachine().StartOpenPort();
        break;
    case HostileMachine::Loader:
        loader = std::make_unique<CMcuLoaderStateMachine>(model, L"MCU", h.firmwarePath);
        checks = std::make_unique<CWriteChecks>(start.machine, &loader->Image(), nullptr, banner);
        model.AttachOperation(loader.get());
        loader->Start(h.owner.Handle());
        break;
    case HostileMachine::Save:
        save = std::make_unique<CConfigSaveStateMachine>(model);
        checks = std::make_unique<CWriteChecks>(start.machine, nullptr, nullptr, banner);
        model.AttachOperation(save.get());
        save->Start(h.owner.Handle());
        break;
    case HostileMachine::Restore:
        restore = std::make_unique<CConfigRestoreStateMachine>(model);
        for (DWORD a = 0; a < eeprom.size(); ++a) restore->Records().StoreRestoreByte(a, eeprom[a]);
        checks = std::make_unique<CWriteChecks>(start.machine, nullptr, &standardRecords, banner);
        model.AttachOperation(restore.get());
        restore->Start(h.owner.Handle());
        break;
    case HostileMachine::BannerWrite:
    case HostileMachine::BannerRead:
    default:
        bannerMachine = std::make_unique<CBannerStateMachine>(model);
        checks = std::make_unique<CWriteChecks>(start.machine, nullptr, nullptr, banner);
        model.AttachOperation(bannerMachine.get());
        if (start.machine == HostileMachine::BannerWrite)
            bannerMachine->StartWrite(h.owner.Handle(), Widen(banner));
        else
            bannerMachine->StartRead(h.owner.Handle());
        break;
    }

    auto ended = [&] { return outcome.completions > 0; };
    MessageLoop::RunUntil([&] { return ended() || deviceDone(); }, kScriptedLimitMs);
    const size_t writesBeforeSilence = outcome.writes;
    if (!ended()) MessageLoop::RunUntil(ended, kSilentLimitMs);
    outcome.finishedInTime = ended();
    CContactStateMachine& contact = model.ContactMachine();
    if (!ended() && start.machine == HostileMachine::Contact &&
        contact.CurrentState() == &contact.FindSpeedLoopState() && outcome.writes > writesBeforeSilence) {
        // Looking for a radio that never answers is no hang: the contact machine polls
        // until one does, and whoever waits gives up, as the command line does.
        outcome.pollingAtEnd = true;
        contact.SetResult(Zr8Error::NoResponseSemicolonPoll);
        contact.TransitionTo(contact.FinalState());
        outcome.finishedInTime = ended();
    }
    outcome.virtualMs = GetTickCount() - started;
    if (ended()) MessageLoop::AdvanceVirtualClock(kAfterEndMs);

    // Back to an idle port with nothing on it for the next run.
    model.DetachOperation();
    loader.reset();
    save.reset();
    restore.reset();
    bannerMachine.reset();
    h.device->SetInner(nullptr);
    model.PurgeReceive();
    MessageLoop::PumpPending();
    h.onCompletion = nullptr;
    h.onWrite = [](const std::string&) {};
    return outcome;
}
