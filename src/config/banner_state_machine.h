// CBannerStateMachine: reads and writes the power-on banner, the 16 bytes at
// 0x3F0-0x3FF. A write of the text (its bytes and a zero byte, at most 16 bytes) is
// always followed by a read-back. It sends neither a speed search nor "TT0;": the
// contact machine has found the radio before the editor opens.
#pragma once

#include <string>

#include "core/model/observable.h"
#include "core/statemachine/eeprom_block_states.h"
#include "core/statemachine/machine_timer_ids.h"
#include "core/statemachine/state_host.h"

class CBannerStateMachine;

constexpr UINT WM_APP_BANNER_TEXT = WM_APP + 255;  // 0x80FF

class CReadBannerState : public CReadPicPromState<CBannerStateMachine> {
public:
    CReadBannerState(CBannerStateMachine* machine, const wchar_t* name, CState<CBannerStateMachine>* next);
    void Reset() override;
    void OnResponseAccepted() override;
};

class CWriteBannerState : public CWritePicPromState<CBannerStateMachine> {
public:
    CWriteBannerState(CBannerStateMachine* machine, const wchar_t* name, CState<CBannerStateMachine>* next);
    void Reset() override;
    void OnAllBlocksWritten() override;
};

class CBannerStateMachine : public CStateHost<CBannerStateMachine> {
public:
    using T = CBannerStateMachine;
    static constexpr UINT_PTR kTimerId = MachineTimer::Banner;
    static constexpr DWORD kBannerAddress = 0x3F0;
    static constexpr DWORD kBannerLength = 16;
    static constexpr DWORD kResponseTimeoutMs = 2000;
    enum BannerText { ReadText = 0, EditedText = 1 };

    explicit CBannerStateMachine(CModelBase& model);

    // Reads the banner ("ReadBanner"). False with 0xE2000052 when busy.
    BOOL StartRead(HWND owner);
    // Puts the text (in the ANSI code page, at most 16 bytes) into the banner buffer and
    // starts at "WriteBanner". False with 0xE2000052 when busy.
    BOOL StartWrite(HWND owner, const std::wstring& text);

    // The buffer as a zero-terminated ANSI text, an erased byte (0xFF) read as zero.
    std::wstring BufferText();

    // Elements: the text last read from or written to the radio, the text as edited.
    CObservable<std::wstring, 2> m_bannerText;

    BYTE* Buffer() { return m_buffer; }

    CState<T>* ReadState() { return &m_readBanner; }
    CState<T>* WriteState() { return &m_writeBanner; }

private:
    BYTE m_buffer[kBannerLength + 1] = {};  // the last byte always 0

    CReadBannerState m_readBanner;
    CWriteBannerState m_writeBanner;
};

// What the editor keeps of the typed text: trailing white space removed, leading kept.
std::wstring TrimBannerText(const std::wstring& typed);
