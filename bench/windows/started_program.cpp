#include "started_program.h"

#include <psapi.h>

namespace {

double CounterSeconds(LONGLONG ticks)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

std::wstring WindowCaption(HWND window)
{
    wchar_t text[512] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

std::wstring WindowsPath(const char* unixPath)
{
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p != '\0'; ++p)
        path += (*p == '/') ? L'\\' : static_cast<wchar_t>(*p);
    return path;
}

CStartedProgram::CStartedProgram(const std::wstring& commandLine)
{
    std::wstring command = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    QueryPerformanceCounter(&m_start);
    if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_process)) {
        CloseHandle(m_process.hThread);
        m_process.hThread = nullptr;
    } else {
        m_startError = GetLastError();
        m_process = PROCESS_INFORMATION{};
    }
}

CStartedProgram::~CStartedProgram()
{
    if (m_process.hProcess == nullptr)
        return;
    if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process.hProcess, 99);
        WaitForSingleObject(m_process.hProcess, 10000);
    }
    CloseHandle(m_process.hProcess);
}

double CStartedProgram::SecondsSinceStart() const
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return CounterSeconds(now.QuadPart - m_start.QuadPart);
}

HWND CStartedProgram::WaitForWindow(const std::function<bool(HWND, const std::wstring&)>& test, DWORD timeoutMs)
{
    struct Search {
        DWORD pid;
        const std::function<bool(HWND, const std::wstring&)>* test;
        HWND found;
    };
    const DWORD begin = GetTickCount();
    while (GetTickCount() - begin < timeoutMs) {
        Search search{m_process.dwProcessId, &test, nullptr};
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD pid = 0;
                GetWindowThreadProcessId(window, &pid);
                if (pid != s->pid || !IsWindowVisible(window) || !(*s->test)(window, WindowCaption(window)))
                    return TRUE;
                s->found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr)
            return search.found;
        // A short poll: the figures are in tenths of a second, the poll's cost is small.
        if (WaitForSingleObject(m_process.hProcess, 2) != WAIT_TIMEOUT)
            return nullptr;
    }
    return nullptr;
}

CProgramMemory CStartedProgram::Memory() const
{
    CProgramMemory memory;
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(m_process.hProcess, &counters, sizeof(counters))) {
        memory.peakWorkingSet = counters.PeakWorkingSetSize;
        memory.peakPagefile = counters.PeakPagefileUsage;
    }
    return memory;
}

void CStartedProgram::Close(HWND window, DWORD timeoutMs)
{
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(m_process.hProcess, timeoutMs) == WAIT_TIMEOUT) {
        TerminateProcess(m_process.hProcess, 99);
        WaitForSingleObject(m_process.hProcess, 10000);
    }
}
