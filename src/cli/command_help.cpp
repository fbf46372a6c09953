#include <cstdio>
#include <string>

#include "cli/command_table.h"
#include "cli/json_events.h"
#include "core/text/version_fields.h"
#include "platform/code_pages.h"

namespace {
bool g_json = false;

#ifdef _WIN32
const char kPortOption[] =
    "  --port NAME     serial port: COM3, or \"sim\" for the simulated radio in this\n"
    "                  process (default: the saved \"Port\")\n";
#else
const char kPortOption[] =
    "  --port NAME     serial port: /dev/ttyUSB0, ttyUSB0, ./link, COM1 (/dev/ttyS0),\n"
    "                  or \"sim\" for the simulated radio in this process (default:\n"
    "                  the saved \"Port\")\n";
#endif

std::string GlobalOptions() {
    return std::string(
#ifdef _WIN32
               "Options (before or after the command):\n"
#else
               "Options (before or after the command, but not after \"sim\"):\n"
#endif
               ) +
           kPortOption +
           "  --sim OPTIONS   simulator options for --port sim, in one argument\n"
           "                  (e.g. --sim \"--baud-model instant --version 117\")\n"
           "  --timeout SEC   how long to look for the radio before giving up (10)\n"
           "  --yes           answer Yes to every question\n"
           "  --trace         show every command, answer and time-out of the exchange\n"
           "  --verbose       time stamps on the status lines, and what the tool is doing\n"
           "  --json          JSON lines on standard output, one per event, instead of text\n"
           "  --help          this text; \"zr8 COMMAND --help\" for one command\n"
           "  --version       the program's version\n"
           "  --              ends the options: what follows is the command's, even \"-x\"\n"
           "Exit status: 0 success, 1 the radio, the port or a file failed, 2 usage error.\n";
}

// Standard output in text mode; with --json one "output" event per line.
void PrintText(const std::string& text) {
    if (!g_json) {
        std::fputs(text.c_str(), stdout);
        return;
    }
    CJsonEvents events;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        events.Text("output", CodePages::FromUtf8(text.substr(start, end - start)));
        start = end + 1;
    }
}
}  // namespace

void SetJsonOutput(bool json) { g_json = json; }

bool IsCommandListed(const CCommand& command) {
#ifdef _WIN32
    return std::string(command.name) != "sim";  // pseudo-terminals are Linux's
#else
    (void)command;
    return true;
#endif
}

void PrintVersion() {
    char text[64];
    std::snprintf(text, sizeof text, "zr8 %u.%u.%u.%u\n", ZR8_VERSION_MAJOR, ZR8_VERSION_MINOR, ZR8_VERSION_PATCH,
                  ZR8_VERSION_BUILD);
    PrintText(text);
}

void PrintGeneralHelp() {
    std::string text = "usage: zr8 [options] COMMAND [arguments]\n\nCommands:\n";
    for (const CCommand& command : Commands())
        if (IsCommandListed(command)) text += std::string("  ") + command.usage + "\n";
    PrintText(text + "\n" + GlobalOptions());
}

void PrintCommandHelp(const CCommand& command) {
    PrintText(std::string("usage: zr8 [options] ") + command.usage + "\n\n" + command.help + "\n\n" + GlobalOptions());
}

int UsageError(const CCommand* command, const std::string& message) {
    const std::string usage = command ? std::string("zr8 [options] ") + command->usage
                                      : std::string("zr8 [options] COMMAND [arguments]");
    if (g_json) {
        CJsonEvents().Usage(message, usage);
        return CliExit::Usage;
    }
    std::fprintf(stderr, "zr8: %s\n", message.c_str());
    if (command)
        std::fprintf(stderr, "usage: %s\n", usage.c_str());
    else
        std::fprintf(stderr, "usage: %s; \"zr8 --help\" lists the commands\n", usage.c_str());
    return CliExit::Usage;
}
