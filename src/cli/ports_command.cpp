#include "cli/cli_session.h"
#include "cli/command_arguments.h"
#include "cli/commands.h"
#include "cli/port_identity_text.h"
#include "cli/port_list.h"
#include "core/text/string_table.h"

int RunPortsCommand(CCliSession& session, const CommandArgs& args) {
    if (!args.empty()) return UsageError(FindCommand("ports"), NoArgumentsError("ports", args));
    const std::vector<CPortEntry> ports = ListSerialPorts();
    for (const CPortEntry& port : ports) {
        session.Out().Result(port.device.empty() ? port.name : port.name + L" -> " + port.device);
        const CPortIdentity identity = IdentifyPort(port.name);
        const std::wstring line = IdentityLine(identity, port.name);
        if (!line.empty()) session.Out().Result(line);
        if (CJsonEvents* json = session.Out().Json()) {
            std::vector<CJsonField> fields{{"name", port.name}};
            if (!port.device.empty()) fields.push_back({"device", port.device});
            AddIdentityFields(identity, fields);
            json->Record("port", fields);
        }
    }
    if (ports.empty()) session.Out().Error(LoadStringText(IDS_CLI_NO_PORTS));
    return CliExit::Ok;
}
