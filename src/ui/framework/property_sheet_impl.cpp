#include "ui/framework/property_sheet_impl.h"

#include <commctrl.h>

namespace {
// PropertySheet's callback carries no context: the sheet being made is remembered for
// the duration of the call. Sheets are made on the user-interface thread only.
thread_local CPropertySheetBase* t_creating = nullptr;

// The dialog template of the sheet itself, DLGTEMPLATE or DLGTEMPLATEEX.
DWORD& TemplateStyle(LPARAM lParam)
{
    auto* words = reinterpret_cast<WORD*>(lParam);
    if (words[1] == 0xFFFF)  // DLGTEMPLATEEX: dlgVer, signature, helpID, exStyle, style
        return *reinterpret_cast<DWORD*>(words + 6);
    return reinterpret_cast<DLGTEMPLATE*>(lParam)->style;
}
}  // namespace

CPropertySheetBase::~CPropertySheetBase()
{
    if (m_child && m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        HWND sheet = m_hWnd;
        UnsubclassWindow();
        ::DestroyWindow(sheet);
    }
}

HWND CPropertySheetBase::CreateChild(HWND parent)
{
    const INT_PTR result = Run(parent, true);
    return result > 0 ? reinterpret_cast<HWND>(result) : nullptr;
}

INT_PTR CPropertySheetBase::DoModal(HWND parent) { return Run(parent, false); }

INT_PTR CPropertySheetBase::Run(HWND parent, bool child)
{
    std::vector<HPROPSHEETPAGE> handles;
    for (CPropertyPageBase* page : m_pages) {
        HPROPSHEETPAGE handle = page->CreatePageHandle();
        if (handle == nullptr)
            return -1;
        handles.push_back(handle);
    }
    m_child = child;
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_USECALLBACK | m_sheetFlags;
    if (child)
        header.dwFlags |= PSH_MODELESS | PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP;
    header.hwndParent = parent;
    header.hInstance = ::GetModuleHandleW(nullptr);
    header.pszCaption = m_title.c_str();
    header.nPages = static_cast<UINT>(handles.size());
    header.nStartPage = static_cast<UINT>(m_startPage >= 0 && m_startPage < PageCount() ? m_startPage : 0);
    header.phpage = handles.data();
    header.pfnCallback = &CPropertySheetBase::SheetCallback;

    CPropertySheetBase* outer = t_creating;
    t_creating = this;
    const INT_PTR result = ::PropertySheetW(&header);
    t_creating = outer;
    // The sheet owns the pages now (it frees them with itself), even when it failed.
    for (CPropertyPageBase* page : m_pages)
        page->m_handleOwnedBySheet = true;
    if (!child)
        UnsubclassWindow();
    return result;
}

int CALLBACK CPropertySheetBase::SheetCallback(HWND window, UINT message, LPARAM lParam)
{
    CPropertySheetBase* self = t_creating;
    if (self == nullptr)
        return 0;
    switch (message) {
    case PSCB_PRECREATE:
        if (self->m_child) {
            DWORD& style = TemplateStyle(lParam);
            style &= ~static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME |
                                         DS_CONTEXTHELP | WS_DISABLED);
            style |= WS_CHILD | WS_VISIBLE | DS_CONTROL | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
        }
        break;
    case PSCB_INITIALIZED:
        self->SubclassWindow(window);
        if (self->m_child) {
            for (int id : {IDOK, IDCANCEL, IDHELP}) {
                HWND button = ::GetDlgItem(window, id);
                if (button != nullptr)
                    ::ShowWindow(button, SW_HIDE);
            }
        }
        self->OnSheetInitialized();
        break;
    default:
        break;
    }
    return 0;
}

int CPropertySheetBase::GetActiveIndex() const
{
    if (m_hWnd == nullptr)
        return -1;
    HWND page = GetActivePage();
    if (page == nullptr)
        return -1;
    return static_cast<int>(::SendMessageW(m_hWnd, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0));
}

HWND CPropertySheetBase::GetActivePage() const
{
    if (m_hWnd == nullptr)
        return nullptr;
    return reinterpret_cast<HWND>(::SendMessageW(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0));
}

bool CPropertySheetBase::SetActivePage(int index)
{
    if (m_hWnd == nullptr || index < 0 || index >= PageCount())
        return false;
    return ::SendMessageW(m_hWnd, PSM_SETCURSEL, static_cast<WPARAM>(index), 0) != 0;
}

HWND CPropertySheetBase::GetTabControl() const
{
    if (m_hWnd == nullptr)
        return nullptr;
    return reinterpret_cast<HWND>(::SendMessageW(m_hWnd, PSM_GETTABCONTROL, 0, 0));
}

BOOL CPropertySheetBase::IsDialogMessage(MSG* message) const
{
    if (m_hWnd == nullptr)
        return FALSE;
    return ::SendMessageW(m_hWnd, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(message)) != 0;
}
