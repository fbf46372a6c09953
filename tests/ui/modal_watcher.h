// Acts on the program's modal windows from inside their own message loops: each expected
// window, once it shows (found by its title among this thread's windows), gets its
// action; a timer of the thread looks for them while a modal loop runs.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class CModalWatcher {
public:
    CModalWatcher();
    ~CModalWatcher();
    CModalWatcher(const CModalWatcher&) = delete;
    CModalWatcher& operator=(const CModalWatcher&) = delete;

    // The action runs once, when a visible window with this title appears; then the
    // window is closed as its Close button would (unless the action closed it).
    void Expect(const std::wstring& title, std::function<void(HWND)> action);
    bool AllSeen() const;

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Look();

    struct CExpected {
        std::wstring title;
        std::function<void(HWND)> action;
        bool seen;
    };
    std::vector<CExpected> m_expected;
    UINT_PTR m_timer = 0;
};

// A visible top-level window of this thread with exactly this title, or null.
HWND FindThreadWindow(const std::wstring& title);
// How many windows of this thread (visible or not) have exactly this title.
int CountThreadWindows(const std::wstring& title);
