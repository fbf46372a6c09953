#include "ui/pages/firmware_folder_browser.h"

#include <windows.h>

#include <shlobj.h>

namespace {
// Selects the current folder once the browser is up.
int CALLBACK OnBrowserEvent(HWND browser, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED && data != 0)
        ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

// The item list the shell hands back, freed with the shell's allocator.
class CItemList {
public:
    explicit CItemList(PIDLIST_ABSOLUTE list) : m_list(list) {}
    ~CItemList() { ::CoTaskMemFree(m_list); }
    CItemList(const CItemList&) = delete;
    CItemList& operator=(const CItemList&) = delete;
    PIDLIST_ABSOLUTE Get() const { return m_list; }

private:
    PIDLIST_ABSOLUTE m_list;
};
}  // namespace

bool BrowseForFirmwareFolder(HWND owner, const std::wstring& title, const std::wstring& current,
                             std::wstring& chosen)
{
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = &OnBrowserEvent;
    info.lParam = current.empty() ? 0 : reinterpret_cast<LPARAM>(current.c_str());
    CItemList list(::SHBrowseForFolderW(&info));
    if (list.Get() == nullptr)
        return false;
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetPathFromIDListW(list.Get(), path))
        return false;
    chosen = path;
    return true;
}
