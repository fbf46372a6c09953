#include "ui/dialogs/release_notes_dialog.h"

#include "core/text/string_table.h"
#include "platform/folders.h"
#include "platform/message_box.h"
#include "platform/wide_format.h"
#include "ui/dialogs/centre_over_owner.h"
#include "ui/dialogs/document_view.h"
#include "ui/help/show_help_topic.h"

namespace {
const wchar_t kReleaseNotesFile[] = L"zr8fwnotes.rtf";

void ShowCannotOpen(HWND owner, const std::wstring& path)
{
    MessageBoxes::Show(owner, FormatW(LoadStringText(IDS_RELEASE_NOTES_CANNOT_OPEN).c_str(), path.c_str()),
                       LoadStringText(IDS_CAPTION_RELEASE_NOTES_ERROR), MB_OK | MB_ICONERROR);
}

class CFileHandle {
public:
    explicit CFileHandle(HANDLE handle) : m_handle(handle) {}
    ~CFileHandle()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_handle);
    }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

DWORD CALLBACK ReadFromFile(DWORD_PTR cookie, BYTE* buffer, LONG wanted, LONG* got)
{
    DWORD read = 0;
    if (!::ReadFile(reinterpret_cast<HANDLE>(cookie), buffer, static_cast<DWORD>(wanted), &read, nullptr)) {
        *got = 0;
        return ::GetLastError();
    }
    *got = static_cast<LONG>(read);
    return 0;
}
}  // namespace

std::wstring ReleaseNotesPath(const std::wstring& folder) { return Folders::Join(folder, kReleaseNotesFile); }

CReleaseNotesDialog::CReleaseNotesDialog(HWND owner, std::wstring path) : m_owner(owner), m_path(std::move(path)) {}

bool CReleaseNotesDialog::StreamFile()
{
    CFileHandle file(::CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        ShowCannotOpen(m_owner, m_path);
        return false;
    }
    if (!m_text.SubclassWindow(GetDlgItem(IDC_OUTPUT_WINDOW)))
        return false;
    WrapAtWindowWidth(m_text.Window());
    LARGE_INTEGER size = {};
    ::GetFileSizeEx(file.Get(), &size);
    m_text.SendMessage(EM_EXLIMITTEXT, 0, static_cast<LPARAM>(size.QuadPart));
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(file.Get()), 0, &ReadFromFile};
    m_text.SendMessage(EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    return stream.dwError == 0;
}

bool CReleaseNotesDialog::OnInitDialog()
{
    if (!StreamFile())
        return false;
    InitDocumentLayout(*this, m_hWnd);
    CentreOverOwner(m_hWnd, m_owner);
    FocusDocumentStart(m_text.Window());
    return true;
}

BOOL CReleaseNotesDialog::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (ProcessResizeMessage(window, message, wParam, lParam, result))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG:
        if (!OnInitDialog()) {
            ::DestroyWindow(window);
            result = FALSE;
            return TRUE;
        }
        result = FALSE;  // the focus is set
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(IDCANCEL);
            result = 0;
            return TRUE;
        }
        return FALSE;
    case WM_HELP:
        ShowHelpTopic(m_hWnd, kHelpTopic);
        result = TRUE;
        return TRUE;
    default:
        return FALSE;
    }
}

std::unique_ptr<CReleaseNotesDialog> OpenReleaseNotes(HWND owner, const std::wstring& folder)
{
    const std::wstring path = ReleaseNotesPath(folder);
    if (!Folders::FileExists(path)) {
        ShowCannotOpen(owner, path);
        return nullptr;
    }
    auto dialog = std::make_unique<CReleaseNotesDialog>(owner, path);
    HWND window = dialog->Create(nullptr);
    if (window == nullptr || !::IsWindow(window))
        return nullptr;
    ::ShowWindow(window, SW_SHOW);
    return dialog;
}
