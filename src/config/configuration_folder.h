// CConfigurationFolder: the persisted "ConfigurationFolder" value the save and restore
// dialogs (and the command line) share. Loaded when constructed; the dialogs write it
// back when destroyed if it is not empty, the command line (which never saves settings)
// only reads it.
#pragma once

#include <string>

#include "core/model/persistable.h"

class CAppInfoBase;

constexpr UINT WM_APP_CONFIGURATION_FOLDER = 0x8090;

class CConfigurationFolder {
public:
    enum class WriteBack { Yes, No };
    explicit CConfigurationFolder(CAppInfoBase& key, WriteBack writeBack = WriteBack::Yes);
    ~CConfigurationFolder();
    CConfigurationFolder(const CConfigurationFolder&) = delete;
    CConfigurationFolder& operator=(const CConfigurationFolder&) = delete;

    // The folder to offer: the stored one, or, when it is empty, the default folder
    // (created), which is then stored.
    std::wstring Choose();
    const std::wstring& Get() const { return m_value.Get(); }
    void Set(const std::wstring& folder) { m_value.Set(folder); }
    // The folder part of a path used successfully.
    void SetFromPath(const std::wstring& path);

private:
    CAppInfoBase& m_key;
    WriteBack m_writeBack;
    CPersistable<std::wstring, 1> m_value;
};
