// What a failure means in the user's terms, and what to do about it: the line every zr8
// command prints after "Error code 0x%08X: %s" (CCliSession::Fail). The session fills
// the context as the run goes (which port, whether it opened, what the command was
// doing, what came over the line); ExplainFailure reads the system for the rest (the
// ports that exist, who holds a port, the device's group).
#pragma once

#include <string>

#include "cli/line_watch.h"
#include "platform/win_types.h"

// What the command was doing with the radio when it failed.
enum class CliActivity {
    None,           // not yet at the port (files, options)
    Contact,        // opening the port, finding and identifying the radio
    FirmwareLoad,   // the firmware loader
    ConfigSave,     // reading the configuration (save-config, a backup, diff --radio)
    ConfigRestore,  // writing the configuration back
    BannerWrite,    // writing the power-on banner
    RadioCommand,   // any other exchange (banner, send, ...)
};

struct CFailureContext {
    std::wstring port;                // the port's name as the user gave it
    std::wstring devicePath;          // the device it opens ("/dev/ttyUSB0", "\\.\COM3")
    CliActivity activity = CliActivity::None;
    bool portOpened = false;          // it opened in this run: a later loss is the adapter's
    bool portLost = false;            // a failure closed it under the command (device gone)
    bool bootLoaderEntered = false;   // "LD;" went out: the radio waits in its boot loader
    LineKind line = LineKind::Answers;
};

// The failure's advice line, or "" when the code's own text says all there is.
std::wstring ExplainFailure(DWORD code, const CFailureContext& context);

// A code that only says the port went away under the command (what the system gives
// for a pulled adapter, and what follows once the port is closed).
bool IsPortLossCode(DWORD code);
