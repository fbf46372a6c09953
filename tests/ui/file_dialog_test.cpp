// The platform's own save-as and open dialogs as the configuration dialogs show them:
// the filter list, the proposed name, the default extension and the chosen path, driven
// through the real dialog window.
#include <windows.h>

#include <commdlg.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/config_names.h"
#include "ui/dialogs/file_dialogs.h"

namespace {

constexpr int kFileTypeCombo = 0x470;  // cmb1
constexpr int kFileNameCombo = 0x47C;  // cmb13
constexpr int kFileNameEdit = 0x480;   // edt1

struct Seen {
    std::vector<std::wstring> types;
    std::wstring name;
    std::wstring answer;  // typed into the name field, then OK
    bool done = false;
};
Seen* g_seen = nullptr;

HWND FindFileDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM lParam) -> BOOL {
            wchar_t name[32] = {};
            GetClassNameW(window, name, 32);
            if (IsWindowVisible(window) && wcscmp(name, L"#32770") == 0 && GetDlgItem(window, kFileTypeCombo) != nullptr) {
                *reinterpret_cast<HWND*>(lParam) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK DriveFileDialog(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_seen == nullptr || g_seen->done)
        return;
    HWND dialog = FindFileDialog();
    if (dialog == nullptr)
        return;
    g_seen->done = true;
    HWND types = GetDlgItem(dialog, kFileTypeCombo);
    const LRESULT count = SendMessageW(types, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        SendMessageW(types, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        g_seen->types.push_back(text);
    }
    HWND name = GetDlgItem(dialog, kFileNameCombo);
    if (name == nullptr)
        name = GetDlgItem(dialog, kFileNameEdit);
    wchar_t text[MAX_PATH] = {};
    GetWindowTextW(name, text, MAX_PATH);
    g_seen->name = text;
    SetWindowTextW(name, g_seen->answer.c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

class RealFileDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_folder = std::wstring(temp) + L"zr8-file-dialog-" + std::to_wstring(GetCurrentProcessId());
        std::filesystem::create_directories(m_folder);
        m_owner = CreateWindowExW(0, L"STATIC", L"ZR8 file dialog test", WS_OVERLAPPEDWINDOW, 20, 20, 300, 200, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
        g_seen = &m_seen;
        m_timer = SetTimer(nullptr, 0, 50, &DriveFileDialog);
    }
    void TearDown() override
    {
        KillTimer(nullptr, m_timer);
        g_seen = nullptr;
        DestroyWindow(m_owner);
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    const std::vector<std::wstring> kTypes = {L"ZR8 Configuration File (*.ZR8Config)", L"All Files (*.*)"};
    std::wstring m_folder;
    HWND m_owner = nullptr;
    UINT_PTR m_timer = 0;
    Seen m_seen;
};

TEST_F(RealFileDialogTest, SaveAsOffersTheFilterAndTheNameAndAddsTheExtension)
{
    m_seen.answer = L"chosen";
    const CFileChoice choice =
        FileDialogs::SaveAs(m_owner, m_folder + L"\\SN12345.20231109T043025.ZR8Config", ConfigNames::FileFilter());
    ASSERT_TRUE(m_seen.done);
    EXPECT_EQ(kTypes, m_seen.types);
    EXPECT_EQ(L"SN12345.20231109T043025.ZR8Config", m_seen.name);
    ASSERT_TRUE(choice.confirmed) << "extended error " << choice.extendedError;
    EXPECT_EQ(0, _wcsicmp((m_folder + L"\\chosen.ZR8Config").c_str(), choice.path.c_str())) << choice.path;
}

TEST_F(RealFileDialogTest, OpenStartsInTheFolderAndGivesTheChosenFile)
{
    std::ofstream(std::filesystem::path(m_folder + L"\\existing.ZR8Config")) << "x";
    m_seen.answer = L"existing.ZR8Config";
    const CFileChoice choice = FileDialogs::Open(m_owner, m_folder, ConfigNames::FileFilter());
    ASSERT_TRUE(m_seen.done);
    EXPECT_EQ(kTypes, m_seen.types);
    ASSERT_TRUE(choice.confirmed) << "extended error " << choice.extendedError;
    EXPECT_EQ(0, _wcsicmp((m_folder + L"\\existing.ZR8Config").c_str(), choice.path.c_str())) << choice.path;
}

}  // namespace
