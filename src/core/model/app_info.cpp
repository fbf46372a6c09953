#include "core/model/app_info.h"

CAppInfoBase::CAppInfoBase(std::unique_ptr<ISettingsStore> store) : m_store(std::move(store))
{
    if (!m_store)
        m_store = OpenPlatformSettingsStore();
    if (!m_store)
        m_store = CreateMemorySettingsStore();
}

CAppInfoBase::~CAppInfoBase() = default;
