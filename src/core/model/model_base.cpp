#include "core/model/model_base.h"

#include "core/model/contact_state_machine.h"
#include "core/statemachine/state_machine.h"
#include "core/text/app_messages.h"
#include "core/text/string_table.h"
#include "platform/folders.h"
#include "platform/wide_format.h"

namespace {

// String table entries of the model's texts.
constexpr UINT kIdsWaitingForFirmwareLoad = 10116;  // "%s waiting for firmware load"
constexpr UINT kIdsMcuVersion = 10122;              // "%s MCU version %s"
constexpr UINT kIdsVersionNotRead = 10134;          // "??.??"
constexpr UINT kIdsVersionLoading = 10136;          // "Loading"
constexpr UINT kIdsVersionNotAvailable = 10140;     // " N/A "
constexpr UINT kIdsOnPortAtRate = 14560;            // " on %s at %u bit/s"

constexpr UINT kNoMessage = 0;

}  // namespace

CModelBase::CModelBase(std::unique_ptr<ISettingsStore> store)
    : m_activePage(kNoMessage, 0, L"ActivePage"),
      m_advancedMode(WM_APP_ADVANCED_MODE, 0, L"AdvancedMode"),
      m_device(kNoMessage, DeviceNone),
      m_firmwareFolder(WM_APP_FIRMWARE_FOLDER, std::wstring(), L"FirmwareFolder"),
      m_firmwareLoadRetryLimit(kNoMessage, kDefaultFirmwareLoadRetryLimit, L"FirmwareLoadRetryLimit"),
      m_firmwareStatus(WM_APP_FIRMWARE_STATUS, FirmwareStatusNone),
      m_mcuVersion(WM_APP_MCU_VERSION, kMcuVersionNotRead),
      m_completionEvent(WM_APP_MACHINE_DONE),
      m_serialNumber(WM_APP_SERIAL_NUMBER, kSerialNumberNone),
      m_port(WM_APP_PORT, std::wstring(), L"Port"),
      m_speed(WM_APP_SPEED, this),
      m_portOpenStatus(WM_APP_PORT_OPEN_STATUS, -1),
      m_trace(kNoMessage, 0, L"Trace"),
      m_verboseLogging(kNoMessage, 0, L"VerboseLogging"),
      m_settingsKey(std::move(store)),
      m_persistables{&m_activePage, &m_advancedMode,   &m_firmwareFolder, &m_firmwareLoadRetryLimit,
                     &m_port,       &m_trace,          &m_verboseLogging}
{
    // The port first: the contact machine talks through it from its first state on.
    m_serialPort = std::make_unique<CSerialPort>();
    m_contactMachine = std::make_unique<CContactStateMachine>(*this);
}

CModelBase::~CModelBase()
{
    // No announcements here: at exit the observers' windows are already gone.
    m_contactMachine.reset();
    if (m_serialPort)
        m_serialPort->Close();
    m_serialPort.reset();
}

void CModelBase::ClosePort()
{
    m_serialPort->Close();
    m_portOpenStatus.Set(-1);
    ResetDeviceInfo();
}

BOOL CModelBase::PurgeReceive()
{
    return m_serialPort->PurgeReceive();
}

void CModelBase::ResetDeviceInfo()
{
    m_mcuVersion.Set(kMcuVersionNotRead);
    m_serialNumber.Set(kSerialNumberNone);
    m_firmwareStatus.Set(FirmwareStatusNone);
}

std::wstring CModelBase::McuVersionStatusText()
{
    return FormatW(LoadStringText(kIdsMcuVersion).c_str(), kModelName, FirmwareVersionText().c_str()) +
           PortAtRateText();
}

bool CModelBase::IsPortOpen()
{
    return m_portOpenStatus.Get() == 0;
}

void CModelBase::LoadSettings()
{
    // A value missing from the store keeps its default; that is not worth a report.
    for (IPersistable* value : m_persistables)
        value->Load(m_settingsKey);

    const std::wstring folder = DefaultFirmwareFolder();
    if (m_firmwareFolder.Get().empty())
        m_firmwareFolder.Set(folder);
}

bool CModelBase::SaveSettings()
{
    return SaveSettingsExcept(nullptr);
}

