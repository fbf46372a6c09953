// Off Windows the settings live in "$XDG_CONFIG_HOME/Orvandel/ZR8 Utility.reg"
// (~/.config when the variable is not an absolute path).
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

#include "platform/settings_store.h"

namespace {

std::string ConfigFolder()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/')
        return config;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/')
        return std::string(home) + "/.config";
    struct passwd* entry = ::getpwuid(::getuid());
    if (entry != nullptr && entry->pw_dir != nullptr)
        return std::string(entry->pw_dir) + "/.config";
    return ".";
}

}  // namespace

std::unique_ptr<ISettingsStore> OpenPlatformSettingsStore()
{
    return OpenRegFileSettingsStore(ConfigFolder() + "/Orvandel/ZR8 Utility.reg");
}
