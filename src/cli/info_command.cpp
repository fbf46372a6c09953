#include "cli/cli_session.h"
#include "cli/command_arguments.h"
#include "cli/commands.h"
#include "cli/device_text.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"

int RunInfoCommand(CCliSession& session, const CommandArgs& args) {
    if (!args.empty()) return UsageError(FindCommand("info"), NoArgumentsError("info", args));
    const int rc = session.Open();
    if (rc != CliExit::Ok) return rc;

    const DWORD result = session.RunContact();
    if (result != 0) return session.Fail(result);

    CModel& model = session.Model();
    CConsoleOutput& out = session.Out();
    const FirmwareStatusEnum status = model.m_firmwareStatus.Get();
    out.Result(status == FirmwareStatusBootLoader ? model.WaitingText() : model.McuVersionStatusText());
    const std::wstring device = DeviceName(model.m_device.Get());
    // Contact goes on when "I;" alone is lost; the rest was still the radio's answer.
    if (device == LoadStringText(IDS_CLI_DEVICE_UNKNOWN) && model.m_mcuVersion.Get() != 0)
        out.Result(LoadStringText(IDS_CLI_DEVICE_NOT_IDENTIFIED_WHY));
    else
        out.Result(FormatText(IDS_CLI_INFO_DEVICE, device.c_str()));
    out.Result(FormatText(IDS_CLI_INFO_FIRMWARE_STATUS, FirmwareStatusName(status).c_str()));
    out.Result(FormatText(IDS_CLI_INFO_MCU_VERSION, model.FirmwareVersionText().c_str()));
    const unsigned short serial = model.m_serialNumber.Get();
    out.Result(serial == kSerialNumberNone ? FormatText(IDS_CLI_INFO_SERIAL_NUMBER, LoadStringText(IDS_CLI_SERIAL_NONE).c_str())
                                           : FormatText(IDS_CLI_INFO_SERIAL_NUMBER, FormatText(L"%05u", unsigned(serial)).c_str()));
    out.Result(FormatText(IDS_CLI_INFO_BIT_RATE, unsigned(model.SerialPort().BaudRate())));
    out.Field("port", session.PortName());
    out.Field("device", DeviceName(model.m_device.Get()));
    out.Field("firmwareStatus", FirmwareStatusName(status));
    out.Field("mcuVersion", model.FirmwareVersionText());
    if (serial != kSerialNumberNone) out.Field("serialNumber", static_cast<long long>(serial));
    out.Field("bitRate", static_cast<long long>(model.SerialPort().BaudRate()));
    return CliExit::Ok;
}
