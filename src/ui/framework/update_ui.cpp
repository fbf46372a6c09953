#include "ui/framework/update_ui.h"

void CUpdateUIBase::UIAddMenuItem(UINT id)
{
    if (Find(id) == nullptr)
        m_items.push_back({id, false, true, std::wstring()});
}

CUpdateUIBase::CItem* CUpdateUIBase::Find(UINT id)
{
    for (CItem& item : m_items)
        if (item.id == id)
            return &item;
    return nullptr;
}

const CUpdateUIBase::CItem* CUpdateUIBase::Find(UINT id) const
{
    for (const CItem& item : m_items)
        if (item.id == id)
            return &item;
    return nullptr;
}

bool CUpdateUIBase::UISetCheck(UINT id, bool checked)
{
    CItem* item = Find(id);
    if (item == nullptr)
        return false;
    item->checked = checked;
    return true;
}

bool CUpdateUIBase::UIEnable(UINT id, bool enabled)
{
    CItem* item = Find(id);
    if (item == nullptr)
        return false;
    item->enabled = enabled;
    return true;
}

bool CUpdateUIBase::UISetText(UINT id, const std::wstring& text)
{
    CItem* item = Find(id);
    if (item == nullptr)
        return false;
    item->text = text;
    return true;
}

bool CUpdateUIBase::UIGetCheck(UINT id) const
{
    const CItem* item = Find(id);
    return item != nullptr && item->checked;
}

bool CUpdateUIBase::UIGetEnabled(UINT id) const
{
    const CItem* item = Find(id);
    return item == nullptr || item->enabled;
}

void CUpdateUIBase::UIUpdateMenu(HMENU menu) const
{
    if (menu == nullptr)
        return;
    const int count = ::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        HMENU sub = ::GetSubMenu(menu, position);
        if (sub != nullptr) {
            UIUpdateMenu(sub);
            continue;
        }
        const UINT id = ::GetMenuItemID(menu, position);
        const CItem* item = Find(id);
        if (item == nullptr)
            continue;
        ::CheckMenuItem(menu, position, MF_BYPOSITION | (item->checked ? MF_CHECKED : MF_UNCHECKED));
        ::EnableMenuItem(menu, position, MF_BYPOSITION | (item->enabled ? MF_ENABLED : MF_GRAYED));
        if (!item->text.empty()) {
            MENUITEMINFOW info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_STRING;
            info.dwTypeData = const_cast<wchar_t*>(item->text.c_str());
            ::SetMenuItemInfoW(menu, position, TRUE, &info);
        }
    }
}
