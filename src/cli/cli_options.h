// The global options of zr8 and where the command and its own arguments start.
#pragma once

#include <string>
#include <vector>

#include "cli/command_table.h"

struct CGlobalOptions {
    std::wstring port;       // --port NAME; empty: the saved "Port" setting
    bool portGiven = false;
    std::string simOptions;  // --sim "zr8sim options" for the in-process radio
    unsigned timeoutSeconds = 10;
    bool yes = false;
    bool trace = false;
    bool verbose = false;
    bool json = false;       // --json: JSON lines on stdout instead of text
    bool help = false;
    bool version = false;  // --version: print the program's version
    std::string command;     // empty when none was given
    CommandArgs commandArgs; // the command's own arguments, in order
};

// Global options may stand before or after the command; everything after "sim" belongs
// to the simulator, and everything after "--" to the command (which sees the "--"). False with the message on a usage error.
bool ParseGlobalOptions(const std::vector<std::string>& args, CGlobalOptions& out, std::string& error);

// --json stands among the global options, looked for even when the command line is
// wrong, so that its usage error is a JSON line too.
bool WantsJson(const std::vector<std::string>& args);

// "sim" in any case names the in-process simulated radio.
bool IsSimulatedPortName(const std::wstring& name);
