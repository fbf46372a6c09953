// What zr8 flash makes sure of before the first packet: the file's version can be read
// from its name, the user agrees to a downgrade or a reload of the same version, and the
// radio's configuration is saved first (the backup). Nothing here touches the radio but
// the backup's EEPROM reads.
#pragma once

#include <string>

class CCliSession;

struct CFlashGateOptions {
    bool backup = true;  // --no-backup clears it
    bool force = false;  // --force: a file whose name gives no version is loaded anyway
};

// The version in the file's name (zr8_0124.hex: 124), or 0 when the name gives none
// (the digit of the "zr8" prefix is no version).
unsigned FileVersionFromName(const std::wstring& path);

// Before the port is opened: a file without a version in its name is refused unless
// --force. CliExit::Ok, or the exit code after the failure has been printed.
int CheckFlashFileName(CCliSession& session, const std::wstring& path, const CFlashGateOptions& options);

// After contact, before "LD;": the version question and the backup. CliExit::Ok to go
// on, or the exit code after the failure (a declined load, a failed backup) has been
// printed; the radio is then unchanged.
int PassFlashGate(CCliSession& session, const std::wstring& path, const CFlashGateOptions& options);
