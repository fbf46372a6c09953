// WriteConfigurationFile: the radio's configuration area as a checksummed text file.
#pragma once

#include <string>

#include "config/config_names.h"
#include "platform/win_types.h"

class CFileWrite2;
class CModelBase;

// The values of the header lines besides the time.
struct CConfigFileHeader {
    std::wstring utilityVersion;   // the product's title, "" when it has no version resource
    std::wstring firmwareVersion;  // the model's firmware version text
    unsigned short serialNumber = 0xFFFF;  // 0xFFFF: no serial number line

    static CConfigFileHeader FromModel(const CModelBase& model);
};

// Writes the file for the 1024-byte image (indexed by EEPROM address). True on success;
// false with the system error as the last error after the failure has been reported in
// a box owned by owner (caption 13566). A failed write leaves a file that stood at the
// path untouched.
bool WriteConfigurationFile(HWND owner, const std::wstring& path, const CSaveTime& time, const BYTE* image,
                            const CConfigFileHeader& header);
// The same through a file object of the caller's (tests write through a failing one).
bool WriteConfigurationFile(CFileWrite2& file, const std::wstring& path, const CSaveTime& time,
                            const BYTE* image, const CConfigFileHeader& header);
