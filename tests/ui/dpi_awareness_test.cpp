// The windows' manifest makes the process DPI aware for the whole system (not per
// monitor): at 150 % Windows hands the program the real DPI, so dialog units and fonts
// are laid out sharp at that size instead of a 96 DPI bitmap being stretched. This test
// program carries the same manifest as ZR8Utility.exe.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

// DPI_AWARENESS of user32 (Windows 10 1607 and later, and Wine): 0 unaware, 1 system,
// 2 per monitor.
constexpr int kSystemAware = 1;

TEST(DpiAwareness, TheManifestMakesTheProcessDpiAware)
{
    EXPECT_TRUE(::IsProcessDPIAware());
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    using GetContext = HANDLE(WINAPI*)();
    using GetAwareness = int(WINAPI*)(HANDLE);
    auto getContext = reinterpret_cast<GetContext>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
    auto getAwareness = reinterpret_cast<GetAwareness>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    if (getContext == nullptr || getAwareness == nullptr)
        GTEST_SKIP() << "this system has no DPI awareness contexts";
    // At least system aware (Wine, with one DPI for every monitor, reports the process as
    // per-monitor aware).
    EXPECT_GE(getAwareness(getContext()), kSystemAware) << "context " << getContext();
}

}  // namespace
