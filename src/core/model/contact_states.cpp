#include "core/model/contact_states.h"

#include <cwchar>

#include "core/model/model_base.h"
#include "core/statemachine/state_host2.h"
#include "core/text/error_text.h"
#include "core/text/string_table.h"
#include "platform/wide_format.h"

namespace Contact {
namespace {

struct IdentityRow {
    const wchar_t* text;
    OrvandelDevice device;
    FirmwareStatusEnum status;
};

// Searched in this order; the first row whose text occurs anywhere in the answer wins.
// The boot loaders answer with the lower-case name (or just echo "I;"), application
// firmware with the upper-case name.
const IdentityRow kIdentityTable[] = {
    {L"TV9", DeviceTV9, FirmwareStatusBootLoader},
    {L"TV4", DeviceTV4, FirmwareStatusBootLoader},
    {L"MVL7700", DeviceMVL7700, FirmwareStatusApplication},
    {L"mvl7700", DeviceMVL7700, FirmwareStatusBootLoader},
    {L"MVD300", DeviceMVD300, FirmwareStatusBootLoader},
    {L"MVT300", DeviceMVT300, FirmwareStatusApplication},
    {L"mvt300", DeviceMVT300, FirmwareStatusBootLoader},
    {L"Q5", DeviceQ5, FirmwareStatusApplication},
    {L"q5", DeviceQ5, FirmwareStatusBootLoader},
    {L"QR5", DeviceQR5, FirmwareStatusApplication},
    {L"qr5", DeviceQR5, FirmwareStatusBootLoader},
    {L"MVD1300", DeviceMVD1300, FirmwareStatusApplication},
    {L"mvd1300", DeviceMVD1300, FirmwareStatusBootLoader},
    {L"T6A", DeviceT6, FirmwareStatusBootLoader},
    {L"T6B", DeviceT6, FirmwareStatusBootLoader},
    {L"zr8", DeviceZR8, FirmwareStatusBootLoader},
    {L"ZR8", DeviceZR8, FirmwareStatusApplication},
    {L"I;", DeviceNone, FirmwareStatusBootLoader},
};

constexpr DWORD kContactRate = 9600;

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Case-insensitive for the letters A to Z only.
bool StartsWithLetters(const std::wstring& text, const wchar_t* prefix)
{
    size_t n = std::wcslen(prefix);
    if (text.size() < n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        wchar_t c = text[i];
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
        if (c != prefix[i])
            return false;
    }
    return true;
}

}  // namespace

Identity IdentifyResponse(const std::wstring& response)
{
    for (const IdentityRow& row : kIdentityTable)
        if (response.find(row.text) != std::wstring::npos)
            return {row.device, row.status};
    return {DeviceNone, FirmwareStatusNone};
}

bool ParseMcuVersionResponse(const std::wstring& response, unsigned short& version)
{
    if (!StartsWithLetters(response, L"RV") || response.size() < 8)
        return false;
    const wchar_t* p = response.c_str() + 2;
    if (!IsDigit(p[0]) || !IsDigit(p[1]) || p[2] != L'.' || !IsDigit(p[3]) || !IsDigit(p[4]) || p[5] != L';')
        return false;
    version = static_cast<unsigned short>((p[0] - L'0') * 1000 + (p[1] - L'0') * 100 + (p[3] - L'0') * 10 +
                                          (p[4] - L'0'));
    return true;
}

bool ParseSerialNumberResponse(const std::wstring& response, unsigned short& serialNumber)
{
    if (!StartsWithLetters(response, L"SN"))
        return false;
    unsigned long value = 0;
    for (size_t i = 2; i < response.size() && IsDigit(response[i]); ++i) {
        value = value * 10 + static_cast<unsigned long>(response[i] - L'0');
        if (value > 0xFFFF)
            return false;  // also keeps a long run of digits from overflowing
    }
    serialNumber = static_cast<unsigned short>(value);
    return true;
}

DWORD OpenConfiguredPort(CStateHost2& host)
{
    CModelBase& model = host.Model();
    const std::wstring name = model.m_port.Get();
    if (name.empty())
        return Zr8Error::PortNameMissing;
    host.Log(IDS_OPENING_PORT, name.c_str());
    DWORD code = model.OpenSerialPort(name);
    if (code == 0) {
        host.Log(IDS_PORT_IS_OPEN, name.c_str());
        model.m_speed.Set(kContactRate);
    } else if (code == ERROR_ACCESS_DENIED) {
        host.Log(IDS_PORT_ACCESS_DENIED, name.c_str());
    } else {
        host.Log(IDS_UNABLE_TO_OPEN_PORT, name.c_str(), static_cast<unsigned>(code), GetErrorText(code).c_str());
    }
    return code;
}

}  // namespace Contact
