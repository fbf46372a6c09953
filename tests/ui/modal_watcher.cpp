#include "tests/ui/modal_watcher.h"

namespace {
CModalWatcher* g_watcher = nullptr;

struct CSearch {
    const std::wstring* title;
    bool visibleOnly;
    HWND found;
    int count;
};

BOOL CALLBACK Visit(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<CSearch*>(param);
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    if (*search->title == text && (!search->visibleOnly || ::IsWindowVisible(window))) {
        if (search->found == nullptr)
            search->found = window;
        ++search->count;
    }
    return TRUE;
}

CSearch Search(const std::wstring& title, bool visibleOnly)
{
    CSearch search = {&title, visibleOnly, nullptr, 0};
    ::EnumThreadWindows(::GetCurrentThreadId(), &Visit, reinterpret_cast<LPARAM>(&search));
    return search;
}
}  // namespace

HWND FindThreadWindow(const std::wstring& title) { return Search(title, true).found; }
int CountThreadWindows(const std::wstring& title) { return Search(title, false).count; }

CModalWatcher::CModalWatcher()
{
    g_watcher = this;
    m_timer = ::SetTimer(nullptr, 0, 50, &CModalWatcher::OnTimer);
}

CModalWatcher::~CModalWatcher()
{
    ::KillTimer(nullptr, m_timer);
    g_watcher = nullptr;
}

void CModalWatcher::Expect(const std::wstring& title, std::function<void(HWND)> action)
{
    m_expected.push_back({title, std::move(action), false});
}

bool CModalWatcher::AllSeen() const
{
    for (const CExpected& expected : m_expected)
        if (!expected.seen)
            return false;
    return true;
}

void CALLBACK CModalWatcher::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_watcher != nullptr)
        g_watcher->Look();
}

void CModalWatcher::Look()
{
    for (size_t i = 0; i < m_expected.size(); ++i) {
        if (m_expected[i].seen)
            continue;
        HWND window = FindThreadWindow(m_expected[i].title);
        if (window == nullptr || !::IsWindowEnabled(window))
            continue;
        m_expected[i].seen = true;
        // The action may open another modal window whose own expectation this timer
        // serves from inside that window's loop.
        std::function<void(HWND)> action = m_expected[i].action;
        action(window);
        if (::IsWindow(window))
            ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    }
}
