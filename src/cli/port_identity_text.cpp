#include "cli/port_identity_text.h"

#include "core/text/string_table.h"
#include "core/text/text_ref.h"

namespace {
std::wstring Joined(const std::wstring& a, const std::wstring& b) {
    if (a.empty()) return b;
    return b.empty() ? a : a + L" " + b;
}
}  // namespace

std::wstring AdapterTitle(const CPortIdentity& identity) {
    std::wstring title = Joined(identity.maker, identity.chip);
    if (title.empty()) title = identity.product.empty() ? L"USB device" : identity.product;
    if (!identity.vendorId.empty() && !identity.productId.empty())
        title += L" (" + identity.vendorId + L":" + identity.productId + L")";
    return title;
}

std::wstring IdentityLine(const CPortIdentity& identity, const std::wstring& portName) {
    if (!identity.Known()) return std::wstring();
    std::wstring line = L" ";
    if (identity.IsUsb()) {
        line += L" USB";
        if (!identity.vendorId.empty() && !identity.productId.empty())
            line += L" " + identity.vendorId + L":" + identity.productId;
        const std::wstring name = Joined(identity.maker, identity.chip);
        if (!name.empty()) line += L": " + name;
    }
    const std::wstring shownName = identity.friendlyName.empty() ? identity.product : identity.friendlyName;
    if (!shownName.empty() && shownName != identity.chip) line += L" \"" + shownName + L"\"";
    if (!identity.driver.empty()) line += FormatText(IDS_CLI_ADAPTER_DRIVER, identity.driver.c_str());
    if (!identity.serialNumber.empty()) line += FormatText(IDS_CLI_ADAPTER_SERIAL, identity.serialNumber.c_str());
    if (identity.latencyMs >= 0) line += FormatText(IDS_CLI_ADAPTER_LATENCY, identity.latencyMs);
    if (!identity.byId.empty() && identity.byId != portName)
        line += FormatText(IDS_CLI_ADAPTER_BY_ID, identity.byId.c_str());
    if (!identity.hardwareId.empty()) line += FormatText(IDS_CLI_ADAPTER_HARDWARE_ID, identity.hardwareId.c_str());
    // A line that would start with its own comma: only the pieces after the name are known.
    if (line.size() > 2 && line[1] == L',') line = L"  " + line.substr(3);
    return line;
}

void AddIdentityFields(const CPortIdentity& identity, std::vector<CJsonField>& fields) {
    const std::pair<const char*, const std::wstring*> texts[] = {
        {"vendorId", &identity.vendorId},         {"productId", &identity.productId},
        {"maker", &identity.maker},               {"chip", &identity.chip},
        {"manufacturer", &identity.manufacturer}, {"product", &identity.product},
        {"serialNumber", &identity.serialNumber}, {"driver", &identity.driver},
        {"byId", &identity.byId},                 {"usbDevice", &identity.usbDevice},
        {"friendlyName", &identity.friendlyName}, {"hardwareId", &identity.hardwareId},
    };
    for (const auto& [name, value] : texts)
        if (!value->empty()) fields.push_back({name, *value});
    if (identity.latencyMs >= 0) fields.push_back({"latencyMs", L"", identity.latencyMs, true});
}
