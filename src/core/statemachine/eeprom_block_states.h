// Reading and writing a range of the radio's EEPROM in checksummed blocks. The states
// keep their position and their count of time-outs across blocks and resends: entering
// the state starts the range and the count again, so the machine's retry limit bounds
// the time-outs of the whole range, not of one block. A derived loop-body state fills
// the range (SetRange) in its Reset, before Enter runs.
#pragma once

#include <cstddef>

#include "core/statemachine/command_states.h"
#include "core/statemachine/eeprom_block.h"
#include "core/text/error_codes.h"

template <class T>
class CEepromBlockStateBase : public CCommandResponseRetryState<T> {
public:
    CEepromBlockStateBase(T* machine, const wchar_t* name, CState<T>* next, DWORD errorCode,
                          const wchar_t* mnemonic, DWORD timeoutMs)
        : CCommandResponseRetryState<T>(machine, name, next, errorCode, mnemonic, timeoutMs) {}

    void SetRange(DWORD startAddress, DWORD totalLength, BYTE* buffer) {
        m_startAddress = startAddress;
        m_totalLength = totalLength;
        m_buffer = buffer;
    }

    DWORD BlockLength() const { return m_blockLength; }
    DWORD TotalLength() const { return m_totalLength; }
    DWORD BytesDone() const { return m_bytesDone; }
    BYTE* Buffer() const { return m_buffer; }
    DWORD StartAddress() const { return m_startAddress; }

protected:
    DWORD m_blockLength = 0;
    DWORD m_totalLength = 0;
    DWORD m_bytesDone = 0;
    BYTE* m_buffer = nullptr;
    DWORD m_startAddress = 0;
};

template <class T>
class CReadPicPromState : public CEepromBlockStateBase<T> {
public:
    CReadPicPromState(T* machine, const wchar_t* name, CState<T>* next, DWORD timeoutMs,
                      DWORD errorCode = Zr8Error::NoResponseReadEeprom)
        : CEepromBlockStateBase<T>(machine, name, next, errorCode, L"ER", timeoutMs) {}

    void Enter() override {
        this->m_bytesDone = 0;
        SendNextBlock();
    }
    bool ParseResponse() override {
        return EepromBlock::ParseReadResponse(this->m_machine->ReceivedText(), this->m_command, this->m_blockLength,
                                              this->m_buffer + this->m_bytesDone);
    }
    void AcceptResponse() override {
        AdvanceBlock();
        SendNextBlock();
    }
    // Reached when no bytes remain.
    void OnResponseAccepted() override { this->Next(); }

    // The answer may carry fewer bytes than asked; the position moves by what was asked.
    virtual void AdvanceBlock() {
        this->m_bytesDone += this->m_blockLength;
        this->m_machine->AdvanceProgress(this->m_blockLength);
    }

protected:
    void SendNextBlock() {
        if (this->m_bytesDone >= this->m_totalLength) {
            OnResponseAccepted();
            return;
        }
        if (!this->m_buffer) {
            this->Fail(static_cast<DWORD>(E_INVALIDARG));
            return;
        }
        DWORD address = this->m_startAddress + this->m_bytesDone;
        DWORD n = EepromBlock::NextBlockLength(address, this->m_totalLength - this->m_bytesDone);
        this->m_blockLength = n;
        if (!EepromBlock::IsReadable(address, n)) {
            this->Fail(Zr8Error::InvalidEepromAddress);
            return;
        }
        this->m_command = EepromBlock::ReadCommand(address, n);
        this->Send();
    }
};

template <class T>
class CWritePicPromState : public CEepromBlockStateBase<T> {
public:
    CWritePicPromState(T* machine, const wchar_t* name, CState<T>* next, DWORD timeoutMs,
                       DWORD errorCode = Zr8Error::NoResponseWriteEeprom)
        : CEepromBlockStateBase<T>(machine, name, next, errorCode, L"EW", timeoutMs) {}

    void Enter() override {
        this->m_bytesDone = 0;
        SendNextBlock();
    }
    bool ParseResponse() override {
        return EepromBlock::ParseWriteAcknowledgement(this->m_machine->ReceivedText(), this->m_command);
    }
    void AcceptResponse() override {
        AdvanceBlock();
        SendNextBlock();
    }

    virtual void OnAllBlocksWritten() { this->Next(); }
    virtual void AdvanceBlock() {
        this->m_bytesDone += this->m_blockLength;
        this->m_machine->AdvanceProgress(this->m_blockLength);
    }

protected:
    // A block outside the writable ranges is refused here, before the radio sees it.
    void SendNextBlock() {
        if (this->m_bytesDone >= this->m_totalLength) {
            OnAllBlocksWritten();
            return;
        }
        if (!this->m_buffer) {
            this->Fail(static_cast<DWORD>(E_INVALIDARG));
            return;
        }
        DWORD address = this->m_startAddress + this->m_bytesDone;
        DWORD n = EepromBlock::NextBlockLength(address, this->m_totalLength - this->m_bytesDone);
        this->m_blockLength = n;
        if (!EepromBlock::IsWritable(address, n)) {
            this->Fail(Zr8Error::InvalidEepromAddress);
            return;
        }
        this->m_command = EepromBlock::WriteCommand(address, n, this->m_buffer + this->m_bytesDone);
        this->Send();
    }
};
