// ZR8Utility.exe: start-up and shut-down of the Windows program.
//   ZR8Utility.exe [--simulate ["RADIO OPTIONS"]]
// --simulate registers the in-process simulated radio as the port "SIM" and uses it
// for this run. What follows it describes that radio with the options of zr8sim, as one
// argument or several (--simulate "--baud-model instant --load-version 117"); without
// options the radio is the default one, on a 9600 bit/s line.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "core/model/model_base.h"
#include "core/serial/serial_device.h"
#include "platform/code_pages.h"
#include "sim/loop_clock.h"
#include "sim/sim_serial_device.h"
#include "sim/sim_options.h"
#include "sim/simulator.h"
#include "ui/frame/main_frame.h"
#include "ui/framework/message_loop.h"
#include "ui/framework/win_handles.h"

namespace {
const wchar_t kSimulatedPort[] = L"SIM";
// The frame window could not be made: nothing was shown.
constexpr int kExitNoWindow = 2;
// The options of the simulated radio could not be read.
constexpr int kExitBadArguments = 3;

// The command line's arguments after the program's name.
std::vector<std::wstring> Arguments()
{
    int count = 0;
    LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::wstring> out;
    for (int i = 1; args != nullptr && i < count; ++i)
        out.push_back(args[i]);
    ::LocalFree(args);
    return out;
}

// The words after --simulate, each argument split at blanks, as zr8 --sim takes them.
std::vector<std::string> SimulatorWords(const std::vector<std::wstring>& args, size_t first)
{
    std::vector<std::string> words;
    for (size_t i = first; i < args.size(); ++i) {
        std::string word;
        for (char c : CodePages::ToUtf8(args[i])) {
            if (c == ' ' || c == '\t') {
                if (!word.empty())
                    words.push_back(word);
                word.clear();
            } else {
                word.push_back(c);
            }
        }
        if (!word.empty())
            words.push_back(word);
    }
    return words;
}

// The simulated radio and its registration, for the length of the run.
class CSimulatedRadio {
public:
    explicit CSimulatedRadio(const CSimOptions& options) : m_simulator(options, m_clock)
    {
        RegisterSimulatedRadio(kSimulatedPort, m_simulator);
    }
    ~CSimulatedRadio() { UnregisterSerialDevice(kSimulatedPort); }

private:
    CLoopClock m_clock;
    CSimulator m_simulator;
};

int RunProgram(int showCommand)
{
    const std::vector<std::wstring> args = Arguments();
    bool simulate = false;
    CSimCommandLine simLine;
    for (size_t i = 0; i < args.size() && !simulate; ++i) {
        if (lstrcmpiW(args[i].c_str(), L"--simulate") != 0)
            continue;
        simulate = true;
        std::string error;
        if (!ParseSimCommandLine(SimulatorWords(args, i + 1), simLine, error)) {
            ::MessageBoxW(nullptr, CodePages::FromUtf8("--simulate: " + error).c_str(), L"ZR8 Utility",
                          MB_OK | MB_ICONERROR);
            return kExitBadArguments;
        }
    }
    CComInit com;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS |
                                                           ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    // "RichEdit20W" for every output window, until the loop has ended.
    CLibraryHandle richEdit(::LoadLibraryW(L"RICHED20.DLL"));
    int exitCode = kExitNoWindow;
    {
        CMessageLoop loop;
        {
            std::unique_ptr<CSimulatedRadio> radio;
            CMainFrame::COptions options;
            if (simulate) {
                radio = std::make_unique<CSimulatedRadio>(simLine.radio);
                options.forcedPort = kSimulatedPort;
                options.extraPorts.push_back(kSimulatedPort);
            }
            CMainFrame frame(GetModel(), options);
            if (frame.CreateMainWindow() != nullptr) {
                frame.ShowWindow(showCommand);
                exitCode = loop.Run();
            }
            // The port is closed with the frame; the radio goes after it.
            GetModel().ClosePort();
        }
        // Shut-down order: the rich-edit library, then the loop, then COM.
        richEdit.Reset();
    }
    return exitCode;
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) { return RunProgram(showCommand); }
