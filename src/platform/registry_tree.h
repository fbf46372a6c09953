// Keys and values held in memory as the registry holds them: key and value names
// compared without regard to case, each remembered as first written, in the order
// they were created. The in-memory store and the ".reg" file store keep one of these.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_types.h"

class CRegistryTree {
public:
    struct Value {
        std::wstring name;  // empty: the key's default value
        DWORD type = 0;
        std::vector<uint8_t> data;
    };
    struct Key {
        std::wstring path;  // relative to the application key; empty for the key itself
        std::vector<Value> values;
    };

    const Value* Find(const std::wstring& keyPath, const std::wstring& name) const;
    bool HasKey(const std::wstring& keyPath) const;
    // Creates the key when missing; replaces the value (keeping its place) or adds it.
    void Set(const std::wstring& keyPath, const std::wstring& name, DWORD type, const std::vector<uint8_t>& data);
    void AddKey(const std::wstring& keyPath);
    bool Delete(const std::wstring& keyPath, const std::wstring& name);  // false if missing
    void Clear() { m_keys.clear(); }

    const std::vector<Key>& Keys() const { return m_keys; }

    static bool SameName(const std::wstring& a, const std::wstring& b);

private:
    Key* FindKey(const std::wstring& keyPath);
    const Key* FindKey(const std::wstring& keyPath) const;

    std::vector<Key> m_keys;
};
