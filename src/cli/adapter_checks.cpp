#include "cli/adapter_checks.h"

#include "cli/port_identity_text.h"

#include "core/text/string_table.h"
#include "core/text/text_ref.h"

namespace {
// A firmware load waits for 993 one-byte replies, and the adapter holds each one for up
// to its latency timer (the simulator's figures in docs/benchmarks.md).
constexpr unsigned kLoadReplies = 993;
}  // namespace

bool LatencyFinding(const std::wstring& port, const CPortIdentity& identity, CAdapterFinding& finding) {
    if (identity.latencyMs <= 1) return false;
    const double extraSeconds = kLoadReplies * (identity.latencyMs - 1) / 1000.0;
    finding.port = port;
    finding.text = FormatText(IDS_CLI_LATENCY_COST, port.c_str(), identity.latencyMs, identity.latencyMs, extraSeconds);
    finding.fix = LatencyFix(port, identity);
    return true;
}

void ShowFindings(CConsoleOutput& out, const std::vector<CAdapterFinding>& findings) {
    for (const CAdapterFinding& finding : findings) {
        if (CJsonEvents* json = out.Json()) {
            std::vector<CJsonField> fields;
            if (!finding.port.empty()) fields.push_back({"port", finding.port});
            fields.push_back({"text", finding.text});
            fields.push_back({"fix", finding.fix});
            json->Record("finding", fields);
            continue;
        }
        out.Result(finding.text);
        out.Result(FormatText(IDS_CLI_FIX, finding.fix.c_str()));
    }
}

void ShowPortAdapter(CConsoleOutput& out, const std::wstring& port, bool found) {
    const CPortIdentity identity = IdentifyPort(port);
    const std::wstring line = IdentityLine(identity, port);
    if (!line.empty()) out.Result(line);
    ShowFindings(out, PortFindings(port, identity));
    if (!found) ShowFindings(out, VanishedPortFindings(port));
}
