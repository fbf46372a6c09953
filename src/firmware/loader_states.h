// The states of the firmware load that talk to the radio's boot loader.
//
// The boot loader takes the image as 68-byte packets (64 image bytes, three address
// bytes, a checksum) into a 68-byte receive buffer and answers each with one letter:
// the acknowledgement ("A", or "B" for the final packet), "N" for a refused packet.
// A packet that was refused too often, or whose answer was lost, may have left the
// buffer out of step with the packets; a resynchronisation then fills the buffer with
// ";" polls until the boot loader refuses the "packet" they make up, and the load
// state sends its packet again into an empty buffer.
#pragma once

#include <string>

#include "core/model/model_base.h"
#include "core/statemachine/command_states.h"
#include "core/text/error_codes.h"
#include "platform/wide_format.h"

namespace Loader {
constexpr DWORD kEnterBootLoaderPauseMs = 2000;
constexpr DWORD kBeginDownloadTimeoutMs = 5000;
constexpr DWORD kPacketTimeoutMs = 2000;
constexpr DWORD kPollTimeoutMs = 100;
constexpr DWORD kPollLimit = 68;  // the size of the boot loader's buffer
constexpr DWORD kWaitResetSeconds = 4;
constexpr DWORD kBaudRate = 9600;
constexpr DWORD kPacketSize = 68;
constexpr DWORD kPacketDataSize = 64;
constexpr DWORD kFirstAddress = 0x0800;
constexpr DWORD kLastAddress = 0xFFFF;

// "%s Send %u bytes 0x%s": the packet as 136 upper-case hexadecimal digits.
std::wstring PacketHex(const uint8_t* packet, size_t size);
}  // namespace Loader

// Sends "LD;", which restarts the radio into its boot loader, and pauses; skipped when
// the radio is known to be in its boot loader already.
template <class T>
class CLoadEnterBootLoaderState : public CCommandDelayState<T> {
public:
    CLoadEnterBootLoaderState(T* machine, const wchar_t* name, CState<T>* next)
        : CCommandDelayState<T>(machine, name, next, Loader::kEnterBootLoaderPauseMs, L"LD;") {}

    void Enter() override {
        if (this->m_machine->Model().m_firmwareStatus.Get() == FirmwareStatusBootLoader)
            this->Next();
        else
            this->Send();
    }
    void OnTimeout() override {
        this->m_machine->Model().m_speed.Set(Loader::kBaudRate);
        this->Next();
    }
};

// Sends "D" and waits for the boot loader to echo it: the download is open.
template <class T>
class CLoadBeginDownloadState : public CCommandResponseState<T> {
public:
    CLoadBeginDownloadState(T* machine, const wchar_t* name, CState<T>* next)
        : CCommandResponseState<T>(machine, name, next, Zr8Error::LoaderNoEchoD, L"D",
                                   Loader::kBeginDownloadTimeoutMs) {}

    std::wstring GetTerminators() override { return L"D"; }
    void OnResponseAccepted() override {
        CModelBase& model = this->m_machine->Model();
        model.m_mcuVersion.Set(kMcuVersionLoading);
        model.m_firmwareStatus.Set(FirmwareStatusBootLoader);
        this->Next();
    }
    void OnTimeout() override {
        this->m_machine->Log(L"%s Bootstrap Loader did not echo \"%s\"\r\nRemove power and retry firmware load",
                             kModelName, L"D");
        this->m_machine->Model().ResetDeviceInfo();
        this->Fail(this->m_errorCode);
    }
};

// What the two load states share: sending a packet, judging its answer, counting
// refusals and time-outs of the packet against the limits.
template <class T>
class CLoadFirmwareState : public CCommandResponseRetryState<T> {
public:
    CLoadFirmwareState(T* machine, const wchar_t* name, CState<T>* next, CState<T>* resync,
                       wchar_t acknowledgement)
        : CCommandResponseRetryState<T>(machine, name, next, Zr8Error::NoResponsePacket, std::wstring(),
                                        Loader::kPacketTimeoutMs),
          m_resync(resync),
          m_acknowledgement(acknowledgement),
          m_terminators{acknowledgement, L'N', L'C'} {}

    std::wstring GetTerminators() override { return m_terminators; }

    void Send() override {
        T* machine = this->m_machine;
        CModelBase& model = machine->Model();
        machine->SetTerminators(m_terminators);
        if (model.m_trace.Get() != 0)
            machine->Trace(L"%s Send %u bytes 0x%s", this->m_name, unsigned(Loader::kPacketSize),
                           Loader::PacketHex(machine->Packet(), Loader::kPacketSize).c_str());
        machine->ClearReceivedText();
        if (!model.PurgeReceive() || !model.WriteBytes(machine->Packet(), Loader::kPacketSize)) {
            machine->SetResult(GetLastError());
            machine->TransitionTo(machine->FinalState());
            return;
        }
        machine->StartTimer(Loader::kPacketTimeoutMs);
    }

    void AcceptResponse() override {
        T* machine = this->m_machine;
        const std::wstring& reply = machine->ReceivedText();
        DWORD& retries = this->m_sendCount;
        if (reply.find(m_acknowledgement) != std::wstring::npos) {
            if (retries != 0) {
                if (machine->FillCount() == 0)
                    machine->Log(L"Retry %u succeeded at address x%04X", unsigned(retries),
                                 unsigned(machine->LoadAddress()));
                else
                    machine->Log(L"Retry %u successful at address x%04X, %u fill bytes", unsigned(retries),
                                 unsigned(machine->LoadAddress()), unsigned(machine->FillCount()));
                machine->AddRetries(retries);
                retries = 0;
            }
            machine->SetFillCount(0);
            OnAcknowledged();
            return;
        }
        if (reply.find(L'N') != std::wstring::npos) {
            const DWORD old = retries++;
            if (old == machine->RetryLimit() / 2)
                machine->TransitionTo(m_resync);
            else if (retries < machine->RetryLimit())
                Send();
            else
                this->Fail(Zr8Error::RetryLimitExhausted);
            return;
        }
        // "C", or anything else that is neither taken nor refused: the timer is already
        // stopped and the boot loader will not answer again, so treat it as the lost
        // reply it amounts to rather than wait for ever.
        OnTimeout();
    }

