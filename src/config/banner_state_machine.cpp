#include "config/banner_state_machine.h"

#include <algorithm>
#include <cstring>

#include "platform/code_pages.h"

CReadBannerState::CReadBannerState(CBannerStateMachine* machine, const wchar_t* name,
                                   CState<CBannerStateMachine>* next)
    : CReadPicPromState<CBannerStateMachine>(machine, name, next, CBannerStateMachine::kResponseTimeoutMs) {}

void CReadBannerState::Reset() {
    CReadPicPromState<CBannerStateMachine>::Reset();
    SetRange(CBannerStateMachine::kBannerAddress, CBannerStateMachine::kBannerLength, m_machine->Buffer());
}

void CReadBannerState::OnResponseAccepted() {
    m_machine->m_bannerText.SetAt(CBannerStateMachine::ReadText, m_machine->BufferText());
    Next();
}

CWriteBannerState::CWriteBannerState(CBannerStateMachine* machine, const wchar_t* name,
                                     CState<CBannerStateMachine>* next)
    : CWritePicPromState<CBannerStateMachine>(machine, name, next, CBannerStateMachine::kResponseTimeoutMs) {}

void CWriteBannerState::Reset() {
    CWritePicPromState<CBannerStateMachine>::Reset();
    BYTE* buffer = m_machine->Buffer();
    buffer[CBannerStateMachine::kBannerLength] = 0;
    const DWORD length = static_cast<DWORD>(std::strlen(reinterpret_cast<const char*>(buffer)));
    // The text and its zero byte; a text of 16 characters fills the area without one.
    const DWORD count = std::min<DWORD>(length + 1, CBannerStateMachine::kBannerLength);
    SetRange(CBannerStateMachine::kBannerAddress, count, buffer);
}

void CWriteBannerState::OnAllBlocksWritten() {
    m_machine->m_bannerText.SetAt(CBannerStateMachine::ReadText, m_machine->BufferText());
    Next();
}

CBannerStateMachine::CBannerStateMachine(CModelBase& model)
    : CStateHost<T>(model, kTimerId),
      m_bannerText(WM_APP_BANNER_TEXT, std::wstring()),
      m_readBanner(this, L"ReadBanner", FinalState()),
      m_writeBanner(this, L"WriteBanner", &m_readBanner) {}

BOOL CBannerStateMachine::StartRead(HWND owner) {
    if (!IsIdle()) {
        SetLastError(Zr8Error::MachineBusy);
        return FALSE;
    }
    SetOwnerWindow(owner);
    return Start(&m_readBanner);
}

BOOL CBannerStateMachine::StartWrite(HWND owner, const std::wstring& text) {
    if (!IsIdle()) {
        SetLastError(Zr8Error::MachineBusy);
        return FALSE;
    }
    const std::string bytes = CodePages::ToAnsi(text);
    const size_t n = std::min<size_t>(bytes.size(), kBannerLength);
    std::memcpy(m_buffer, bytes.data(), n);
    if (n < kBannerLength) m_buffer[n] = 0;
    m_buffer[kBannerLength] = 0;
    SetOwnerWindow(owner);
    return Start(&m_writeBanner);
}

std::wstring CBannerStateMachine::BufferText() {
    for (BYTE& b : m_buffer)
        if (b == 0xFF) b = 0;
    m_buffer[kBannerLength] = 0;
    return CodePages::FromAnsi(std::string(reinterpret_cast<const char*>(m_buffer)));
}

std::wstring TrimBannerText(const std::wstring& typed) {
    size_t end = typed.size();
    while (end > 0 && (typed[end - 1] == L' ' || typed[end - 1] == L'\t' || typed[end - 1] == L'\r' ||
                       typed[end - 1] == L'\n'))
        --end;
    return typed.substr(0, end);
}
