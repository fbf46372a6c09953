// "zr8 check FILE": what a file holds, without the radio. The file's extension picks
// the check: ".hex" firmware here, ".ZR8Config" configuration (config_check_command.cpp).
#pragma once

#include <string>

#include "platform/win_types.h"

class CCliSession;

// Each returns a CliExit code.
int CheckHexFile(CCliSession& session, const std::wstring& path);
// A firmware file that cannot be read as the loader reads it: the line at fault, then
// "Error code" and what to do (the file is missing, empty or broken). code: the
// load's error (0: the loader's own default). Returns CliExit::Failure.
int FailHexFile(CCliSession& session, const std::wstring& path, unsigned line, DWORD code);
// ".hex", letters in either case.
bool HasHexExtension(const std::wstring& path);
int CheckConfigFile(CCliSession& session, const std::wstring& path);
