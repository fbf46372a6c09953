#include "cli/flash_gate.h"

#include <cwctype>

#include "cli/cli_session.h"
#include "cli/command_table.h"
#include "cli/config_cli_support.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "firmware/firmware_files.h"

namespace {
std::wstring BaseName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"/\\");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}
}  // namespace

unsigned FileVersionFromName(const std::wstring& path) {
    const std::wstring name = BaseName(path);
    const size_t dot = name.find_last_of(L'.');
    const std::wstring stem = dot == std::wstring::npos ? name : name.substr(0, dot);
    size_t first = stem.size();
    while (first > 0 && std::iswdigit(stem[first - 1])) --first;
    if (first == stem.size()) return 0;
    // "zr8.hex": the only digits are the model's.
    const bool prefix = stem.size() >= 3 && std::towlower(stem[0]) == L'z' && std::towlower(stem[1]) == L'r' && stem[2] == L'8';
    if (prefix && first < 3) return 0;
    return VersionFromFileName(path);
}

int CheckFlashFileName(CCliSession& session, const std::wstring& path, const CFlashGateOptions& options) {
    if (FileVersionFromName(path) != 0 || options.force) return CliExit::Ok;
    session.Out().Error(FormatText(IDS_CLI_NO_FILE_VERSION, path.c_str()));
    return session.Fail(ERROR_INVALID_NAME);
}

int PassFlashGate(CCliSession& session, const std::wstring& path, const CFlashGateOptions& options) {
    CModel& model = session.Model();
    CConsoleOutput& out = session.Out();
    const unsigned fileVersion = FileVersionFromName(path);
    const std::wstring fileText = fileVersion ? VersionText(static_cast<uint16_t>(fileVersion)) : std::wstring(L"??.??");
    out.Status(FormatText(IDS_CLI_VERSION_CHANGE, model.FirmwareVersionText().c_str(), fileText.c_str()));
    out.Field("installedVersion", model.FirmwareVersionText());
    out.Field("fileVersion", fileText);

    // A radio in its boot loader has no version to compare and no configuration to read.
    if (model.m_firmwareStatus.Get() != FirmwareStatusApplication) return CliExit::Ok;

    const unsigned installed = model.m_mcuVersion.Get();
    if (fileVersion != 0 && installed != 0) {
        std::wstring question;
        if (fileVersion < installed)
            question = FormatText(IDS_CLI_ASK_DOWNGRADE, fileText.c_str(), model.FirmwareVersionText().c_str());
        else if (fileVersion == installed)
            question = FormatText(IDS_CLI_ASK_RELOAD, fileText.c_str());
        if (!question.empty() && !session.AskYesNo(question)) {
            out.Error(LoadStringText(IDS_CLI_LOAD_NOT_STARTED));
            return session.Fail(ERROR_CANCELLED);
        }
    }

    if (!options.backup) {
        out.Status(LoadStringText(IDS_CLI_BACKUP_SKIPPED));
        return CliExit::Ok;
    }
    std::wstring backup;
    const DWORD result = ConfigCli::SaveConfigurationBackup(session, backup);
    if (result != 0) {
        out.Error(LoadStringText(IDS_CLI_BACKUP_FAILED));
        return session.Fail(result);
    }
    out.Status(FormatText(IDS_CLI_BACKUP_SAVED, backup.c_str()));
    out.Field("backup", backup);
    return CliExit::Ok;
}
