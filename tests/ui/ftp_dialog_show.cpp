// Shows the copy dialog after a copy, for scripts/screenshot: copies from the server
// given into the folder given with "Trace" on (so the dialog stays open), and once it is
// settled writes its screen rectangle ("WxH+X+Y") to the file given. Runs until the
// dialog is closed.
//   zr8_ftp_dialog_show.exe HOST:PORT FOLDER RECTFILE
#include <windows.h>

#include <commctrl.h>

#include <fstream>

#include "core/model/model_base.h"
#include "platform/settings_store.h"
#include "ui/dialogs/ftp_dlg.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4)
        return 2;
    LoadLibraryW(L"riched20.dll");
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CModel model(CreateMemorySettingsStore());
    model.SettingsStore().WriteString(L"", L"FileServer", argv[1]);
    model.m_trace.Set(1);
    CFirmwareFiles files = ScanFirmwareFolder(argv[2]);
    CFtpDlg dialog(model, argv[2], files);
    HWND window = dialog.Create(nullptr);
    if (window == nullptr)
        return 1;
    SetWindowPos(window, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(window, SW_SHOW);
    bool written = false;
    MSG msg;
    while (dialog.m_hWnd != nullptr && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(dialog.m_hWnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (!written && dialog.m_hWnd != nullptr && dialog.State() == FtpIdle &&
            dialog.Transcript().find(L"Click \"Close\"") != std::wstring::npos) {
            RECT r;
            GetWindowRect(dialog.m_hWnd, &r);
            std::ofstream(argv[3]) << (r.right - r.left) << "x" << (r.bottom - r.top) << "+" << r.left << "+"
                                   << r.top << "\n";
            written = true;
        }
    }
    return 0;
}
