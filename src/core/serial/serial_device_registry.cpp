#include <cwctype>
#include <mutex>
#include <utility>
#include <vector>

#include "core/serial/serial_device.h"

namespace {

struct Entry {
    std::wstring name;
    SerialDeviceFactory factory;
};

std::mutex& RegistryMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::vector<Entry>& Registry()
{
    static std::vector<Entry> entries;
    return entries;
}

bool SameName(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::towupper(static_cast<wint_t>(a[i])) != std::towupper(static_cast<wint_t>(b[i])))
            return false;
    }
    return true;
}

}  // namespace

void RegisterSerialDevice(const std::wstring& name, SerialDeviceFactory factory)
{
    std::lock_guard<std::mutex> lock(RegistryMutex());
    for (auto& entry : Registry()) {
        if (SameName(entry.name, name)) {
            entry.factory = std::move(factory);
            return;
        }
    }
    Registry().push_back({name, std::move(factory)});
}

void UnregisterSerialDevice(const std::wstring& name)
{
    std::lock_guard<std::mutex> lock(RegistryMutex());
    auto& entries = Registry();
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (SameName(it->name, name)) {
            entries.erase(it);
            return;
        }
    }
}

std::unique_ptr<ISerialDevice> CreateRegisteredSerialDevice(const std::wstring& name)
{
    SerialDeviceFactory factory;
    {
        std::lock_guard<std::mutex> lock(RegistryMutex());
        for (const auto& entry : Registry()) {
            if (SameName(entry.name, name)) {
                factory = entry.factory;
                break;
            }
        }
    }
    // Called outside the lock: a factory may itself look at the registry.
    return factory ? factory() : nullptr;
}
