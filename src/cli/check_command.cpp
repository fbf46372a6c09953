#include "cli/check_command.h"

#include "cli/cli_session.h"
#include "cli/commands.h"
#include "core/text/error_text.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"
#include "firmware/checksum_reconciliation.h"
#include "firmware/firmware_files.h"
#include "firmware/hex_image.h"
#include "platform/code_pages.h"

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

int CheckHexFile(CCliSession& session, const std::wstring& path) {
    CConsoleOutput& out = session.Out();
    CHexImage image;
    if (!image.Load(path)) {
        DWORD code = GetLastError();
        if (code == 0) code = 774;  // as the loader reports a load that left no code
        out.Error(FormatText(IDS_LINE_ERROR_CODE, image.Line(), unsigned(code), GetErrorText(code).c_str()));
        return CliExit::Failure;
    }
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
    if (args.size() != 1) return UsageError(command, "check takes one file");
    const std::wstring path = CodePages::FromUtf8(args[0]);
    const std::wstring ext = LowerExtension(path);
    if (ext == L".hex") return CheckHexFile(session, path);
#ifdef ZR8_CLI_CONFIG_CHECK
    if (ext == L".zr8config") return CheckConfigFile(session, path);
#endif
    return UsageError(command, "check does not know files like '" + args[0] + "'");
}
