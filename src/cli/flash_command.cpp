#include <vector>

#include "cli/cli_session.h"
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

namespace {
const wchar_t kFirmwareName[] = L"MCU";

// The file, refused before the radio is touched when the loader would refuse it.
int CheckFirmwareFile(CCliSession& session, const std::wstring& path) {
    CConsoleOutput& out = session.Out();
    CHexImage image;
    if (!image.Load(path)) {
        DWORD code = GetLastError();
        if (code == 0) code = CMcuLoaderStateMachine::kNoErrorCode;
        out.Error(FormatText(IDS_LINE_ERROR_CODE, image.Line(), unsigned(code), GetErrorText(code).c_str()));
        return session.Fail(code);
    }
    std::vector<std::wstring> lines;
    const DWORD code = ReconcileChecksum(image, kFirmwareName, [&](const std::wstring& line) { lines.push_back(line); });
    if (code != 0) {
        for (const std::wstring& line : lines) out.Error(line);
        return session.Fail(code);
    }
    return CliExit::Ok;
}

template <class T>
void EndAt(CStateHost<T>& machine, DWORD code) {
    machine.SetResult(code);
    machine.TransitionTo(machine.FinalState());
}
}  // namespace

int RunFlashCommand(CCliSession& session, const CommandArgs& args) {
    const CCommand* command = FindCommand("flash");
    std::wstring folder, file;
    bool folderGiven = false;
    CFlashGateOptions gate;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--no-backup") {
            gate.backup = false;
        } else if (args[i] == "--force") {
            gate.force = true;
        } else if (args[i] == "--folder") {
            if (i + 1 >= args.size()) return UsageError(command, "--folder needs a folder");
            folder = CodePages::FromUtf8(args[++i]);
            folderGiven = true;
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return UsageError(command, "unknown option " + args[i]);
        } else if (file.empty()) {
            file = CodePages::FromUtf8(args[i]);
        } else {
            return UsageError(command, "flash takes one firmware file");
        }
    }
    if (folderGiven && !file.empty()) return UsageError(command, "give a file or --folder, not both");

    const int rc = session.Open();
    if (rc != CliExit::Ok) return rc;
    CModel& model = session.Model();
    CConsoleOutput& out = session.Out();

    if (file.empty()) {
        if (!folderGiven) folder = model.m_firmwareFolder.Get();
        const CFirmwareFiles found = ScanFirmwareFolder(folder);
        if (!found.HasFirmware()) {
            out.Error(FormatText(IDS_CLI_NO_FIRMWARE_FILE, folder.c_str()));
            return session.Fail(ERROR_FILE_NOT_FOUND);
        }
        file = found.m_firmwarePath;
    }
    out.Verbose(FormatText(IDS_CLI_FIRMWARE_FILE, file.c_str()));
    out.Field("file", file);
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
    return session.Fail(result);
}
