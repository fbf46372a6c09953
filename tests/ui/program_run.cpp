#include "program_run.h"

#include <vector>

const wchar_t kProgramSettingsKey[] = L"Software\\Orvandel\\ZR8 Utility";

std::wstring UnixToWindowsPath(const char* unixPath)
{
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p != '\0'; ++p)
        path += (*p == '/') ? L'\\' : static_cast<wchar_t>(*p);
    return path;
}

std::wstring ReadWindowText(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return std::wstring();
    std::vector<wchar_t> text(length + 1, L'\0');
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        5000, nullptr);
    return text.data();
}

std::wstring ReadClassName(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

HWND FindControl(HWND top, int id)
{
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        top,
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (GetDlgCtrlID(window) != s->id)
                return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void WriteProgramSettings(DWORD activePage, std::initializer_list<std::pair<const wchar_t*, std::wstring>> strings)
{
    DeleteProgramSettings();
    RegSetKeyValueW(HKEY_CURRENT_USER, kProgramSettingsKey, L"ActivePage", REG_DWORD, &activePage,
                    sizeof(activePage));
    for (const auto& [name, value] : strings)
        RegSetKeyValueW(HKEY_CURRENT_USER, kProgramSettingsKey, name, REG_SZ, value.c_str(),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void DeleteProgramSettings()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, kProgramSettingsKey);
}

CProgramRun::CProgramRun(const std::wstring& program, const std::wstring& arguments)
{
    std::wstring command = L"\"" + program + L"\"";
    if (!arguments.empty())
        command += L" " + arguments;
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

CProgramRun::~CProgramRun()
{
    if (m_process.hProcess == nullptr)
        return;
    if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process.hProcess, 99);
        WaitForSingleObject(m_process.hProcess, 10000);
    }
    CloseHandle(m_process.hProcess);
}

double CProgramRun::SecondsSinceStart() const
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - m_start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

HWND CProgramRun::FindTop(const std::function<bool(HWND)>& test) const
{
    struct Search {
        DWORD pid;
        const std::function<bool(HWND)>* test;
        HWND found;
    } search{m_process.dwProcessId, &test, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid != s->pid || !IsWindowVisible(window) || !(*s->test)(window))
                return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND CProgramRun::FindTop(const wchar_t* className, const wchar_t* caption) const
{
    return FindTop([&](HWND window) {
        return ReadClassName(window) == className && (caption == nullptr || ReadWindowText(window) == caption);
    });
}

bool CProgramRun::WaitFor(const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs) const
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs || WaitForSingleObject(m_process.hProcess, pollMs) != WAIT_TIMEOUT)
            return done();
    }
    return true;
}

HWND CProgramRun::WaitForTop(const wchar_t* className, const wchar_t* caption, DWORD timeoutMs) const
{
    HWND found = nullptr;
    WaitFor([&] { return (found = FindTop(className, caption)) != nullptr; }, timeoutMs);
    return found;
}

int CProgramRun::WaitForExit(DWORD timeoutMs) const
{
    if (WaitForSingleObject(m_process.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(m_process.hProcess, &code);
    return static_cast<int>(code);
}
