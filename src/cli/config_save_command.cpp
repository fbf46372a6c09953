// zr8 save-config [FILE]: the radio's configuration into a file, named and placed as the
// program's save dialog proposes when FILE is not given (or is a folder).
#include "cli/cli_session.h"
#include "cli/command_arguments.h"
#include "cli/config_cli_support.h"
#include "cli/config_commands.h"
#include "config/config_file_writer.h"
#include "config/config_names.h"
#include "config/config_operation.h"
#include "config/config_save_state_machine.h"
#include "config/configuration_folder.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "platform/code_pages.h"
#include "platform/folders.h"

int RunSaveConfigCommand(CCliSession& session, const CommandArgs& args) {
    const CCommand* command = FindCommand("save-config");
    CParsedArguments parsed;
    std::string error;
    if (!ParseCommandArguments(args, {}, parsed, error)) return UsageError(command, error);
    if (parsed.operands.size() > 1) return UsageError(command, "save-config takes one file");
    const std::wstring given = parsed.operands.empty() ? std::wstring() : CodePages::FromUtf8(parsed.operands[0]);

    int rc = ConfigCli::Connect(session);
    if (rc != CliExit::Ok) return rc;
    CModel& model = session.Model();
    CConsoleOutput& out = session.Out();

    const CSaveTime time = CSaveTime::Now();
    const std::wstring name = ConfigNames::DefaultFileName(model.m_serialNumber.Get(), time);
    std::wstring path;
    if (given.empty())
        path = ConfigCli::DefaultSavePath(session, time);
    else
        path = Folders::FolderExists(given) ? Folders::Join(given, name) : given;
    if (Folders::FileExists(path) && !session.AskYesNo(FormatText(IDS_CLI_CONFIG_REPLACE, path.c_str()))) {
        out.Error(FormatText(IDS_CLI_CONFIG_NOT_REPLACED, path.c_str()));
        return session.Fail(ERROR_CANCELLED);
    }

    CConfigSaveStateMachine machine(model);
    DWORD result = ConfigCli::ReadRadioConfiguration(session, machine);
    result = CompleteConfigSave(result, machine, session.Window(), path, time, CConfigFileHeader::FromModel(model));
    if (result == 0) {
        out.Status(LoadStringText(IDS_CONFIG_SAVED));
        out.Result(FormatText(IDS_CLI_CONFIG_SAVED_TO, path.c_str()));
        out.Field("path", path);
        out.Field("serialNumber", static_cast<long long>(model.m_serialNumber.Get()));
        return CliExit::Ok;
    }
    out.Error(LoadStringText(result == ERROR_CANCELLED ? IDS_CONFIG_SAVE_CANCELLED : IDS_CONFIG_SAVE_FAILED));
    return session.Fail(result);
}
