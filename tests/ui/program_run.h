// CProgramRun: a Windows program started as a user starts it, then watched and driven from
// outside through its windows (the end-to-end tests of ZR8Utility.exe and the start
// benchmark). A program still running when the object goes is ended by force.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>

// A Unix path of the build tree as Wine's Z: drive shows it.
std::wstring UnixToWindowsPath(const char* unixPath);
// The window's text (WM_GETTEXT, time-boxed in case its thread hangs); its class name.
std::wstring ReadWindowText(HWND window);
std::wstring ReadClassName(HWND window);
// The first descendant of top with the control id, or null.
HWND FindControl(HWND top, int id);

// The program's settings in this prefix: only the start page and the given strings.
extern const wchar_t kProgramSettingsKey[];
void WriteProgramSettings(DWORD activePage, std::initializer_list<std::pair<const wchar_t*, std::wstring>> strings);
void DeleteProgramSettings();

class CProgramRun {
public:
    // program: a Windows path; arguments are appended as they stand.
    CProgramRun(const std::wstring& program, const std::wstring& arguments);
    ~CProgramRun();
    CProgramRun(const CProgramRun&) = delete;
    CProgramRun& operator=(const CProgramRun&) = delete;

    bool Started() const { return m_process.hProcess != nullptr; }
    DWORD StartError() const { return m_startError; }
    HANDLE Process() const { return m_process.hProcess; }
    // Seconds since the moment before CreateProcess, on the performance counter.
    double SecondsSinceStart() const;

    // A visible top-level window of the program that passes the test; null if none.
    HWND FindTop(const std::function<bool(HWND window)>& test) const;
    // ... of the class and with the caption (null: any caption).
    HWND FindTop(const wchar_t* className, const wchar_t* caption) const;
    // Polls until done holds; false after the time-out or once the program has ended.
    bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs = 100) const;
    HWND WaitForTop(const wchar_t* className, const wchar_t* caption, DWORD timeoutMs) const;
    // The exit code, or -1 when the program did not end in time.
    int WaitForExit(DWORD timeoutMs = 30000) const;

private:
    PROCESS_INFORMATION m_process{};
    DWORD m_startError = 0;
    LARGE_INTEGER m_start{};
};
