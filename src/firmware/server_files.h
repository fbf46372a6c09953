// Firmware from the maker's file server: which listed names are taken, which are safe to
// write, where the server is, and how a fetched file takes its place in the firmware
// folder. Shared by the copy dialog and "zr8 fetch-firmware", so both choose and refuse
// the same names and leave the folder in the same state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "firmware/firmware_files.h"
#include "platform/win_types.h"

class ISettingsStore;

// Where the firmware lies on the server: "ZR8/firmware".
std::wstring ServerFirmwareDirectory();

struct CFileServerAddress {
    std::wstring host;
    uint16_t port = 0;  // 0: the FTP service's own port (21)
};
// "host" or "host:port" (port 1-65535). False for anything else; the address is then
// left as it was.
bool ParseFileServerAddress(const std::wstring& text, CFileServerAddress& address);
// The "FileServer" setting when it is set and well formed, else string 10092 on the
// default port.
CFileServerAddress FileServerAddress(ISettingsStore& store);
// "host" or "host:port", as the log line names the server.
std::wstring FileServerText(const CFileServerAddress& address);

// Suffix of a file while it arrives; no folder scan ever takes such a name.
extern const wchar_t kDownloadSuffix[];  // ".download"
// Suffix a fetched HEX file that failed validation is kept under.
extern const wchar_t kCorruptSuffix[];   // ".corrupt"

// A name the server listed may be written into the folder only when it is a plain file
// name: not empty, no "\" or "/", no "..", no ":" (drive or stream), no control
// character or <>"|?*, no trailing dot or blank, no device name (CON, PRN, AUX, NUL,
// COM1-9, LPT1-9, with or without extension), and its temporary path in the folder
// stays under the 260-character path limit.
bool IsSafeServerFileName(const std::wstring& name, const std::wstring& folder);

// The folder scan's rule applied to one listed name. The release notes set the notes
// flag and are taken; a firmware file is taken when its version is above the version
// held (the newest local file's, or of the newest name taken so far), and then becomes
// the held one; anything else is refused.
bool ConsiderFile(CFirmwareFiles& files, const std::wstring& name);

// Release notes alone are not worth a copy when the folder has them already: true (and
// the list emptied) when the notes flag is set and the list holds only the notes.
bool DropLoneReleaseNotes(const CFirmwareFiles& files, std::vector<std::wstring>& names);

// Where a file arrives, and where it goes.
std::wstring DownloadPath(const std::wstring& folder, const std::wstring& name);
std::wstring FinalPath(const std::wstring& folder, const std::wstring& name);

enum class CopiedFile {
    Verified,      // in place under its name
    VerifyFailed,  // a HEX file that does not parse: kept as name + ".corrupt"
    NotPlaced,     // could not be renamed into place: removed, error in placeError
};
// Validates the fully fetched file (VerifyHexFile for ".hex" names, any other file is
// good) and renames it into place, or aside when it fails validation.
CopiedFile PlaceCopiedFile(const std::wstring& folder, const std::wstring& name, DWORD& placeError);
// Removes what arrived of an interrupted fetch.
void DiscardDownload(const std::wstring& folder, const std::wstring& name);
