#include "config/configuration_folder.h"

#include "config/config_names.h"
#include "core/model/app_info.h"

CConfigurationFolder::CConfigurationFolder(CAppInfoBase& key, WriteBack writeBack)
    : m_key(key), m_writeBack(writeBack), m_value(WM_APP_CONFIGURATION_FOLDER, std::wstring(), L"ConfigurationFolder") {
    m_value.Load(m_key);
}

CConfigurationFolder::~CConfigurationFolder() {
    if (m_writeBack == WriteBack::Yes && !m_value.Get().empty()) m_value.Save(m_key);
}

std::wstring CConfigurationFolder::Choose() {
    if (m_value.Get().empty()) m_value.Set(ConfigNames::DefaultFolder());
    return m_value.Get();
}

void CConfigurationFolder::SetFromPath(const std::wstring& path) {
    const std::wstring folder = ConfigNames::FolderOf(path);
    if (!folder.empty()) m_value.Set(folder);
}
