// post_command <class name or title> <command id>: posts WM_COMMAND with the id to the
// first top-level window of that class (or, failing that, with that title), waiting up to
// five seconds for it to appear. scripts/screenshot opens the About box and the licence
// agreement with it. Exit status 0 when posted, 1 when no such window came, 2 on usage.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    HWND window = nullptr;
    for (int i = 0; i < 50 && window == nullptr; ++i) {
        window = ::FindWindowA(argv[1], nullptr);
        if (window == nullptr)
            window = ::FindWindowA(nullptr, argv[1]);
        if (window == nullptr)
            ::Sleep(100);
    }
    if (window == nullptr)
        return 1;
    return ::PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[2])), 0) ? 0 : 1;
}
