#include "cli/check_command.h"

#include "cli/cli_session.h"
#include "cli/command_arguments.h"
#include "cli/commands.h"
#include "core/text/error_text.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "firmware/checksum_reconciliation.h"
#include "firmware/firmware_files.h"
#include "firmware/hex_image.h"
#include "firmware/mcu_loader_state_machine.h"
#include "platform/code_pages.h"
#include "platform/mapped_file.h"  // ERROR_FILE_INVALID: an empty file

namespace {
// The extension with its dot, letters A-Z folded to lower case; empty when none.
std::wstring LowerExtension(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"/\\");
    const size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return std::wstring();
    std::wstring ext = path.substr(dot);
    for (wchar_t& c : ext)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return ext;
}
}  // namespace

bool HasHexExtension(const std::wstring& path) { return LowerExtension(path) == L".hex"; }

int FailHexFile(CCliSession& session, const std::wstring& path, unsigned line, DWORD code) {
    if (code == 0) code = CMcuLoaderStateMachine::kNoErrorCode;  // as the loader reports a load that left no code
    session.Out().Error(FormatText(IDS_LINE_ERROR_CODE, line, unsigned(code), GetErrorText(code).c_str()));
    std::wstring advice;
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
        advice = FormatText(IDS_CLI_ADVICE_NO_FILE, path.c_str());
    else if (line == 0 && code == ERROR_FILE_INVALID)
        advice = FormatText(IDS_CLI_ADVICE_HEX_EMPTY, path.c_str());
    else if (line != 0)
        advice = FormatText(IDS_CLI_ADVICE_HEX_LINE, path.c_str(), line);
    return session.Fail(code, advice);
}

int CheckHexFile(CCliSession& session, const std::wstring& path) {
    CConsoleOutput& out = session.Out();
    CHexImage image;
    if (!image.Load(path)) return FailHexFile(session, path, image.Line(), GetLastError());
    const unsigned checksum = image.Checksum();
    const DWORD reconciled = ReconcileChecksum(image, L"MCU", [&](const std::wstring& line) { out.Result(line); });
    out.Result(FormatText(IDS_CLI_IMAGE_CHECKSUM, checksum));
    const uint16_t version = VersionFromFileName(path);
    out.Result(FormatText(IDS_CLI_FILE_VERSION,
                          version ? VersionText(version).c_str() : LoadStringText(IDS_CLI_NO_VERSION_IN_NAME).c_str()));
    if (reconciled != 0) return session.Fail(reconciled);
    return CliExit::Ok;
}

int RunCheckCommand(CCliSession& session, const CommandArgs& args) {
    const CCommand* command = FindCommand("check");
    CParsedArguments parsed;
    std::string error;
    if (!ParseCommandArguments(args, {}, parsed, error)) return UsageError(command, error);
    if (parsed.operands.size() != 1) return UsageError(command, "check takes one file");
    const std::wstring path = CodePages::FromUtf8(parsed.operands[0]);
    const std::wstring ext = LowerExtension(path);
    if (ext == L".hex") return CheckHexFile(session, path);
#ifdef ZR8_CLI_CONFIG_CHECK
    if (ext == L".zr8config") return CheckConfigFile(session, path);
#endif
    return UsageError(command, "check does not know files like '" + parsed.operands[0] + "'");
}
