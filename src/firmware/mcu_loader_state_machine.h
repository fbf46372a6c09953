// CMcuLoaderStateMachine: writes a firmware image into the radio's MCU through its boot
// loader. It finds the radio, identifies it, restarts it into the boot loader ("LD;"),
// opens the download ("D"), sends the image from 0x0800 to 0xFFFF as 992 packets and the
// block at 0x0800 once more as the final packet, waits for the restart and reads the
// version and serial number back. The loader dialog owns it and starts it; the CLI does
// the same without a window.
#pragma once

#include <cstdint>
#include <string>

#include "core/model/contact_states.h"
#include "core/statemachine/find_speed_state.h"
#include "core/statemachine/machine_timer_ids.h"
#include "firmware/hex_image.h"
#include "firmware/loader_state_host.h"
#include "firmware/loader_states.h"

class CModelBase;

class CMcuLoaderStateMachine : public CLoaderStateHost<CMcuLoaderStateMachine> {
public:
    using T = CMcuLoaderStateMachine;
    static constexpr UINT_PTR kTimerId = MachineTimer::McuLoader;
    static constexpr DWORD kNoErrorCode = 774;  // a failed load that left no code
    static constexpr uint8_t kMarker[2] = {0xDE, 0xAD};
    static constexpr uint8_t kFinalAddressByte = 2;

    // name: "MCU" in the log lines. The path is kept by reference: the owner keeps it.
    CMcuLoaderStateMachine(CModelBase& model, const std::wstring& name, const std::wstring& firmwarePath);

    // Builds the image from the firmware file and starts at "FindSpeed". The dialog is
    // the owner of the log lines and holds the progress bar (none if it is no window).
    // False when the machine (or another one) is busy, 0xE2000052 as the last error and
    // no completion; false too when the image cannot be built, after which the
    // completion has already reported the failure.
    BOOL Start(HWND dialog);

    // The packet for the address: ordinary (the marker in the first) or final.
    void BuildPacket(DWORD address, bool final);
    const uint8_t* Packet() const { return m_packet; }
    const std::wstring& FirmwarePath() const { return m_firmwarePath; }
    const CHexImage& Image() const { return m_image; }

    CFindSpeedState<T>& FindSpeedState() { return m_findSpeed; }
    CLoadFirmwareInitialState<T>& FirmwareInitialState() { return m_loadFirmwareInitial; }
    CLoadFirmwareLastState<T>& FirmwareLastState() { return m_loadFirmwareLast; }

private:
    uint8_t m_packet[Loader::kPacketSize] = {};
    const std::wstring& m_firmwarePath;
    CHexImage m_image;

    CFindSpeedState<T> m_findSpeed;
    CIdentifyState<T> m_identify;
    CVerifyExpectedDeviceState<T> m_verifyExpectedDevice;
    CLoadEnterBootLoaderState<T> m_loadEnterBootLoader;
    CLoadBeginDownloadState<T> m_loadBeginDownload;
    CLoadFirmwareInitialState<T> m_loadFirmwareInitial;
    CLoadResyncState<T> m_resyncInitial;
    CLoadFirmwareLastState<T> m_loadFirmwareLast;
    CLoadResyncState<T> m_resyncLast;
    CLoadWaitResetState<T> m_loadWaitReset;
    CGetMcuVersionState<T> m_getMcuVersion;
    CGetSerialNumberState<T> m_getSerialNumber;
};
