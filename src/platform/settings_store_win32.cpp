// The registry store: HKEY_CURRENT_USER\Software\Orvandel\ZR8 Utility, opened (created
// when missing) for reading and writing once, sub-keys opened or created per call.
#include <windows.h>

#include "platform/settings_store.h"

namespace {

// A registry key closed when it goes out of scope.
class CRegKey {
public:
    CRegKey() = default;
    explicit CRegKey(HKEY key) : m_key(key) {}
    ~CRegKey() { Close(); }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    HKEY Get() const { return m_key; }
    HKEY* Receive()
    {
        Close();
        return &m_key;
    }
    void Close()
    {
        if (m_key != nullptr)
            RegCloseKey(m_key);
        m_key = nullptr;
    }

private:
    HKEY m_key = nullptr;
};

class CRegistrySettingsStore : public ISettingsStore {
public:
    CRegistrySettingsStore()
    {
        m_openError = RegCreateKeyExW(HKEY_CURRENT_USER, kAppKeyPath, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                                      m_key.Receive(), nullptr);
    }

    DWORD ReadValue(const std::wstring& subKey, const std::wstring& name, DWORD& type,
                    std::vector<uint8_t>& data) override
    {
        CRegKey sub;
        HKEY key = nullptr;
        DWORD rc = Open(subKey, KEY_READ, false, sub, key);
        if (rc != 0)
            return rc;
        // The value may grow between the size query and the read; ask again then.
        for (int attempt = 0; attempt < 4; ++attempt) {
            DWORD size = 0;
            rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
            if (rc != 0)
                return rc;
            data.resize(size);
            rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, size ? data.data() : nullptr, &size);
            if (rc == ERROR_MORE_DATA)
                continue;
            if (rc == 0)
                data.resize(size);
            return rc;
        }
        return ERROR_MORE_DATA;
    }

    DWORD WriteValue(const std::wstring& subKey, const std::wstring& name, DWORD type,
                     const std::vector<uint8_t>& data) override
    {
        CRegKey sub;
        HKEY key = nullptr;
        DWORD rc = Open(subKey, KEY_WRITE, true, sub, key);
        if (rc != 0)
            return rc;
        rc = RegSetValueExW(key, name.c_str(), 0, type, data.empty() ? nullptr : data.data(), DWORD(data.size()));
        if (rc == 0)
            ++m_writes;
        return rc;
    }

    DWORD DeleteValue(const std::wstring& subKey, const std::wstring& name) override
    {
        CRegKey sub;
        HKEY key = nullptr;
        DWORD rc = Open(subKey, KEY_SET_VALUE, false, sub, key);
        if (rc != 0)
            return rc;
        return RegDeleteValueW(key, name.c_str());
    }

private:
    DWORD Open(const std::wstring& subKey, REGSAM access, bool create, CRegKey& sub, HKEY& key)
    {
        if (m_openError != 0)
            return m_openError;
        if (subKey.empty()) {
            key = m_key.Get();
            return 0;
        }
        LONG rc = create ? RegCreateKeyExW(m_key.Get(), subKey.c_str(), 0, nullptr, 0, access, nullptr,
                                           sub.Receive(), nullptr)
                         : RegOpenKeyExW(m_key.Get(), subKey.c_str(), 0, access, sub.Receive());
        key = sub.Get();
        return DWORD(rc);
    }

    CRegKey m_key;
    DWORD m_openError = 0;
};

}  // namespace

std::unique_ptr<ISettingsStore> OpenPlatformSettingsStore()
{
    return std::make_unique<CRegistrySettingsStore>();
}
