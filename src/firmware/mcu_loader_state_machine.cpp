#include "firmware/mcu_loader_state_machine.h"

#include <cstring>

#include "core/model/model_base.h"
#include "core/text/error_text.h"
#include "core/text/string_ids.h"
#include "firmware/checksum_reconciliation.h"

CMcuLoaderStateMachine::CMcuLoaderStateMachine(CModelBase& model, const std::wstring& name,
                                               const std::wstring& firmwarePath)
    : CLoaderStateHost<T>(model, kTimerId, name),
      m_firmwarePath(firmwarePath),
      m_findSpeed(this, L"FindSpeed", &m_identify),
      m_identify(this, L"Identify", &m_verifyExpectedDevice, &m_loadBeginDownload),
      m_verifyExpectedDevice(this, L"VerifyExpectedDevice", &m_loadEnterBootLoader),
      m_loadEnterBootLoader(this, L"LoadEnterBootLoader", &m_loadBeginDownload),
      m_loadBeginDownload(this, L"LoadBeginDownload", &m_loadFirmwareInitial),
      m_loadFirmwareInitial(this, L"LoadFirmwareInitial", &m_loadFirmwareLast, &m_resyncInitial),
      m_resyncInitial(this, L"ResyncInitial", &m_loadFirmwareInitial),
      m_loadFirmwareLast(this, L"LoadFirmwareLast", &m_loadWaitReset, &m_resyncLast),
      m_resyncLast(this, L"ResyncLast", &m_loadFirmwareLast),
      m_loadWaitReset(this, L"LoadWaitReset", &m_getMcuVersion),
      m_getMcuVersion(this, L"GetMcuVersion", &m_getSerialNumber),
      m_getSerialNumber(this, L"GetSerialNumber", FinalState()) {}

BOOL CMcuLoaderStateMachine::Start(HWND dialog) {
    // Routing hands the port to the contact machine while it is busy, so a load started
    // beside it would never hear the radio. A running load is left alone: its result is
    // not ours to touch.
    if (!IsIdle() || !Model().IsAllIdle()) {
        if (IsIdle()) m_result = Zr8Error::MachineBusy;
        SetLastError(Zr8Error::MachineBusy);
        return FALSE;
    }
    AttachProgressBar(dialog);
    SetOwnerWindow(dialog);
    ResetStatistics();

    m_result = 0;
    SetLastError(0);
    if (!m_image.Load(m_firmwarePath)) {
        const DWORD code = GetLastError();
        m_result = code != 0 ? code : kNoErrorCode;
        Log(IDS_LINE_ERROR_CODE, m_image.Line(), unsigned(m_result), GetErrorText(m_result).c_str());
    } else {
        m_result = ReconcileChecksum(m_image, m_name, [this](const std::wstring& line) { Log(L"%s", line.c_str()); });
    }
    if (m_result != 0) {
        const DWORD code = m_result;
        TransitionTo(FinalState());
        SetLastError(code);
        return FALSE;
    }

    SetProgressRange(m_image.Size());
    m_loadAddress = Loader::kFirstAddress;

    if (!IsIdle()) {
        SetLastError(Zr8Error::MachineBusy);
        return FALSE;
    }
    StartAt(&m_findSpeed);
    return TRUE;
}

void CMcuLoaderStateMachine::BuildPacket(DWORD address, bool final) {
    std::memcpy(m_packet, m_image.Bytes() + (address - CHexImage::kLow), Loader::kPacketDataSize);
    if (address == Loader::kFirstAddress && !final) {
        m_packet[0] = kMarker[0];
        m_packet[1] = kMarker[1];
    }
    m_packet[64] = static_cast<uint8_t>(address & 0xFF);
    m_packet[65] = static_cast<uint8_t>((address >> 8) & 0xFF);
    m_packet[66] = final ? kFinalAddressByte : static_cast<uint8_t>((address >> 16) & 0xFF);
    unsigned sum = 0;
    for (DWORD i = 0; i < Loader::kPacketSize - 1; ++i) sum += m_packet[i];
    m_packet[67] = static_cast<uint8_t>(0x100 - (sum & 0xFF));
}
