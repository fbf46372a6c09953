// zr8 check FILE.ZR8Config: integrity value, completeness, the runs of bytes a restore
// would write and the serial number, without the radio.
#include "cli/check_command.h"
#include "cli/cli_session.h"
#include "cli/command_table.h"
#include "cli/config_cli_support.h"
#include "config/config_file_reader.h"
#include "config/restore_records.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"

int CheckConfigFile(CCliSession& session, const std::wstring& path) {
    CConsoleOutput& out = session.Out();
    session.UseBoxes();  // the reader's boxes, as every other message of the run
    CRestoreRecords records;
    CConfigReadContext context;
    context.records = &records;  // no radio: no serial number to compare with
    const DWORD result = ReadConfigurationFile(path, context);
    if (result != 0) return session.Fail(result, ConfigCli::FileAdvice(path, result));
    out.Result(LoadStringText(IDS_CLI_CONFIG_FILE_GOOD));
    out.Result(FormatText(IDS_CLI_CONFIG_RECORDS, unsigned(records.Count()), unsigned(records.TotalBytes())));
    for (size_t i = 0; i < records.Count(); ++i) {
        const CRestoreBlockRecord& r = records.At(i);
        out.Result(FormatText(IDS_CLI_CONFIG_RUN, unsigned(r.StartAddress()), unsigned(r.StartAddress() + r.Length() - 1),
                              unsigned(r.Length())));
    }
    if (context.serialNumberInFile >= 0)
        out.Result(FormatText(IDS_CLI_CONFIG_FILE_SERIAL, unsigned(context.serialNumberInFile)));
    else
        out.Result(LoadStringText(IDS_CLI_CONFIG_FILE_NO_SERIAL));
    return CliExit::Ok;
}
