// Checks that a Windows test executable really runs on a Windows system (Wine here), with
// the runtime and thread model the build promises and a display for windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

class CHandle {
 public:
  explicit CHandle(HANDLE h) : m_h(h) {}
  ~CHandle() {
    if (m_h != INVALID_HANDLE_VALUE && m_h != nullptr) CloseHandle(m_h);
  }
  CHandle(const CHandle&) = delete;
  CHandle& operator=(const CHandle&) = delete;
  HANDLE Get() const { return m_h; }
  bool Valid() const { return m_h != INVALID_HANDLE_VALUE && m_h != nullptr; }

 private:
  HANDLE m_h;
};

TEST(WineSmoke, RunsOnWindowsNt) {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  ASSERT_TRUE(GetVersionExW(&info)) << "error " << GetLastError();
  EXPECT_EQ(static_cast<DWORD>(VER_PLATFORM_WIN32_NT), info.dwPlatformId);
  EXPECT_GE(info.dwMajorVersion, 6u);
}

TEST(WineSmoke, RuntimeIsLinkedIn) {
  // Nothing is copied next to our executables, so a runtime DLL would not be found on a
  // user's machine even where it happens to be found here.
  for (const char* dll : {"libstdc++-6.dll", "libgcc_s_seh-1.dll", "libwinpthread-1.dll"}) {
    EXPECT_EQ(nullptr, GetModuleHandleA(dll)) << dll << " is loaded";
  }
}

TEST(WineSmoke, TempFileRoundTrip) {
  wchar_t dir[MAX_PATH] = {};
  ASSERT_NE(0u, GetTempPathW(MAX_PATH, dir));
  wchar_t path[MAX_PATH] = {};
  ASSERT_NE(0u, GetTempFileNameW(dir, L"zr8", 0, path)) << "error " << GetLastError();

  const char written[] = "I;RV;SN;\r\n\xDE\xAD";
  {
    CHandle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.Valid()) << "error " << GetLastError();
    DWORD done = 0;
    ASSERT_TRUE(WriteFile(file.Get(), written, sizeof(written), &done, nullptr));
    EXPECT_EQ(sizeof(written), done);
  }
  {
    CHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.Valid()) << "error " << GetLastError();
    char read[64] = {};
    DWORD done = 0;
    ASSERT_TRUE(ReadFile(file.Get(), read, sizeof(read), &done, nullptr));
    ASSERT_EQ(sizeof(written), done);
    EXPECT_EQ(0, std::memcmp(written, read, done));
  }
  ASSERT_TRUE(DeleteFileW(path));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path));
  EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

TEST(WineSmoke, StandardThreadsHandOver) {
  // The serial listener hands over to the user-interface thread like this; the win32
  // thread model of mingw-w64 has no std::thread at all.
  std::mutex lock;
  std::condition_variable changed;
  DWORD workerId = 0;
  bool done = false;
  std::thread worker([&] {
    std::lock_guard<std::mutex> hold(lock);
    workerId = GetCurrentThreadId();
    done = true;
    changed.notify_one();
  });
  {
    std::unique_lock<std::mutex> hold(lock);
    ASSERT_TRUE(changed.wait_for(hold, std::chrono::seconds(30), [&] { return done; }));
  }
  worker.join();
  EXPECT_NE(0u, workerId);
  EXPECT_NE(GetCurrentThreadId(), workerId);
}

TEST(WineSmoke, TopLevelWindowIsShown) {
  // Fails without a display: run the Windows tests through scripts/test or scripts/wine-session.
  HWND window = CreateWindowExW(0, L"STATIC", L"ZR8 smoke", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(nullptr, window) << "no window (is a display set?), error " << GetLastError();
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  EXPECT_TRUE(IsWindowVisible(window));
  wchar_t caption[32] = {};
  GetWindowTextW(window, caption, 32);
  EXPECT_STREQ(L"ZR8 smoke", caption);
  EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
  EXPECT_TRUE(DestroyWindow(window));
  EXPECT_FALSE(IsWindow(window));
}

}  // namespace