    void OnTimeout() override {
        T* machine = this->m_machine;
        const DWORD old = this->m_sendCount++;
        if (old < machine->Model().m_firmwareLoadRetryLimit.Get())
            machine->TransitionTo(m_resync);
        else
            this->Fail(Zr8Error::NoResponsePacket);
    }

    void Finish() override {
        T* machine = this->m_machine;
        machine->Log(L"Send %s firmware failed at load address x%04X", machine->Name().c_str(),
                     unsigned(machine->LoadAddress()));
        machine->AddRetries(this->m_sendCount);
        this->m_sendCount = 0;
        machine->TransitionTo(machine->FinalState());
    }

    DWORD Retries() const { return this->m_sendCount; }
    CState<T>* ResyncState() const { return m_resync; }
    void SetResyncState(CState<T>* resync) { m_resync = resync; }

protected:
    // The packet was taken: the next packet, or on from the final one.
    virtual void OnAcknowledged() { this->Enter(); }

    CState<T>* m_resync;
    wchar_t m_acknowledgement;
    std::wstring m_terminators;
};

// The image from 0x0800 to 0xFFFF, packet by packet; the first packet carries the
// 0xDE 0xAD marker in place of its first two bytes.
template <class T>
class CLoadFirmwareInitialState : public CLoadFirmwareState<T> {
public:
    CLoadFirmwareInitialState(T* machine, const wchar_t* name, CState<T>* next, CState<T>* resync)
        : CLoadFirmwareState<T>(machine, name, next, resync, L'A') {}

    void Reset() override {
        CLoadFirmwareState<T>::Reset();
        T* machine = this->m_machine;
        machine->SetFillCount(0);
        machine->Log(L"Sending %s firmware file %s", machine->Name().c_str(), machine->FirmwarePath().c_str());
    }

    void Enter() override {
        T* machine = this->m_machine;
        SetLastError(0);
        const DWORD address = machine->LoadAddress();
        if (address > Loader::kLastAddress) {
            this->Next();
            return;
        }
        machine->BuildPacket(address, false);
        machine->AdvanceProgress(Loader::kPacketDataSize);
        machine->SetLoadAddress(address + Loader::kPacketDataSize);
        this->Send();
    }
};

// The block at 0x0800 once more, with its true first bytes and address byte 2: the
// boot loader's sign that the image is complete.
template <class T>
class CLoadFirmwareLastState : public CLoadFirmwareState<T> {
public:
    CLoadFirmwareLastState(T* machine, const wchar_t* name, CState<T>* next, CState<T>* resync)
        : CLoadFirmwareState<T>(machine, name, next, resync, L'B') {}

    void Reset() override {
        CLoadFirmwareState<T>::Reset();
        T* machine = this->m_machine;
        machine->SetFillCount(0);
        m_acknowledged = false;
        machine->BuildPacket(Loader::kFirstAddress, true);
        machine->AdvanceProgress(Loader::kPacketDataSize);
    }

    void Enter() override {
        if (m_acknowledged)
            this->Next();
        else
            this->Send();
    }

protected:
    void OnAcknowledged() override {
        m_acknowledged = true;
        Enter();
    }

private:
    // Judged by the answer itself, not by scanning the received text for a "B" that
    // line noise before an earlier acknowledgement might also have carried.
    bool m_acknowledged = false;
};

// ";" polls until the boot loader refuses the buffer they fill; then back to the load
// state, which sends its packet again.
template <class T>
class CLoadResyncState : public CCommandResponseRetryState<T> {
public:
    CLoadResyncState(T* machine, const wchar_t* name, CLoadFirmwareState<T>* loadState)
        : CCommandResponseRetryState<T>(machine, name, loadState, Zr8Error::NoResponseSyncPoll, L";",
                                        Loader::kPollTimeoutMs),
          m_loadState(loadState) {}

    std::wstring GetTerminators() override { return L"N"; }

    void Reset() override {
        CCommandResponseRetryState<T>::Reset();
        this->m_machine->SetFillCount(1);
    }

    void OnTimeout() override {
        T* machine = this->m_machine;
        const DWORD old = machine->FillCount();
        machine->SetFillCount(old + 1);
        if (old < m_pollLimit)
            this->Send();
        else
            this->Fail(this->m_errorCode);
    }

    void AcceptResponse() override {
        T* machine = this->m_machine;
        machine->Resume(m_loadState);
        m_loadState->Send();
    }

    DWORD PollLimit() const { return m_pollLimit; }
    CLoadFirmwareState<T>* LoadState() const { return m_loadState; }

private:
    DWORD m_pollLimit = Loader::kPollLimit;
    CLoadFirmwareState<T>* m_loadState;
};

// The pause in which the radio restarts into its new firmware.
template <class T>
class CLoadWaitResetState : public CDelayState<T> {
public:
    CLoadWaitResetState(T* machine, const wchar_t* name, CState<T>* next)
        : CDelayState<T>(machine, name, next, Loader::kWaitResetSeconds * 1000) {}

    void Reset() override { this->m_machine->Log(L"Waiting %u seconds for reset", unsigned(Loader::kWaitResetSeconds)); }
};
