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
#include "core/model/event_source.h"
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
    // Default of "FirmwareLoadRetryLimit": the loader's time-outs per packet.
    static constexpr unsigned long kDefaultFirmwareLoadRetryLimit = 10;

    // A null store means the platform's own (registry or .reg file).
    explicit CModelBase(std::unique_ptr<ISettingsStore> store);
    virtual ~CModelBase();  // closes the port, frees the contact machine and the port
    CModelBase(const CModelBase&) = delete;
    CModelBase& operator=(const CModelBase&) = delete;

    // Closes the port, port open status := -1, then ResetDeviceInfo.
    virtual void ClosePort();
    virtual BOOL PurgeReceive();
    // MCU version := 0, serial number := 0xFFFF, firmware status := none (announced).
    virtual void ResetDeviceInfo();
    // "ZR8 MCU version 01.23 on COM3 at 9600 bit/s"
    virtual std::wstring McuVersionStatusText();
    virtual bool IsPortOpen();  // port open status is 0
    virtual bool IsExpectedDevice() = 0;
    // Loads the seven values in order, then makes sure the default firmware folder
    // exists and uses it when no folder is set.
    virtual void LoadSettings();
    // Saves the seven values in order (each only if changed); failures are silent.
    virtual bool SaveSettings();
    // The same, leaving one value as it is stored (a value this run was given, not chosen).
    bool SaveSettingsExcept(const IPersistable* kept);
    virtual BOOL WriteText(const wchar_t* text);
    virtual BOOL WriteBytes(const void* buffer, DWORD length);

    // The port's Open; port open status := 0 on success, else -1. Returns the port's
    // code (also left as the last error).
    DWORD OpenSerialPort(const std::wstring& name);
    // The main frame: target of the port's notifications, owner of all machine timers.
    void SetWindow(HWND window);
    HWND MainWindow() const { return m_mainWindow; }
    // False when the port is not open or the rate could not be applied; true when the
    // port now runs at the rate and its receive queue was purged.
    bool SetBaudRate(DWORD rate);
    // "??.??", " N/A ", "Loading" or "%02u.%02u"
    std::wstring FirmwareVersionText() const;
    // "ZR8 waiting for firmware load on COM3 at 9600 bit/s"
    std::wstring WaitingText() const;
    // <application data>/Orvandel/ZR8 Firmware, both folders created; empty when the
    // system names no application-data or documents folder.
    std::wstring DefaultFirmwareFolder() const;
    // The contact machine is idle and so is the attached operation, if any.
    bool IsAllIdle() const;

    // Routing of port events and timer ticks: to the contact machine when busy, else
    // to the attached operation when busy. False when nobody took the message (the
    // main frame then hands it to the page on show).
    bool RoutePortEvent(UINT message, WPARAM wParam, LPARAM lParam);
    bool RouteTimer(UINT message, WPARAM wParam, LPARAM lParam);

    CSerialPort& SerialPort() { return *m_serialPort; }
    const CSerialPort& SerialPort() const { return *m_serialPort; }
    CContactStateMachine& ContactMachine() { return *m_contactMachine; }
    IStateMachine* AttachedOperation() const { return m_attachedOperation; }
    void AttachOperation(IStateMachine* machine) { m_attachedOperation = machine; }
    void DetachOperation() { m_attachedOperation = nullptr; }
    // The key holder other parts load and save their own values with (macros, folders).
    CAppInfoBase& SettingsKey() { return m_settingsKey; }
    ISettingsStore& SettingsStore() { return m_settingsKey.Store(); }
    const std::vector<IPersistable*>& Persistables() const { return m_persistables; }

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

private:
    std::wstring PortAtRateText() const;
};

class CModel : public CModelBase {
public:
    explicit CModel(std::unique_ptr<ISettingsStore> store);
    ~CModel() override;
    bool IsExpectedDevice() override;  // DeviceZR8 or DeviceNone
};

// The process-wide model of the programs, over the platform's settings store.
CModel& GetModel();
