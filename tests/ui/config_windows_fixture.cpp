#include "config_windows_fixture.h"

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/model/contact_state_machine.h"
#include "core/serial/serial_device.h"
#include "core/text/app_messages.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "sim/sim_serial_device.h"

namespace {

const wchar_t kHostClass[] = L"ZR8ConfigWindowsTestHost";
ConfigWindowsTest* g_scripted = nullptr;  // the test whose script the thread timer runs

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

// Passes everything on to the radio and notes each write in the events.
class CRecordingDevice : public ISerialDevice {
public:
    CRecordingDevice(std::unique_ptr<ISerialDevice> inner, std::vector<std::string>& events)
        : m_inner(std::move(inner)), m_events(events)
    {
    }
    void SetBytesWaitingCallback(std::function<void()> callback) override
    {
        m_inner->SetBytesWaitingCallback(std::move(callback));
    }
    DWORD SetBaudRate(DWORD rate) override { return m_inner->SetBaudRate(rate); }
    DWORD Write(const uint8_t* data, size_t length, size_t& written) override
    {
        m_events.push_back("write:" + std::string(reinterpret_cast<const char*>(data), length));
        return m_inner->Write(data, length, written);
    }
    DWORD Read(uint8_t* buffer, size_t length, size_t& count) override { return m_inner->Read(buffer, length, count); }
    DWORD PurgeReceive() override { return m_inner->PurgeReceive(); }
    size_t BytesWaiting() const override { return m_inner->BytesWaiting(); }

private:
    std::unique_ptr<ISerialDevice> m_inner;
    std::vector<std::string>& m_events;
};

}  // namespace

void ConfigWindowsTest::SetUp()
{
    fileAnswers.clear();
    fileRequests.clear();
    onBox = nullptr;
    boxes.clear();
    events.clear();
    logLines.clear();
    INITCOMMONCONTROLSEX controls{sizeof(controls),
                                  ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    static int serial = 0;
    m_folder = std::wstring(temp) + L"zr8-config-windows-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(++serial);
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
    std::filesystem::create_directories(m_folder, ignored);

    MessageBoxes::SetHandler([this](HWND, const std::wstring& text, const std::wstring& caption, UINT type) {
        boxes.push_back({text, caption, type});
        if (onBox)
            return onBox(boxes.back());
        return (type & 0xF) == MB_YESNO ? IDNO : IDOK;
    });
    FileDialogs::SetHandler([this](FileDialogs::Kind kind, OPENFILENAMEW& request, DWORD& extendedError) {
        FileRequest seen{kind, request.hwndOwner, request.lpstrFile, L"", L"", L"", request.Flags, request.nMaxFile,
                         request.nMaxFileTitle};
        for (const wchar_t* p = request.lpstrFilter; p != nullptr && *p != L'\0'; p += wcslen(p) + 1)
            seen.filter += std::wstring(p) + L"|";
        if (request.lpstrDefExt != nullptr)
            seen.defaultExtension = request.lpstrDefExt;
        if (request.lpstrInitialDir != nullptr)
            seen.initialFolder = request.lpstrInitialDir;
        fileRequests.push_back(seen);
        if (fileAnswers.empty()) {
            extendedError = 0;
            return FALSE;
        }
        FileAnswer answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer(request, extendedError);
    });
}

void ConfigWindowsTest::TearDown()
{
    if (m_scriptTimer != 0)
        KillTimer(nullptr, m_scriptTimer);
    m_scriptTimer = 0;
    g_scripted = nullptr;
    EXPECT_FALSE(m_watchdogFired) << "a window stayed open";
    m_watchdogFired = false;
    if (m_model)
        m_model->ClosePort();
    if (m_host != nullptr)
        DestroyWindow(m_host);  // the sheet and the page go with it
    m_host = nullptr;
    m_pageWindow = nullptr;
    RunFor(10);
    m_sheet.reset();
    m_page.reset();
    m_model.reset();
    UnregisterSerialDevice(L"SIM");
    m_simulator.reset();
    MessageBoxes::SetHandler(nullptr);
    FileDialogs::SetHandler(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

void ConfigWindowsTest::Start(bool contact)
{
    m_model = std::make_unique<CModel>(CreateMemorySettingsStore());
    CSimOptions options = radio;
    options.baudModel = BaudModel::Instant;
    m_simulator = std::make_unique<CSimulator>(options, m_clock);
    CSimulator* sim = m_simulator.get();
    RegisterSerialDevice(L"SIM", [this, sim]() -> std::unique_ptr<ISerialDevice> {
        return std::make_unique<CRecordingDevice>(std::make_unique<CSimSerialDevice>(*sim), events);
    });

    WNDCLASSW wc{};
    wc.lpfnWndProc = &ConfigWindowsTest::HostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kHostClass;
    RegisterClassW(&wc);
    m_host = CreateWindowExW(0, kHostClass, L"ZR8 Configuration windows test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                             10, 10, 700, 520, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    ASSERT_NE(nullptr, m_host);
    m_model->SetWindow(m_host);
    m_model->m_port.Set(L"SIM");

    m_context.reset(new CPageContext{*m_model, {L"SIM"}});
    m_page = std::make_unique<CConfigurationPage>(*m_context);
    m_sheet = std::make_unique<CSheet>();
    m_sheet->AddPage(*m_page);
    ASSERT_NE(nullptr, m_sheet->CreateChild(m_host));
    ShowWindow(m_host, SW_SHOWNOACTIVATE);
    RunFor(30);
    m_pageWindow = m_page->m_hWnd;
    ASSERT_NE(nullptr, m_pageWindow);
    if (contact) {
        ASSERT_TRUE(Contact());
    }
}

bool ConfigWindowsTest::Contact()
{
    m_model->ContactMachine().StartOpenPort();
    const bool done = RunUntil([this] { return m_model->ContactMachine().IsIdle(); });
    events.clear();
    return done && m_model->ContactMachine().Result() == 0;
}

void ConfigWindowsTest::AddFault(const std::string& fault)
{
    std::string error;
    ASSERT_TRUE(radio.faults.Add(fault, error)) << error;
}

ConfigWindowsTest::FileAnswer ConfigWindowsTest::Choose(const std::wstring& path)
{
    return [path](OPENFILENAMEW& request, DWORD&) {
        wcsncpy(request.lpstrFile, path.c_str(), request.nMaxFile - 1);
        request.lpstrFile[request.nMaxFile - 1] = L'\0';
        return TRUE;
    };
}

ConfigWindowsTest::FileAnswer ConfigWindowsTest::Refuse(DWORD extendedError)
{
    return [extendedError](OPENFILENAMEW&, DWORD& error) {
        error = extendedError;
        return FALSE;
    };
}

void ConfigWindowsTest::Script(std::vector<Step> steps)
{
    m_steps = std::move(steps);
    m_nextStep = 0;
    m_lastStepTick = GetTickCount();
    g_scripted = this;
    if (m_scriptTimer == 0)
        m_scriptTimer = SetTimer(nullptr, 0, 10, &ConfigWindowsTest::ScriptTick);
}

void CALLBACK ConfigWindowsTest::ScriptTick(HWND, UINT, UINT_PTR, DWORD)
{
    ConfigWindowsTest* self = g_scripted;
    if (self == nullptr)
        return;
    if (GetTickCount() - self->m_lastStepTick > 30000) {
        self->m_watchdogFired = true;
        self->m_lastStepTick = GetTickCount();
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM) -> BOOL {
                wchar_t name[16] = {};
                GetClassNameW(window, name, 16);
                if (IsWindowVisible(window) && wcscmp(name, L"#32770") == 0)
                    PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
                return TRUE;
            },
            0);
        return;
    }
    if (self->ScriptDone())
        return;
    Step& step = self->m_steps[self->m_nextStep];
    if (!step.ready())
        return;
    ++self->m_nextStep;  // before acting: the action may run a loop of its own
    self->m_lastStepTick = GetTickCount();
    step.act();
}

bool ConfigWindowsTest::RunUntil(const std::function<bool()>& done)
{
    const DWORD start = GetTickCount();
    MSG msg;
    while (!done()) {
        if (GetTickCount() - start > 15000)
            return false;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
    }
    return true;
}

void ConfigWindowsTest::RunFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    RunUntil([&] { return GetTickCount() - start >= milliseconds; });
}

void ConfigWindowsTest::Click(int control)
{
    SendMessageW(m_pageWindow, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(m_pageWindow, control)));
}

