#include "cli/port_identity.h"

#include <cctype>
#include <iterator>

#include "platform/code_pages.h"

namespace {

struct KnownAdapter {
    const wchar_t* vendorId;
    const wchar_t* productId;  // null: any product of the maker
    const wchar_t* maker;
    const wchar_t* chip;
    const wchar_t* driver;
};

// The chips USB serial adapters are built on; the first match wins, so a maker's own
// line comes after its products.
const KnownAdapter kAdapters[] = {
    {L"0403", L"6001", L"FTDI", L"FT232R", L"ftdi_sio"},
    {L"0403", L"6010", L"FTDI", L"FT2232", L"ftdi_sio"},
    {L"0403", L"6011", L"FTDI", L"FT4232", L"ftdi_sio"},
    {L"0403", L"6014", L"FTDI", L"FT232H", L"ftdi_sio"},
    {L"0403", L"6015", L"FTDI", L"FT-X", L"ftdi_sio"},
    {L"0403", nullptr, L"FTDI", L"", L"ftdi_sio"},
    {L"10c4", L"ea60", L"Silicon Labs", L"CP210x", L"cp210x"},
    {L"10c4", L"ea70", L"Silicon Labs", L"CP2105", L"cp210x"},
    {L"10c4", L"ea71", L"Silicon Labs", L"CP2108", L"cp210x"},
    {L"1a86", L"7523", L"WCH", L"CH340", L"ch341"},
    {L"1a86", L"5523", L"WCH", L"CH341", L"ch341"},
    {L"1a86", L"55d4", L"WCH", L"CH9102", L"cdc_acm"},
    {L"067b", L"2303", L"Prolific", L"PL2303", L"pl2303"},
    {L"067b", L"23a3", L"Prolific", L"PL2303GC", L"pl2303"},
    {L"067b", L"23c3", L"Prolific", L"PL2303GT", L"pl2303"},
};

struct KnownDriver {
    const wchar_t* driver;
    const wchar_t* maker;  // empty: the device's own manufacturer string
    const wchar_t* chip;
};

// Adapters the table does not know by id, named by the driver that took them.
const KnownDriver kDrivers[] = {
    {L"ftdi_sio", L"FTDI", L""},        {L"cp210x", L"Silicon Labs", L"CP210x"},
    {L"ch341", L"WCH", L"CH340/CH341"}, {L"pl2303", L"Prolific", L"PL2303"},
    {L"cdc_acm", L"", L"CDC-ACM"},
};

const KnownAdapter* FindAdapter(const std::wstring& vendorId, const std::wstring& productId) {
    if (vendorId.empty()) return nullptr;
    for (const KnownAdapter& a : kAdapters)
        if (vendorId == a.vendorId && (!a.productId || productId == a.productId)) return &a;
    return nullptr;
}

}  // namespace

void NameAdapter(CPortIdentity& identity) {
    if (const KnownAdapter* a = FindAdapter(identity.vendorId, identity.productId)) {
        identity.maker = a->maker;
        identity.chip = a->chip;
        return;
    }
    for (const KnownDriver& d : kDrivers)
        if (identity.driver == d.driver) {
            identity.maker = *d.maker ? d.maker : identity.manufacturer;
            identity.chip = d.chip;
            return;
        }
    identity.maker = identity.manufacturer;
}

std::wstring AdapterDriverFor(const std::wstring& vendorId, const std::wstring& productId) {
    const KnownAdapter* a = FindAdapter(vendorId, productId);
    return a ? a->driver : L"";
}

bool IsKnownSerialAdapter(const std::wstring& vendorId, const std::wstring& productId) {
    return FindAdapter(vendorId, productId) != nullptr;
}

std::wstring UsbIdText(const std::string& raw) {
    std::string text = raw;
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    if (text.size() != 4) return L"";
    std::wstring id;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return L"";
        id += static_cast<wchar_t>(std::tolower(static_cast<unsigned char>(c)));
    }
    return id;
}

std::wstring DeviceString(const std::string& raw) {
    std::wstring text = CodePages::FromUtf8(raw);
    std::wstring shown;
    for (wchar_t c : text) {
        if (c == L'\n' || c == L'\r') break;
        if (c < 0x20 || c == 0x7F) c = L' ';  // a tab, or a stray control byte
        if (c != L' ' || (!shown.empty() && shown.back() != L' ')) shown += c;
    }
    while (!shown.empty() && shown.back() == L' ') shown.pop_back();
    while (!shown.empty() && shown.front() == L' ') shown.erase(0, 1);
    if (shown.size() > 126) shown.resize(126);
    return shown;
}
