// CShutdownBlock: holds log-off and shut-down while an operation that must not be cut
// short runs (a firmware load, a configuration save or restore). Hold gives the reason to
// the program's top-level window (ShutdownBlockReasonCreate), so that the system names it
// when it asks the user; Release (or the destructor) takes it back. The main frame answers
// WM_QUERYENDSESSION with FALSE while any reason is held for it.
#pragma once

#include <windows.h>

#include <string>

class CShutdownBlock {
public:
    CShutdownBlock() = default;
    ~CShutdownBlock() { Release(); }
    CShutdownBlock(const CShutdownBlock&) = delete;
    CShutdownBlock& operator=(const CShutdownBlock&) = delete;

    // window: any window of the program; the reason goes to its top-level owner. A second
    // Hold replaces the first.
    void Hold(HWND window, const std::wstring& reason);
    void Release();
    bool Held() const { return m_topLevel != nullptr; }

    // The reason held last for that top-level window, empty when none is held. The
    // system's own record is not read back: not every system keeps one.
    static std::wstring HeldReason(HWND topLevel);

private:
    HWND m_topLevel = nullptr;
};
