// A stage for pictures of the configuration windows (scripts/screenshot): the save
// dialog in the middle of its read, the restore dialog in the middle of its write, or the
// power-on banner editor showing a banner, against the simulated radio in process with a
// slow line. Runs until it is closed.
//   zr8_config_window_shots save|restore|banner
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>

#include "core/model/contact_state_machine.h"
#include "core/model/model_base.h"
#include "core/text/app_messages.h"
#include "platform/settings_store.h"
#include "sim/loop_clock.h"
#include "sim/sim_serial_device.h"
#include "sim/simulator.h"
#include "ui/dialogs/config_restore_dlg.h"
#include "ui/dialogs/config_save_dlg.h"
#include "ui/dialogs/file_dialogs.h"
#include "ui/dialogs/power_on_banner_sheet.h"

namespace {

CModelBase* g_model = nullptr;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_model != nullptr && message == WM_APP_PORT_EVENT) {
        g_model->RoutePortEvent(message, wParam, lParam);
        return 0;
    }
    if (g_model != nullptr && message == WM_TIMER && g_model->RouteTimer(message, wParam, lParam))
        return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

// The radio of the pictures: answers at once, then (slow) every reply from the seventh
// on leaves late, so that a read or write goes on long enough for a picture.
std::unique_ptr<CSimulator> MakeRadio(CLoopClock& clock, bool slow)
{
    CSimOptions options;
    options.baudModel = BaudModel::Instant;
    if (slow) {
        std::string error;
        for (int reply = 7; reply <= 40; ++reply)
            options.faults.Add("late=450@" + std::to_string(reply), error);
    }
    auto radio = std::make_unique<CSimulator>(options, clock);
    const std::string banner = "CQ DE ZR8";
    std::vector<uint8_t> bytes(banner.begin(), banner.end());
    bytes.resize(16, 0);
    radio->Radio().Eeprom().Fill(0x3F0, bytes);
    RegisterSimulatedRadio(L"SIM", *radio);
    return radio;
}

void FindRadio(CModelBase& model)
{
    model.ContactMachine().StartOpenPort();
    MSG msg;
    while (!model.ContactMachine().IsIdle() && GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const std::string what = commandLine != nullptr ? commandLine : "";

    CModel model(CreateMemorySettingsStore());
    g_model = &model;
    CLoopClock clock;
    // The restore needs a file of this radio: a quick save to it comes first.
    std::unique_ptr<CSimulator> radio = MakeRadio(clock, what == "save");

    WNDCLASSW wc{};
    wc.lpfnWndProc = &HostProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"ZR8ConfigWindowShots";
    RegisterClassW(&wc);
    // Never shown: the picture holds the dialog alone.
    HWND host = CreateWindowExW(0, wc.lpszClassName, L"ZR8 configuration windows", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                                nullptr, nullptr, instance, nullptr);
    model.SetWindow(host);
    model.m_port.Set(L"SIM");
    FindRadio(model);

    // The file is chosen at once, as if the user had confirmed the proposal.
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"zr8-shot.ZR8Config";
    FileDialogs::SetHandler([path](FileDialogs::Kind, OPENFILENAMEW& request, DWORD&) {
        wcsncpy(request.lpstrFile, path.c_str(), request.nMaxFile - 1);
        return TRUE;
    });
    if (what == "save" || what == "restore") {
        CConfigSaveDlg save(model);
        save.DoModal(host);
    }
    if (what == "restore") {
        // The same radio again, now slow, for the picture of the write.
        model.ClosePort();
        UnregisterSerialDevice(L"SIM");
        radio = MakeRadio(clock, true);
        FindRadio(model);
        CConfigRestoreDlg restore(model);
        restore.DoModal(host);
    } else if (what == "banner") {
        CPowerOnBannerSheet sheet(model);
        sheet.DoModal(host);
    }
    DeleteFileW(path.c_str());
    model.ClosePort();
    UnregisterSerialDevice(L"SIM");
    g_model = nullptr;
    DestroyWindow(host);
    return 0;
}
