#include "cli/cli_options.h"

#include <cstdlib>

#include "platform/code_pages.h"

namespace {
bool ParseSeconds(const std::string& text, unsigned& value) {
    if (text.empty() || text.size() > 6) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    value = static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 10));
    return value > 0;
}
}  // namespace

bool ParseGlobalOptions(const std::vector<std::string>& args, CGlobalOptions& out, std::string& error) {
    out = CGlobalOptions{};
    bool simTakesRest = false;
    bool operandsOnly = false;  // after "--": the command's, even when they start with "-"
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (simTakesRest || operandsOnly) {
            out.commandArgs.push_back(arg);
            continue;
        }
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) {
                error = "option " + arg + " needs a value";
                return false;
            }
            into = args[++i];
            return true;
        };
        if (arg == "--" && !out.command.empty()) {
            out.commandArgs.push_back(arg);
            operandsOnly = true;
        } else if (arg == "--port") {
            std::string name;
            if (!value(name)) return false;
            if (name.empty()) {
                error = "--port needs a port name";
                return false;
            }
            out.port = CodePages::FromUtf8(name);
            out.portGiven = true;
        } else if (arg == "--sim") {
            if (!value(out.simOptions)) return false;
        } else if (arg == "--timeout") {
            std::string text;
            if (!value(text)) return false;
            if (!ParseSeconds(text, out.timeoutSeconds)) {
                error = "--timeout needs a whole number of seconds above 0, not '" + text + "'";
                return false;
            }
        } else if (arg == "--yes" || arg == "-y") {
            out.yes = true;
        } else if (arg == "--trace") {
            out.trace = true;
        } else if (arg == "--json") {
            out.json = true;
        } else if (arg == "--verbose" || arg == "-v") {
            out.verbose = true;
        } else if (arg == "--help" || arg == "-h") {
            out.help = true;
        } else if (arg == "--version") {
            out.version = true;
        } else if (out.command.empty()) {
            if (arg.size() > 1 && arg[0] == '-') {
                error = "unknown option " + arg;
                return false;
            }
            out.command = arg;
            simTakesRest = arg == "sim";
        } else {
            out.commandArgs.push_back(arg);
        }
    }
    return true;
}

bool WantsJson(const std::vector<std::string>& args) {
    bool commandSeen = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json") return true;
        if (arg == "--") return false;
        if (arg == "--port" || arg == "--sim" || arg == "--timeout") {
            ++i;  // its value
        } else if (!commandSeen && (arg.empty() || arg[0] != '-')) {
            if (arg == "sim") return false;  // the simulator's own options follow
            commandSeen = true;
        }
    }
    return false;
}

bool IsSimulatedPortName(const std::wstring& name) {
    if (name.size() != 3) return false;
    const wchar_t* sim = L"sim";
    for (size_t i = 0; i < 3; ++i) {
        wchar_t c = name[i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != sim[i]) return false;
    }
    return true;
}
