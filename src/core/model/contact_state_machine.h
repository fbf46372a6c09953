// CContactStateMachine: opens the chosen serial port, polls until the radio answers,
// identifies it, switches its text terminal off, reads the MCU firmware version, checks
// the device kind and reads the serial number. The results land in the model's values.
// The model owns the one instance and starts it without the busy check, at "OpenPort"
// normally or at "FindSpeed" when an operation has restarted the radio.
#pragma once

#include "core/model/contact_states.h"
#include "core/statemachine/find_speed_state.h"
#include "core/statemachine/machine_timer_ids.h"
#include "core/statemachine/state_host.h"
#include "core/statemachine/text_terminal_off_state.h"

class CModelBase;

class CContactStateMachine : public CStateHost<CContactStateMachine> {
public:
    static constexpr UINT_PTR kTimerId = MachineTimer::Contact;

    explicit CContactStateMachine(CModelBase& model);
    ~CContactStateMachine() override;

    void StartOpenPort() { StartAt(&m_openPort); }    // "OpenPort"
    void StartFindSpeed() { StartAt(&m_findSpeed); }  // "FindSpeed": port already open

    // Publishes the firmware status, shows "Unexpected Device" for a foreign device,
    // and tells the completion observers.
    void OnComplete() override;

    CFindSpeedState<CContactStateMachine>& FindSpeedState() { return m_findSpeed; }
    COpenPortState<CContactStateMachine>& OpenPortState() { return m_openPort; }
    CFindSpeedLoopState<CContactStateMachine>& FindSpeedLoopState() { return m_findSpeedLoop; }
    CIdentifyState<CContactStateMachine>& IdentifyState() { return m_identify; }
    CTextTerminalOffState<CContactStateMachine>& TextTerminalOffState() { return m_textTerminalOff; }
    CGetMcuVersionState<CContactStateMachine>& McuVersionState() { return m_mcuVersion; }
    CVerifyExpectedDeviceState<CContactStateMachine>& VerifyDeviceState() { return m_verifyDevice; }
    CGetSerialNumberState<CContactStateMachine>& SerialNumberState() { return m_serialNumber; }

private:
    CFindSpeedState<CContactStateMachine> m_findSpeed;
    COpenPortState<CContactStateMachine> m_openPort;
    CFindSpeedLoopState<CContactStateMachine> m_findSpeedLoop;
    CIdentifyState<CContactStateMachine> m_identify;
    CTextTerminalOffState<CContactStateMachine> m_textTerminalOff;
    CGetMcuVersionState<CContactStateMachine> m_mcuVersion;
    CVerifyExpectedDeviceState<CContactStateMachine> m_verifyDevice;
    CGetSerialNumberState<CContactStateMachine> m_serialNumber;
};
