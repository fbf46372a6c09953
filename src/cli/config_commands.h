// The configuration commands of zr8 (rows in command_table.cpp): save-config,
// restore-config and banner. "check FILE.ZR8Config" is CheckConfigFile in
// config_check_command.cpp.
#pragma once

#include "cli/command_table.h"

int RunSaveConfigCommand(CCliSession& session, const CommandArgs& args);
int RunRestoreConfigCommand(CCliSession& session, const CommandArgs& args);
int RunBannerCommand(CCliSession& session, const CommandArgs& args);
int RunConfigDiffCommand(CCliSession& session, const CommandArgs& args);
