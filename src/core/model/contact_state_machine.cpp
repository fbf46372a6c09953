#include "core/model/contact_state_machine.h"

#include "core/model/model_base.h"
#include "core/text/error_text.h"
#include "core/text/report.h"
#include "core/text/string_table.h"
#include "platform/wide_format.h"

CContactStateMachine::CContactStateMachine(CModelBase& model)
    : CStateHost<CContactStateMachine>(model, kTimerId),
      m_findSpeed(this, L"FindSpeed", &m_identify),
      m_openPort(this, L"OpenPort", &m_findSpeedLoop),
      m_findSpeedLoop(this, L"FindSpeedLoop", &m_identify),
      m_identify(this, L"Identify", &m_textTerminalOff, nullptr),
      m_textTerminalOff(this, L"TextTerminalOff", &m_mcuVersion),
      m_mcuVersion(this, L"GetMcuVersion", &m_verifyDevice),
      m_verifyDevice(this, L"VerifyExpectedDevice", &m_serialNumber),
      m_serialNumber(this, L"GetSerialNumber", FinalState())
{
}

CContactStateMachine::~CContactStateMachine() = default;

void CContactStateMachine::OnComplete()
{
    CModelBase& model = Model();
    if (IsNegative(m_result)) {
        LogLine(model.MainWindow(), L"Contact failed 0x%x %s\n", static_cast<unsigned>(m_result),
                GetErrorText(m_result).c_str());
    }
    if (m_result == Zr8Error::UnexpectedDevice) {
        ShowError(model.MainWindow(), IDS_CAPTION_UNEXPECTED_DEVICE, IDS_UNEXPECTED_DEVICE, kModelName);
    } else if (m_result != 0) {
        // Whatever was learnt before the failure no longer describes a radio we can
        // talk to, whether the failure is the radio's silence or the port's.
        m_firmwareStatusToPublish = FirmwareStatusNone;
    }
    model.m_firmwareStatus.Set(m_firmwareStatusToPublish);
    CStateHost2::OnComplete();
}
