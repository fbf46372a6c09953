// The typed helpers every store shares, and the in-memory store.
#include "platform/settings_store.h"

#include "platform/registry_tree.h"
#include "platform/utf16_bytes.h"

const wchar_t kAppKeyPath[] = L"Software\\Orvandel\\ZR8 Utility";

DWORD ISettingsStore::ReadDword(const std::wstring& subKey, const std::wstring& name, DWORD& value)
{
    DWORD type = 0;
    std::vector<uint8_t> data;
    DWORD rc = ReadValue(subKey, name, type, data);
    if (rc != 0)
        return rc;
    // As a read into a 4-byte buffer: whatever the type, a shorter value fills only the
    // low bytes, a longer one does not fit.
    if (data.size() > 4)
        return ERROR_MORE_DATA;
    for (size_t i = 0; i < data.size(); ++i) {
        value &= ~(DWORD(0xFF) << (8 * i));
        value |= DWORD(data[i]) << (8 * i);
    }
    return 0;
}

DWORD ISettingsStore::ReadString(const std::wstring& subKey, const std::wstring& name, std::wstring& value)
{
    DWORD type = 0;
    std::vector<uint8_t> data;
    DWORD rc = ReadValue(subKey, name, type, data);
    if (rc != 0)
        return rc;
    if (type != kRegSz && type != kRegExpandSz)
        return ERROR_UNSUPPORTED_TYPE;
    Utf16Bytes::Decode(data.data(), data.size(), value);
    return 0;
}

DWORD ISettingsStore::WriteDword(const std::wstring& subKey, const std::wstring& name, DWORD value)
{
    return WriteValue(subKey, name, kRegDword,
                      {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)});
}

DWORD ISettingsStore::WriteString(const std::wstring& subKey, const std::wstring& name, const std::wstring& value)
{
    return WriteValue(subKey, name, kRegSz, Utf16Bytes::Encode(value, true));
}

namespace {

class CMemorySettingsStore : public ISettingsStore {
public:
    DWORD ReadValue(const std::wstring& subKey, const std::wstring& name, DWORD& type,
                    std::vector<uint8_t>& data) override
    {
        const CRegistryTree::Value* value = m_tree.Find(subKey, name);
        if (value == nullptr)
            return ERROR_FILE_NOT_FOUND;
        type = value->type;
        data = value->data;
        return 0;
    }

    DWORD WriteValue(const std::wstring& subKey, const std::wstring& name, DWORD type,
                     const std::vector<uint8_t>& data) override
    {
        m_tree.Set(subKey, name, type, data);
        ++m_writes;
        return 0;
    }

    DWORD DeleteValue(const std::wstring& subKey, const std::wstring& name) override
    {
        return m_tree.Delete(subKey, name) ? 0 : ERROR_FILE_NOT_FOUND;
    }

private:
    CRegistryTree m_tree;
};

}  // namespace

std::unique_ptr<ISettingsStore> CreateMemorySettingsStore()
{
    return std::make_unique<CMemorySettingsStore>();
}
