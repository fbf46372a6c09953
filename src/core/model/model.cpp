#include "core/model/model_base.h"

#include "core/model/contact_state_machine.h"

CModel::CModel(std::unique_ptr<ISettingsStore> store) : CModelBase(std::move(store)) {}

CModel::~CModel() = default;

// DeviceNone too: an identification answer that matched no entry must not stop the
// contact sequence.
bool CModel::IsExpectedDevice()
{
    const OrvandelDevice device = m_device.Get();
    return device == DeviceZR8 || device == DeviceNone;
}

CModel& GetModel()
{
    static CModel model(OpenPlatformSettingsStore());
    return model;
}