bool CModelBase::SaveSettingsExcept(const IPersistable* kept)
{
    // A failed write keeps its stored copy, so the next save tries again.
    for (IPersistable* value : m_persistables)
        if (value != kept)
            value->Save(m_settingsKey);
    return true;
}

BOOL CModelBase::WriteText(const wchar_t* text)
{
    return m_serialPort->WriteText(text);
}

BOOL CModelBase::WriteBytes(const void* buffer, DWORD length)
{
    return m_serialPort->WriteBytes(buffer, length);
}

DWORD CModelBase::OpenSerialPort(const std::wstring& name)
{
    const DWORD rc = m_serialPort->Open(name);
    m_portOpenStatus.Set(rc == 0 ? 0 : -1);
    SetLastError(rc);  // the observers may have used the last error meanwhile
    return rc;
}

void CModelBase::SetWindow(HWND window)
{
    m_mainWindow = window;
    m_serialPort->SetNotifyWindow(window);
}

bool CModelBase::SetBaudRate(DWORD rate)
{
    if (!m_serialPort->IsOpen())
        return false;
    if (rate == m_serialPort->BaudRate())
        return true;
    if (CSerialPort::IsAcceptedBaudRate(rate))
        m_serialPort->SetBaudRate(rate);  // reports a failure itself and keeps the old rate
    if (m_serialPort->BaudRate() != rate)
        return false;
    return PurgeReceive() != FALSE;
}

std::wstring CModelBase::FirmwareVersionText() const
{
    const unsigned version = m_mcuVersion.Get();
    switch (version) {
    case kMcuVersionNotRead:
        return LoadStringText(kIdsVersionNotRead);
    case kMcuVersionNotAvailable:
        return LoadStringText(kIdsVersionNotAvailable);
    case kMcuVersionLoading:
        return LoadStringText(kIdsVersionLoading);
    default:
        return FormatW(L"%02u.%02u", version / 100, version % 100);
    }
}

std::wstring CModelBase::WaitingText() const
{
    return FormatW(LoadStringText(kIdsWaitingForFirmwareLoad).c_str(), kModelName) + PortAtRateText();
}

std::wstring CModelBase::PortAtRateText() const
{
    return FormatW(LoadStringText(kIdsOnPortAtRate).c_str(), m_serialPort->PortName().c_str(),
                   static_cast<unsigned>(m_serialPort->BaudRate()));
}

std::wstring CModelBase::DefaultFirmwareFolder() const
{
    std::wstring base = Folders::AppData();
    if (base.empty())
        base = Folders::Documents();
    if (base.empty())
        return std::wstring();

    // Creation failures are not fatal here: the firmware page reports a folder it
    // cannot read when it scans it.
    const std::wstring maker = Folders::Join(base, L"Orvandel");
    Folders::CreateFolder(maker);
    const std::wstring firmware = Folders::Join(maker, FormatW(L"%s Firmware", kModelName));
    Folders::CreateFolder(firmware);
    return firmware;
}

bool CModelBase::IsAllIdle() const
{
    if (!m_contactMachine->IsIdle())
        return false;
    return m_attachedOperation == nullptr || m_attachedOperation->IsIdle();
}

namespace {

IStateMachine* BusyMachine(IStateMachine* contact, IStateMachine* attached)
{
    if (!contact->IsIdle())
        return contact;
    if (attached != nullptr && !attached->IsIdle())
        return attached;
    return nullptr;
}

}  // namespace

bool CModelBase::RoutePortEvent(UINT message, WPARAM wParam, LPARAM lParam)
{
    IStateMachine* machine = BusyMachine(m_contactMachine.get(), m_attachedOperation);
    if (machine == nullptr)
        return false;
    BOOL handled = TRUE;
    machine->OnPortEvent(message, wParam, lParam, handled);
    return true;
}

bool CModelBase::RouteTimer(UINT message, WPARAM wParam, LPARAM lParam)
{
    IStateMachine* machine = BusyMachine(m_contactMachine.get(), m_attachedOperation);
    if (machine == nullptr)
        return false;
    BOOL handled = TRUE;
    machine->OnTimer(message, wParam, lParam, handled);
    return true;
}
