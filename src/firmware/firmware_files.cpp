#include "firmware/firmware_files.h"

#include <vector>

#include "platform/folder_listing.h"
#include "platform/folders.h"
#include "platform/wide_format.h"

const wchar_t kFirmwareNotesName[] = L"zr8fwnotes.rtf";

namespace {

std::wstring FileNamePart(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

wchar_t Lower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c; }

bool EqualsNoCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

void CFirmwareFiles::Clear() {
    m_firmwarePath.clear();
    m_version = 0;
    m_notesPresent = false;
}

uint16_t VersionFromFileName(const std::wstring& path) {
    const std::wstring name = FileNamePart(path);
    size_t extension = name.rfind(L'.');
    if (extension == std::wstring::npos) extension = name.size();
    // Look backwards for the last digit before the extension, never at name[0].
    size_t i = extension;
    while (i > 1 && !IsDigit(name[i - 1])) --i;
    if (i <= 1) return 0;
    // Then back over the run of digits; reaching the first character gives no version.
    size_t j = i - 1;
    do {
        if (--j == 0) return 0;
    } while (IsDigit(name[j]));
    uint16_t version = 0;
    for (size_t k = j + 1; k < name.size() && IsDigit(name[k]); ++k)
        version = static_cast<uint16_t>(version * 10u + unsigned(name[k] - L'0'));
    return version;
}

bool IsFirmwareFileName(const std::wstring& name) {
    const size_t extension = name.rfind(L'.');
    return StartsWithNoCase(name, L"zr8") && extension != std::wstring::npos &&
           EqualsNoCase(name.substr(extension), L".hex");
}

CFirmwareFiles ScanFirmwareFolder(const std::wstring& folder) {
    CFirmwareFiles result;
    // No folder is not the current directory: a stray file there must never be sent.
    if (folder.empty()) return result;
    std::vector<FolderEntry> entries;
    if (ListFolder(folder, entries) != 0) return result;
    for (const FolderEntry& entry : entries) {
        if (entry.isFolder) continue;
        if (EqualsNoCase(entry.name, kFirmwareNotesName)) {
            result.m_notesPresent = true;
            continue;
        }
        if (!IsFirmwareFileName(entry.name)) continue;
        const uint16_t version = VersionFromFileName(entry.name);
        if (version > result.m_version) {
            result.m_version = version;
            result.m_firmwarePath = Folders::Join(folder, entry.name);
        }
    }
    return result;
}

std::wstring VersionText(uint16_t version) {
    return FormatW(L"%02u.%02u", unsigned(version / 100), unsigned(version % 100));
}
