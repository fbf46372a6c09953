// zr8 diff A.ZR8Config B.ZR8Config | A.ZR8Config --radio: both sides checked as a
// restore checks a file (the radio's side read as save-config reads it), then what
// differs. Exit status as diff's: 0 equal, 1 different, 2 trouble; a file that fails
// its check is trouble, never a difference.
#include "cli/cli_session.h"
#include "cli/command_arguments.h"
#include "cli/config_cli_support.h"
#include "cli/config_commands.h"
#include "cli/config_diff.h"
#include "config/config_file_reader.h"
#include "config/config_save_state_machine.h"
#include "config/restore_records.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "platform/code_pages.h"

namespace {
constexpr int kTrouble = 2;

DWORD ReadFileSide(CCliSession& session, const std::wstring& path, CConfigImage& image) {
    CRestoreRecords records;
    CConfigReadContext context;
    context.owner = session.Window();
    context.records = &records;
    context.everyByte = [&image](DWORD address, BYTE value) { image.Set(address, value); };
    const DWORD result = ReadConfigurationFile(path, context);
    image.serialNumber = context.serialNumberInFile;
    return result;
}

std::wstring SerialText(int serial) { return serial < 0 ? std::wstring(L"none") : FormatText(L"%05u", unsigned(serial)); }
}  // namespace

int RunConfigDiffCommand(CCliSession& session, const CommandArgs& args) {
    const CCommand* command = FindCommand("diff");
    CParsedArguments parsed;
    std::string error;
    if (!ParseCommandArguments(args, {{"--radio", false}}, parsed, error)) return UsageError(command, error);
    const bool radio = parsed.Has("--radio");
    std::vector<std::wstring> files;
    for (const std::string& arg : parsed.operands) files.push_back(CodePages::FromUtf8(arg));
    if (files.size() != (radio ? 1u : 2u))
        return UsageError(command, radio ? "diff --radio takes one file" : "diff takes two files, or one file and --radio");

    const int rc = session.Open();
    if (rc != CliExit::Ok) return rc;
    CConsoleOutput& out = session.Out();

    CConfigImage before, after;
    DWORD result = ReadFileSide(session, files[0], before);
    if (result != 0) {
        session.Fail(result, ConfigCli::FileAdvice(files[0], result));
        return kTrouble;
    }
    std::wstring afterName = radio ? LoadStringText(IDS_CLI_DIFF_THE_RADIO) : files[1];
    if (radio) {
        if (ConfigCli::Connect(session) != CliExit::Ok) return kTrouble;
        CConfigSaveStateMachine machine(session.Model());
        result = ConfigCli::ReadRadioConfiguration(session, machine);
        if (result != 0) {
            session.Fail(result);
            return kTrouble;
        }
        for (DWORD address = 0; address < ConfigFormat::kConfigAreaSize; ++address)
            after.Set(address, machine.Image()[address]);
        const unsigned short serial = session.Model().m_serialNumber.Get();
        after.serialNumber = serial == kSerialNumberNone ? -1 : serial;
    } else {
        result = ReadFileSide(session, files[1], after);
        if (result != 0) {
            session.Fail(result, ConfigCli::FileAdvice(files[1], result));
            return kTrouble;
        }
    }

    const std::vector<CDiffRange> ranges = DifferingRanges(before, after);
    unsigned bytes = 0;
    for (const CDiffRange& range : ranges) bytes += range.last - range.first + 1;
    out.Field("equal", static_cast<long long>(ranges.empty()));
    out.Field("ranges", static_cast<long long>(ranges.size()));
    out.Field("bytes", static_cast<long long>(bytes));
    if (ranges.empty()) {
        out.Result(LoadStringText(IDS_CLI_DIFF_EQUAL));
        // Equal bytes saved from two radios: worth saying, but no difference.
        if (before.serialNumber != after.serialNumber)
            out.Result(FormatText(IDS_CLI_DIFF_SERIAL, SerialText(before.serialNumber).c_str(),
                                  SerialText(after.serialNumber).c_str()));
        return CliExit::Ok;
    }
    out.Result(L"--- " + files[0]);
    out.Result(L"+++ " + afterName);
    for (const CDiffRange& range : ranges)
        out.Result(FormatText(IDS_CLI_DIFF_RANGE, unsigned(range.first), unsigned(range.last),
                              unsigned(range.last - range.first + 1), RangeBytes(before, range).c_str(),
                              RangeBytes(after, range).c_str()));
    if (before.Banner() != after.Banner())
        out.Result(FormatText(IDS_CLI_DIFF_BANNER, before.Banner().c_str(), after.Banner().c_str()));
    out.Result(FormatText(IDS_CLI_DIFF_SERIAL, SerialText(before.serialNumber).c_str(), SerialText(after.serialNumber).c_str()));
    const std::vector<CDiffRange> protectedRanges = ProtectedRanges(ranges);
    if (!protectedRanges.empty()) out.Result(FormatText(IDS_CLI_DIFF_PROTECTED, RangeList(protectedRanges).c_str()));
    if (ranges.size() != 1)
        out.Result(FormatText(IDS_CLI_DIFF_SUMMARY, bytes, unsigned(ranges.size())));
    else if (bytes == 1)
        out.Result(LoadStringText(IDS_CLI_DIFF_SUMMARY_ONE_BYTE));
    else
        out.Result(FormatText(IDS_CLI_DIFF_SUMMARY_ONE_RANGE, bytes));
    return CliExit::Failure;
}
