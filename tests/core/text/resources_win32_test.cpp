// Windows only: the texts come from the executable's real resources, generated from the
// same sources as the compiled-in tables, and the log walk follows real window owners.
#include <gtest/gtest.h>

#include <windows.h>

#include "core/text/app_messages.h"
#include "core/text/error_text.h"
#include "core/text/report.h"
#include "core/text/string_table.h"
#include "core/text/text_tables.h"

namespace {

TEST(Resources, StringTableHoldsEveryEntryExactly)
{
    for (size_t i = 0; i < kStringTableSize; ++i) {
        const TextTableEntry& entry = kStringTableEntries[i];
        EXPECT_EQ(LoadStringText(entry.id), entry.text) << entry.id;
    }
}

TEST(Resources, MessageTableHoldsEveryOwnCodeExactly)
{
    for (size_t i = 0; i < kMessageTableSize; ++i) {
        const TextTableEntry& entry = kMessageTableEntries[i];
        EXPECT_EQ(GetErrorText(entry.id), entry.text) << std::hex << entry.id;
    }
}

TEST(Resources, MessageTableTextsEndInCrLfInTheResource)
{
    // Identifier 1, language 1033, as the lookup expects; the CR LF is the resource's own.
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  GetModuleHandleW(nullptr), 0xE2000045, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                  reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    ASSERT_GT(length, 0u) << GetLastError();
    std::wstring raw(buffer, length);
    LocalFree(buffer);
    EXPECT_EQ(raw, L"No response after reset\r\n");
    EXPECT_NE(FindResourceExW(nullptr, MAKEINTRESOURCEW(11) /* RT_MESSAGETABLE */, MAKEINTRESOURCEW(1),
                              MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)),
              nullptr);
}

TEST(Resources, LongStringsLoadWhole)
{
    std::wstring longest = LoadStringText(65000);
    EXPECT_EQ(longest.size(), 629u);
    EXPECT_EQ(longest.substr(longest.size() - 5), L"<end>");
    // 255 characters fill the first buffer to its last usable place: loaded again, whole.
    EXPECT_EQ(LoadStringText(65001).size(), 255u);
}

// A frame, a dialog it owns (a pop-up: not its child) and a control in the dialog.
class OwnedWindows : public ::testing::Test {
protected:
    static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_APP_STATUS_TEXT) {
            s_lines.push_back(reinterpret_cast<const wchar_t*>(lParam));
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    void SetUp() override
    {
        s_lines.clear();
        WNDCLASSW wc{};
        wc.lpfnWndProc = FrameProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"Zr8TextTestFrame";
        RegisterClassW(&wc);
        m_frame = CreateWindowExW(0, wc.lpszClassName, L"frame", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                  nullptr, wc.hInstance, nullptr);
        ASSERT_NE(m_frame, nullptr);
        m_dialog = CreateWindowExW(0, L"STATIC", L"dialog", WS_POPUP, 0, 0, 50, 50, m_frame, nullptr, wc.hInstance,
                                   nullptr);
        ASSERT_NE(m_dialog, nullptr);
        m_control = CreateWindowExW(0, L"STATIC", L"control", WS_CHILD, 0, 0, 10, 10, m_dialog,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(100)), wc.hInstance, nullptr);
        ASSERT_NE(m_control, nullptr);
    }
    void TearDown() override
    {
        if (m_frame)
            DestroyWindow(m_frame);  // destroys the owned dialog and its control too
    }

    static std::vector<std::wstring> s_lines;
    HWND m_frame = nullptr, m_dialog = nullptr, m_control = nullptr;
};

std::vector<std::wstring> OwnedWindows::s_lines;

TEST_F(OwnedWindows, LogLineFromADialogReachesTheFrameThatOwnsIt)
{
    EXPECT_EQ(FindLogWindow(m_control), m_frame);
    LogLine(m_control, IDS_ELAPSED_TIME, 12u);
    ASSERT_EQ(s_lines.size(), 1u);
    EXPECT_EQ(s_lines[0], L"Elapsed time: 12 seconds");
}

TEST_F(OwnedWindows, DestroyedWindowLogsNothing)
{
    DestroyWindow(m_frame);
    HWND gone = m_control;
    m_frame = nullptr;
    LogLine(gone, L"after");
    EXPECT_TRUE(s_lines.empty());
}

}  // namespace
