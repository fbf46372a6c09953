// The commands of zr8, one row each: name, usage, help, handler. The rows stand in
// command_table.cpp; a command's handler lives in its own <name>_command.cpp.
#pragma once

#include <string>
#include <vector>

class CCliSession;

using CommandArgs = std::vector<std::string>;
// Gets the command's own arguments (global options already taken out) and returns the
// process exit code (CliExit).
using CommandHandler = int (*)(CCliSession& session, const CommandArgs& args);

struct CCommand {
    const char* name;
    const char* usage;  // after "zr8 [options] ", e.g. "flash [--folder DIR] [FILE]"
    const char* help;   // one or more lines, shown by "zr8 <name> --help"
    CommandHandler handler;
};

namespace CliExit {
constexpr int Ok = 0;
constexpr int Failure = 1;  // the radio, the port or a file failed: "Error code 0x%08X: %s"
constexpr int Usage = 2;    // the command line is wrong
}  // namespace CliExit

const std::vector<CCommand>& Commands();
const CCommand* FindCommand(const std::string& name);

// With --json the texts below are JSON events on stdout (the run's "result" event comes
// from RunCli).
void SetJsonOutput(bool json);
// "zr8: <message>" and the command's usage line (or the general one) on stderr, or the
// JSON "usage" event; returns CliExit::Usage.
int UsageError(const CCommand* command, const std::string& message);
void PrintGeneralHelp();
void PrintVersion();  // "zr8 <version>" on stdout
void PrintCommandHelp(const CCommand& command);
// The commands this platform's help lists ("sim" needs pseudo-terminals).
bool IsCommandListed(const CCommand& command);
