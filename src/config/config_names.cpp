#include "config/config_names.h"

#include <ctime>

#include "config/config_format.h"
#include "core/model/radio_types.h"
#include "core/text/string_table.h"
#include "platform/folders.h"
#include "platform/wide_format.h"

CSaveTime CSaveTime::Now() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    CSaveTime t;
    if (!local) return t;
    t.year = static_cast<WORD>(local->tm_year + 1900);
    t.month = static_cast<WORD>(local->tm_mon + 1);
    t.dayOfWeek = static_cast<WORD>(local->tm_wday);
    t.day = static_cast<WORD>(local->tm_mday);
    t.hour = static_cast<WORD>(local->tm_hour);
    t.minute = static_cast<WORD>(local->tm_min);
    t.second = static_cast<WORD>(local->tm_sec);
    return t;
}

namespace ConfigNames {

std::wstring DefaultFileName(unsigned short serialNumber, const CSaveTime& t) {
    std::wstring name;
    if (serialNumber != kSerialNumberNone) name = FormatW(L"SN%05u.", unsigned(serialNumber));
    name += FormatW(L"%04u%02u%02uT%02u%02u%02u.%s", unsigned(t.year), unsigned(t.month), unsigned(t.day),
                    unsigned(t.hour), unsigned(t.minute), unsigned(t.second), ConfigFormat::kExtension);
    return name;
}

std::wstring DefaultFolder() {
    std::wstring base = Folders::AppData();
    if (base.empty()) base = Folders::Documents();
    if (base.empty()) return std::wstring();
    // The data folder itself may not exist yet on a fresh account.
    const std::wstring folder = Folders::Join(Folders::Join(base, L"Orvandel"), FormatW(L"%s Configuration", kModelName));
    Folders::CreateFolderTree(folder);
    return folder;
}

std::wstring FileFilter() {
    std::wstring filter = FormatW(LoadStringText(IDS_CONFIG_FILE_FILTER).c_str(), kModelName,
                                  ConfigFormat::kExtension, ConfigFormat::kExtension);
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    return filter;
}

std::wstring FolderOf(const std::wstring& path) {
    const wchar_t* separators = Folders::Separator() == L'\\' ? L"\\/" : L"/";
    const size_t cut = path.find_last_of(separators);
    if (cut == std::wstring::npos) return std::wstring();
    if (cut == 0) return path.substr(0, 1);
    return Folders::StripTrailingSeparators(path.substr(0, cut));
}

}  // namespace ConfigNames
