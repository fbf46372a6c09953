#include "ui/help/html_help_control.h"

namespace {
const wchar_t kControlClsidKey[] = L"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
const wchar_t kControlFileName[] = L"hhctrl.ocx";
// The wide-character entry point's export number (the narrow one is 14).
const WORD kWideEntryOrdinal = 15;

class CRegKey {
public:
    ~CRegKey()
    {
        if (m_key != nullptr)
            ::RegCloseKey(m_key);
    }
    LONG Open(HKEY root, const std::wstring& path) { return ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &m_key); }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};
}  // namespace

CHtmlHelpControl::CLocation CHtmlHelpControl::SystemLocation()
{
    return {HKEY_CLASSES_ROOT, kControlClsidKey, kControlFileName};
}

CHtmlHelpControl::CHtmlHelpControl(CLocation location) : m_location(std::move(location)) {}

std::wstring CHtmlHelpControl::RegisteredPath() const
{
    CRegKey key;
    if (key.Open(m_location.root, m_location.key) != ERROR_SUCCESS)
        return std::wstring();
    wchar_t value[MAX_PATH + 1] = {};
    DWORD type = 0;
    DWORD bytes = MAX_PATH * sizeof(wchar_t);  // leaves room for the terminator the value may lack
    if (::RegQueryValueExW(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes) != ERROR_SUCCESS)
        return std::wstring();
    if (type == REG_EXPAND_SZ) {
        wchar_t expanded[MAX_PATH] = {};
        const DWORD length = ::ExpandEnvironmentStringsW(value, expanded, MAX_PATH);
        if (length == 0 || length > MAX_PATH)
            return std::wstring();
        return expanded;
    }
    if (type != REG_SZ)
        return std::wstring();
    return value;
}

HtmlHelpEntry CHtmlHelpControl::Entry()
{
    if (m_tried)
        return m_entry;
    m_tried = true;
    ++m_loadAttempts;
    const std::wstring path = RegisteredPath();
    HMODULE module = path.empty() ? nullptr : ::LoadLibraryW(path.c_str());
    if (module == nullptr)
        module = ::LoadLibraryW(m_location.fallbackName.c_str());
    if (module == nullptr)
        return nullptr;
    m_module.Reset(module);
    m_entry = reinterpret_cast<HtmlHelpEntry>(
        reinterpret_cast<void*>(::GetProcAddress(module, MAKEINTRESOURCEA(kWideEntryOrdinal))));
    if (m_entry == nullptr)
        m_module.Reset();
    return m_entry;
}

void CHtmlHelpControl::ReplaceForTesting(HtmlHelpEntry entry, CLocation location)
{
    m_location = std::move(location);
    m_module.Reset();
    m_entry = entry;
    m_tried = entry != nullptr;
    m_loadAttempts = 0;
}

CHtmlHelpControl& TheHtmlHelpControl()
{
    static CHtmlHelpControl control;
    return control;
}
