#include "ftp_dialog_fixture.h"

#include <commctrl.h>

#include <fstream>
#include <sstream>

#include "core/text/app_messages.h"
#include "platform/folder_listing.h"
#include "platform/folders.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"

namespace {

const wchar_t kHostClass[] = L"ZR8FtpDialogTestHost";

// A Unix path as this Wine process opens it.
std::wstring FromUnix(const std::string& path)
{
    std::wstring result = L"Z:";
    for (char c : path)
        result += c == '/' ? L'\\' : wchar_t(static_cast<unsigned char>(c));
    return result;
}

std::string ReadUnixFile(const std::string& path)
{
    std::ifstream file(FromUnix(path).c_str(), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::wstring NewFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static unsigned counter = 0;
    std::wstring folder = std::wstring(temp) + L"zr8-ftp-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                          std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++counter);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void RemoveTree(const std::wstring& folder)
{
    std::vector<FolderEntry> entries;
    if (ListFolder(folder, entries) == 0)
        for (const FolderEntry& entry : entries) {
            const std::wstring path = Folders::Join(folder, entry.name);
            if (entry.isFolder)
                RemoveTree(path);
            else
                DeleteFileW(path.c_str());
        }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

bool Has(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

CFtpDialogFixture::CFtpDialogFixture(const std::string& server)
{
    LoadLibraryW(L"riched20.dll");
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    const char* state = getenv("ZR8_FTP_SERVERS");
    m_state = state ? state : "";
    m_model = std::make_unique<CModel>(CreateMemorySettingsStore());
    const std::string port = ReadUnixFile(m_state + "/" + server + ".port");
    std::wstring address = L"127.0.0.1:";
    for (char c : port)
        if (c >= '0' && c <= '9')
            address += wchar_t(c);
    m_model->SettingsStore().WriteString(L"", L"FileServer", address);
    m_folder = NewFolder();

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &CFtpDialogFixture::HostProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kHostClass;
    RegisterClassW(&windowClass);
    m_host = CreateWindowExW(0, kHostClass, L"Host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                             GetModuleHandleW(nullptr), this);
    SetWindowLongPtrW(m_host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

CFtpDialogFixture::~CFtpDialogFixture()
{
    m_dialog.reset();
    if (m_host != nullptr)
        DestroyWindow(m_host);
    MessageBoxes::SetHandler(nullptr);
    RemoveTree(m_folder);
}

LRESULT CALLBACK CFtpDialogFixture::HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CFtpDialogFixture*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && message == WM_APP_STATUS_TEXT && lParam != 0) {
        self->m_hostLines.push_back(reinterpret_cast<const wchar_t*>(lParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CFtpDialogFixture::LocalFirmware(unsigned version)
{
    wchar_t name[32];
    swprintf(name, 32, L"zr8_%04u.hex", version);
    std::ofstream(Folders::Join(m_folder, name).c_str(), std::ios::binary) << ":0400000001020304F2\r\n:00000001FF\r\n";
}

std::vector<std::wstring> CFtpDialogFixture::FolderNames() const
{
    std::vector<FolderEntry> entries;
    std::vector<std::wstring> names;
    if (ListFolder(m_folder, entries) == 0)
        for (const FolderEntry& entry : entries)
            names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
}

bool CFtpDialogFixture::Open(int boxAnswer)
{
    MessageBoxes::SetHandler([this, boxAnswer](HWND, const std::wstring& text, const std::wstring&, UINT) {
        m_boxes.push_back(text);
        return boxAnswer;
    });
    m_files = ScanFirmwareFolder(m_folder);
    m_dialog = std::make_unique<CFtpDlg>(*m_model, m_folder, m_files);
    m_dialog->Create(m_host);
    return m_dialog->EndResult() != -1 || DialogWindow() != nullptr;
}

HWND CFtpDialogFixture::DialogWindow() const { return m_dialog ? m_dialog->m_hWnd : nullptr; }

bool CFtpDialogFixture::RunUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

bool CFtpDialogFixture::RunUntilSettled()
{
    return RunUntil([this] {
        return m_dialog->EndResult() != -1 ||
               (m_dialog->State() == FtpIdle && Has(m_dialog->Transcript(), L"Click \"Close\""));
    });
}

void CFtpDialogFixture::Click(int control)
{
    SendMessageW(DialogWindow(), WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(DialogWindow(), control)));
}

std::string CFtpDialogFixture::ServerLog(const std::string& kind) const
{
    return ReadUnixFile(m_state + "/" + kind + ".log");
}
