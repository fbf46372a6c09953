// A settings store kept in a REGEDIT4 file: read once when opened, rewritten whole and
// atomically after each change, so a crash never leaves half a file.
#include <utility>

#include "platform/atomic_file.h"
#include "platform/code_pages.h"
#include "platform/folders.h"
#include "platform/reg_file_format.h"
#include "platform/registry_tree.h"
#include "platform/settings_store.h"

namespace {

class CRegFileSettingsStore : public ISettingsStore {
public:
    explicit CRegFileSettingsStore(std::wstring path) : m_path(std::move(path)) { Load(); }

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
        const CRegistryTree::Value* old = m_tree.Find(subKey, name);
        if (old == nullptr || old->type != type || old->data != data) {
            CRegistryTree before = m_tree;
            m_tree.Set(subKey, name, type, data);
            DWORD rc = Save();
            if (rc != 0) {
                m_tree = std::move(before);  // the store keeps matching the file
                return rc;
            }
        }
        ++m_writes;
        return 0;
    }

    DWORD DeleteValue(const std::wstring& subKey, const std::wstring& name) override
    {
        CRegistryTree before = m_tree;
        if (!m_tree.Delete(subKey, name))
            return ERROR_FILE_NOT_FOUND;
        DWORD rc = Save();
        if (rc != 0)
            m_tree = std::move(before);
        return rc;
    }

private:
    void Load()
    {
        std::string text;
        DWORD rc = AtomicFile::ReadAll(m_path, text);
        if (rc == 0 && !RegFileFormat::Parse(text, m_tree)) {
            // Not ours to understand; it is kept aside before the first write replaces it.
            m_tree.Clear();
            m_unreadable = std::move(text);
            m_setAside = true;
        }
        m_tree.AddKey(L"");
    }

    DWORD Save()
    {
        const std::wstring folder = FolderOf(m_path);
        if (!folder.empty() && !Folders::FolderExists(folder) && !Folders::CreateFolderTree(folder))
            return GetLastError();
        if (m_setAside) {
            DWORD rc = AtomicFile::WriteAll(m_path + L".bad", m_unreadable);
            if (rc != 0)
                return rc;
            m_setAside = false;
            m_unreadable.clear();
        }
        return AtomicFile::WriteAll(m_path, RegFileFormat::Write(m_tree));
    }

    static std::wstring FolderOf(const std::wstring& path)
    {
        size_t slash = path.find_last_of(Folders::Separator() == L'\\' ? L"\\/" : L"/");
        return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash == 0 ? 1 : slash);
    }

    std::wstring m_path;
    CRegistryTree m_tree;
    std::string m_unreadable;
    bool m_setAside = false;
};

}  // namespace

std::unique_ptr<ISettingsStore> OpenRegFileSettingsStore(const std::string& utf8Path)
{
    return std::make_unique<CRegFileSettingsStore>(CodePages::FromUtf8(utf8Path));
}
