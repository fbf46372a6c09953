#include "firmware/version_verify.h"

#include "core/model/model_base.h"
#include "core/model/radio_types.h"
#include "core/statemachine/state_host2.h"
#include "core/text/error_codes.h"
#include "core/text/string_ids.h"
#include "firmware/firmware_files.h"

DWORD VerifyVersion(CStateHost2& machine, const std::wstring& name, const std::wstring& firmwarePath) {
    CModelBase& model = machine.Model();
    const uint16_t fileVersion = VersionFromFileName(firmwarePath);
    if (model.m_mcuVersion.Get() == fileVersion) {
        machine.Log(IDS_FIRMWARE_VERSION_VERIFIED, name.c_str());
        return 0;
    }
    machine.Log(IDS_SENT_FIRMWARE_FILE, name.c_str(), firmwarePath.c_str(), kModelName,
                model.FirmwareVersionText().c_str());
    machine.Log(IDS_FIRMWARE_VERIFY_FAILED, name.c_str());
    return Zr8Error::VersionVerifyFailed;
}
