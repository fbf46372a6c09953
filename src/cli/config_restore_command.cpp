// zr8 restore-config [--advanced] FILE: a configuration file back into the radio, after
// the file has been checked; nothing of a refused file reaches the radio.
#include "cli/cli_session.h"
#include "cli/command_arguments.h"
#include "cli/config_cli_support.h"
#include "cli/config_commands.h"
#include "config/config_restore_state_machine.h"
#include "core/model/contact_state_machine.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "platform/code_pages.h"

int RunRestoreConfigCommand(CCliSession& session, const CommandArgs& args) {
    const CCommand* command = FindCommand("restore-config");
    CParsedArguments parsed;
    std::string error;
    if (!ParseCommandArguments(args, {{"--advanced", false}}, parsed, error)) return UsageError(command, error);
    if (parsed.operands.size() > 1) return UsageError(command, "restore-config takes one file");
    if (parsed.operands.empty()) return UsageError(command, "restore-config needs a file");
    const std::wstring path = CodePages::FromUtf8(parsed.operands[0]);
    const bool advanced = parsed.Has("--advanced");

    int rc = ConfigCli::Connect(session);
    if (rc != CliExit::Ok) return rc;
    CModel& model = session.Model();
    CConsoleOutput& out = session.Out();
    if (advanced) model.m_advancedMode.Set(1);  // for this run only

    CConfigRestoreStateMachine machine(model);
    // The reader's boxes print on stderr; a mismatch question asks on the terminal.
    DWORD result = machine.ReadFile(path, session.Window());
    if (result != 0) return session.Fail(result, ConfigCli::FileAdvice(path, result));
    out.Verbose(FormatText(IDS_CLI_CONFIG_RECORDS, unsigned(machine.Records().Count()),
                           unsigned(machine.Records().TotalBytes())));

    CContactStateMachine& contact = model.ContactMachine();
    COperation restore;
    restore.machine = &machine;
    restore.start = [&] { return machine.Start(session.Window()); };
    restore.abandon = [&](DWORD code) {
        // After the last block the restore is done and contact is being made again.
        if (!machine.IsIdle())
            ConfigCli::EndAt(machine, code);
        else if (!contact.IsIdle())
            ConfigCli::EndAt(contact, code);
    };
    restore.question = LoadStringText(IDS_CONFIG_RESTORE_INTERRUPT);
    restore.onLoop = ConfigCli::ProgressReporter(
        session, [&] { return machine.ProgressPosition(); }, [&] { return machine.ProgressTotal(); });
    session.SetActivity(CliActivity::ConfigRestore);
    result = session.RunOperation(restore);
    out.EndProgress();

    if (result == 0) {
        out.Result(LoadStringText(IDS_CONFIG_RESTORED));
        out.Status(LoadStringText(IDS_CONFIG_TURN_POWER_OFF_ON));
        return CliExit::Ok;
    }
    if (result == ERROR_CANCELLED) {
        out.Error(LoadStringText(IDS_CONFIG_RESTORE_CANCELLED));
        out.Error(LoadStringText(IDS_CONFIG_RESTORE_CANCELLED_POWER));
    } else {
        out.Error(LoadStringText(IDS_CONFIG_RESTORE_FAILED));
        out.Error(LoadStringText(IDS_CONFIG_TURN_POWER_OFF_ON));
    }
    return session.Fail(result);
}
