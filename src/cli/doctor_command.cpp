// zr8 doctor [PORT...]: looks for a ZR8 on each port (the ones given, --port, or every
// port "zr8 ports" lists) and says for each what answered there, or what went wrong
// and what to do about it.
#include "cli/adapter_checks.h"
#include "cli/cli_session.h"
#include "cli/command_arguments.h"
#include "cli/commands.h"
#include "cli/device_text.h"
#include "cli/port_list.h"
#include "core/text/error_codes.h"
#include "core/text/error_text.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "platform/code_pages.h"

namespace {
// One port, with a session of its own: its own model, port and line watch. True when a
// ZR8 answered there.
// failure and hint: what went wrong there, and the advice.
bool CheckPort(const CGlobalOptions& global, const std::wstring& port, CConsoleOutput& out, DWORD& failure,
               std::wstring& hint) {
    CGlobalOptions options = global;
    options.port = port;
    options.portGiven = true;
    CCliSession probe(options);
    out.Status(FormatText(IDS_CLI_DOCTOR_CHECKING, port.c_str()));
    if (probe.Open() != CliExit::Ok) {
        failure = ERROR_INVALID_PARAMETER;
        return false;
    }
    const DWORD result = probe.RunContact();
    CModel& model = probe.Model();
    const std::wstring& shown = probe.PortName();  // as the port reports it: "SIM" for "sim"
    if (result == 0) {
        const unsigned short serial = model.m_serialNumber.Get();
        const std::wstring serialText =
            serial == kSerialNumberNone ? LoadStringText(IDS_CLI_SERIAL_NONE) : FormatText(L"%05u", unsigned(serial));
        out.Result(FormatText(IDS_CLI_DOCTOR_FOUND, shown.c_str(), FirmwareStatusName(model.m_firmwareStatus.Get()).c_str(),
                              model.FirmwareVersionText().c_str(), serialText.c_str(),
                              unsigned(model.SerialPort().BaudRate())));
        if (probe.Line().Kind() == LineKind::EchoOnly) out.Status(ExplainFailure(Zr8Error::UnexpectedDevice, probe.FailureContext()));
        return true;
    }
    failure = probe.FirstFailure(result);
    hint = ExplainFailure(failure, probe.FailureContext());
    // Not the run's end: with --json a port's failure is "message" events, and the one
    // "error" event comes only when no port had a ZR8.
    probe.ShowFailure(result, hint, false);
    out.Result(FormatText(IDS_CLI_DOCTOR_NOT_FOUND, shown.c_str(), unsigned(failure), GetErrorText(failure).c_str()));
    return false;
}
}  // namespace

int RunDoctorCommand(CCliSession& session, const CommandArgs& args) {
    CParsedArguments parsed;
    std::string error;
    if (!ParseCommandArguments(args, {}, parsed, error)) return UsageError(FindCommand("doctor"), error);
    std::vector<std::wstring> ports;
    for (const std::string& arg : parsed.operands) ports.push_back(CodePages::FromUtf8(arg));
    if (ports.empty() && session.Options().portGiven) ports.push_back(session.Options().port);
    if (ports.empty())
        for (const CPortEntry& entry : ListSerialPorts()) ports.push_back(entry.name);
    CConsoleOutput& out = session.Out();
    ShowFindings(out, MachineFindings());
    if (ports.empty()) {
        out.Error(LoadStringText(IDS_CLI_NO_PORTS));
        return session.Fail(ERROR_FILE_NOT_FOUND);
    }

    unsigned found = 0;
    DWORD lastFailure = 0;
    std::wstring lastHint;
    for (const std::wstring& port : ports) {
        DWORD failure = 0;
        std::wstring hint;
        const bool ok = CheckPort(session.Options(), port, out, failure, hint);
        if (ok) {
            ++found;
        } else {
            lastFailure = failure;
            lastHint = hint;
        }
        ShowPortAdapter(out, port, ok);
    }
    out.Result(FormatText(IDS_CLI_DOCTOR_SUMMARY, found, unsigned(ports.size())));
    out.Field("ports", static_cast<long long>(ports.size()));
    out.Field("found", static_cast<long long>(found));
    if (found != 0) return CliExit::Ok;
    // Each port's failure has been shown with its advice; JSON ends with the last one.
    if (out.IsJson()) out.ErrorCode(lastFailure, GetErrorText(lastFailure), lastHint);
    return CliExit::Failure;
}
