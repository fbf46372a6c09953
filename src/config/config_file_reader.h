// ReadConfigurationFile: checks a configuration file and turns it into the byte runs a
// restore writes back. It works for a window (the restore dialog, or the command line):
// every error is shown in a box owned by that window before the code is returned, and
// nothing of a refused file reaches the radio.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "config/config_crc.h"
#include "platform/win_types.h"

class CRestoreRecords;

struct CConfigReadContext {
    HWND owner = nullptr;                  // owner of the error boxes and questions
    unsigned short serialNumber = 0xFFFF;  // the radio's; 0xFFFF: not read, no check
    bool advancedMode = false;             // a mismatch may be accepted after a warning
    CRestoreRecords* records = nullptr;    // receives every restorable byte
    // Sees every byte of the memory lines, restorable or not, in file order (comparing
    // two files); may be empty.
    std::function<void(DWORD address, BYTE value)> everyByte;
    bool serialNumberMismatch = false;     // out: the user accepted another radio's file
    int serialNumberInFile = -1;           // out: the last serial number line's, in 16 bits
};

// 0, or 0xE2000030 (incomplete), 0xE2000031 (altered or unparsable), 0xE2000032 (serial
// number refused), or the system error of a failed open or read.
DWORD ReadConfigurationFile(const std::wstring& path, CConfigReadContext& context);
// The same over contents already in memory (one character per byte).
DWORD ReadConfigurationText(std::string_view contents, CConfigReadContext& context);

// The reader's running state: the integrity value over the lines so far, the line being
// collected and the completeness flags. Lines are ended by LF; CR is dropped anywhere; a
// last line without LF is never looked at.
class CConfigFileReader {
public:
    explicit CConfigFileReader(CConfigReadContext& context) : m_context(context) {}

    // 0 to go on, else the error that ends the reading (already reported).
    DWORD AddChar(wchar_t c);
    // The verdict at the end of the contents (completeness reported).
    DWORD Finish();

private:
    DWORD ProcessLine(const std::wstring& line);
    DWORD CheckSerialNumber(const std::wstring& line);
    void StoreBytes(DWORD address, const BYTE* bytes, size_t count);

    CConfigReadContext& m_context;
    CConfigCrc m_crc;
    std::wstring m_line;
    bool m_memorySeen = false;
    bool m_memoryNotCovered = true;
};
