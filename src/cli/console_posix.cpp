#include <unistd.h>

#include "cli/console.h"

namespace Console {
bool StdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }
bool StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }
}  // namespace Console
