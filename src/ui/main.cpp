// ZR8Utility.exe: start-up and shut-down of the Windows program.
//   ZR8Utility.exe [--simulate]
// --simulate registers the in-process simulated radio as the port "SIM" and uses it
// for this run.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "core/model/model_base.h"
#include "core/serial/serial_device.h"
#include "sim/loop_clock.h"
#include "sim/sim_serial_device.h"
#include "sim/simulator.h"
#include "ui/frame/main_frame.h"
#include "ui/framework/message_loop.h"
#include "ui/framework/win_handles.h"

namespace {
const wchar_t kSimulatedPort[] = L"SIM";
// The frame window could not be made: nothing was shown.
constexpr int kExitNoWindow = 2;

bool HasArgument(const wchar_t* wanted)
{
    int count = 0;
    LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    bool found = false;
    for (int i = 1; args != nullptr && i < count; ++i)
        if (lstrcmpiW(args[i], wanted) == 0)
            found = true;
    ::LocalFree(args);
    return found;
}

// The simulated radio and its registration, for the length of the run.
class CSimulatedRadio {
public:
    CSimulatedRadio() : m_simulator(CSimOptions{}, m_clock) { RegisterSimulatedRadio(kSimulatedPort, m_simulator); }
    ~CSimulatedRadio() { UnregisterSerialDevice(kSimulatedPort); }

private:
    CLoopClock m_clock;
    CSimulator m_simulator;
};

int RunProgram(int showCommand)
{
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
            if (HasArgument(L"--simulate")) {
                radio = std::make_unique<CSimulatedRadio>();
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
