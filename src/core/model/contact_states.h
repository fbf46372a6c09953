// The states that open the port and identify the radio. The contact machine uses all
// of them; the firmware loader reuses identification, the device check, the version and
// the serial number after it has restarted the radio.
#pragma once

#include <string>

#include "core/model/model_base.h"
#include "core/model/radio_types.h"
#include "core/statemachine/command_states.h"
#include "core/text/error_codes.h"

class CStateHost2;

namespace Contact {
// The answer to "I;", classified by the identification table. Unmatched: DeviceNone
// with FirmwareStatusNone.
struct Identity {
    OrvandelDevice device;
    FirmwareStatusEnum status;
};
Identity IdentifyResponse(const std::wstring& response);
// "RV" (any case) followed by exactly digit digit "." digit digit ";": 01.23 gives 123.
bool ParseMcuVersionResponse(const std::wstring& response, unsigned short& version);
// "SN" (any case) followed by a decimal number 0..65535 up to the first non-digit.
bool ParseSerialNumberResponse(const std::wstring& response, unsigned short& serialNumber);
// Opens the "Port" setting's port with its log lines and port open status. Returns 0 or
// the error code (0xE200000F when no port is chosen).
DWORD OpenConfiguredPort(CStateHost2& host);

constexpr DWORD kIdentifyTimeoutMs = 200;
constexpr DWORD kResponseTimeoutMs = 500;
}  // namespace Contact

template <class T>
class COpenPortState : public CState<T> {
public:
    COpenPortState(T* machine, const wchar_t* name, CState<T>* next) : CState<T>(machine, name, next) {}

    void Enter() override {
        if (this->m_machine->Model().IsPortOpen()) {
            this->Next();
            return;
        }
        this->Complete(Contact::OpenConfiguredPort(*this->m_machine));
    }
};

template <class T>
class CIdentifyState : public CCommandOptionalResponseState<T> {
public:
    CIdentifyState(T* machine, const wchar_t* name, CState<T>* next, CState<T>* alternativeNext,
                   DWORD timeoutMs = Contact::kIdentifyTimeoutMs)
        : CCommandOptionalResponseState<T>(machine, name, next, L"I;", timeoutMs),
          m_alternativeNext(alternativeNext) {}

    // Any answer is accepted; one that matches no row leaves DeviceNone.
    bool ParseResponse() override {
        Contact::Identity identity = Contact::IdentifyResponse(this->m_machine->ReceivedText());
        this->m_machine->SetFirmwareStatusToPublish(identity.status);
        this->m_machine->Model().m_device.Set(identity.device);
        return true;
    }
    void OnTimeout() override {
        this->m_machine->SetFirmwareStatusToPublish(FirmwareStatusNone);
        this->m_machine->Model().m_device.Set(DeviceNone);
        Next();
    }
    // The boot loader's answer leads to the alternative (or ends the machine: the rest
    // is the firmware loader's business); a foreign device ends it with 0xE200004E.
    void Next() override {
        T* machine = this->m_machine;
        if (machine->Model().IsExpectedDevice()) {
            if (machine->FirmwareStatusToPublish() == FirmwareStatusBootLoader)
                machine->TransitionTo(m_alternativeNext ? m_alternativeNext : machine->FinalState());
            else
                CCommandOptionalResponseState<T>::Next();
            return;
        }
        machine->Model().m_device.Set(DeviceNone);
        if (!IsNegative(machine->Result())) machine->SetResult(Zr8Error::UnexpectedDevice);
        machine->TransitionTo(machine->FinalState());
    }

    CState<T>* AlternativeNext() const { return m_alternativeNext; }
    void SetAlternativeNext(CState<T>* state) { m_alternativeNext = state; }

private:
    CState<T>* m_alternativeNext;
};

template <class T>
class CVerifyExpectedDeviceState : public CState<T> {
public:
    CVerifyExpectedDeviceState(T* machine, const wchar_t* name, CState<T>* next)
        : CState<T>(machine, name, next) {}

    void Enter() override {
        if (this->m_machine->Model().IsExpectedDevice())
            this->Next();
        else
            this->Fail(Zr8Error::UnexpectedDevice);
    }
};

template <class T>
class CGetMcuVersionState : public CCommandResponseRetryState<T> {
public:
    CGetMcuVersionState(T* machine, const wchar_t* name, CState<T>* next,
                        DWORD timeoutMs = Contact::kResponseTimeoutMs)
        : CCommandResponseRetryState<T>(machine, name, next, Zr8Error::NoResponseFirmwareVersion, L"RV;",
                                        timeoutMs) {}

    bool ParseResponse() override {
        unsigned short version = 0;
        if (!Contact::ParseMcuVersionResponse(this->m_machine->ReceivedText(), version)) return false;
        this->m_machine->Model().m_mcuVersion.Set(version);
        return true;
    }
    void OnResponseAccepted() override {
        this->m_machine->SetFirmwareStatusToPublish(FirmwareStatusApplication);
        this->Next();
    }
};

template <class T>
class CGetSerialNumberState : public CCommandResponseState<T> {
public:
    CGetSerialNumberState(T* machine, const wchar_t* name, CState<T>* next,
                          DWORD timeoutMs = Contact::kResponseTimeoutMs)
        : CCommandResponseState<T>(machine, name, next, Zr8Error::NoResponseSerialNumber, L"SN;", timeoutMs) {}

    bool ParseResponse() override {
        unsigned short serialNumber = 0;
        if (!Contact::ParseSerialNumberResponse(this->m_machine->ReceivedText(), serialNumber)) return false;
        this->m_machine->Model().m_serialNumber.Set(serialNumber);
        return true;
    }
};
