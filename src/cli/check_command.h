// "zr8 check FILE": what a file holds, without the radio. The file's extension picks
// the check: ".hex" firmware here, ".ZR8Config" configuration (config_check_command.cpp).
#pragma once

#include <string>

class CCliSession;

// Each returns a CliExit code.
int CheckHexFile(CCliSession& session, const std::wstring& path);
int CheckConfigFile(CCliSession& session, const std::wstring& path);
