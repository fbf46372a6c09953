// The doctor's adapter checks on Windows: the FTDI driver's latency timer. brltty,
// ModemManager and renamed /dev entries are Linux matters.
#include "cli/adapter_checks.h"
#include "core/text/string_table.h"
#include "core/text/text_ref.h"

std::vector<CAdapterFinding> MachineFindings() { return {}; }

std::vector<CAdapterFinding> PortFindings(const std::wstring& port, const CPortIdentity& identity) {
    std::vector<CAdapterFinding> findings;
    CAdapterFinding latency;
    if (LatencyFinding(port, identity, latency)) findings.push_back(latency);
    return findings;
}

std::vector<CAdapterFinding> VanishedPortFindings(const std::wstring&) { return {}; }

std::wstring LatencyFix(const std::wstring& port, const CPortIdentity& identity) {
    const std::wstring& device = identity.friendlyName.empty() ? port : identity.friendlyName;
    return FormatText(IDS_CLI_LATENCY_FIX_WINDOWS, device.c_str());
}
