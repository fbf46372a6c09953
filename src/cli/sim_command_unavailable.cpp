// The simulated radio on a pseudo-terminal exists only where there are pseudo-terminals.
#include "cli/commands.h"

int RunSimCommand(CCliSession&, const CommandArgs&) {
    return UsageError(nullptr, "\"sim\" runs on Linux only; use --port sim for the radio in this process");
}
