#include "ui/frame/tab_view.h"

#include "resources/ui/ui_resource_ids.h"
#include "ui/frame/page_list.h"

namespace {
const CResizeRule kSheetRules[] = {
    {IDC_SHEET_TAB, CDialogResizeBase::kSizeX | CDialogResizeBase::kSizeY},
    {IDC_SHEET_APPLY, CDialogResizeBase::kSizeX | CDialogResizeBase::kMoveY},
};
}

CTabView::CTabView(CPageContext& context) : m_pages(CreatePages(context))
{
    for (size_t i = 0; i < m_pages.size(); ++i) {
        AddPage(*m_pages[i]);
        if (i == 0)
            m_firmwarePageIndex = PageCount();  // 1: the page after the Port page
    }
}

CTabView::~CTabView() { Destroy(); }

HWND CTabView::Create(HWND parent, int startPage)
{
    SetStartPage(startPage);
    HWND sheet = CreateChild(parent);
    if (sheet == nullptr)
        return nullptr;
    const RECT client = GetClientRect();
    m_createdSize = {client.right - client.left, client.bottom - client.top};
    m_tabCtrl.SubclassWindow(GetTabControl());
    DlgResize_Init(sheet, kSheetRules, sizeof(kSheetRules) / sizeof(kSheetRules[0]), false, false);
    return sheet;
}

void CTabView::Destroy()
{
    if (m_hWnd == nullptr)
        return;
    HWND sheet = m_hWnd;
    m_tabCtrl.UnsubclassWindow();
    UnsubclassWindow();
    if (::IsWindow(sheet))
        ::DestroyWindow(sheet);
}

CPropertyPageBase* CTabView::Page(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_pages.size()))
        return nullptr;
    return m_pages[static_cast<size_t>(index)].get();
}

BOOL CTabView::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    return ProcessResizeMessage(window, message, wParam, lParam, result);
}
