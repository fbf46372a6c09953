#include "cli/command_arguments.h"

#include <cstring>

bool CParsedArguments::Has(const char* name) const { return Value(name) != nullptr; }

const std::string* CParsedArguments::Value(const char* name) const {
    const std::string* found = nullptr;
    for (const auto& option : options)
        if (option.first == name) found = &option.second;
    return found;
}

bool ParseCommandArguments(const CommandArgs& args, std::initializer_list<COptionSpec> known, CParsedArguments& out,
                           std::string& error) {
    out = CParsedArguments{};
    bool operandsOnly = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (operandsOnly || arg.size() < 2 || arg[0] != '-') {
            out.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            operandsOnly = true;
            continue;
        }
        const COptionSpec* spec = nullptr;
        for (const COptionSpec& candidate : known)
            if (arg == candidate.name) spec = &candidate;
        if (!spec) {
            error = "unknown option " + arg;
            return false;
        }
        std::string value;
        if (spec->takesValue) {
            if (i + 1 >= args.size()) {
                error = "option " + arg + " needs a value";
                return false;
            }
            value = args[++i];
        }
        out.options.emplace_back(arg, value);
    }
    return true;
}

std::string NoArgumentsError(const char* command, const CommandArgs& args) {
    const std::string& first = args.front();
    if (first.size() > 1 && first[0] == '-') return std::string(command) + " takes no options, not " + first;
    return std::string(command) + " takes no arguments, not '" + first + "'";
}
