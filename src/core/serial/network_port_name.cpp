#include "core/serial/network_port_name.h"

#include <cwctype>

#include "platform/code_pages.h"

namespace {

const wchar_t kTelnetScheme[] = L"rfc2217://";
const wchar_t kRawScheme[] = L"socket://";

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix)
{
    size_t i = 0;
    for (; prefix[i]; ++i) {
        if (i >= text.size() || std::towlower(static_cast<wint_t>(text[i])) != static_cast<wint_t>(prefix[i]))
            return false;
    }
    return true;
}

}  // namespace

bool IsNetworkPortName(const std::wstring& name)
{
    return StartsWithNoCase(name, kTelnetScheme) || StartsWithNoCase(name, kRawScheme);
}

bool ParseNetworkPortName(const std::wstring& name, CNetworkPortName& out)
{
    std::wstring rest;
    if (StartsWithNoCase(name, kTelnetScheme)) {
        out.telnet = true;
        rest = name.substr(std::char_traits<wchar_t>::length(kTelnetScheme));
    } else if (StartsWithNoCase(name, kRawScheme)) {
        out.telnet = false;
        rest = name.substr(std::char_traits<wchar_t>::length(kRawScheme));
    } else {
        return false;
    }
    const size_t end = rest.find_first_of(L"/?");
    if (end != std::wstring::npos)
        rest.resize(end);

    std::wstring host;
    size_t colon;
    if (!rest.empty() && rest[0] == L'[') {
        const size_t close = rest.find(L']');
        if (close == std::wstring::npos || close + 1 >= rest.size() || rest[close + 1] != L':')
            return false;
        host = rest.substr(1, close - 1);
        colon = close + 1;
    } else {
        colon = rest.rfind(L':');
        if (colon == std::wstring::npos)
            return false;
        host = rest.substr(0, colon);
        if (host.find(L':') != std::wstring::npos)
            return false;  // an IPv6 address needs its brackets
    }
    if (host.empty())
        return false;
    const std::wstring digits = rest.substr(colon + 1);
    if (digits.empty() || digits.size() > 5)
        return false;
    unsigned port = 0;
    for (wchar_t c : digits) {
        if (c < L'0' || c > L'9')
            return false;
        port = port * 10 + static_cast<unsigned>(c - L'0');
    }
    if (port == 0 || port > 65535)
        return false;
    out.host = CodePages::ToUtf8(host);
    out.port = static_cast<uint16_t>(port);
    return true;
}
