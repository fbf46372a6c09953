// The simulated radio on a pseudo-terminal exists only where there are pseudo-terminals.
#include <cstdio>

#include "cli/commands.h"

int RunSimCommand(CCliSession&, const CommandArgs&) {
    std::fprintf(stderr, "zr8: \"sim\" runs on Linux only; use --port sim for the radio in this process\n");
    return CliExit::Usage;
}
