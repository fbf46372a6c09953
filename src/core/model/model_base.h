// CModelBase: the one object every window and state machine shares: the persisted
// settings, the serial port, what is known of the connected radio, the contact
// machine, and the routing bookkeeping. CModel adds what is particular to the ZR8.
// The programs create one (GetModel(), a function-local static); tests construct
// their own over an in-memory settings store.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/model/app_info.h"
#include "core/model/observable.h"
#include "core/model/persistable.h"
#include "core/model/radio_types.h"
#include "core/model/serial_port_speed_value.h"
#include "core/serial/serial_port.h"
#include "platform/win_types.h"

class CContactStateMachine;
class IStateMachine;

class CModelBase {
public:
    explicit CModelBase(std::unique_ptr<ISettingsStore> store);
    virtual ~CModelBase();
    CModelBase(const CModelBase&) = delete;
    CModelBase& operator=(const CModelBase&) = delete;

    virtual void ClosePort();
    virtual BOOL PurgeReceive();
    virtual void ResetDeviceInfo();
    virtual std::wstring McuVersionStatusText();
    virtual bool IsPortOpen();
    virtual bool IsExpectedDevice() = 0;
    virtual void LoadSettings();
    virtual bool SaveSettings();
    virtual BOOL WriteText(const wchar_t* text);
    virtual BOOL WriteBytes(const void* buffer, DWORD length);

    DWORD OpenSerialPort(const std::wstring& name);
    void SetWindow(HWND window);
    HWND MainWindow() const { return m_mainWindow; }
    bool SetBaudRate(DWORD rate);
    std::wstring FirmwareVersionText() const;
    std::wstring WaitingText() const;
    std::wstring DefaultFirmwareFolder() const;
    bool IsAllIdle() const;

    // Routing of port events and timer ticks: to the contact machine when busy, else
    // to the attached operation when busy. False when nobody took the message.
    bool RoutePortEvent(UINT message, WPARAM wParam, LPARAM lParam);
    bool RouteTimer(UINT message, WPARAM wParam, LPARAM lParam);

    CSerialPort& SerialPort() { return *m_serialPort; }
    CContactStateMachine& ContactMachine() { return *m_contactMachine; }
    IStateMachine* AttachedOperation() const { return m_attachedOperation; }
    void AttachOperation(IStateMachine* machine) { m_attachedOperation = machine; }
    void DetachOperation() { m_attachedOperation = nullptr; }
    ISettingsStore& SettingsStore() { return m_settingsKey.Store(); }

    // Members, in the documented order.
    CPersistable<int, 1> m_activePage;
    CPersistable<unsigned long, 1> m_advancedMode;
    CObservable<OrvandelDevice, 1> m_device;
    CPersistable<std::wstring, 1> m_firmwareFolder;
    CPersistable<unsigned long, 1> m_firmwareLoadRetryLimit;
    CObservable<FirmwareStatusEnum, 1> m_firmwareStatus;
    CObservable<unsigned short, 1> m_mcuVersion;
    CEventSource m_completionEvent;
    CObservable<unsigned short, 1> m_serialNumber;
    CPersistable<std::wstring, 1> m_port;
    CSerialPortSpeedValue<CModelBase> m_speed;
    CObservable<int, 1> m_portOpenStatus;
    CPersistable<int, 1> m_trace;
    CPersistable<int, 1> m_verboseLogging;

protected:
    CAppInfoT<CModelBase> m_settingsKey;
    HWND m_mainWindow = nullptr;
    std::unique_ptr<CContactStateMachine> m_contactMachine;
    IStateMachine* m_attachedOperation = nullptr;
    std::vector<IPersistable*> m_persistables;
    std::unique_ptr<CSerialPort> m_serialPort;
};

class CModel : public CModelBase {
public:
    explicit CModel(std::unique_ptr<ISettingsStore> store);
    ~CModel() override;
    bool IsExpectedDevice() override;  // DeviceZR8 or DeviceNone
};

// The process-wide model of the programs, over the platform's settings store.
CModel& GetModel();
