// A command's own arguments split into its options and its operands. An argument that
// starts with "-" (other than "-" alone) is an option until "--"; after "--" every
// argument is an operand, so a banner text or a radio command may start with "-".
// An option the command does not know is a usage error, before the radio is touched.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "cli/command_table.h"

struct COptionSpec {
    const char* name;  // "--wait"
    bool takesValue;   // the next argument is its value
};

struct CParsedArguments {
    std::vector<std::pair<std::string, std::string>> options;  // in order; "" for a flag
    std::vector<std::string> operands;

    bool Has(const char* name) const;
    // The value of the option's last occurrence, or null.
    const std::string* Value(const char* name) const;
};

// False with the message for UsageError ("unknown option --bogus").
bool ParseCommandArguments(const CommandArgs& args, std::initializer_list<COptionSpec> known, CParsedArguments& out,
                           std::string& error);

// For commands without arguments: "info takes no arguments" and what it was given.
std::string NoArgumentsError(const char* command, const CommandArgs& args);
