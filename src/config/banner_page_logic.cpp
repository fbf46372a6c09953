#include "config/banner_page_logic.h"

#include "config/banner_state_machine.h"
#include "config/config_operation.h"
#include "core/text/error_text.h"
#include "core/text/report.h"
#include "core/text/string_table.h"

namespace {
const std::wstring& ReadText(CBannerStateMachine& machine) {
    return machine.m_bannerText.GetAt(CBannerStateMachine::ReadText);
}
const std::wstring& EditedText(CBannerStateMachine& machine) {
    return machine.m_bannerText.GetAt(CBannerStateMachine::EditedText);
}
}  // namespace

bool CBannerPageLogic::OnEditChanged(const std::wstring& typed) {
    m_machine.m_bannerText.SetAt(CBannerStateMachine::EditedText, TrimBannerText(typed));
    return EditedText(m_machine) != ReadText(m_machine);
}

bool CBannerPageLogic::OnApply(HWND page) {
    if (EditedText(m_machine) == ReadText(m_machine)) return true;
    if (m_machine.IsIdle()) {
        m_writing = m_machine.StartWrite(page, EditedText(m_machine)) != FALSE;
    } else {
        m_machine.SetResult(Zr8Error::MachineBusy);
    }
    m_applying = true;
    return false;
}

bool CBannerPageLogic::OnQueryCancel() {
    if (m_machine.IsIdle()) return true;
    m_applying = true;
    RequestCancel(m_machine);
    return false;
}

bool CBannerPageLogic::OnComplete(HWND page, DWORD result) {
    const bool failed = result != 0 && result != ERROR_CANCELLED;
    if (!m_applying) {
        if (result == 0) return false;
        if (failed) ShowMessage(page, MB_ICONERROR, GetErrorText(result), IDS_CAPTION_BANNER_ERROR);
    } else if (m_writing && failed) {
        ShowMessage(page, MB_ICONERROR, GetErrorText(result), IDS_CAPTION_BANNER_ERROR);
    }
    return true;
}
