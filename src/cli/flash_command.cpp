#include <vector>

#include "cli/check_command.h"
#include "cli/cli_session.h"
#include "cli/command_arguments.h"
#include "cli/commands.h"
#include "cli/flash_gate.h"
#include "core/model/contact_state_machine.h"
#include "core/text/error_text.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "firmware/checksum_reconciliation.h"
#include "firmware/firmware_files.h"
#include "firmware/hex_image.h"
#include "firmware/mcu_loader_state_machine.h"
#include "firmware/version_verify.h"
#include "platform/code_pages.h"
#include "platform/folders.h"

namespace {
const wchar_t kFirmwareName[] = L"MCU";

// The file, refused before the radio is touched when the loader would refuse it.
int CheckFirmwareFile(CCliSession& session, const std::wstring& path) {
    CConsoleOutput& out = session.Out();
    CHexImage image;
    if (!image.Load(path)) return FailHexFile(session, path, image.Line(), GetLastError());
    std::vector<std::wstring> lines;
    const DWORD code = ReconcileChecksum(image, kFirmwareName, [&](const std::wstring& line) { lines.push_back(line); });
    if (code != 0) {
        for (const std::wstring& line : lines) out.Error(line);
        return session.Fail(code);
    }
    return CliExit::Ok;
}

// A load that failed once "LD;" was out, with the port still there, has left the radio
// in its boot loader; when every packet went out, only the last answer was missing and
// the new firmware may well run. Empty: the session's own advice (a lost port).
std::wstring LoadFailureAdvice(CCliSession& session, const CMcuLoaderStateMachine& machine, DWORD result) {
    const CFailureContext context = session.FailureContext();
    const DWORD code = session.FirstFailure(result);
    if (code == CCliSession::kCancelled || !context.bootLoaderEntered || context.portLost ||
        (context.portOpened && IsPortLossCode(code)))
        return std::wstring();
    const bool everyPacketSent = machine.ProgressTotal() != 0 && machine.ProgressPosition() >= machine.ProgressTotal();
    return FormatText(everyPacketSent ? IDS_CLI_ADVICE_LAST_PACKET : IDS_CLI_ADVICE_LOAD_FAILED, context.port.c_str());
}

template <class T>
void EndAt(CStateHost<T>& machine, DWORD code) {
    machine.SetResult(code);
    machine.TransitionTo(machine.FinalState());
}
}  // namespace

int RunFlashCommand(CCliSession& session, const CommandArgs& args) {
    const CCommand* command = FindCommand("flash");
    CParsedArguments parsed;
    std::string error;
    if (!ParseCommandArguments(args, {{"--no-backup", false}, {"--force", false}, {"--folder", true}}, parsed, error))
        return UsageError(command, error);
    if (parsed.operands.size() > 1) return UsageError(command, "flash takes one firmware file");
    CFlashGateOptions gate;
    gate.backup = !parsed.Has("--no-backup");
    gate.force = parsed.Has("--force");
    const bool folderGiven = parsed.Has("--folder");
    std::wstring folder = folderGiven ? CodePages::FromUtf8(*parsed.Value("--folder")) : std::wstring();
    std::wstring file = parsed.operands.empty() ? std::wstring() : CodePages::FromUtf8(parsed.operands[0]);
    if (folderGiven && !file.empty()) return UsageError(command, "give a file or --folder, not both");
    // As the program's window takes them: Intel HEX files only.
    if (!file.empty() && !HasHexExtension(file))
        return UsageError(command, "flash takes an Intel HEX file (.hex), not '" + parsed.operands[0] + "'");

    const int rc = session.Open();
    if (rc != CliExit::Ok) return rc;
    CModel& model = session.Model();
    CConsoleOutput& out = session.Out();

    if (file.empty()) {
        if (!folderGiven) folder = model.m_firmwareFolder.Get();
        if (!Folders::FolderExists(folder)) {
            out.Error(FormatText(IDS_CLI_NO_FIRMWARE_FILE, folder.c_str()));
            return session.Fail(ERROR_PATH_NOT_FOUND, FormatText(IDS_CLI_ADVICE_NO_FOLDER, folder.c_str()));
        }
        const CFirmwareFiles found = ScanFirmwareFolder(folder);
        if (!found.HasFirmware()) {
            out.Error(FormatText(IDS_CLI_NO_FIRMWARE_FILE, folder.c_str()));
            return session.Fail(ERROR_FILE_NOT_FOUND, FormatText(IDS_CLI_ADVICE_NO_FIRMWARE, folder.c_str()));
        }
        file = found.m_firmwarePath;
    }
    out.Verbose(FormatText(IDS_CLI_FIRMWARE_FILE, file.c_str()));
    out.Field("file", file);
    if (!Folders::FileExists(file)) return FailHexFile(session, file, 0, ERROR_FILE_NOT_FOUND);
    if (CheckFlashFileName(session, file, gate) != CliExit::Ok) return CliExit::Failure;
    if (CheckFirmwareFile(session, file) != CliExit::Ok) return CliExit::Failure;

    DWORD result = session.RunContact();
    if (result != 0) return session.Fail(result);
    if (PassFlashGate(session, file, gate) != CliExit::Ok) return CliExit::Failure;

    CMcuLoaderStateMachine machine(model, kFirmwareName, file);
    CContactStateMachine& contact = model.ContactMachine();
    DWORD shown = 0;
    DWORD retriesShown = 0;
    COperation load;
    load.machine = &machine;
    load.start = [&] { return machine.Start(session.Window()); };
    load.abandon = [&](DWORD code) {
        // After the last packet the loader is done and contact is being made again.
        if (!machine.IsIdle())
            EndAt(machine, code);
        else if (!contact.IsIdle())
            EndAt(contact, code);
    };
    load.question = LoadStringText(IDS_CLI_ABANDON_LOAD);
    load.onLoop = [&] {
        if (machine.ProgressTotal() != 0 && machine.ProgressPosition() != shown) {
            shown = machine.ProgressPosition();
            out.Progress(shown, machine.ProgressTotal());
        }
        if (machine.TotalRetries() != retriesShown) {
            retriesShown = machine.TotalRetries();
            out.Retry(retriesShown);
        }
    };
    session.SetActivity(CliActivity::FirmwareLoad);
    result = session.RunOperation(load);
    out.EndProgress();
    const std::wstring loadAdvice = result != 0 ? LoadFailureAdvice(session, machine, result) : std::wstring();

    if (machine.TotalRetries() != 0) {
        out.Status(FormatText(IDS_TOTAL_RETRIES, unsigned(machine.TotalRetries())));
        out.Status(FormatText(IDS_HIGHEST_RETRIES, unsigned(machine.HighestRetries())));
    }
    if (result == 0 && FileVersionFromName(file) == 0)
        out.Status(LoadStringText(IDS_CLI_VERSION_NOT_CHECKED));  // only with --force
    else if (result == 0)
        result = VerifyVersion(machine, kFirmwareName, file);
    out.Field("retries", static_cast<long long>(machine.TotalRetries()));
    if (result == 0) {
        out.Field("version", model.FirmwareVersionText());
        out.Result(FormatText(IDS_FIRMWARE_LOAD_COMPLETE, kFirmwareName));
        return CliExit::Ok;
    }
    if (result == CCliSession::kCancelled) {
        model.ClosePort();
        out.Error(LoadStringText(IDS_CLI_LOAD_ABANDONED));
    }
    return session.Fail(result, loadAdvice);
}
