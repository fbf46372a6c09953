// What zr8 doctor finds wrong with USB serial adapters, each finding with its fix in one
// line: a latency timer that slows every reply, an adapter another program has taken
// before it became a port (brltty), ModemManager probing new ports, and a port that has
// gone and come back under another name.
#pragma once

#include <string>
#include <vector>

#include "cli/console_output.h"
#include "cli/port_identity.h"

struct CAdapterFinding {
    std::wstring port;  // empty for a finding about the machine
    std::wstring text;
    std::wstring fix;
};

// About the machine as a whole: adapters on the bus that have no serial port.
std::vector<CAdapterFinding> MachineFindings();
// About one port whose identity is known: its latency timer, ModemManager.
std::vector<CAdapterFinding> PortFindings(const std::wstring& port, const CPortIdentity& identity);
// About a port that failed: it has gone, and a USB serial port has come under another name.
std::vector<CAdapterFinding> VanishedPortFindings(const std::wstring& port);

// The latency finding (timer above 1 ms); the fix is the platform's own.
bool LatencyFinding(const std::wstring& port, const CPortIdentity& identity, CAdapterFinding& finding);
std::wstring LatencyFix(const std::wstring& port, const CPortIdentity& identity);

// Text: the finding and "  Fix: ..." on standard output. JSON: a "finding" event.
void ShowFindings(CConsoleOutput& out, const std::vector<CAdapterFinding>& findings);

// After a port's verdict: its identity line, its findings, and when no ZR8 answered, whether
// the port has gone.
void ShowPortAdapter(CConsoleOutput& out, const std::wstring& port, bool found);