HWND ConfigWindowsTest::FindDialog(const wchar_t* caption)
{
    struct Search {
        const wchar_t* caption;
        HWND found;
    } search{caption, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            wchar_t text[128] = {};
            GetWindowTextW(window, text, 128);
            if (IsWindowVisible(window) && wcscmp(text, s->caption) == 0) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring ConfigWindowsTest::ButtonText(HWND dialog, int id)
{
    wchar_t text[64] = {};
    GetDlgItemTextW(dialog, id, text, 64);
    return text;
}

int ConfigWindowsTest::ProgressPosition(HWND dialog)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, 16010, PBM_GETPOS, 0, 0));
}

int ConfigWindowsTest::ProgressMaximum(HWND dialog)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, 16010, PBM_GETRANGE, FALSE, 0));
}

bool ConfigWindowsTest::Logged(const std::wstring& line) const
{
    return CountLogged(line) > 0;
}

size_t ConfigWindowsTest::CountLogged(const std::wstring& line) const
{
    size_t n = 0;
    for (const std::wstring& l : logLines)
        n += l == line ? 1 : 0;
    return n;
}

int ConfigWindowsTest::EventIndex(const std::string& text, bool prefix, int from) const
{
    for (size_t i = static_cast<size_t>(from); i < events.size(); ++i) {
        const bool match = prefix ? events[i].compare(0, text.size(), text) == 0 : events[i] == text;
        if (match)
            return static_cast<int>(i);
    }
    return -1;
}

size_t ConfigWindowsTest::CountWrites(const std::string& prefix) const
{
    size_t n = 0;
    const std::string tagged = "write:" + prefix;
    for (const std::string& e : events)
        n += e.compare(0, tagged.size(), tagged) == 0 ? 1 : 0;
    return n;
}

std::string ConfigWindowsTest::ReadWholeFile(const std::wstring& path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ConfigWindowsTest::WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

LRESULT CALLBACK ConfigWindowsTest::HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ConfigWindowsTest*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->OnHostMessage(window, message, wParam, lParam);
}

LRESULT ConfigWindowsTest::OnHostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_APP_PORT_EVENT:
        m_model->RoutePortEvent(message, wParam, lParam);
        return 0;
    case WM_TIMER:
        if (!m_model->RouteTimer(message, wParam, lParam))
            break;
        return 0;
    case WM_APP_STATUS_TEXT: {
        const std::wstring line = reinterpret_cast<const wchar_t*>(lParam);
        logLines.push_back(line);
        events.push_back("log:" + Narrow(line));
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
