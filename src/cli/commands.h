// The handlers of the radio, port and firmware commands (rows in command_table.cpp).
#pragma once

#include "cli/command_table.h"

int RunPortsCommand(CCliSession& session, const CommandArgs& args);
int RunInfoCommand(CCliSession& session, const CommandArgs& args);
int RunSendCommand(CCliSession& session, const CommandArgs& args);
int RunTerminalCommand(CCliSession& session, const CommandArgs& args);
int RunSimCommand(CCliSession& session, const CommandArgs& args);
int RunFlashCommand(CCliSession& session, const CommandArgs& args);
int RunCheckCommand(CCliSession& session, const CommandArgs& args);
int RunDoctorCommand(CCliSession& session, const CommandArgs& args);
