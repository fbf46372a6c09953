#include "ui/dialogs/power_on_banner_sheet.h"

#include "core/text/string_table.h"

CPowerOnBannerSheet::CPowerOnBannerSheet(CModelBase& model) : m_page(model)
{
    SetTitle(LoadStringText(IDS_CAPTION_EDIT_BANNER));
    AddSheetFlags(PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP);
    AddPage(m_page);
}

void CPowerOnBannerSheet::OnSheetInitialized()
{
    // Centred on the owner (the main window), before the sheet is first shown.
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner == nullptr)
        return;
    RECT sheet = {};
    RECT around = {};
    ::GetWindowRect(m_hWnd, &sheet);
    ::GetWindowRect(owner, &around);
    const int width = sheet.right - sheet.left;
    const int height = sheet.bottom - sheet.top;
    const int x = around.left + ((around.right - around.left) - width) / 2;
    const int y = around.top + ((around.bottom - around.top) - height) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
