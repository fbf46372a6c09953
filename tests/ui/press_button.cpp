// press_button: presses a button of a running ZR8Utility.exe from outside, as a click
// would (BN_CLICKED to the button's parent), for scripts that show the program at work.
//   press_button.exe CONTROL_ID [TIMEOUT_SECONDS]
// Waits until the main window holds an enabled control with that identifier. Exit codes:
// 0 pressed, 1 not found in time, 2 bad arguments.
#include <windows.h>

#include <cstdlib>

namespace {
struct Search {
    int id;
    HWND found;
};

BOOL CALLBACK FindControl(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    if (GetDlgCtrlID(window) != search->id || !IsWindowEnabled(window) || !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const int id = static_cast<int>(std::strtol(argv[1], nullptr, 10));
    const DWORD timeoutMs = argc > 2 ? static_cast<DWORD>(std::strtol(argv[2], nullptr, 10)) * 1000 : 30000;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        HWND frame = FindWindowW(L"ZR8UtilityMainFrame", nullptr);
        Search search{id, nullptr};
        if (frame != nullptr)
            EnumChildWindows(frame, &FindControl, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            PostMessageW(GetParent(search.found), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                         reinterpret_cast<LPARAM>(search.found));
            return 0;
        }
        Sleep(200);
    }
    return 1;
}
