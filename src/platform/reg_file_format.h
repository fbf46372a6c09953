// The REGEDIT4 text the settings file is kept in:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Orvandel\ZR8 Utility]
//   "Port"="COM5"
//   "FirmwareLoadRetryLimit"=dword:0000000a
//
//   [HKEY_CURRENT_USER\Software\Orvandel\ZR8 Utility\Window]
//   "flags"=dword:00000000
//
// Strings are UTF-8 with \\ and \" escaped. A value that is not a clean string or a
// 4-byte DWORD is written as hex(type):xx,xx,... (hex: for REG_BINARY) so that every
// byte comes back as it went in. Reading takes CRLF or LF, a UTF-8 byte order mark,
// comments (;), continuation lines ending in "\", and skips lines it cannot read and
// sections outside the application key.
#pragma once

#include <string>

#include "platform/registry_tree.h"

namespace RegFileFormat {

// False when the text does not start with a REGEDIT4 (or version 5.00) header.
bool Parse(const std::string& utf8Text, CRegistryTree& tree);
std::string Write(const CRegistryTree& tree);

}  // namespace RegFileFormat
