#include "cli/cli_main.h"

#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/command_table.h"
#include "cli/json_events.h"

namespace {
// The run up to its exit code; resultWritten is set when the session wrote the JSON
// "result" event itself (with the command's fields).
int RunCommandLine(const std::vector<std::string>& args, bool& resultWritten) {
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
    if (!command)
        return UsageError(nullptr, "unknown command '" + options.command + "'");
    if (options.help) {
        PrintCommandHelp(*command);
        return CliExit::Ok;
    }
    if (!options.simOptions.empty() && !(options.portGiven && IsSimulatedPortName(options.port)))
        return UsageError(command, "--sim sets up the simulated radio of --port sim; give --port sim with it");
    if (options.json && options.command == "sim")
        return UsageError(command, "the simulator writes no JSON: run zr8 sim without --json");
    CCliSession session(options);
    const int exitCode = command->handler(session, options.commandArgs);
    session.Out().Finish(exitCode);
    resultWritten = options.json;
    return exitCode;
}
}  // namespace

int RunCli(const std::vector<std::string>& args) {
    const bool json = WantsJson(args);
    SetJsonOutput(json);
    bool resultWritten = false;
    const int exitCode = RunCommandLine(args, resultWritten);
    if (json && !resultWritten) CJsonEvents().Result(exitCode);
    return exitCode;
}
