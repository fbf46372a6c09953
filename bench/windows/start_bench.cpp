// The Windows program's start under Wine: seconds from CreateProcess to its main window,
// and to the radio's serial number in that window's title, and its peak memory; in the
// same run, the same figures for a minimal Win32 window program (zr8_minimal_window),
// which shows what Wine itself costs. Prints figures; asserts nothing.
//
//   zr8_start_bench [--rounds N] [--port COMx | --simulate]
//
// The program runs with the settings of this prefix's user, with "Port" set to the port
// (the radio, zr8sim, must be there: scripts/bench-start maps one) and the Port page first.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <psapi.h>

#include "program_run.h"

namespace {

const wchar_t kSerialMark[] = L" - S/N ";
const DWORD kWaitMs = 120000;
// A short poll: the figures are in tenths of a second, the poll's cost is small.
const DWORD kPollMs = 2;

struct CProgramMemory {
    SIZE_T peakWorkingSet = 0;  // bytes
    SIZE_T peakPagefile = 0;    // bytes committed at the peak
};

struct CRound {
    double minimalWindow = 0;
    CProgramMemory minimalMemory;
    double programWindow = 0;
    double serialNumber = 0;
    CProgramMemory programMemory;
    std::wstring title;
};

CProgramMemory MemoryOf(const CProgramRun& program)
{
    CProgramMemory memory;
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(program.Process(), &counters, sizeof(counters))) {
        memory.peakWorkingSet = counters.PeakWorkingSetSize;
        memory.peakPagefile = counters.PeakPagefileUsage;
    }
    return memory;
}

// Waits for a window of the program that passes the test; null on time-out or its end.
HWND WaitForWindow(const CProgramRun& program, const std::function<bool(HWND)>& test)
{
    HWND found = nullptr;
    program.WaitFor([&] { return (found = program.FindTop(test)) != nullptr; }, kWaitMs, kPollMs);
    return found;
}

// Closes as a user would; the run's end forces it if the program stays.
void Close(const CProgramRun& program, HWND window)
{
    PostMessageW(window, WM_CLOSE, 0, 0);
    program.WaitForExit(15000);
}

bool RunMinimal(CRound& round)
{
    CProgramRun program(UnixToWindowsPath(MINIMAL_WINDOW_EXE), L"");
    if (!program.Started()) {
        std::fprintf(stderr, "start bench: cannot start the minimal window program (error %lu)\n",
                     program.StartError());
        return false;
    }
    HWND window = WaitForWindow(program, [](HWND w) { return ReadWindowText(w) == L"Minimal window"; });
    if (!window) {
        std::fprintf(stderr, "start bench: the minimal window never showed\n");
        return false;
    }
    round.minimalWindow = program.SecondsSinceStart();
    round.minimalMemory = MemoryOf(program);
    Close(program, window);
    return true;
}

bool RunProgram(const std::wstring& arguments, CRound& round)
{
    CProgramRun program(UnixToWindowsPath(ZR8UTILITY_EXE), arguments);
    if (!program.Started()) {
        std::fprintf(stderr, "start bench: cannot start ZR8Utility.exe (error %lu)\n", program.StartError());
        return false;
    }
    auto isFrame = [](HWND window) { return ReadClassName(window) != L"#32770"; };
    HWND frame = WaitForWindow(program, isFrame);
    if (!frame) {
        std::fprintf(stderr, "start bench: ZR8Utility.exe showed no window\n");
        return false;
    }
    round.programWindow = program.SecondsSinceStart();
    HWND titled = WaitForWindow(program, [&](HWND window) {
        return isFrame(window) && ReadWindowText(window).find(kSerialMark) != std::wstring::npos;
    });
    if (!titled) {
        std::fprintf(stderr, "start bench: no serial number in the title (it reads \"%ls\")\n",
                     ReadWindowText(frame).c_str());
        return false;
    }
    round.serialNumber = program.SecondsSinceStart();
    round.title = ReadWindowText(titled);
    // The Port page tells of the radio in a box; answering it is part of a user's start.
    HWND box = program.WaitForTop(L"#32770", L"ZR8 Status", 10000);
    if (box)
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    Sleep(500);
    round.programMemory = MemoryOf(program);
    Close(program, titled);
    return true;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Megabytes(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

int Usage()
{
    std::fprintf(stderr, "usage: zr8_start_bench [--rounds N] [--port COMx | --simulate]\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    int rounds = 5;
    std::wstring port = L"COM9";
    bool simulate = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--rounds" && i + 1 < argc)
            rounds = _wtoi(argv[++i]);
        else if (option == L"--port" && i + 1 < argc)
            port = argv[++i];
        else if (option == L"--simulate")
            simulate = true;
        else
            return Usage();
    }
    if (rounds < 1)
        return Usage();

    WriteProgramSettings(0, {{L"Port", simulate ? std::wstring() : port}});
    std::vector<CRound> results;
    for (int r = 1; r <= rounds; ++r) {
        CRound round;
        if (!RunMinimal(round) || !RunProgram(simulate ? L"--simulate" : L"", round)) {
            DeleteProgramSettings();
            return 1;
        }
        std::printf("round %d: minimal window %.3f s, peak %.1f MB | ZR8Utility window %.3f s, serial number "
                    "%.3f s, peak %.1f MB (committed %.1f MB); title \"%ls\"\n",
                    r, round.minimalWindow, Megabytes(round.minimalMemory.peakWorkingSet), round.programWindow,
                    round.serialNumber, Megabytes(round.programMemory.peakWorkingSet),
                    Megabytes(round.programMemory.peakPagefile), round.title.c_str());
        std::fflush(stdout);
        results.push_back(round);
    }
    DeleteProgramSettings();

    auto median = [&](auto field) {
        std::vector<double> values;
        for (const CRound& round : results)
            values.push_back(field(round));
        return Median(values);
    };
    const double minimal = median([](const CRound& r) { return r.minimalWindow; });
    const double window = median([](const CRound& r) { return r.programWindow; });
    const double serial = median([](const CRound& r) { return r.serialNumber; });
    std::printf("median of %d rounds: minimal window program %.3f s to its window, peak working set %.1f MB\n",
                rounds, minimal, median([](const CRound& r) { return Megabytes(r.minimalMemory.peakWorkingSet); }));
    std::printf("median of %d rounds: ZR8Utility.exe %.3f s to its window (%.3f s more than the minimal one), "
                "%.3f s to the serial number in the title, peak working set %.1f MB, committed %.1f MB\n",
                rounds, window, window - minimal, serial,
                median([](const CRound& r) { return Megabytes(r.programMemory.peakWorkingSet); }),
                median([](const CRound& r) { return Megabytes(r.programMemory.peakPagefile); }));
    return 0;
}
