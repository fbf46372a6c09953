// zr8 banner [TEXT]: shows the power-on banner, or writes TEXT (trailing blanks dropped,
// at most 16 characters) and shows what the radio reads back.
#include "cli/cli_session.h"
#include "cli/command_arguments.h"
#include "cli/config_cli_support.h"
#include "cli/config_commands.h"
#include "config/banner_state_machine.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "platform/code_pages.h"

int RunBannerCommand(CCliSession& session, const CommandArgs& args) {
    const CCommand* command = FindCommand("banner");
    CParsedArguments parsed;
    std::string error;
    if (!ParseCommandArguments(args, {}, parsed, error))
        return UsageError(command, error + " (a text that begins with \"-\" goes after --)");
    if (parsed.operands.size() > 1) return UsageError(command, "banner takes one text (quote it when it has blanks)");
    const bool write = parsed.operands.size() == 1;
    const std::wstring text = write ? TrimBannerText(CodePages::FromUtf8(parsed.operands[0])) : std::wstring();
    if (CodePages::ToAnsi(text).size() > CBannerStateMachine::kBannerLength)
        return UsageError(command, CodePages::ToUtf8(LoadStringText(IDS_CLI_BANNER_TOO_LONG)));

    int rc = ConfigCli::Connect(session);
    if (rc != CliExit::Ok) return rc;

    CBannerStateMachine machine(session.Model());
    COperation run;
    run.machine = &machine;
    run.start = [&] { return write ? machine.StartWrite(session.Window(), text) : machine.StartRead(session.Window()); };
    run.abandon = [&](DWORD code) {
        if (!machine.IsIdle()) ConfigCli::EndAt(machine, code);
    };
    session.SetActivity(write ? CliActivity::BannerWrite : CliActivity::RadioCommand);
    const DWORD result = session.RunOperation(run);
    if (result != 0) return session.Fail(result);
    session.Out().Result(FormatText(IDS_CLI_BANNER_TEXT,
                                    machine.m_bannerText.GetAt(CBannerStateMachine::ReadText).c_str()));
    return CliExit::Ok;
}
