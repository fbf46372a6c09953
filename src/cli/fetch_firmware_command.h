// zr8 fetch-firmware: new firmware files from the maker's file server into the
// firmware folder (row in command_table.cpp).
#pragma once

#include "cli/command_table.h"

int RunFetchFirmwareCommand(CCliSession& session, const CommandArgs& args);
