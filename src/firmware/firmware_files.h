// The local firmware folder: which file is the newest firmware, whether the release
// notes are there, and the version a firmware file's name carries.
#pragma once

#include <cstdint>
#include <string>

class CFirmwareFiles {
public:
    void Clear();
    bool HasFirmware() const { return !m_firmwarePath.empty(); }

    std::wstring m_firmwarePath;  // empty when the folder holds no firmware file
    uint16_t m_version = 0;       // from that file's name
    bool m_notesPresent = false;  // "zr8fwnotes.rtf" is in the folder
};

// The release notes of the firmware, kept next to the HEX files.
extern const wchar_t kFirmwareNotesName[];  // "zr8fwnotes.rtf"

// The decimal number written right before the extension: zr8mcu_0117.hex gives 117,
// zr8.hex 8 (the prefix's digit), a name without digits 0. The first character of the
// name is never part of the number, so a name made only of digits gives 0.
uint16_t VersionFromFileName(const std::wstring& path);

// A name that begins with "zr8" and ends in ".hex", letters in either case.
bool IsFirmwareFileName(const std::wstring& name);

// The firmware file with the highest version in the folder (the first enumerated among
// equals; version 0 never counts), and the notes flag. A folder that cannot be read,
// and an empty folder name, give an empty result.
CFirmwareFiles ScanFirmwareFolder(const std::wstring& folder);

// "%02u.%02u" of version / 100 and version % 100.
std::wstring VersionText(uint16_t version);
