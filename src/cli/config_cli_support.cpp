#include "cli/config_cli_support.h"

#include <memory>

#include "cli/command_table.h"
#include "config/config_file_writer.h"
#include "config/config_names.h"
#include "config/config_operation.h"
#include "config/config_save_state_machine.h"
#include "config/configuration_folder.h"
#include "core/text/error_codes.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "platform/folders.h"

namespace ConfigCli {

int Connect(CCliSession& session) {
    const int rc = session.Open();
    if (rc != CliExit::Ok) return rc;
    const DWORD result = session.RunContact();
    if (result != 0) return session.Fail(result);
    if (session.Model().m_firmwareStatus.Get() != FirmwareStatusApplication) {
        session.Out().Error(LoadStringText(IDS_CLI_CONFIG_NEEDS_APPLICATION));
        return session.Fail(ERROR_NOT_SUPPORTED);
    }
    return CliExit::Ok;
}

std::wstring FileAdvice(const std::wstring& path, DWORD code) {
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return FormatText(IDS_CLI_ADVICE_NO_FILE, path.c_str());
    if (code == Zr8Error::ConfigCorrupt || code == Zr8Error::ConfigIncomplete)
        return FormatText(IDS_CLI_ADVICE_DAMAGED_CONFIG, path.c_str());
    return std::wstring();
}

std::function<void()> ProgressReporter(CCliSession& session, const std::function<DWORD()>& position,
                                       const std::function<DWORD()>& total) {
    auto shown = std::make_shared<DWORD>(0);
    return [&session, position, total, shown] {
        if (total() != 0 && position() != *shown) {
            *shown = position();
            session.Out().Progress(*shown, total());
        }
    };
}

DWORD ReadRadioConfiguration(CCliSession& session, CConfigSaveStateMachine& machine, CliActivity activity) {
    COperation save;
    save.machine = &machine;
    save.start = [&] { return machine.Start(session.Window()); };
    save.abandon = [&](DWORD code) {
        if (!machine.IsIdle()) EndAt(machine, code);
    };
    save.onLoop = ProgressReporter(
        session, [&] { return machine.ProgressPosition(); }, [&] { return machine.ProgressTotal(); });
    const CliActivity before = session.Activity();
    session.SetActivity(activity);
    const DWORD result = session.RunOperation(save);
    session.Out().EndProgress();
    if (result == 0) session.SetActivity(before);
    return result;
}

std::wstring DefaultSavePath(CCliSession& session, const CSaveTime& time) {
    CModel& model = session.Model();
    // The tool never saves settings: the shared folder is read, not written back.
    CConfigurationFolder folder(model.SettingsKey(), CConfigurationFolder::WriteBack::No);
    return Folders::Join(folder.Choose(), ConfigNames::DefaultFileName(model.m_serialNumber.Get(), time));
}

DWORD SaveConfigurationBackup(CCliSession& session, std::wstring& path) {
    CModel& model = session.Model();
    const CSaveTime time = CSaveTime::Now();
    path = DefaultSavePath(session, time);
    CConfigSaveStateMachine machine(model);
    DWORD result = ReadRadioConfiguration(session, machine, CliActivity::FirmwareLoad);
    return CompleteConfigSave(result, machine, session.Window(), path, time, CConfigFileHeader::FromModel(model));
}

}  // namespace ConfigCli
