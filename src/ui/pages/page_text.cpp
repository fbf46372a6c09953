#include "ui/pages/page_text.h"

#include "core/model/radio_types.h"
#include "ui/framework/window.h"

std::wstring FillModelName(const std::wstring& text)
{
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'?' && i + 1 < text.size() && text[i + 1] == L'?') {
            out += kModelName;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

void FillModelNameInControl(HWND dialog, int id)
{
    CWindow control(::GetDlgItem(dialog, id));
    if (control.m_hWnd != nullptr)
        control.SetWindowText(FillModelName(control.GetWindowText()));
}

void EnableAllChildren(HWND page, bool enable)
{
    for (HWND child = ::GetWindow(page, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        ::EnableWindow(child, enable ? TRUE : FALSE);
}
