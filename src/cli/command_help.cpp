#include <cstdio>

#include "cli/command_table.h"
#include "core/text/version_fields.h"

namespace {
const char kGlobalOptions[] =
    "Options (before or after the command, but not after \"sim\"):\n"
    "  --port NAME     serial port: COM3, /dev/ttyUSB0, ttyUSB0, or \"sim\" for the\n"
    "                  simulated radio in this process (default: the saved \"Port\")\n"
    "  --sim OPTIONS   zr8sim options for --port sim, in one argument\n"
    "                  (e.g. --sim \"--baud-model instant --version 117\")\n"
    "  --timeout SEC   how long to look for the radio before giving up (10)\n"
    "  --yes           answer Yes to every question\n"
    "  --trace         show every command, answer and time-out of the exchange\n"
    "  --verbose       time stamps on the status lines, and what the tool is doing\n"
    "  --json          JSON lines on standard output, one per event, instead of text\n"
    "  --help          this text; \"zr8 COMMAND --help\" for one command\n"
    "  --version       the program's version\n"
    "Exit status: 0 success, 1 the radio, the port or a file failed, 2 usage error.\n";
}

void PrintVersion() {
    std::printf("zr8 %u.%u.%u.%u\n", ZR8_VERSION_MAJOR, ZR8_VERSION_MINOR, ZR8_VERSION_PATCH, ZR8_VERSION_BUILD);
}

void PrintGeneralHelp() {
    std::printf("usage: zr8 [options] COMMAND [arguments]\n\nCommands:\n");
    for (const CCommand& command : Commands()) std::printf("  %s\n", command.usage);
    std::printf("\n%s", kGlobalOptions);
}

void PrintCommandHelp(const CCommand& command) {
    std::printf("usage: zr8 [options] %s\n\n%s\n\n%s", command.usage, command.help, kGlobalOptions);
}

int UsageError(const CCommand* command, const std::string& message) {
    std::fprintf(stderr, "zr8: %s\n", message.c_str());
    if (command)
        std::fprintf(stderr, "usage: zr8 [options] %s\n", command->usage);
    else
        std::fprintf(stderr, "usage: zr8 [options] COMMAND [arguments]; \"zr8 --help\" lists the commands\n");
    return CliExit::Usage;
}
