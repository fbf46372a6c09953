// CStartedProgram: a Windows program the start benchmark runs, timed from the moment
// before CreateProcess on the performance counter. Ended by force if still running when
// the object goes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

struct CProgramMemory {
    SIZE_T peakWorkingSet = 0;   // bytes
    SIZE_T peakPagefile = 0;     // bytes committed at the peak
};

class CStartedProgram {
public:
    explicit CStartedProgram(const std::wstring& commandLine);
    ~CStartedProgram();
    CStartedProgram(const CStartedProgram&) = delete;
    CStartedProgram& operator=(const CStartedProgram&) = delete;

    bool Started() const { return m_process.hProcess != nullptr; }
    DWORD StartError() const { return m_startError; }

    // Polls the program's visible top-level windows until one satisfies the test; the
    // window, or nullptr on time-out or when the program ended.
    HWND WaitForWindow(const std::function<bool(HWND window, const std::wstring& caption)>& test,
                       DWORD timeoutMs);
    double SecondsSinceStart() const;
    CProgramMemory Memory() const;
    // Posts WM_CLOSE to the window and waits for the end; terminates it after the time-out.
    void Close(HWND window, DWORD timeoutMs);

private:
    PROCESS_INFORMATION m_process{};
    DWORD m_startError = 0;
    LARGE_INTEGER m_start{};
};

std::wstring WindowCaption(HWND window);
std::wstring WindowsPath(const char* unixPath);
