#include "cli/cli_main.h"

#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/command_table.h"

int RunCli(const std::vector<std::string>& args) {
    CGlobalOptions options;
    std::string error;
    if (!ParseGlobalOptions(args, options, error)) return UsageError(nullptr, error);
    if (options.version && !options.help) {
        PrintVersion();
        return CliExit::Ok;
    }
    if (options.command.empty()) {
        if (options.help) {
            PrintGeneralHelp();
            return CliExit::Ok;
        }
        return UsageError(nullptr, "no command given");
    }
    const CCommand* command = FindCommand(options.command);
    if (!command) return UsageError(nullptr, "unknown command '" + options.command + "'");
    if (options.help) {
        PrintCommandHelp(*command);
        return CliExit::Ok;
    }
    CCliSession session(options);
    const int exitCode = command->handler(session, options.commandArgs);
    session.Out().Finish(exitCode);
    return exitCode;
}
