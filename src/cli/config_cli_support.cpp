#include "cli/config_cli_support.h"

#include <memory>

#include "cli/command_table.h"
#include "core/text/string_table.h"

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

}  // namespace ConfigCli
