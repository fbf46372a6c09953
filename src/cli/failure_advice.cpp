#include "cli/failure_advice.h"

#include "cli/port_diagnosis.h"
#include "cli/port_list.h"
#include "core/serial/network_port_name.h"
#include "core/serial/tcp_link.h"
#include "core/text/error_codes.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"

namespace {
constexpr DWORD kErrorBadCommand = 22;             // ERROR_BAD_COMMAND
constexpr DWORD kErrorGenFailure = 31;             // ERROR_GEN_FAILURE
constexpr DWORD kErrorDeviceNotConnected = 1167;   // ERROR_DEVICE_NOT_CONNECTED
constexpr DWORD kErrorOperationAborted = 995;      // ERROR_OPERATION_ABORTED

bool IsNoAnswerCode(DWORD code) {
    switch (code) {
    case Zr8Error::NoResponseFirmwareVersion:
    case Zr8Error::NoResponseSemicolonPoll:
    case Zr8Error::NoResponseSyncPoll:
    case Zr8Error::NoResponseAfterReset:
    case Zr8Error::NoResponsePacket:
    case Zr8Error::NoResponseReadEeprom:
    case Zr8Error::NoResponseWriteEeprom:
    case Zr8Error::NoResponseSerialNumber:
    case Zr8Error::LoaderNoEchoD:
    case Zr8Error::UnexpectedDevice:
        return true;
    default:
        return false;
    }
}

std::wstring ExistingPorts() {
    std::wstring list;
    for (const CPortEntry& port : ListSerialPorts()) {
        if (!list.empty()) list += L", ";
        list += port.device.empty() ? port.name : port.name + L" (" + port.device + L")";
    }
    return list;
}

std::wstring MissingPort(const CFailureContext& context) {
    const std::wstring ports = ExistingPorts();
    return ports.empty() ? FormatText(IDS_CLI_ADVICE_NO_PORTS, context.port.c_str())
                         : FormatText(IDS_CLI_ADVICE_NO_PORT, context.port.c_str(), ports.c_str());
}

std::wstring DeniedPort(const CFailureContext& context) {
    const std::vector<CPortHolder> holders = FindPortHolders(context.devicePath);
    if (!holders.empty()) {
        std::wstring names;
        for (const CPortHolder& holder : holders) {
            if (!names.empty()) names += L", ";
            names += FormatText(L"process %d (%s)", holder.pid, holder.name.c_str());
        }
        return FormatText(IDS_CLI_ADVICE_HELD, context.port.c_str(), names.c_str());
    }
    const std::wstring group = DeviceGroupName(context.devicePath);
    if (!group.empty() && !MayUseDevice(context.devicePath)) {
        std::wstring user = CurrentUserName();
        if (user.empty()) user = L"$USER";
        return FormatText(IDS_CLI_ADVICE_PERMISSION, context.port.c_str(), group.c_str(), group.c_str(), user.c_str());
    }
#ifdef _WIN32
    return FormatText(IDS_CLI_ADVICE_HELD_UNNAMED, context.port.c_str());
#else
    return FormatText(IDS_CLI_ADVICE_DENIED, context.port.c_str());
#endif
}

std::wstring LostPort(const CFailureContext& context) {
    const wchar_t* port = context.port.c_str();
    switch (context.activity) {
    case CliActivity::FirmwareLoad:
        return FormatText(context.bootLoaderEntered ? IDS_CLI_ADVICE_VANISHED_BOOT_LOADER : IDS_CLI_ADVICE_VANISHED_BEFORE_LOAD,
                          port);
    case CliActivity::ConfigRestore: return FormatText(IDS_CLI_ADVICE_VANISHED_RESTORE, port);
    case CliActivity::ConfigSave: return FormatText(IDS_CLI_ADVICE_VANISHED_SAVE, port);
    default: return FormatText(IDS_CLI_ADVICE_VANISHED, port);
    }
}

// A port at a server that could not be reached; "" for a code that says nothing of it.
std::wstring UnreachedServer(DWORD code, const CFailureContext& context) {
    const wchar_t* port = context.port.c_str();
    switch (code) {
    case ERROR_INVALID_NAME: return FormatText(IDS_CLI_ADVICE_NET_NAME, port);
    case NetError::HostNotFound: return FormatText(IDS_CLI_ADVICE_NET_HOST, port);
    case NetError::Refused: return FormatText(IDS_CLI_ADVICE_NET_REFUSED, port);
    case NetError::TimedOut:
    case NetError::HostUnreachable: return FormatText(IDS_CLI_ADVICE_NET_NO_ANSWER, port);
    case Zr8Error::NotTelnetServer: return FormatText(IDS_CLI_ADVICE_NET_NOT_TELNET, port);
    default: return std::wstring();
    }
}

std::wstring LineAdvice(const CFailureContext& context) {
    switch (context.line) {
    case LineKind::Silence: return FormatText(IDS_CLI_ADVICE_SILENCE, context.port.c_str());
    case LineKind::NoTerminator: return FormatText(IDS_CLI_ADVICE_NO_TERMINATOR, context.port.c_str());
    case LineKind::EchoOnly: return FormatText(IDS_CLI_ADVICE_ECHO_ONLY, context.port.c_str());
    case LineKind::Answers: break;
    }
    return std::wstring();
}
}  // namespace

bool IsPortLossCode(DWORD code) {
    return code == ERROR_ACCESS_DENIED || code == ERROR_INVALID_HANDLE || code == kErrorBadCommand ||
           code == kErrorGenFailure || code == kErrorDeviceNotConnected || code == kErrorOperationAborted;
}

std::wstring ExplainFailure(DWORD code, const CFailureContext& context) {
    if (context.activity == CliActivity::None || code == 0 || code == ERROR_CANCELLED) return std::wstring();
    if (context.portLost || (context.portOpened && IsPortLossCode(code))) return LostPort(context);
    // Whatever failed, a line that only ever echoed is the best clue there is.
    if (context.activity == CliActivity::Contact && context.line == LineKind::EchoOnly) return LineAdvice(context);
    if (!context.portOpened && IsNetworkPortName(context.port)) {
        const std::wstring advice = UnreachedServer(code, context);
        if (!advice.empty()) return advice;
    }
    if (!context.portOpened) {
        const std::wstring kind = NotSerialPortKind(context.devicePath);
        if (!kind.empty()) return FormatText(IDS_CLI_ADVICE_NOT_SERIAL, context.port.c_str(), kind.c_str());
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return MissingPort(context);
        if (code == ERROR_ACCESS_DENIED) return DeniedPort(context);
    }
    // A radio that stops answering in the middle of EEPROM writes has lost its power.
    if (code == Zr8Error::NoResponseWriteEeprom && context.activity == CliActivity::ConfigRestore)
        return FormatText(IDS_CLI_ADVICE_POWER_LOSS_RESTORE, context.port.c_str());
    if (code == Zr8Error::NoResponseWriteEeprom && context.activity == CliActivity::BannerWrite)
        return FormatText(IDS_CLI_ADVICE_POWER_LOSS_BANNER, context.port.c_str());
    if (IsNoAnswerCode(code)) return LineAdvice(context);
    return std::wstring();
}
