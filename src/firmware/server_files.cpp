#include "firmware/server_files.h"

#include "core/text/string_table.h"
#include "firmware/hex_file_reader.h"
#include "platform/file_moves.h"
#include "platform/folders.h"
#include "platform/settings_store.h"
#include "platform/wide_format.h"

const wchar_t kDownloadSuffix[] = L".download";
const wchar_t kCorruptSuffix[] = L".corrupt";

namespace {

constexpr size_t kMaxPath = 260;  // characters, the terminating null included

wchar_t Upper(wchar_t c) { return (c >= L'a' && c <= L'z') ? wchar_t(c - L'a' + L'A') : c; }

std::wstring UpperText(const std::wstring& text)
{
    std::wstring result(text);
    for (wchar_t& c : result)
        c = Upper(c);
    return result;
}

bool IsDeviceName(const std::wstring& name)
{
    // Windows opens the device for "CON", "con.hex" or "CON .txt" alike.
    std::wstring base = UpperText(name.substr(0, name.find(L'.')));
    while (!base.empty() && base.back() == L' ')
        base.pop_back();
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (base == device)
            return true;
    return base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0) &&
           base[3] >= L'1' && base[3] <= L'9';
}

bool EndsWithNoCase(const std::wstring& text, const std::wstring& suffix)
{
    return text.size() >= suffix.size() && UpperText(text.substr(text.size() - suffix.size())) == UpperText(suffix);
}

}  // namespace

std::wstring ServerFirmwareDirectory() { return FormatW(L"%s/firmware", L"ZR8"); }

bool ParseFileServerAddress(const std::wstring& text, CFileServerAddress& address)
{
    const size_t colon = text.rfind(L':');
    const std::wstring host = text.substr(0, colon);
    if (host.empty() || host.find_first_of(L" \t/\\:@") != std::wstring::npos)
        return false;
    unsigned long port = 0;
    if (colon != std::wstring::npos) {
        const std::wstring digits = text.substr(colon + 1);
        if (digits.empty() || digits.size() > 5)
            return false;
        for (wchar_t c : digits) {
            if (c < L'0' || c > L'9')
                return false;
            port = port * 10 + unsigned(c - L'0');
        }
        if (port == 0 || port > 65535)
            return false;
    }
    address.host = host;
    address.port = static_cast<uint16_t>(port);
    return true;
}

CFileServerAddress FileServerAddress(ISettingsStore& store)
{
    CFileServerAddress address;
    address.host = LoadStringText(IDS_FILE_SERVER_HOST);
    std::wstring setting;
    if (store.ReadString(L"", L"FileServer", setting) == 0 && !setting.empty())
        ParseFileServerAddress(setting, address);
    return address;
}

std::wstring FileServerText(const CFileServerAddress& address)
{
    return address.port == 0 ? address.host : FormatW(L"%s:%u", address.host.c_str(), unsigned(address.port));
}

bool IsSafeServerFileName(const std::wstring& name, const std::wstring& folder)
{
    if (name.empty() || name.find(L"..") != std::wstring::npos)
        return false;
    for (wchar_t c : name)
        if (c < 0x20 || c == 0x7F || std::wstring(L"\\/:<>\"|?*").find(c) != std::wstring::npos)
            return false;
    if (name.back() == L'.' || name.back() == L' ' || IsDeviceName(name))
        return false;
    return DownloadPath(folder, name).size() < kMaxPath;
}

bool ConsiderFile(CFirmwareFiles& files, const std::wstring& name)
{
    if (UpperText(name) == UpperText(kFirmwareNotesName)) {
        files.m_notesPresent = true;
        return true;
    }
    if (!IsFirmwareFileName(name))
        return false;
    const uint16_t version = VersionFromFileName(name);
    if (version <= files.m_version)
        return false;
    files.m_version = version;
    files.m_firmwarePath = name;
    return true;
}

bool DropLoneReleaseNotes(const CFirmwareFiles& files, std::vector<std::wstring>& names)
{
    if (!files.m_notesPresent || names.size() != 1 || UpperText(names[0]) != UpperText(kFirmwareNotesName))
        return false;
    names.clear();
    return true;
}

std::wstring DownloadPath(const std::wstring& folder, const std::wstring& name)
{
    return Folders::Join(folder, name + kDownloadSuffix);
}

std::wstring FinalPath(const std::wstring& folder, const std::wstring& name) { return Folders::Join(folder, name); }

CopiedFile PlaceCopiedFile(const std::wstring& folder, const std::wstring& name, DWORD& placeError)
{
    placeError = 0;
    const std::wstring arrived = DownloadPath(folder, name);
    if (EndsWithNoCase(name, L".hex") && !VerifyHexFile(arrived)) {
        // Kept for a look, under a name the folder scan never takes.
        if (FileMoves::MoveReplacing(arrived, FinalPath(folder, name + kCorruptSuffix)) != 0)
            FileMoves::RemoveIfPresent(arrived);
        return CopiedFile::VerifyFailed;
    }
    placeError = FileMoves::MoveReplacing(arrived, FinalPath(folder, name));
    if (placeError == 0)
        return CopiedFile::Verified;
    FileMoves::RemoveIfPresent(arrived);
    return CopiedFile::NotPlaced;
}

void DiscardDownload(const std::wstring& folder, const std::wstring& name)
{
    FileMoves::RemoveIfPresent(DownloadPath(folder, name));
}
