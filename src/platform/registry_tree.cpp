#include "platform/registry_tree.h"

#include <cwctype>

bool CRegistryTree::SameName(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && std::towlower(wint_t(a[i])) != std::towlower(wint_t(b[i])))
            return false;
    }
    return true;
}

CRegistryTree::Key* CRegistryTree::FindKey(const std::wstring& keyPath)
{
    for (Key& key : m_keys) {
        if (SameName(key.path, keyPath))
            return &key;
    }
    return nullptr;
}

const CRegistryTree::Key* CRegistryTree::FindKey(const std::wstring& keyPath) const
{
    return const_cast<CRegistryTree*>(this)->FindKey(keyPath);
}

const CRegistryTree::Value* CRegistryTree::Find(const std::wstring& keyPath, const std::wstring& name) const
{
    const Key* key = FindKey(keyPath);
    if (key == nullptr)
        return nullptr;
    for (const Value& value : key->values) {
        if (SameName(value.name, name))
            return &value;
    }
    return nullptr;
}

bool CRegistryTree::HasKey(const std::wstring& keyPath) const
{
    return FindKey(keyPath) != nullptr;
}

void CRegistryTree::AddKey(const std::wstring& keyPath)
{
    if (FindKey(keyPath) == nullptr)
        m_keys.push_back(Key{keyPath, {}});
}

void CRegistryTree::Set(const std::wstring& keyPath, const std::wstring& name, DWORD type,
                        const std::vector<uint8_t>& data)
{
    AddKey(keyPath);
    Key* key = FindKey(keyPath);
    for (Value& value : key->values) {
        if (SameName(value.name, name)) {
            value.type = type;
            value.data = data;
            return;
        }
    }
    key->values.push_back(Value{name, type, data});
}

bool CRegistryTree::Delete(const std::wstring& keyPath, const std::wstring& name)
{
    Key* key = FindKey(keyPath);
    if (key == nullptr)
        return false;
    for (auto it = key->values.begin(); it != key->values.end(); ++it) {
        if (SameName(it->name, name)) {
            key->values.erase(it);
            return true;
        }
    }
    return false;
}
